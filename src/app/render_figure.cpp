#include "app/render_figure.h"

#include "core/drawing_surface.h"
#include "figure/figure_export.h"
#include "figure/replay.h"
#include "shell/layout.h"

namespace {

void tell(std::FILE* errors, const QString& line) {
    std::fputs(qUtf8Printable(QStringLiteral("curve-zor-pun: ") + line.trimmed() + '\n'), errors);
}

} // namespace

int renderFigure(const RenderRequest& request, std::FILE* errors) {
    PlotJournal journal;
    PlotVariables plot;
    DrawingSurface surface; // keeps the scale and pen, draws nothing
    std::int16_t Miocolor = request.startColour;
    const TaggedValue Incr = TaggedValue::fromDouble(request.incr);
    bool setUp = false;
    int status = exitSuccess;
    for (const FigureStep& step : request.steps) {
        if (step.kind == FigureStep::Kind::Clear) {
            journal.clear();
            setUp = false;
            continue;
        }
        // A run without lines is an activation: a set-up, then the run. A run with lines is
        // "Traccia le linee…", on the set-up before it.
        if (step.lines == LinkingLines::Off || !setUp)
            setUpAndRecord(journal, surface, plot, Incr);
        setUp = true;
        if (const std::optional<QString> message =
                runAndRecord(journal, step.constants, step.lines, Miocolor, plot, surface)) {
            tell(errors, *message);
            status = exitRunFailed;
        }
    }
    if (const std::optional<QString> failure =
            writeFigureFile(journal, plotWindowLook(), request.file, request.scale)) {
        tell(errors, *failure);
        return exitRunFailed;
    }
    return status;
}
