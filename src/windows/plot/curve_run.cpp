#include "windows/plot/curve_run.h"

#include "surface/plot_surface.h"


namespace {

// Passes the progress on, and remembers where it stopped the run.
class StopRecorder : public ProgressReport {
public:
    explicit StopRecorder(ProgressReport& progress) : progress_(progress) {}

    bool update(std::int64_t done, std::int64_t total) override {
        if (progress_.update(done, total))
            return true;
        stoppedAfter = done;
        return false;
    }
    Caller caller() const override { return progress_.caller(); }
    Events refresh() override { return progress_.refresh(); }

    // Written by the thread of the run, read once it is over.
    std::optional<std::int64_t> stoppedAfter;

private:
    ProgressReport& progress_;
};

} // namespace

CurveRunResult runCurveGeneratorOn(PlotSurface& surface, const CurveConstants& constants,
                                   LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
                                   ProgressReport* progress) {
    if (!progress)
        return {runCurveGenerator(constants, lines, Miocolor, plot, surface), std::nullopt};
    CurveRunResult result;
    const auto run = [&](DrawingSurface& target, std::int16_t& colour, PlotVariables& variables,
                         ProgressReport& reports) {
        StopRecorder recorder(reports);
        result.message = runCurveGenerator(constants, lines, colour, variables, target, &recorder);
        result.stoppedAfter = recorder.stoppedAfter;
    };
    const bool longRun = constants.VALc.toDouble().valueOr(0.0) >= passesForWorker;
    if (!longRun || progress->caller() != ProgressReport::Caller::AnyThread) {
        run(surface, Miocolor, plot, *progress);
        return result;
    }
    // The worker runs on copies of the variables, which take their place once it is done: the
    // interface thread never sees them half-way.
    std::int16_t colour = Miocolor;
    PlotVariables variables = plot;
    DrawingSurface& shared = surface.sharedDrawing();
    runOnWorker(
        *progress, [&](ProgressReport& reports) { run(shared, colour, variables, reports); },
        [&surface] { surface.update(); });
    Miocolor = colour;
    plot = variables;
    surface.update();
    return result;
}
