#include "core/curve_generator.h"

#include "core/curve_walk.h"
#include "core/degrees.h"
#include "core/number_text.h"
#include "core/numeric.h"
#include "core/palette.h"

#include <cmath>
#include <limits>
#include <numbers>

using namespace curve_walk;

std::int16_t advanceCursor(std::int16_t colour) {
    // Past the 16-bit limit the cursor starts again from 0 rather than overflowing.
    return colour == std::numeric_limits<std::int16_t>::max()
               ? std::int16_t{0}
               : static_cast<std::int16_t>(colour + 1);
}

namespace {

bool fitsInt16(double value) {
    return value >= -32768.0 && value <= 32767.0;
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

} // namespace

std::optional<QString> runCurveGenerator(const CurveConstants& constants, LinkingLines lines,
                                         std::int16_t& Miocolor, PlotVariables& plot,
                                         DrawingSurface& surface, ProgressReport* progress) {
    RunPlan plan;
    if (auto message = startRun(constants, Miocolor, plot, plan))
        return message;
    walkCurves(plan, lines, Miocolor, plot, surface, progress);
    return std::nullopt;
}

void setUpPlotWindow(DrawingSurface& surface, PlotVariables& plot, const TaggedValue& Incr) {
    constexpr float plotWidth = 500.0f;
    constexpr float originOffset = 10.0f; // O lies this far right of the centre
    plot.P1 = TaggedValue::fromSingle(degreeToRadianSingle);
    surface.setScaleMode(ScaleMode::Centimetres);
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
