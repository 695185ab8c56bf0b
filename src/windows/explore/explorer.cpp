#include "windows/explore/explorer.h"

#include "core/number_text.h"
#include "figure/replay.h"

#include <algorithm>
#include <cmath>

namespace {

// What the constants window starts with, and the step that suits each constant.
constexpr std::array<double, constantCount> firstTexts{86, 55, 90, 1};
constexpr std::array<double, constantCount> naturalSteps{1, 1, 1, 0.1};
constexpr std::array<const char*, constantCount> variableNames{"VALa", "VALb", "VALc", "VALe"};
// A starting slider has about this many positions at most, so a drag moves visibly.
constexpr double startingPositions = 1000;

SliderRange startingRange(std::size_t index, double value) {
    SliderRange range;
    range.minimum = value >= 0 ? 0.0 : 2 * value;
    range.maximum = value > 0 ? 2 * value : value < 0 ? 0.0 : 2 * firstTexts[index];
    range.step = naturalSteps[index];
    const double span = range.maximum - range.minimum;
    // A coarser power of ten for a wide range.
    if (span / range.step > startingPositions)
        range.step = std::pow(10.0, std::ceil(std::log10(span / startingPositions)));
    return range;
}

std::optional<double> sessionValue(const Session& session, std::size_t index) {
    const std::array<const TaggedValue*, constantCount> read{&session.VALa, &session.VALb,
                                                             &session.VALc, &session.VALe};
    if (!read[index]->isEmpty())
        if (const Outcome<double> value = read[index]->toDouble(); value && std::isfinite(value.value()))
            return value.value();
    if (const std::optional<double> typed = parseNumber(session.constantTexts()[index]))
        return typed;
    return std::nullopt;
}

} // namespace

QString faultWord(RangeFault fault) {
    switch (fault) {
    case RangeFault::None:
        break;
    case RangeFault::NotANumber:
        return QStringLiteral("non è un numero");
    case RangeFault::MinimumAboveMaximum:
        return QStringLiteral("minimo oltre il massimo");
    case RangeFault::ZeroStep:
        return QStringLiteral("passo nullo");
    case RangeFault::NegativeStep:
        return QStringLiteral("passo negativo");
    case RangeFault::TooManySteps:
        return QStringLiteral("passo troppo fine");
    }
    return {};
}

Explorer::Explorer(const std::array<double, constantCount>& start) : values_(start) {
    for (std::size_t index = 0; index < constantCount; ++index)
        ranges_[index] = startingRange(index, start[index]);
}

std::array<double, constantCount> Explorer::startingValues(const Session& session) {
    std::array<double, constantCount> values = firstTexts;
    for (std::size_t index = 0; index < constantCount; ++index)
        values[index] = sessionValue(session, index).value_or(firstTexts[index]);
    return values;
}

void Explorer::setValue(Constant constant, double value) {
    const SliderRange& reach = range(constant);
    values_[index(constant)] =
        std::isfinite(value) ? std::clamp(value, reach.minimum, reach.maximum) : value;
}

RangeFault Explorer::setRange(Constant constant, const SliderRange& reach) {
    if (!std::isfinite(reach.minimum) || !std::isfinite(reach.maximum) || !std::isfinite(reach.step))
        return RangeFault::NotANumber;
    if (reach.minimum > reach.maximum)
        return RangeFault::MinimumAboveMaximum;
    if (reach.step == 0)
        return RangeFault::ZeroStep;
    if (reach.step < 0)
        return RangeFault::NegativeStep;
    if ((reach.maximum - reach.minimum) / reach.step > mostPositions)
        return RangeFault::TooManySteps;
    ranges_[index(constant)] = reach;
    setValue(constant, value(constant));
    return RangeFault::None;
}

int Explorer::positions(Constant constant) const {
    const SliderRange& reach = range(constant);
    // A hair under a whole number of steps still counts as reaching it.
    return static_cast<int>(std::floor((reach.maximum - reach.minimum) / reach.step + 1e-9));
}

int Explorer::position(Constant constant) const {
    const SliderRange& reach = range(constant);
    const double steps = (value(constant) - reach.minimum) / reach.step;
    if (!std::isfinite(steps))
        return 0;
    return std::clamp(static_cast<int>(std::lround(steps)), 0, positions(constant));
}

void Explorer::setPosition(Constant constant, int position) {
    const SliderRange& reach = range(constant);
    setValue(constant, reach.minimum + std::clamp(position, 0, positions(constant)) * reach.step);
}

CurveConstants Explorer::candidate() const {
    return {TaggedValue::fromDouble(values_[0]), TaggedValue::fromDouble(values_[1]),
            TaggedValue::fromDouble(values_[2]), TaggedValue::fromDouble(values_[3])};
}

std::optional<QString> Explorer::refusal(const TaggedValue& Incr) const {
    for (std::size_t index = 0; index < constantCount; ++index)
        if (!std::isfinite(values_[index]))
            return notANumberMessage(variableNames[index]);
    const CurveConstants constants = candidate();
    return firstRefusal({PlotSetUp{Incr}, PlotRun{constants, LinkingLines::Off, 0, std::nullopt,
                                                  typedTextsFor(constants)}});
}

std::array<QString, constantCount> Explorer::typedTexts() const {
    return typedTextsFor(candidate());
}

QString Explorer::description() const {
    return QStringLiteral("Tracciato in prova: OA %1, angolo %2°, n %3, incremento di t %4")
        .arg(formatDouble(values_[0]), formatDouble(values_[1]), formatDouble(values_[2]),
             formatDouble(values_[3]));
}

std::int16_t Explorer::colourBeforeRun(std::int16_t Miocolor) {
    return Miocolor > 14 ? std::int16_t{0} : Miocolor;
}
