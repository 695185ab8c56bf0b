#include "bench_support.h"

#include "core/curve_generator.h"
#include "core/palette.h"
#include "core/raster.h"
#include "surface/image_surface.h"

#include <QPainter>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

// The drawing layer on its own, without a window: what the economical batching saves over
// writing every operation as it comes, and what the rasteriser costs against QPainter for
// the same pixels' worth of dots and lines.

namespace {

const QSize plotArea(707, 452);

// A million passes with the linking lines, every point inside the bounds.
void generatorOnSurface(benchmark::State& state, ImageSurface::Drawing drawing) {
    const CurveConstants constants{TaggedValue::fromDouble(200), TaggedValue::fromDouble(45),
                                   TaggedValue::fromDouble(1e6), TaggedValue::fromDouble(0.01)};
    ImageSurface surface;
    surface.setDrawing(drawing);
    surface.setColours(qRgb(0, 0, 0), qRgb(240, 240, 240));
    surface.setArea(plotArea, 1.0, QPointF(96, 96));
    for (auto _ : state) {
        PlotVariables plot;
        std::int16_t Miocolor = 0;
        surface.Cls();
        setUpPlotWindow(surface, plot, TaggedValue::fromDouble(0.63));
        benchmark::DoNotOptimize(
            runCurveGenerator(constants, LinkingLines::On, Miocolor, plot, surface));
        surface.flush();
    }
}

struct Shapes {
    std::vector<QPoint> dots;
    std::vector<QLine> lines;
};

// Dots of 3 pixels and one-pixel lines, spread over the plot's area.
Shapes someShapes() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, plotArea.width() - 1);
    std::uniform_int_distribution<int> y(0, plotArea.height() - 1);
    Shapes shapes;
    for (int index = 0; index < 200000; ++index)
        shapes.dots.emplace_back(x(random), y(random));
    for (int index = 0; index < 2000; ++index)
        shapes.lines.emplace_back(x(random), y(random), x(random), y(random));
    return shapes;
}

void ownRaster(benchmark::State& state) {
    const Shapes shapes = someShapes();
    QImage image(plotArea, QImage::Format_RGB32);
    const raster::Canvas canvas = raster::canvasOf(image);
    const raster::Footprint footprint = raster::makeFootprint(3);
    for (auto _ : state) {
        int colour = 0;
        for (const QPoint& dot : shapes.dots)
            raster::paintDot(canvas, {dot.x(), dot.y(), 3, paletteColor(++colour)}, footprint);
        for (const QLine& line : shapes.lines)
            raster::paintLine(canvas, {line.x1(), line.y1(), line.x2(), line.y2(), 1},
                              paletteColor(++colour));
        benchmark::DoNotOptimize(image.constBits());
    }
}

void qpainterRaster(benchmark::State& state) {
    const Shapes shapes = someShapes();
    QImage image(plotArea, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        int colour = 0;
        for (const QPoint& dot : shapes.dots)
            painter.fillRect(dot.x() - 1, dot.y() - 1, 3, 3, QColor(paletteColor(++colour)));
        for (const QLine& line : shapes.lines) {
            painter.setPen(QPen(QColor(paletteColor(++colour)), 0));
            painter.drawLine(line);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void timed(benchmark::internal::Benchmark* benchmark, int iterations) {
    benchmark->Unit(benchmark::kMillisecond)->Iterations(iterations)->Repetitions(benchRepetitions);
}

} // namespace

void registerSurfaceBenchmarks() {
    timed(benchmark::RegisterBenchmark("surface/economical", generatorOnSurface,
                                       ImageSurface::Drawing::Economical),
          2);
    timed(benchmark::RegisterBenchmark("surface/direct", generatorOnSurface,
                                       ImageSurface::Drawing::Direct),
          2);
    timed(benchmark::RegisterBenchmark("raster/own", ownRaster), 3);
    timed(benchmark::RegisterBenchmark("raster/qpainter", qpainterRaster), 3);
}
