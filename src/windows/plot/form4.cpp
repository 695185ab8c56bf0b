#include "windows/plot/form4.h"

#include "figure/figure_export.h"
#include "figure/replay.h"
#include "figure/session_file.h"
#include "shell/focus_frame.h"
#include "shell/platform.h"
#include "shell/program_shell.h"
#include "surface/plot_surface.h"
#include "windows/plot/curve_run.h"
#include "windows/plot/plot_menu.h"

#include <QScopedValueRollback>
#include <QUndoStack>

namespace {

const QString drawingDescription = QStringLiteral(
    "Gli assi per l'origine O e, per ogni tracciato, due curve a punti: la curva 1 lungo "
    "il segmento OA, la curva 2 che parte lungo l'asse X e si piega verso OA");

} // namespace

Form4::Form4(ProgramShell& program) : ProgramWindow(program, form4Layout()) {
    surface_ = new PlotSurface(this);
    describeDrawing(*surface_, QStringLiteral("Grafico delle curve"), drawingDescription);
    describePlot();
    figureMenu_ = new PlotMenu(*this, *surface_, journal());
    figureMenu_->setSessionOpener([this](const QString& path) { return openSession(path); });
    connect(&program.session(), &Session::journalReplaced, this, &Form4::redrawFromJournal);
    connect(&program.session(), &Session::stepRecorded, this,
            [this] { stepShown_ = this->program().session().undoStack().index(); });
    restFocusOnTheDrawing();
    onClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
    onClick(QStringLiteral("Command2"), [this] { Command2_Click(); });
    onClick(QStringLiteral("Command3"), [this] { Command3_Click(); });
    onClick(QStringLiteral("Command4"), [this] { Command4_Click(); });
}

// On activation the keyboard focus goes to the drawing, not to "ESCI" (first in the tab
// order), so a stray Return after "AVANTI" presses nothing; Tab then reaches "ESCI" first.
void Form4::restFocusOnTheDrawing() {
    surface_->setObjectName(QStringLiteral("surface"));
    surface_->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(control<QWidget>(QStringLiteral("Command4")), surface_);
    surface_->setFocus();
    new FocusFrame(*surface_, FocusFrame::Placement::Inside);
    connect(&program(), &ProgramShell::windowActivated, this, [this](ProgramWindow* window) {
        if (window == this)
            surface_->setFocus(Qt::ActiveWindowFocusReason);
    });
}

const PlotJournal& Form4::journal() const {
    return program().session().journal();
}

void Form4::Form_Activate() {
    Session& session = program().session();
    session.recordSetUp(session.Incr);
    setUpPlotWindow(*surface_, *this, session.Incr);
    CALCOLA();
}

// Reads the constants as they stand now, the failure marker included.
void Form4::CALCOLA() {
    Session& session = program().session();
    const CurveConstants constants = session.constants();
    const LinkingLines lines = Command4Value();
    PlotRun run{constants, lines, session.Miocolor, std::nullopt, session.typedConstants()};
    CurveRunResult result;
    {
        const ProgramShell::BusyScope busy(program());
        const std::unique_ptr<ProgressReport> progress = program().platform().beginProgress(this);
        result = runCurveGeneratorOn(*surface_, constants, lines, session.Miocolor, *this,
                                     progress.get());
    }
    // A refused run draws nothing and is not recorded.
    if (!result.message) {
        run.passesMade = result.stoppedAfter;
        session.recordRun(run);
    }
    describePlot();
    if (result.message)
        program().platform().messageBox(this, *result.message);
}

void Form4::redrawFromJournal() {
    if (returningToShownStep_)
        return;
    QUndoStack& steps = program().session().undoStack();
    if (const std::optional<DrawnAside> drawn = drawAside(journal())) {
        showDrawn(journal(), *drawn);
        stepShown_ = steps.index();
        return;
    }
    // Stopped: the step goes back to the one the drawing still shows.
    const QScopedValueRollback returning(returningToShownStep_, true);
    steps.setIndex(stepShown_);
}

std::optional<Form4::DrawnAside> Form4::drawAside(const PlotJournal& journal) {
    DrawnAside drawn;
    {
        const ProgramShell::BusyScope busy(program());
        const std::unique_ptr<ProgressReport> progress = program().platform().beginProgress(this);
        runCopy(journal, progress.get(), [&](ProgressReport* reports) {
            drawn.picture =
                renderFigureImage(journal, figureMenu_->look(), surface_->devicePixelRatioF(),
                                  reports, &drawn.variables);
        });
    }
    if (drawn.picture.isNull())
        return std::nullopt;
    return drawn;
}

// The surface takes the scale of the journal's last set-up, then the picture over what that
// drew; the plot variables become those the journal leaves.
void Form4::showDrawn(const PlotJournal& journal, const DrawnAside& drawn) {
    surface_->Cls();
    for (const PlotJournal::Entry& entry : journal.entries())
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry))
            setUpPlotWindow(*surface_, *this, setUp->Incr);
    static_cast<PlotVariables&>(*this) = drawn.variables;
    surface_->showPicture(drawn.picture);
    describePlot();
}

bool Form4::openSession(const QString& path) {
    Platform& platform = program().platform();
    std::variant<SessionRecord, QString> read = readSessionFile(path);
    if (const QString* fault = std::get_if<QString>(&read)) {
        platform.messageBox(this, *fault);
        return false;
    }
    const SessionRecord& record = std::get<SessionRecord>(read);
    if (const std::optional<QString> refusal = firstRefusal(record.history)) {
        platform.messageBox(this, *refusal);
        return false;
    }
    // Drawn aside first: a cancel leaves the drawing and the state as they were.
    const PlotJournal journal = journalOf(record.history);
    const std::optional<DrawnAside> drawn = drawAside(journal);
    if (!drawn)
        return false;
    program().session().restore(record.controls, record.history);
    showDrawn(journal, *drawn);
    stepShown_ = 0;
    program().showAsWalkedTo(*this);
    if (record.view) // a figure saved from the lens
        program().showLensAt(*record.view);
    return true;
}

void Form4::Command1_Click() {
    program().Show(WindowName::Constants);
}

void Form4::Command2_Click() {
    surface_->Cls();
    program().session().recordClear();
    Form_Activate();
}

void Form4::Command3_Click() {
    program().End();
}

void Form4::Command4_Click() {
    const QScopedValueRollback pressed(command4Value_, LinkingLines::On);
    CALCOLA();
}

void Form4::describePlot() {
    surface_->setAccessibleDescription(drawingDescription + QStringLiteral(". ") +
                                       journal().summary());
}
