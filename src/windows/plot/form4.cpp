#include "windows/plot/form4.h"

#include "app/focus_frame.h"
#include "app/platform.h"
#include "app/program.h"
#include "surface/plot_surface.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/plot/plot_menu.h"

#include <QScopedValueRollback>

namespace {

const QString drawingDescription = QStringLiteral(
    "Gli assi per l'origine O e, per ogni tracciato, due curve a punti: la curva 1 lungo "
    "il segmento OA, la curva 2 che parte lungo l'asse X e si piega verso OA");

} // namespace

Form4::Form4(Program& program) : ProgramWindow(program, form4Layout()) {
    surface_ = new PlotSurface(this);
    describeDrawing(*surface_, QStringLiteral("Grafico delle curve"), drawingDescription);
    describePlot();
    figureMenu_ = new PlotMenu(*this, *surface_, journal_);
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
    connect(&program(), &Program::windowActivated, this, [this](ProgramWindow* window) {
        if (window == this)
            surface_->setFocus(Qt::ActiveWindowFocusReason);
    });
}

void Form4::Form_Activate() {
    setUpAndRecord(journal_, *surface_, *this, program().form2().Incr);
    CALCOLA();
}

void Form4::CALCOLA() {
    Form3& constantsWindow = program().form3();
    const CurveConstants constants{constantsWindow.VALa, constantsWindow.VALb, constantsWindow.VALc,
                                   constantsWindow.VALe};
    const LinkingLines lines = Command4Value();
    std::optional<QString> message;
    {
        const Program::BusyScope busy(program());
        const std::unique_ptr<ProgressReport> progress = program().platform().beginProgress(this);
        message = runOnPlotAndRecord(journal_, constants, lines, constantsWindow.Miocolor, *this,
                                     *surface_, progress.get());
    }
    describePlot();
    if (message)
        program().platform().messageBox(this, *message);
}

void Form4::Command1_Click() {
    program().Show(program().form3());
}

void Form4::Command2_Click() {
    surface_->Cls();
    journal_.clear();
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
                                       journal_.summary());
}
