// A little over the usual length: the start steps, the pass and the set-up of one run read
// best in one place, in their order.
#include "core/curve_generator.h"

#include "core/degrees.h"
#include "core/number_text.h"
#include "core/numeric.h"
#include "core/palette.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr std::int64_t int16Max = std::numeric_limits<std::int16_t>::max();
// How often a long run reports its progress, in passes (a power of two, less one).
constexpr std::int64_t progressInterval = 4095;

// The increment of t as the tagged multiplication sees it: the case decides whether
// ALFA × increment is a single or a double product.
struct Increment {
    enum class Product { Single, Double };
    Product product = Product::Double;
    double value = 0.0;
};

// Everything a run needs once the start steps are done.
struct RunPlan {
    double epsilon = 0.0;
    double stepX1 = 0.0; // Epsilon × cos(BETA1)
    double stepY1 = 0.0; // Epsilon × sin(BETA1)
    double beta1 = 0.0;
    float p1 = 0.0f;
    double cx = 0.0;
    double cy = 0.0;
    std::int64_t lastAlfa = -1; // no pass when negative
    Increment increment;
};

// ALFA × P1: a single product while ALFA is a 16-bit integer, a double one once it widened.
double alfaTimesP1(std::int64_t alfa, float p1) {
    if (alfa <= int16Max)
        return static_cast<double>(static_cast<float>(alfa) * p1);
    return static_cast<double>(alfa) * static_cast<double>(p1);
}

double alfaTimesIncrement(std::int64_t alfa, const Increment& increment) {
    if (increment.product == Increment::Product::Single && alfa <= int16Max)
        return static_cast<double>(static_cast<float>(alfa) * static_cast<float>(increment.value));
    return static_cast<double>(alfa) * increment.value;
}

// cos(x) = 0 needs an x next to an odd multiple of pi/2. Further away than a millionth of
// pi/2 (plus far more than the rounding of x × 2/pi), |cos x| is above a millionth, where
// no rounding of the cosine can reach zero: the test then needs no cosine at all.
bool cosineMayBeZero(double x) {
    constexpr double quarterTurnsPerRadian = 2.0 / std::numbers::pi;
    constexpr double roundingShift = 6755399441055744.0; // 1.5 × 2^52: adding it rounds to even
    const double quarterTurns = x * quarterTurnsPerRadian;
    if (!(std::fabs(quarterTurns) < 1e15))
        return true;
    const double nearest = (quarterTurns + roundingShift) - roundingShift;
    if ((static_cast<std::int64_t>(nearest) & 1) == 0)
        return false; // next to a multiple of pi, where |cos x| is near 1
    return std::fabs(quarterTurns - nearest) <= 1e-6 + std::fabs(quarterTurns) * 1e-15;
}

bool fitsInt16(double value) {
    return value >= -32768.0 && value <= 32767.0;
}

std::int16_t advanceCursor(std::int16_t colour) {
    // Past the 16-bit limit the cursor starts again from 0 rather than overflowing.
    return colour == std::numeric_limits<std::int16_t>::max()
               ? std::int16_t{0}
               : static_cast<std::int16_t>(colour + 1);
}

// The loop bound is taken once: ALFA runs 0 ... n, stopping at n's integer part.
std::int64_t lastAlfaFor(double n) {
    if (!(n >= 0.0))
        return -1;
    constexpr double largest = 9.0e15; // beyond any run that could ever finish
    return static_cast<std::int64_t>(std::floor(std::min(n, largest)));
}

std::optional<QString> readIncrement(const TaggedValue& Ve, Increment& increment) {
    if (Ve.kind() == TaggedValue::Kind::Single) {
        increment = {Increment::Product::Single, static_cast<double>(Ve.single())};
        return std::nullopt;
    }
    const Outcome<double> value = Ve.toDouble();
    if (!value)
        return notANumberMessage("VALe");
    increment = {Increment::Product::Double, value.value()};
    return std::nullopt;
}

// Every A2 of the run must fit in 16 bits; the largest |ALFA × increment| is at the last pass.
bool incrementFits(const RunPlan& plan) {
    if (plan.lastAlfa < 0)
        return true;
    const double product = alfaTimesIncrement(plan.lastAlfa, plan.increment);
    return std::isfinite(product) && fitsInt16(roundHalfEven(product));
}

std::optional<QString> readLoopBounds(const TaggedValue& n, const TaggedValue& OA, RunPlan& plan) {
    const Outcome<int> nAgainstZero = compareNumber(n, 0.0);
    if (!nAgainstZero)
        return notANumberMessage("VALc");
    if (nAgainstZero.value() == 0)
        return segmentIsNullMessage;
    const Outcome<TaggedValue> epsilon = divide(OA, n);
    if (!epsilon && epsilon.failure() == TaggedFailure::NotANumber)
        return notANumberMessage("VALa");
    // A step too large to hold ends the run here, before any pass: nothing could be drawn,
    // and no pass leaves an endless candidate behind in X1 and Y1.
    if (!epsilon)
        return std::nullopt;
    // Both read as numbers above, so neither fallback is ever taken.
    plan.epsilon = epsilon.value().toDouble().valueOr(0.0);
    plan.lastAlfa = lastAlfaFor(n.toDouble().valueOr(-1.0));
    return std::nullopt;
}

// The start steps, in their order; a message ends the run before anything is drawn.
std::optional<QString> startRun(const CurveConstants& constants, std::int16_t& Miocolor,
                                PlotVariables& plot, RunPlan& plan) {
    Miocolor = advanceCursor(Miocolor);
    plot.OA = constants.VALa;
    const Outcome<TaggedValue> beta1 = multiply(constants.VALb, plot.P1);
    if (!beta1)
        return notANumberMessage("VALb");
    plot.BETA1 = beta1.value();
    const TaggedValue n = constants.VALc;
    plot.Ve = constants.VALe;
    if (auto message = readLoopBounds(n, plot.OA, plan))
        return message;
    if (plan.lastAlfa >= 0) {
        if (auto message = readIncrement(plot.Ve, plan.increment))
            return message;
        if (!incrementFits(plan))
            return incrementTooLargeMessage;
    }
    plan.beta1 = plot.BETA1.toDouble().valueOr(0.0);
    plan.p1 = plot.P1.toSingle().valueOr(0.0f);
    plan.cx = plot.CX.toDouble().valueOr(0.0);
    plan.cy = plot.CY.toDouble().valueOr(0.0);
    plan.stepX1 = plan.epsilon * std::cos(plan.beta1);
    plan.stepY1 = plan.epsilon * std::sin(plan.beta1);
    return std::nullopt;
}

// A candidate is drawn when both coordinates lie within the half-extents (equal is inside);
// a coordinate that is not finite is outside.
bool withinBounds(double x, double y, const RunPlan& plan) {
    return std::isfinite(x) && std::isfinite(y) && !(std::fabs(x) > plan.cx) &&
           !(std::fabs(y) > plan.cy);
}

struct Point {
    double x = 0.0;
    double y = 0.0;
};

// What a pass needs of its t: it depends on A2 alone, and A2 changes only every
// 1 / |increment| passes, so it is worked out again only when A2 changes. The values are
// those of the pass steps, computed the same way, so they are the same to the last bit.
struct TurnOfT {
    enum class Cosine { NonZero, Zero };
    std::optional<std::int16_t> A2; // none until the first pass
    Cosine cosT = Cosine::NonZero;
    double stepX2 = 0.0; // Epsilon × cos(BETA1 × sin(t))
    double stepY2 = 0.0; // Epsilon × sin(BETA1 × sin(t))
};

// The walk of one run: the last drawn point of each curve and the completed pairs.
class CurveWalk {
public:
    CurveWalk(const RunPlan& plan, LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
              DrawingSurface& surface, ProgressReport* progress)
        : plan_(plan), lines_(lines), colour_(Miocolor), plot_(plot), surface_(surface),
          progress_(progress) {}

    void run();

private:
    bool pass(std::int64_t alfa);
    const TurnOfT& turnFor(std::int16_t A2);
    void completePair(Point first, Point second);
    void dot(Point point, int colourIndex);

    const RunPlan& plan_;
    LinkingLines lines_;
    std::int16_t& colour_;
    PlotVariables& plot_;
    DrawingSurface& surface_;
    ProgressReport* progress_ = nullptr;
    Point last1_;
    Point last2_;
    int pairCount_ = 0;
    std::int16_t A2_ = 0;
    std::optional<Point> candidate1_;
    TurnOfT turn_;
};

void CurveWalk::run() {
    for (std::int64_t alfa = 0; alfa <= plan_.lastAlfa; ++alfa) {
        const bool stillInside = pass(alfa);
        if (progress_ && (alfa & progressInterval) == progressInterval &&
            !progress_->update(alfa + 1, plan_.lastAlfa + 1))
            break; // stopped by the user: the variables are those of the last pass made
        if (stillInside)
            continue;
        // Curve 1 left the bounds: its step never changes, so every later pass computes the
        // same candidate and skips. Only the last pass's t is still left behind.
        A2_ = static_cast<std::int16_t>(
            roundHalfEven(alfaTimesIncrement(plan_.lastAlfa, plan_.increment)));
        break;
    }
    if (plan_.lastAlfa >= 0)
        plot_.A2 = A2_;
    if (candidate1_) {
        plot_.X1 = TaggedValue::fromDouble(candidate1_->x);
        plot_.Y1 = TaggedValue::fromDouble(candidate1_->y);
    }
}

// One pass; false once curve 1 is out of bounds for good.
bool CurveWalk::pass(std::int64_t alfa) {
    const double alfaP1 = alfaTimesP1(alfa, plan_.p1);
    const bool cosAlfaIsZero = cosineMayBeZero(alfaP1) && std::cos(alfaP1) == 0.0;
    A2_ = static_cast<std::int16_t>(roundHalfEven(alfaTimesIncrement(alfa, plan_.increment)));
    const TurnOfT& turn = turnFor(A2_);
    if (cosAlfaIsZero || turn.cosT == TurnOfT::Cosine::Zero)
        return true;
    const Point point1{plan_.stepX1 + last1_.x, plan_.stepY1 + last1_.y};
    candidate1_ = point1;
    if (!withinBounds(point1.x, point1.y, plan_))
        return false;
    dot(point1, colour_);
    last1_ = point1;
    const Point point2{turn.stepX2 + last2_.x, turn.stepY2 + last2_.y};
    if (!withinBounds(point2.x, point2.y, plan_))
        return true;
    dot(point2, colour_ + 1);
    last2_ = point2;
    completePair(point1, point2);
    return true;
}

const TurnOfT& CurveWalk::turnFor(std::int16_t A2) {
    if (turn_.A2 == A2)
        return turn_;
    const double t = static_cast<double>(static_cast<float>(A2) * plan_.p1);
    const double direction = plan_.beta1 * std::sin(t);
    turn_ = {A2, std::cos(t) == 0.0 ? TurnOfT::Cosine::Zero : TurnOfT::Cosine::NonZero,
             plan_.epsilon * std::cos(direction), plan_.epsilon * std::sin(direction)};
    return turn_;
}

void CurveWalk::dot(Point point, int colourIndex) {
    surface_.setDrawWidth(3);
    surface_.PSet(static_cast<float>(plan_.cx + point.x), static_cast<float>(plan_.cy - point.y),
                  paletteColor(colourIndex));
}

void CurveWalk::completePair(Point first, Point second) {
    if (lines_ == LinkingLines::On) {
        if (pairCount_ == 4) {
            pairCount_ = 0;
            surface_.setDrawWidth(1);
            surface_.Line(static_cast<float>(plan_.cx + first.x),
                          static_cast<float>(plan_.cy - first.y),
                          static_cast<float>(plan_.cx + second.x),
                          static_cast<float>(plan_.cy - second.y), paletteColor(colour_ + 1));
        } else {
            ++pairCount_;
        }
    }
    if (colour_ == 14)
        colour_ = 1;
}

} // namespace

std::optional<QString> runCurveGenerator(const CurveConstants& constants, LinkingLines lines,
                                         std::int16_t& Miocolor, PlotVariables& plot,
                                         DrawingSurface& surface, ProgressReport* progress) {
    RunPlan plan;
    if (auto message = startRun(constants, Miocolor, plot, plan))
        return message;
    CurveWalk(plan, lines, Miocolor, plot, surface, progress).run();
    return std::nullopt;
}

void setUpPlotWindow(DrawingSurface& surface, PlotVariables& plot, const TaggedValue& Incr) {
    constexpr float plotWidth = 500.0f;
    constexpr float originOffset = 10.0f; // O lies this far right of the centre
    plot.P1 = TaggedValue::fromSingle(degreeToRadianSingle);
    surface.setScaleMode(7);
    surface.setDrawWidth(2);
    surface.setScaleWidth(plotWidth);
    // A factor that is not a number, or a height past the single range, leaves no height.
    const Outcome<TaggedValue> height =
        multiply(TaggedValue::fromSingle(surface.ScaleWidth()), Incr);
    surface.setScaleHeight(height ? height.value().toSingle().valueOr(0.0f) : 0.0f);
    plot.CX = TaggedValue::fromSingle(surface.ScaleWidth() / 2 + originOffset);
    plot.CY = TaggedValue::fromSingle(surface.ScaleHeight() / 2);
    surface.Line(plot.CX.single(), 0, plot.CX.single(), surface.ScaleHeight());
    surface.Line(0, plot.CY.single(), surface.ScaleWidth(), plot.CY.single());
}
