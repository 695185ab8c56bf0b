#pragma once

#include "core/curve_generator.h"
#include "core/drawing_surface.h"
#include "core/palette.h"
#include "core/tagged_value.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

// The curve generator read plainly: the start steps and every step of every pass as they
// are written, in tagged arithmetic, with the pass's own cosines and sines, and no shortcut
// of any kind. The generator's fast paths must leave the same variables and draw the same
// pixels. Only runs within the limits are read here: a refused run gives no value.
namespace plain_curve_run {

struct ReferenceWalk {
    double lastX1 = 0.0;
    double lastY1 = 0.0;
    double lastX2 = 0.0;
    double lastY2 = 0.0;
    int pairCount = 0;
};

// The reference reading meets only numbers: anything else is a fault of the test itself.
inline double number(const Outcome<TaggedValue>& value) {
    if (!value)
        qFatal("the reference run met a value that is not a number");
    return value.value().toDouble().valueOr(0.0);
}

inline void drawDot(DrawingSurface& surface, double x, double y, int colourIndex) {
    surface.setDrawWidth(3);
    surface.PSet(static_cast<float>(x), static_cast<float>(y), paletteColor(colourIndex));
}

// Steps 9 to 14 of a pass, once curve 1's dot is drawn.
inline void curveTwo(double epsilon, double SinT, double X1, double Y1, LinkingLines lines,
                     std::int16_t& Miocolor, const PlotVariables& plot, DrawingSurface& surface,
                     ReferenceWalk& walk) {
    const double CX = plot.CX.toDouble().value();
    const double CY = plot.CY.toDouble().value();
    const double BETA1 = plot.BETA1.toDouble().value();
    const double NewX2 = epsilon * std::cos(BETA1 * SinT) + walk.lastX2;
    const double NewY2 = epsilon * std::sin(BETA1 * SinT) + walk.lastY2;
    if (std::fabs(NewX2) > CX || std::fabs(NewY2) > CY)
        return;
    drawDot(surface, CX + NewX2, CY - NewY2, Miocolor + 1);
    walk.lastX2 = NewX2;
    walk.lastY2 = NewY2;
    if (lines == LinkingLines::On) {
        if (walk.pairCount == 4) {
            walk.pairCount = 0;
            surface.setDrawWidth(1);
            surface.Line(static_cast<float>(CX + X1), static_cast<float>(CY - Y1),
                         static_cast<float>(CX + NewX2), static_cast<float>(CY - NewY2),
                         paletteColor(Miocolor + 1));
        } else {
            walk.pairCount = walk.pairCount + 1;
        }
    }
    if (Miocolor == 14)
        Miocolor = 1;
}

inline void pass(const TaggedValue& ALFA, double epsilon, LinkingLines lines,
                 std::int16_t& Miocolor, PlotVariables& plot, DrawingSurface& surface,
                 ReferenceWalk& walk) {
    const double CosAlfa = std::cos(number(multiply(ALFA, plot.P1)));
    plot.A2 = multiply(ALFA, plot.Ve).value().toInt16().value();
    const double t = number(multiply(TaggedValue::fromInt16(plot.A2), plot.P1));
    const double CosT = std::cos(t);
    const double SinT = std::sin(t);
    if (CosAlfa == 0.0 || CosT == 0.0)
        return;
    const double BETA1 = plot.BETA1.toDouble().value();
    const double X1 = epsilon * std::cos(BETA1) + walk.lastX1;
    const double Y1 = epsilon * std::sin(BETA1) + walk.lastY1;
    plot.X1 = TaggedValue::fromDouble(X1);
    plot.Y1 = TaggedValue::fromDouble(Y1);
    const double CX = plot.CX.toDouble().value();
    const double CY = plot.CY.toDouble().value();
    if (std::fabs(X1) > CX || std::fabs(Y1) > CY)
        return;
    drawDot(surface, CX + X1, CY - Y1, Miocolor);
    walk.lastX1 = X1;
    walk.lastY1 = Y1;
    curveTwo(epsilon, SinT, X1, Y1, lines, Miocolor, plot, surface, walk);
}

// One run; returns the message of an n of 0, as the generator does. A run stopped by the
// user makes only its first passes. beforePass, when given, hears each pass's ALFA first.
inline std::optional<QString>
run(const CurveConstants& constants, LinkingLines lines, std::int16_t& Miocolor,
    PlotVariables& plot, DrawingSurface& surface,
    std::int64_t passesMade = std::numeric_limits<std::int64_t>::max(),
    const std::function<void(std::int64_t)>& beforePass = {}) {
    Miocolor = static_cast<std::int16_t>(Miocolor + 1);
    plot.OA = constants.VALa;
    plot.BETA1 = multiply(constants.VALb, plot.P1).value();
    const TaggedValue n = constants.VALc;
    plot.Ve = constants.VALe;
    if (compareNumber(n, 0).value() == 0)
        return segmentIsNullMessage;
    const double epsilon = number(divide(plot.OA, n));
    const double last = n.toDouble().value();
    ReferenceWalk walk;
    std::int64_t made = 0;
    for (TaggedValue ALFA = TaggedValue::fromInt16(0);
         compareNumber(ALFA, last).value() <= 0 && made++ < passesMade;
         ALFA = add(ALFA, TaggedValue::fromInt16(1)).value()) {
        if (beforePass)
            beforePass(static_cast<std::int64_t>(number(ALFA)));
        pass(ALFA, epsilon, lines, Miocolor, plot, surface, walk);
    }
    return std::nullopt;
}

} // namespace plain_curve_run
