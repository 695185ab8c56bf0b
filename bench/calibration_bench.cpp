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
// and TRACCIA again, at the factor of bar value 3.
void changeDrawing(benchmark::State& state) {
    Form2& calibration = calibrationWindow();
    calibration.Incr = TaggedValue::fromDouble(incrAtValue3);
    for (auto _ : state) {
        calibration.COORDINATE();
        calibration.TRACCIA();
    }
    settle();
}

// The same with a surface that draws nothing: what the window's own loop costs.
void changeWithoutSurface(benchmark::State& state) {
    struct NoSurface : DrawingSurface {
        void setScaleMode(int) override {}
        void setScaleWidth(float width) override { width_ = width; }
        void setScaleHeight(float height) override { height_ = height; }
        float ScaleWidth() const override { return width_; }
        float ScaleHeight() const override { return height_; }
        void setDrawWidth(int) override {}
        int DrawWidth() const override { return 1; }
        void PSet(float x, float y, QRgb) override { sum_ += x + y; }
        void Line(float, float, float, float, std::optional<QRgb>) override {}
        void Cls() override {}
        float width_ = 0, height_ = 0, sum_ = 0;
    } none;
    Form2& calibration = calibrationWindow();
    calibration.Incr = TaggedValue::fromDouble(incrAtValue3);
    calibration.drawOn(none);
    for (auto _ : state) {
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
