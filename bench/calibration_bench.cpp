#include "bench_support.h"
#include "plain_math.h"

#include "app/program.h"
#include "core/drawing_surface.h"
#include "surface/plot_surface.h"
#include "windows/calibration/form2.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <benchmark/benchmark.h>

namespace {

constexpr double incrAtValue2 = 0.55;
constexpr double incrAtValue3 = 3 * 0.02 + 0.51;

Form2& calibrationWindow() {
    Program& program = benchProgram();
    if (!program.form2().isVisible())
        program.Show(program.form2());
    settle();
    return program.form2();
}

// One change of the bar, from 2 to 3: the factor goes up, so nothing is erased, and the
// change draws the axes and the figure twice, as the user sees it.
void scrollChange(benchmark::State& state) {
    Form2& calibration = calibrationWindow();
    auto* bar = calibration.control<QScrollBar>(QStringLiteral("HScroll1"));
    for (auto _ : state) {
        state.PauseTiming();
        {
            const QSignalBlocker quiet(bar);
            bar->setValue(2);
        }
        calibration.Incr = TaggedValue::fromDouble(incrAtValue2);
        settle();
        state.ResumeTiming();
        bar->setValue(3);
        settle();
    }
}

// The drawing of a change alone, as the change runs it: COORDINATE (which ends with TRACCIA)
// and TRACCIA again, at the factors of bar values 2 and 3 in turn, so that every change has
// a new figure to work out, as a move of the bar has.
void changeDrawing(benchmark::State& state) {
    Form2& calibration = calibrationWindow();
    bool atValue3 = false;
    for (auto _ : state) {
        atValue3 = !atValue3;
        calibration.Incr = TaggedValue::fromDouble(atValue3 ? incrAtValue3 : incrAtValue2);
        calibration.COORDINATE();
        calibration.TRACCIA();
    }
    settle();
}

// The same with a surface that draws nothing: what the window's own loop costs.
void changeWithoutSurface(benchmark::State& state) {
    struct NoSurface : DrawingSurface {
        void PSet(float x, float y, QRgb) override { sum_ += x + y; }
        float sum_ = 0;
    } none;
    Form2& calibration = calibrationWindow();
    calibration.drawOn(none);
    bool atValue3 = false;
    for (auto _ : state) {
        atValue3 = !atValue3;
        calibration.Incr = TaggedValue::fromDouble(atValue3 ? incrAtValue3 : incrAtValue2);
        calibration.COORDINATE();
        calibration.TRACCIA();
    }
    calibration.drawOn(calibration.surface());
    benchmark::DoNotOptimize(none.sum_);
}

void figureMath(benchmark::State& state) {
    const Form2& calibration = calibrationWindow();
    MathResult result;
    for (auto _ : state) {
        result = plainFigureMath(calibration.P1.single(), calibration.CX.single(),
                                 calibration.CY.single());
        benchmark::DoNotOptimize(result);
    }
}

} // namespace

void registerCalibrationBenchmarks() {
    for (auto* benchmark :
         {benchmark::RegisterBenchmark("calibration/scroll_change", scrollChange),
          benchmark::RegisterBenchmark("calibration/change_drawing", changeDrawing),
          benchmark::RegisterBenchmark("calibration/change_no_surface", changeWithoutSurface),
          benchmark::RegisterBenchmark("math/calibration_reference", figureMath)})
        benchmark->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(benchRepetitions);
}
