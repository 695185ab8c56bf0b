#pragma once

// The plot window's set-up and its curve generator, over any drawing surface. Knows no
// widget and shows no message: it hands the message back.

#include "core/drawing_surface.h"
#include "core/progress.h"
#include "core/tagged_value.h"

#include <QString>
#include <cstdint>
#include <optional>

// The plot window's public variables: its scale and origin, set before any run, and what
// the last run of the generator left behind.
struct PlotVariables {
    TaggedValue P1;
    TaggedValue CX;
    TaggedValue CY;
    TaggedValue Ve;
    TaggedValue X1;
    TaggedValue Y1;
    std::int16_t A2 = 0;
    TaggedValue OA;
    TaggedValue BETA1;
};

// The four constants as the constants window holds them.
struct CurveConstants {
    TaggedValue VALa; // length of OA
    TaggedValue VALb; // angle of OA with the X axis, degrees
    TaggedValue VALc; // n: the last ALFA and the divisor of OA
    TaggedValue VALe; // increment of t per ALFA, degrees
};

enum class LinkingLines { Off, On };

// Messages the generator hands back to be shown to the user.
inline const QString segmentIsNullMessage = QStringLiteral(" Il segmento Vn è nullo ");
inline const QString incrementTooLargeMessage = QStringLiteral(
    "ALFA × incremento di t esce dai limiti da -32768 a 32767: ridurre n o l'incremento di t");

// The colour cursor after a run that started at this one, as every run advances it.
std::int16_t advanceCursor(std::int16_t colour);

// One run of the curve generator: advances the colour cursor, walks curve 1 along OA and
// curve 2 towards OA's direction scaled by sin(t), drawing every point that lies within the
// half-extents CX and CY, and on a run with linking lines joins every fifth completed pair.
// Returns the message to show when the run cannot be made (n = 0, a constant that is not a
// number, or t past the 16-bit range); nothing is drawn then.
// A long run reports its passes to the progress every few thousand passes and stops where it
// is when the progress says so.
std::optional<QString> runCurveGenerator(const CurveConstants& constants, LinkingLines lines,
                                         std::int16_t& Miocolor, PlotVariables& plot,
                                         DrawingSurface& surface,
                                         ProgressReport* progress = nullptr);

// The plot window's set-up before each run: a scale 500 units wide and 500 × Incr high, the
// degree factor P1, the origin O = (CX, CY) 10 units right of the centre, and the two axes
// through O in the foreground colour.
void setUpPlotWindow(DrawingSurface& surface, PlotVariables& plot, const TaggedValue& Incr);
