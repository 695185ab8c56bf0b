#pragma once

// The parameter explorer's state, with no widget: four constants, each with the range and
// step of its slider, and the candidate run they make.

#include "core/session.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// The constants in the order of the constants window's boxes.
enum class Constant { OA, Angle, N, Increment };
inline constexpr std::size_t constantCount = 4;

// A slider's reach: from minimum to maximum in steps of step.
struct SliderRange {
    double minimum = 0.0;
    double maximum = 0.0;
    double step = 1.0;
};

// Why a range was refused; None when it was taken.
enum class RangeFault { None, NotANumber, MinimumAboveMaximum, ZeroStep, NegativeStep, TooManySteps };

// The word shown beside a refused field.
QString faultWord(RangeFault fault);

class Explorer {
public:
    // A slider never has more positions than this: past it the step is too fine to drag.
    static constexpr int mostPositions = 1000000;

    explicit Explorer(const std::array<double, constantCount>& start);

    // The constants as the session holds them: VALa…VALe as last read, else the constants
    // window's texts, else its first texts.
    static std::array<double, constantCount> startingValues(const Session& session);

    double value(Constant constant) const { return values_[index(constant)]; }
    // Kept within the range; a value that is not a number is kept, and refused as a candidate.
    void setValue(Constant constant, double value);
    const SliderRange& range(Constant constant) const { return ranges_[index(constant)]; }
    // Takes the range when it is sound, and brings the value within it; otherwise changes
    // nothing and says why.
    RangeFault setRange(Constant constant, const SliderRange& range);

    // The slider: positions 0 … positions(), the value's nearest one, and a position's value.
    int positions(Constant constant) const;
    int position(Constant constant) const;
    void setPosition(Constant constant, int position);

    // The run the four values make, as the constants window would read them.
    CurveConstants candidate() const;
    // Why the plot window would refuse that run after a set-up with that factor, in the
    // generator's own words; none when it would draw.
    std::optional<QString> refusal(const TaggedValue& Incr) const;
    // The texts the constants window's boxes take for these values, in the user's locale.
    std::array<QString, constantCount> typedTexts() const;
    // The candidate for a screen reader.
    QString description() const;

    // The colour cursor as "AVANTI" leaves it, before the run advances it.
    static std::int16_t colourBeforeRun(std::int16_t Miocolor);

private:
    static std::size_t index(Constant constant) { return static_cast<std::size_t>(constant); }

    std::array<double, constantCount> values_{};
    std::array<SliderRange, constantCount> ranges_{};
};
