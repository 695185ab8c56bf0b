#include "windows/intro/form1.h"

#include "shell/focus_frame.h"
#include "shell/program_shell.h"
#include "windows/intro/intro_document.h"
#include "windows/intro/intro_document_accessible.h"

#include <QVBoxLayout>

Form1::Form1(ProgramShell& program) : ProgramWindow(program, form1Layout()) {
    auto* container = control<QWidget>(QStringLiteral("OLE1"));
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    document_ = new IntroDocumentView(container);
    layout->addWidget(document_);
    // The text is painted, so a screen reader reads it from the container.
    makeDocumentReadable(*container);
    new FocusFrame(*container, FocusFrame::Placement::Outside);
    onClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
}

void Form1::Command1_Click() {
    program().Show(WindowName::Calibration);
}
