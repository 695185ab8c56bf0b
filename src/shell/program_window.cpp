#include "shell/program_window.h"

#include "shell/program_shell.h"

#include <QAbstractButton>
#include <QEvent>

ProgramWindow::ProgramWindow(ProgramShell& program, const WindowLayout& layout)
    : QWidget(nullptr, Qt::Window), program_(program), controls_(buildWindow(*this, layout)) {
    // A session file dropped anywhere on the window opens (the program handles the drop).
    setAcceptDrops(true);
}

void ProgramWindow::activate() {
    Form_Activate();
}

bool ProgramWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        program_.windowActivatedByPlatform(*this);
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) &&
        program_.dragAndDrop(event))
        return true;
    return QWidget::event(event);
}

void ProgramWindow::onClick(const QString& buttonName, std::function<void()> handler) {
    auto* button = control<QAbstractButton>(buttonName);
    Q_ASSERT(button);
    connect(button, &QAbstractButton::clicked, this,
            [this, handler = std::move(handler)] { handleUserEvent(handler); });
}

void ProgramWindow::handleUserEvent(const std::function<void()>& handler) {
    if (program_.busy())
        return;
    // A press on an inactive window activates it before the click's own handler runs.
    program_.runPendingActivation();
    if (!program_.ended())
        handler();
}
