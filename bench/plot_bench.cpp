#include "bench_support.h"
#include "plain_math.h"

#include "app/program.h"
#include "surface/plot_surface.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/plot/form4.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cmath>

namespace {

// A million passes, every point inside the bounds.
constexpr RunConstants millionPasses{200, 45, 1e6, 0.01};
// Ten million passes of which curve 1 leaves the bounds for good after 3.7 million
// (t still within 16 bits at the last pass).
constexpr RunConstants earlyEnd{600, 45, 1e7, 0.003};
// A hundred million passes, every point inside the bounds: a run of a second or more.
constexpr RunConstants hundredMillionPasses{200, 45, 1e8, 0.0003};
// About the factor that makes the plot window's circles round.
constexpr double plotIncr = 0.63;

void putConstants(Form3& constants, const RunConstants& values) {
    constants.VALa = TaggedValue::fromDouble(values.VALa);
    constants.VALb = TaggedValue::fromDouble(values.VALb);
    constants.VALc = TaggedValue::fromDouble(values.VALc);
    constants.VALe = TaggedValue::fromDouble(values.VALe);
}

// The plot window shown, with the constants in the constants window.
Form4& plotWindowFor(const RunConstants& values) {
    Program& program = benchProgram();
    putConstants(program.form3(), values);
    if (!program.existingForm4() || !program.form4().isVisible()) {
        program.form2().Incr = TaggedValue::fromDouble(plotIncr);
        program.Show(program.form4());
    }
    settle();
    return program.form4();
}

PlotScale scaleOf(const Form4& plot) {
    return {plot.P1.single(), plot.CX.single(), plot.CY.single()};
}

enum class Start { Activation, LinesButton };

// Full runs of CALCOLA into the plot window's own surface, as the program makes them.
void fullRun(benchmark::State& state, RunConstants values, Start start) {
    Form4& plot = plotWindowFor(values);
    auto* command4 = plot.control<QPushButton>(QStringLiteral("Command4"));
    for (auto _ : state) {
        state.PauseTiming();
        benchProgram().form3().Miocolor = 0;
        settle();
        state.ResumeTiming();
        if (start == Start::LinesButton)
            command4->click();
        else
            plot.CALCOLA();
        settle();
    }
    // How far curve 1 went: X1 over its step.
    const double step =
        values.VALa / values.VALc * std::cos(values.VALb * double(plot.P1.single()));
    state.counters["passes_made"] = std::round(plot.X1.real() / step);
    state.counters["device_pixel_ratio"] = plot.surface().devicePixelRatioF();
}

// The longest time the event loop waits during a long run: a timer that should fire every
// millisecond notes the longest gap between its ticks, and between the last one and the end.
void longRunLatency(benchmark::State& state) {
    Form4& plot = plotWindowFor(hundredMillionPasses);
    double longest = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        benchProgram().form3().Miocolor = 0;
        settle();
        state.ResumeTiming();
        QElapsedTimer sinceTick;
        qint64 worst = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            worst = std::max(worst, sinceTick.nsecsElapsed());
            sinceTick.restart();
        });
        ticker.start(1);
        sinceTick.start();
        plot.CALCOLA();
        worst = std::max(worst, sinceTick.nsecsElapsed());
        ticker.stop();
        longest = std::max(longest, static_cast<double>(worst) / 1e6);
        settle();
    }
    state.counters["ui_latency_ms"] = longest;
}

void runMath(benchmark::State& state, RunConstants values) {
    const PlotScale scale = scaleOf(plotWindowFor(millionPasses));
    MathResult result;
    for (auto _ : state) {
        result = plainRunMath(values, scale);
        benchmark::DoNotOptimize(result);
    }
    state.counters["dots"] = static_cast<double>(result.drawn);
}

void timed(benchmark::internal::Benchmark* benchmark, int iterations) {
    benchmark->Unit(benchmark::kMillisecond)->Iterations(iterations)->Repetitions(benchRepetitions);
}

} // namespace

void registerPlotBenchmarks() {
    const bool doubled = qFuzzyCompare(qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(), 2.0);
    timed(benchmark::RegisterBenchmark("math/run_reference", runMath, millionPasses), 2);
    if (doubled) {
        timed(
            benchmark::RegisterBenchmark("run/dots_2x", fullRun, millionPasses, Start::Activation),
            2);
        return;
    }
    timed(benchmark::RegisterBenchmark("run/dots", fullRun, millionPasses, Start::Activation), 2);
    timed(benchmark::RegisterBenchmark("run/lines", fullRun, millionPasses, Start::LinesButton), 2);
    timed(benchmark::RegisterBenchmark("run/early_end_1e7", fullRun, earlyEnd, Start::Activation),
          1);
    benchmark::RegisterBenchmark("run/long_1e8", longRunLatency)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3);
}
