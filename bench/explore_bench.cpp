#include "bench_support.h"

#include "app/program.h"
#include "figure/replay.h"
#include "shell/layout.h"
#include "windows/explore/candidate_frame.h"
#include "windows/explore/explore_window.h"

#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

// What a step of a drag in the explorer costs. In the window: from a slider's change to its
// frame painted, for the constants window's first run (drawn at once) and for a run of 10^6
// passes (drawn on the worker). The drawing alone: the candidate over the kept drawing, for
// that first run and for the longest candidate still drawn on the interface thread, against
// drawing that first run afresh with its set-up.

namespace {

constexpr double plotIncr = 0.63;

CurveConstants constantsOf(double VALa, double VALb, double VALc, double VALe) {
    return {TaggedValue::fromDouble(VALa), TaggedValue::fromDouble(VALb),
            TaggedValue::fromDouble(VALc), TaggedValue::fromDouble(VALe)};
}

// A drawing of three runs, as the explorer finds it.
FrameRequest frameOver(const CurveConstants& candidate) {
    FrameRequest request;
    request.Incr = TaggedValue::fromDouble(plotIncr);
    request.look = plotWindowLook();
    request.ratio = qGuiApp->devicePixelRatio();
    std::int16_t colour = 0;
    PlotVariables plot;
    DrawingSurface nowhere;
    for (const CurveConstants& run : {constantsOf(86, 55, 90, 1), constantsOf(120, 30, 180, 0.5),
                                      constantsOf(60, -20, 90, 2)}) {
        setUpAndRecord(request.journal, nowhere, plot, request.Incr);
        runAndRecord(request.journal, run, LinkingLines::Off, colour, plot, nowhere);
    }
    request.colour = colour;
    request.candidate = candidate;
    return request;
}

enum class Drawing { Kept, Afresh };

void drawFrames(benchmark::State& state, double n, Drawing drawing) {
    FrameRequest request = frameOver(constantsOf(86, 55, n, 0.01));
    if (drawing == Drawing::Kept)
        request.base = drawFrame(request)->base;
    for (auto _ : state)
        benchmark::DoNotOptimize(drawFrame(request));
    state.counters["passes"] = double(framePasses(request));
}

// The session as after AVANTI with the constants window's first texts, so the benchmarks
// before leave no trace in the drawing; the explorer shown on it.
ExploreWindow& explorerOverFirstRun() {
    Program& program = benchProgram();
    const TaggedValue Incr = TaggedValue::fromDouble(plotIncr);
    const CurveConstants run = constantsOf(86, 55, 90, 1);
    SessionControls controls = program.session().controls();
    controls.Incr = Incr;
    controls.constants = {run.VALa, run.VALb, run.VALc, run.VALe};
    controls.constantTexts = typedTextsFor(run);
    controls.Miocolor = 1; // as the run left it
    program.session().restore(
        controls, {PlotSetUp{Incr}, PlotRun{run, LinkingLines::Off, 0, std::nullopt,
                                            typedTextsFor(run)}});
    ExploreWindow& explorer = program.exploreWindow();
    explorer.show();
    settle();
    return explorer;
}

// A range typed into the slider's three fields, as the user does.
void typeRange(ExploreWindow& explorer, Constant constant, const SliderRange& range) {
    const std::array<std::pair<RangeEnd, double>, 3> ends{
        {{RangeEnd::Minimum, range.minimum}, {RangeEnd::Maximum, range.maximum},
         {RangeEnd::Step, range.step}}};
    for (const auto& [end, value] : ends) {
        explorer.rangeField(constant, end).setText(QLocale().toString(value, 'g', 17));
        emit explorer.rangeField(constant, end).editingFinished();
    }
}

// Until the latest frame is taken from the worker, then its repaint.
void untilShown(ExploreWindow& explorer) {
    while (explorer.frames().drawing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settle();
}

double percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto at = std::size_t(fraction * double(samples.size() - 1) + 0.5);
    return samples[std::min(at, samples.size() - 1)];
}

// Each iteration moves n's slider one position, back and forth around the start, and waits
// for the frame to be shown; every change is timed on its own.
void sliderFrames(benchmark::State& state, std::array<double, 4> start) {
    ExploreWindow& explorer = explorerOverFirstRun();
    const double n = start[2];
    const double half = std::max(90.0, n / 1e4);
    typeRange(explorer, Constant::N, {n - half, n + half, 1});
    for (std::size_t index = 0; index < start.size(); ++index)
        explorer.valueBox(Constant(index)).setValue(start[index]);
    untilShown(explorer);
    QSlider& slider = explorer.slider(Constant::N);
    const int middle = slider.value();
    std::vector<double> samples;
    for (auto _ : state) {
        const qint64 before = explorer.picture().cacheKey();
        QElapsedTimer timer;
        timer.start();
        slider.setValue(samples.size() % 2 == 0 ? middle + 1 : middle);
        untilShown(explorer);
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
        state.SetIterationTime(samples.back() / 1e3);
        if (explorer.picture().cacheKey() == before || !explorer.refusalLabel().text().isEmpty())
            state.SkipWithError("the change showed no new candidate");
    }
    explorer.hide();
    state.counters["median_ms"] = percentile(samples, 0.5);
    state.counters["p99_ms"] = percentile(samples, 0.99);
    state.counters["passes"] = explorer.explorer().value(Constant::N);
}

void timed(benchmark::internal::Benchmark* benchmark, int iterations) {
    benchmark->Unit(benchmark::kMillisecond)->Iterations(iterations)->Repetitions(benchRepetitions);
}

} // namespace

void registerExploreBenchmarks() {
    timed(benchmark::RegisterBenchmark("explore/frame_90", drawFrames, 90.0, Drawing::Kept), 20);
    timed(benchmark::RegisterBenchmark("explore/frame_3e5", drawFrames, 3e5 - 1, Drawing::Kept), 5);
    timed(benchmark::RegisterBenchmark("explore/frame_90_afresh", drawFrames, 90.0, Drawing::Afresh), 20);
    // The constants window's first run; then a million passes, every point inside the bounds.
    const std::array<double, 4> firstRun{86, 55, 90, 1};
    const std::array<double, 4> millionPasses{200, 45, 1e6, 0.01};
    timed(benchmark::RegisterBenchmark("explore/slider_default", sliderFrames, firstRun)
              ->UseManualTime(),
          100);
    timed(benchmark::RegisterBenchmark("explore/slider_1e6", sliderFrames, millionPasses)
              ->UseManualTime(),
          10);
}
