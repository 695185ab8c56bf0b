#include "bench_support.h"

#include "app/program.h"
#include "figure/replay.h"
#include "windows/lens/lens_frame.h"
#include "windows/lens/lens_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

// What the lens costs. A zoom step of a million-pass figure, from the key to its frame shown
// (drawn on the worker); and the look-up of the dot under the cursor in the longest figure
// whose dots are listed, the list made first.

namespace {

constexpr double plotIncr = 0.63;

// Until the latest frame is taken from the worker, then its repaint.
void untilShown(LensWindow& lens) {
    while (lens.frames().drawing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settle();
}

// The lens shown on one run of those constants, its picture drawn.
LensWindow& lensOver(const std::array<double, 4>& values) {
    Program& program = benchProgram();
    const TaggedValue Incr = TaggedValue::fromDouble(plotIncr);
    const CurveConstants run{TaggedValue::fromDouble(values[0]), TaggedValue::fromDouble(values[1]),
                             TaggedValue::fromDouble(values[2]),
                             TaggedValue::fromDouble(values[3])};
    SessionControls controls = program.session().controls();
    controls.Incr = Incr;
    controls.Miocolor = 1; // as the run left it
    program.session().restore(
        controls,
        {PlotSetUp{Incr}, PlotRun{run, LinkingLines::Off, 0, std::nullopt, typedTextsFor(run)}});
    LensWindow& lens = program.lensWindow();
    lens.show();
    lens.reset();
    untilShown(lens);
    return lens;
}

double percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto at = std::size_t(fraction * double(samples.size() - 1) + 0.5);
    return samples[std::min(at, samples.size() - 1)];
}

// Each iteration zooms in or out by 2 about the centre, in turn, between 2 and 4 (each view
// moved through the zoom), and waits for the frame to be shown; every step is timed on its own.
void zoomSteps(benchmark::State& state) {
    LensWindow& lens = lensOver({200, 45, 1e6, 0.01});
    lens.zoomIn();
    untilShown(lens);
    std::vector<double> samples;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (samples.size() % 2 == 0)
            lens.zoomIn();
        else
            lens.zoomOut();
        untilShown(lens);
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(samples.back() / 1e3);
        if (!(lens.frames().shownView() == lens.model().view()))
            state.SkipWithError("the step's view was not shown");
    }
    lens.hide();
    state.counters["median_ms"] = percentile(samples, 0.5);
    state.counters["p99_ms"] = percentile(samples, 0.99);
}

// The cursor at points spread over the drawing at the whole area's zoom, where a dot is
// looked for within the widest reach; the list of dots made before.
void dotLookUps(benchmark::State& state) {
    LensWindow& lens = lensOver({200, 45, 5e5 - 1, 0.01});
    const QSizeF area = lens.model().area();
    lens.dotNear(QPointF(0, 0));
    std::vector<double> samples;
    int found = 0;
    for (auto _ : state) {
        const auto step = double(samples.size() % 400);
        const QPointF at(area.width() / 2 + step * 0.37, area.height() / 2 - step * 0.29);
        QElapsedTimer timer;
        timer.start();
        found += lens.dotNear(at) ? 1 : 0;
        samples.push_back(double(timer.nsecsElapsed()) / 1e3);
        state.SetIterationTime(samples.back() / 1e6);
    }
    lens.hide();
    if (found == 0)
        state.SkipWithError("no dot was found");
    state.counters["median_us"] = percentile(samples, 0.5);
    state.counters["p99_us"] = percentile(samples, 0.99);
    state.counters["found"] = found;
}

} // namespace

void registerLensBenchmarks() {
    benchmark::RegisterBenchmark("lens/step_1e6", zoomSteps)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10)
        ->Repetitions(benchRepetitions);
    benchmark::RegisterBenchmark("lens/hit", dotLookUps)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(2000)
        ->Repetitions(benchRepetitions);
}
