#include "bench_support.h"
#include "ratio_reporter.h"

#include "shell/platform.h"
#include "app/program.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

Program* program_ = nullptr;

// The desktop, except that a message box, which no benchmark should ever meet, ends the
// run at once instead of waiting for a click.
class BenchPlatform : public DesktopPlatform {
public:
    void messageBox(QWidget*, const QString& prompt) override {
        std::fprintf(stderr, "zorpun_bench: unexpected message: %s\n", qPrintable(prompt));
        std::exit(1);
    }
};

// The figures, as scripts/bench prints them.
const std::vector<Ratio> ratios{
    {"run_over_math", "run/dots", "math/run_reference", ""},
    {"run_lines_over_math", "run/lines", "math/run_reference", ""},
    {"run_2x_over_math", "run/dots_2x", "math/run_reference", ""},
    {"calibration_over_math", "calibration/change_drawing", "math/calibration_reference", ""},
    {"startup_over_minimal", "startup/program", "startup/minimal", ""},
    {"rss_over_minimal", "startup/program", "startup/minimal", "peak_rss_kb"},
    {"surface_economical_over_direct", "surface/economical", "surface/direct", ""},
    {"raster_over_qpainter", "raster/own", "raster/qpainter", ""},
    {"long_run_ui_latency_ms", "run/long_1e8", "", "ui_latency_ms"},
    {"export_png4x_over_run", "export/png_4x", "run/dots", ""},
    {"export_svg_over_run", "export/svg", "run/dots", ""},
    {"export_pdf_over_run", "export/pdf", "run/dots", ""},
    {"export_svg_lines_over_run", "export/svg_lines", "run/lines", ""},
    {"export_pdf_lines_over_run", "export/pdf_lines", "run/lines", ""},
    {"gnuplot_over_run", "peer/gnuplot_pngcairo", "run/dots", ""},
    {"gif_export_over_gnuplot", "export/gif_100_frames", "peer/gnuplot_gif_animate", ""},
    {"session_open_over_run", "session/open_1e6", "run/dots", ""},
    {"recipe_png_overhead", "recipe/png_1x", "recipe/png_1x_none", ""},
    {"explore_frame_default_ms", "explore/slider_default", "", "median_ms"},
    {"explore_frame_default_p99_ms", "explore/slider_default", "", "p99_ms"},
    {"explore_frame_1e6_ms", "explore/slider_1e6", "", "median_ms"},
    {"explore_frame_1e6_p99_ms", "explore/slider_1e6", "", "p99_ms"},
    {"explore_draw_default_ms", "explore/frame_90", "", ""},
    {"explore_draw_3e5_ms", "explore/frame_3e5", "", ""},
    {"explore_kept_over_afresh", "explore/frame_90", "explore/frame_90_afresh", ""},
    {"lens_step_1e6_ms", "lens/step_1e6", "", "median_ms"},
    {"lens_step_1e6_p99_ms", "lens/step_1e6", "", "p99_ms"},
    {"lens_hit_us", "lens/hit", "", "median_us"},
};

// Google Benchmark's flags, with the repetitions of all cases interleaved unless the
// command line says otherwise.
std::vector<std::string> benchmarkArguments(int argc, char** argv) {
    std::vector<std::string> arguments{argv[0], "--benchmark_enable_random_interleaving=true",
                                       "--benchmark_display_aggregates_only=true"};
    for (int index = 1; index < argc; ++index)
        arguments.emplace_back(argv[index]);
    return arguments;
}

} // namespace

Program& benchProgram() {
    return *program_;
}
void setBenchProgram(Program* program) {
    program_ = program;
}

void settle() {
    // The repaint is asked for by a queued call; the window's update request follows it.
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    BenchPlatform platform;
    auto program = std::make_unique<Program>(platform);
    setBenchProgram(program.get());

    registerPlotBenchmarks();
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
        registerCalibrationBenchmarks();
        registerStartupBenchmarks();
        registerSurfaceBenchmarks();
        registerExportBenchmarks();
        registerSessionBenchmarks();
        registerExploreBenchmarks();
        registerLensBenchmarks();
    }
    std::vector<std::string> arguments = benchmarkArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    int count = static_cast<int>(pointers.size());
    benchmark::Initialize(&count, pointers.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print(ratios);
    benchmark::Shutdown();
    return 0;
}
