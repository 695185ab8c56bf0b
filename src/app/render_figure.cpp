#include "app/render_figure.h"

#include "core/drawing_surface.h"
#include "figure/animation_export.h"
#include "figure/figure_export.h"
#include "figure/replay.h"
#include "figure/session_file.h"
#include "shell/layout.h"

namespace {

void tell(std::FILE* errors, const QString& line) {
    std::fputs(qUtf8Printable(QStringLiteral("curve-zor-pun: ") + line.trimmed() + '\n'), errors);
}

// Records the steps of the command line in a session, as the windows would after the same
// clicks: the constants window holds the last run's texts. A refused run is told and left out.
int recordSteps(const RenderRequest& request, Session& session, std::FILE* errors) {
    PlotVariables plot;
    DrawingSurface surface;
    session.Miocolor = request.startColour;
    session.Incr = TaggedValue::fromDouble(request.incr);
    bool setUp = false;
    int status = exitSuccess;
    for (const FigureStep& step : request.steps) {
        if (step.kind == FigureStep::Kind::Clear) {
            session.recordClear();
            setUp = false;
            continue;
        }
        // A run without lines is an activation: a set-up, then the run. A run with lines is
        // "Traccia le linee…", on the set-up before it.
        if (step.lines == LinkingLines::Off || !setUp || step.setUp == FigureStep::SetUp::Always) {
            session.recordSetUp(session.Incr);
            setUpPlotWindow(surface, plot, session.Incr);
        }
        setUp = true;
        const std::array<QString, 4> typed = typedTextsFor(step.constants);
        for (int index = 0; index < 4; ++index)
            session.setConstantText(index, typed[std::size_t(index)]);
        PlotRun run{step.constants, step.lines, session.Miocolor, std::nullopt, typed};
        if (const std::optional<QString> message =
                runCurveGenerator(step.constants, step.lines, session.Miocolor, plot, surface)) {
            tell(errors, *message);
            status = exitRunFailed;
            continue;
        }
        session.VALa = step.constants.VALa;
        session.VALb = step.constants.VALb;
        session.VALc = step.constants.VALc;
        session.VALe = step.constants.VALe;
        session.recordRun(run);
    }
    return status;
}

// The session of a file, as it would open in the windows.
bool readSession(const QString& path, Session& session, std::FILE* errors) {
    std::variant<SessionRecord, QString> read = readSessionFile(path);
    if (const QString* fault = std::get_if<QString>(&read)) {
        tell(errors, *fault);
        return false;
    }
    const SessionRecord& record = std::get<SessionRecord>(read);
    if (const std::optional<QString> refusal = firstRefusal(record.history)) {
        tell(errors, *refusal);
        return false;
    }
    session.restore(record.controls, record.history);
    return true;
}

// The animation over the session the steps recorded: every frame's run is checked before
// anything is written, then the frames are drawn and written one at a time.
int renderAnimation(const RenderRequest& request, std::FILE* errors) {
    Session session;
    const int status = recordSteps(request, session, errors);
    const AnimationJob job{session.controls(),           session.history(), request.animation->run,
                           request.animation->animation, plotWindowLook(),  request.scale};
    if (const std::optional<QString> refusal = firstRefusedFrame(job)) {
        tell(errors, *refusal);
        return exitRunFailed;
    }
    if (!request.saveSession.isEmpty()) {
        if (const std::optional<QString> failure =
                writeSessionFile(request.saveSession, animationRecipe(job))) {
            tell(errors, *failure);
            return exitRunFailed;
        }
    }
    if (request.file.isEmpty())
        return status;
    if (const std::optional<QString> failure = writeAnimation(job, request.file)) {
        tell(errors, *failure);
        return exitRunFailed;
    }
    return status;
}

// The options with the plot window's own font for the legend.
FigureOptions figureOptions(FigureOptions options) {
    options.legendFont = plotWindowFont();
    return options;
}

// The figure's options past their limits for the plot window's size, naming the option.
std::optional<QString> figureFault(const RenderRequest& request, const FigureLook& look) {
    const std::optional<QString> fault =
        figureOptionsFault(request.figure, look, request.format, request.scale);
    if (!fault)
        return std::nullopt;
    const char* option = request.figure.width ? "--size" : request.figure.dpi ? "--dpi" : "--scale";
    return QStringLiteral("%1: %2").arg(QLatin1String(option), *fault);
}

} // namespace

int renderFigure(const RenderRequest& request, std::FILE* errors) {
    if (request.animation)
        return renderAnimation(request, errors);
    const FigureLook look = plotWindowLook();
    if (const std::optional<QString> fault = figureFault(request, look)) {
        tell(errors, *fault);
        return exitBadArguments;
    }
    Session session;
    int status = exitSuccess;
    if (!request.sessionFile.isEmpty()) {
        if (!readSession(request.sessionFile, session, errors))
            return exitRunFailed;
    } else {
        status = recordSteps(request, session, errors);
    }
    const Recipe recipe = encodeSession(session.controls(), session.history());
    if (!request.saveSession.isEmpty()) {
        if (const std::optional<QString> failure = writeSessionFile(request.saveSession, recipe)) {
            tell(errors, *failure);
            return exitRunFailed;
        }
    }
    if (request.file.isEmpty())
        return status;
    if (const std::optional<QString> failure =
            writeFigureFile(session.journal(), look, request.file, request.scale, nullptr, nullptr,
                            recipe, figureOptions(request.figure))) {
        tell(errors, *failure);
        return exitRunFailed;
    }
    return status;
}
