#include "windows/plot/curve_run.h"

#include "surface/plot_surface.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <thread>

namespace {

// From this many passes a run takes long enough to be worth a thread.
constexpr double passesForWorker = 300000;
// How often the interface thread repaints and refreshes the progress while a worker runs.
constexpr int refreshMilliseconds = 50;

// Passes the progress on, and remembers where it stopped the run.
class StopRecorder : public ProgressReport {
public:
    explicit StopRecorder(ProgressReport* progress) : progress_(progress) {}

    bool update(std::int64_t done, std::int64_t total) override {
        if (progress_->update(done, total) && !abandoned_.load(std::memory_order_relaxed))
            return true;
        stoppedAfter = done;
        return false;
    }
    // The program is ending: the run stops at its next report.
    void abandon() { abandoned_.store(true, std::memory_order_relaxed); }
    Caller caller() const override { return progress_->caller(); }
    Events refresh() override { return progress_->refresh(); }

    // Written by the thread of the run, read once it is over.
    std::optional<std::int64_t> stoppedAfter;

private:
    ProgressReport* progress_;
    std::atomic<bool> abandoned_{false};
};

QEventLoop::ProcessEventsFlags flagsFor(ProgressReport::Events events) {
    return events == ProgressReport::Events::All ? QEventLoop::AllEvents
                                                 : QEventLoop::ExcludeUserInputEvents;
}

// The worker runs on copies of the variables, which take their place once it is done: the
// interface thread never sees them half-way.
std::optional<QString> runOnWorker(PlotSurface& surface, const CurveConstants& constants,
                                   LinkingLines lines, std::int16_t& Miocolor,
                                   PlotVariables& plot, StopRecorder& progress) {
    std::int16_t colour = Miocolor;
    PlotVariables variables = plot;
    std::optional<QString> message;
    DrawingSurface& shared = surface.sharedDrawing();
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        message = runCurveGenerator(constants, lines, colour, variables, shared, &progress);
        finished.store(true);
        // By name: the posted call then holds nothing that this thread would have to free.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    ProgressReport::Events events = progress.refresh();
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        surface.update();
        const ProgressReport::Events now = progress.refresh();
        if (now != events) {
            events = now;
            loop.exit(); // to take up the new flags
        }
    });
    refresh.start(refreshMilliseconds);
    while (!finished.load()) {
        // An event loop refuses to run once the program is ending.
        if (loop.exec(flagsFor(events)) < 0) {
            progress.abandon();
            break;
        }
    }
    worker.join();
    Miocolor = colour;
    plot = variables;
    surface.update();
    return message;
}

} // namespace

CurveRunResult runCurveGeneratorOn(PlotSurface& surface, const CurveConstants& constants,
                                   LinkingLines lines, std::int16_t& Miocolor,
                                   PlotVariables& plot, ProgressReport* progress) {
    if (!progress)
        return {runCurveGenerator(constants, lines, Miocolor, plot, surface), std::nullopt};
    StopRecorder recorder(progress);
    const bool longRun = constants.VALc.toDouble().valueOr(0.0) >= passesForWorker;
    CurveRunResult result;
    if (longRun && progress->caller() == ProgressReport::Caller::AnyThread)
        result.message = runOnWorker(surface, constants, lines, Miocolor, plot, recorder);
    else
        result.message = runCurveGenerator(constants, lines, Miocolor, plot, surface, &recorder);
    result.stoppedAfter = recorder.stoppedAfter;
    return result;
}
