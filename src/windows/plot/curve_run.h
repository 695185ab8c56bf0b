#pragma once

#include "core/curve_generator.h"
#include "core/plot_journal.h"
#include "core/worker.h"

#include <cstdint>
#include <functional>
#include <optional>

class PlotSurface;

// What one run of the curve generator came to.
struct CurveRunResult {
    // The message to show, as runCurveGenerator() hands it back.
    std::optional<QString> message;
    // The passes made when the progress stopped the run; none when it went to its end. A run
    // whose progress stops it at this count again draws the very same.
    std::optional<std::int64_t> stoppedAfter;
};

// One run of the curve generator into a plot window's surface, as runCurveGenerator() makes
// it. A long run goes to a worker thread when its progress may be called from there: the
// interface thread meanwhile repaints the drawing as far as it has got and lets the progress
// show itself, and no user input reaches the program until the progress says so. It returns
// once the run is over, with the drawing and the variables of a run on the interface thread.
CurveRunResult runCurveGeneratorOn(PlotSurface& surface, const CurveConstants& constants,
                                   LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
                                   ProgressReport* progress);
