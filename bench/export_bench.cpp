#include "bench_support.h"
#include "plain_math.h"

#include "core/drawing_surface.h"
#include "figure/animation_export.h"
#include "figure/figure_export.h"
#include "figure/replay.h"
#include "shell/layout.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The run of the run benchmarks: a million passes, every point inside the bounds.
constexpr RunConstants millionPasses{200, 45, 1e6, 0.01};
// The constants window's defaults.
constexpr RunConstants defaultRun{86, 55, 90, 1};
constexpr double plotIncr = 0.63;

enum class Export { Png4x, Svg, Pdf };

CurveConstants constantsOf(const RunConstants& values) {
    return {TaggedValue::fromDouble(values.VALa), TaggedValue::fromDouble(values.VALb),
            TaggedValue::fromDouble(values.VALc), TaggedValue::fromDouble(values.VALe)};
}

// The journal of one activation of the plot window with those constants, or of a run of
// "Traccia le linee…" on its set-up.
PlotJournal journalOf(const RunConstants& values, LinkingLines lines) {
    PlotJournal journal;
    journal.recordSetUp(TaggedValue::fromDouble(plotIncr));
    journal.recordRun({constantsOf(values), lines, 0, std::nullopt, {}});
    return journal;
}

QTemporaryDir& scratch() {
    static QTemporaryDir folder;
    return folder;
}

void exportFigure(benchmark::State& state, RunConstants values, Export kind, LinkingLines lines) {
    const PlotJournal journal = journalOf(values, lines);
    const FigureLook look = plotWindowLook();
    const char* names[] = {"figure.png", "figure.svg", "figure.pdf"};
    const QString path = scratch().filePath(QLatin1String(names[int(kind)]));
    for (auto _ : state) {
        switch (kind) {
        case Export::Png4x:
            writeImageFile(renderFigureImage(journal, look, 4), path);
            break;
        case Export::Svg:
            writeSvgFile(journal, look, path);
            break;
        case Export::Pdf:
            writePdfFile(journal, look, path);
            break;
        }
    }
    state.counters["file_kb"] = double(QFileInfo(path).size()) / 1024.0;
}

// Every dot of the run, in window units, with its colour.
class DotCollector : public DrawingSurface {
public:
    void PSet(float x, float y, QRgb colour) override {
        if (collecting)
            stream << x << y << qint32(colour & 0xffffff);
    }

    QDataStream stream;
    bool collecting = false;
};

// The peer: gnuplot draws the same points as 3-pixel squares into a PNG of the window's size.
// Runs gnuplot on the script once each iteration; a failure skips the case with its words.
void runGnuplot(benchmark::State& state, const QString& gnuplot, const QString& script) {
    for (auto _ : state) {
        QProcess process;
        process.start(gnuplot, {QStringLiteral("-e"), script});
        process.waitForFinished(-1);
        if (process.exitCode() != 0)
            state.SkipWithError(process.readAllStandardError().constData());
    }
}

void gnuplotPeer(benchmark::State& state, QString gnuplot) {
    const QString data = scratch().filePath(QStringLiteral("points.bin"));
    QFile file(data);
    file.open(QIODevice::WriteOnly);
    DotCollector points;
    points.stream.setDevice(&file);
    points.stream.setByteOrder(QDataStream::LittleEndian);
    points.stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    PlotVariables plot;
    setUpPlotWindow(points, plot, TaggedValue::fromDouble(plotIncr));
    points.collecting = true;
    std::int16_t colour = 0;
    runCurveGenerator(constantsOf(millionPasses), LinkingLines::Off, colour, plot, points);
    file.close();
    const FigureLook look = plotWindowLook();
    const QString script =
        QStringLiteral("set terminal pngcairo size %1,%2; set output '%3'; set margins 0,0,0,0; "
                       "unset border; unset tics; unset key; set xrange [0:500]; "
                       "set yrange [%4:0]; plot '%5' binary format='%float%float%int32' "
                       "using 1:2:3 with points pt 5 ps 0.4 lc rgb variable")
            .arg(look.logicalSize.width())
            .arg(look.logicalSize.height())
            .arg(scratch().filePath(QStringLiteral("gnuplot.png")))
            .arg(plot.CY.single() * 2)
            .arg(data);
    runGnuplot(state, gnuplot, script);
}

// The default family as an animation: OA from 10 to 109, a frame each, one run a frame.
const Animation defaultFamily{AnimatedConstant::OA, 10, 109, 1};

void exportGif(benchmark::State& state) {
    AnimationJob job;
    job.controls.Incr = TaggedValue::fromDouble(plotIncr);
    job.run = constantsOf(defaultRun);
    job.animation = defaultFamily;
    job.look = plotWindowLook();
    const QString path = scratch().filePath(QStringLiteral("family.gif"));
    for (auto _ : state)
        if (writeAnimation(job, path))
            state.SkipWithError("the GIF was not written");
    state.counters["file_kb"] = double(QFileInfo(path).size()) / 1024.0;
}

// The points of each frame of the default family, in a file a frame.
void writeFramePoints(const QString& folder, PlotVariables& plot) {
    for (std::int64_t frame = 0; frame < frameCount(defaultFamily); ++frame) {
        QFile file(QStringLiteral("%1/frame%2.bin").arg(folder).arg(frame));
        file.open(QIODevice::WriteOnly);
        DotCollector points;
        points.stream.setDevice(&file);
        points.stream.setByteOrder(QDataStream::LittleEndian);
        points.stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
        setUpPlotWindow(points, plot, TaggedValue::fromDouble(plotIncr));
        points.collecting = true;
        std::int16_t colour = 0;
        RunConstants values = defaultRun;
        values.VALa = frameValue(defaultFamily, frame);
        runCurveGenerator(constantsOf(values), LinkingLines::Off, colour, plot, points);
    }
}

// The peer of the GIF: gnuplot's animated GIF of the same frames' points.
void gnuplotGifPeer(benchmark::State& state, QString gnuplot) {
    PlotVariables plot;
    writeFramePoints(scratch().path(), plot);
    const FigureLook look = plotWindowLook();
    const QString script =
        QStringLiteral("set terminal gif animate delay 10 size %1,%2; set output '%3'; "
                       "set margins 0,0,0,0; unset border; unset tics; unset key; "
                       "set xrange [0:500]; set yrange [%4:0]; do for [k=0:%5] { "
                       "plot sprintf('%6/frame%d.bin', k) binary format='%float%float%int32' "
                       "using 1:2:3 with points pt 5 ps 0.4 lc rgb variable }")
            .arg(look.logicalSize.width())
            .arg(look.logicalSize.height())
            .arg(scratch().filePath(QStringLiteral("gnuplot.gif")))
            .arg(plot.CY.single() * 2)
            .arg(frameCount(defaultFamily) - 1)
            .arg(scratch().path());
    runGnuplot(state, gnuplot, script);
    state.counters["file_kb"] =
        double(QFileInfo(scratch().filePath(QStringLiteral("gnuplot.gif"))).size()) / 1024.0;
}

void timed(benchmark::internal::Benchmark* benchmark, int iterations, int repetitions) {
    benchmark->Unit(benchmark::kMillisecond)->Iterations(iterations)->Repetitions(repetitions);
}

} // namespace

void registerExportBenchmarks() {
    const LinkingLines off = LinkingLines::Off;
    timed(benchmark::RegisterBenchmark("export/png_4x", exportFigure, millionPasses, Export::Png4x,
                                       off),
          1, benchRepetitions);
    timed(benchmark::RegisterBenchmark("export/svg", exportFigure, millionPasses, Export::Svg, off),
          1, benchRepetitions);
    timed(benchmark::RegisterBenchmark("export/pdf", exportFigure, millionPasses, Export::Pdf, off),
          1, benchRepetitions);
    // The same run with its linking lines.
    timed(benchmark::RegisterBenchmark("export/svg_lines", exportFigure, millionPasses, Export::Svg,
                                       LinkingLines::On),
          1, benchRepetitions);
    timed(benchmark::RegisterBenchmark("export/pdf_lines", exportFigure, millionPasses, Export::Pdf,
                                       LinkingLines::On),
          1, benchRepetitions);
    timed(benchmark::RegisterBenchmark("export/default_png_4x", exportFigure, defaultRun,
                                       Export::Png4x, off),
          5, 3);
    timed(benchmark::RegisterBenchmark("export/default_svg", exportFigure, defaultRun, Export::Svg,
                                       off),
          5, 3);
    timed(benchmark::RegisterBenchmark("export/default_pdf", exportFigure, defaultRun, Export::Pdf,
                                       off),
          5, 3);
    const QString gnuplot = QStandardPaths::findExecutable(QStringLiteral("gnuplot"));
    timed(benchmark::RegisterBenchmark("export/gif_100_frames", exportGif), 3, 5);
    if (!gnuplot.isEmpty()) {
        timed(benchmark::RegisterBenchmark("peer/gnuplot_pngcairo", gnuplotPeer, gnuplot), 1, 5);
        timed(benchmark::RegisterBenchmark("peer/gnuplot_gif_animate", gnuplotGifPeer, gnuplot),
              1, 5);
    }
}
