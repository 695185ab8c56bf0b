#include "bench_support.h"
#include "plain_math.h"

#include "core/session.h"
#include "figure/figure_export.h"
#include "figure/replay.h"
#include "figure/session_file.h"
#include "shell/layout.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <array>
#include <vector>

// What session files cost: opening one as the plot window does, drawing included, against the
// run it holds made in the window; and what a figure's recipe adds to writing its PNG.

namespace {

// The run of the run benchmarks: a million passes, every point inside the bounds.
constexpr RunConstants millionPasses{200, 45, 1e6, 0.01};
// The constants window's defaults, and two more curves of a short session.
constexpr RunConstants defaultRun{86, 55, 90, 1};
constexpr RunConstants secondRun{120, 30, 180, 0.5};
constexpr RunConstants thirdRun{60, -20, 90, 2};
constexpr double plotIncr = 0.63;

CurveConstants constantsOf(const RunConstants& values) {
    return {TaggedValue::fromDouble(values.VALa), TaggedValue::fromDouble(values.VALb),
            TaggedValue::fromDouble(values.VALc), TaggedValue::fromDouble(values.VALe)};
}

QTemporaryDir& scratch() {
    static QTemporaryDir folder;
    return folder;
}

// The constants typed into the constants window, then a set-up of the plot window and a run
// of each, one after the other as "AVANTI" makes them.
void playRuns(Session& session, const std::vector<RunConstants>& runs) {
    session.Incr = TaggedValue::fromDouble(plotIncr);
    for (const RunConstants& values : runs) {
        const CurveConstants constants = constantsOf(values);
        const std::array<QString, 4> typed = typedTextsFor(constants);
        session.VALa = constants.VALa;
        session.VALb = constants.VALb;
        session.VALc = constants.VALc;
        session.VALe = constants.VALe;
        for (int index = 0; index < 4; ++index) {
            session.noteTypedConstant(index, typed[std::size_t(index)]);
            session.setConstantText(index, typed[std::size_t(index)]);
        }
        session.recordSetUp(session.Incr);
        session.recordRun({constants, LinkingLines::Off, session.Miocolor, std::nullopt, typed});
        ++session.Miocolor;
    }
}

QByteArray sessionText(const std::vector<RunConstants>& runs) {
    Session session;
    playRuns(session, runs);
    return encodeSession(session.controls(), session.history());
}

// The plot window's "Apri sessione…" off the screen: the file read and checked, its journal
// drawn afresh at the window's look and the screen's ratio.
void openSession(benchmark::State& state) {
    const QString path = scratch().filePath(QStringLiteral("million.zorpun"));
    if (const std::optional<QString> failure =
            writeSessionFile(path, sessionText({millionPasses}))) {
        state.SkipWithError(qPrintable(*failure));
        return;
    }
    const FigureLook look = plotWindowLook();
    const double ratio = qGuiApp->devicePixelRatio();
    QImage picture;
    for (auto _ : state) {
        std::variant<SessionRecord, QString> read = readSessionFile(path);
        if (const QString* fault = std::get_if<QString>(&read)) {
            state.SkipWithError(qPrintable(*fault));
            return;
        }
        const SessionRecord& record = std::get<SessionRecord>(read);
        if (const std::optional<QString> refusal = firstRefusal(record.history)) {
            state.SkipWithError(qPrintable(*refusal));
            return;
        }
        PlotVariables variables;
        picture = renderFigureImage(journalOf(record.history), look, ratio, nullptr, &variables);
        benchmark::DoNotOptimize(picture);
    }
    if (picture.isNull())
        state.SkipWithError("the session drew nothing");
    state.counters["session_bytes"] = double(QFileInfo(path).size());
}

// The 1x PNG of the default figure as the screen shows it, with the recipe of a session of a
// few runs or with none.
void writePng(benchmark::State& state, bool withRecipe) {
    const Recipe recipe = withRecipe ? sessionText({defaultRun, secondRun, thirdRun}) : Recipe();
    Session drawn;
    playRuns(drawn, {defaultRun});
    const QImage image = renderFigureImage(drawn.journal(), plotWindowLook(), 1);
    const QString path = scratch().filePath(withRecipe ? QStringLiteral("recipe.png")
                                                       : QStringLiteral("plain.png"));
    for (auto _ : state) {
        if (const std::optional<QString> failure = writeImageFile(image, path, recipe)) {
            state.SkipWithError(qPrintable(*failure));
            return;
        }
    }
    state.counters["recipe_bytes"] = double(recipe.size());
    state.counters["file_kb"] = double(QFileInfo(path).size()) / 1024.0;
}

void timed(benchmark::internal::Benchmark* benchmark, int iterations) {
    benchmark->Unit(benchmark::kMillisecond)->Iterations(iterations)->Repetitions(benchRepetitions);
}

} // namespace

void registerSessionBenchmarks() {
    timed(benchmark::RegisterBenchmark("session/open_1e6", openSession), 2);
    timed(benchmark::RegisterBenchmark("recipe/png_1x", writePng, true), 50);
    timed(benchmark::RegisterBenchmark("recipe/png_1x_none", writePng, false), 50);
}
