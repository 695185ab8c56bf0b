#include "windows/plot/curve_run.h"

#include "surface/plot_surface.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <thread>

namespace {

// How often the interface thread repaints and refreshes the progress while a worker runs.
constexpr int refreshMilliseconds = 50;

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

// Passes the progress on until the program ends under the task; then says stop.
class Abandonable : public ProgressReport {
public:
    explicit Abandonable(ProgressReport& progress) : progress_(progress) {}

    bool update(std::int64_t done, std::int64_t total) override {
        return progress_.update(done, total) && !abandoned_.load(std::memory_order_relaxed);
    }
    void abandon() { abandoned_.store(true, std::memory_order_relaxed); }
    Caller caller() const override { return progress_.caller(); }
    Events refresh() override { return progress_.refresh(); }

private:
    ProgressReport& progress_;
    std::atomic<bool> abandoned_{false};
};

QEventLoop::ProcessEventsFlags flagsFor(ProgressReport::Events events) {
    return events == ProgressReport::Events::All ? QEventLoop::AllEvents
                                                 : QEventLoop::ExcludeUserInputEvents;
}

} // namespace

void runOnWorker(ProgressReport& progress, const std::function<void(ProgressReport&)>& task,
                 const std::function<void()>& refreshed) {
    Abandonable reports(progress);
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        task(reports);
        finished.store(true);
        // By name: the posted call then holds nothing that this thread would have to free.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    ProgressReport::Events events = progress.refresh();
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        if (refreshed)
            refreshed();
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
            reports.abandon();
            break;
        }
    }
    worker.join();
}

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
