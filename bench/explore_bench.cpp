#include "bench_support.h"

#include "figure/replay.h"
#include "shell/layout.h"
#include "windows/explore/candidate_frame.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

// What a step of a drag in the explorer costs: the candidate over the kept drawing, for the
// constants window's first run and for the longest candidate still drawn on the interface
// thread, against drawing that first run afresh with its set-up.

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

void timed(benchmark::internal::Benchmark* benchmark, int iterations) {
    benchmark->Unit(benchmark::kMillisecond)->Iterations(iterations)->Repetitions(benchRepetitions);
}

} // namespace

void registerExploreBenchmarks() {
    timed(benchmark::RegisterBenchmark("explore/frame_90", drawFrames, 90.0, Drawing::Kept), 20);
    timed(benchmark::RegisterBenchmark("explore/frame_3e5", drawFrames, 3e5 - 1, Drawing::Kept), 5);
    timed(benchmark::RegisterBenchmark("explore/frame_90_afresh", drawFrames, 90.0, Drawing::Afresh), 20);
}
