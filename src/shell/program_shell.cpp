#include "shell/program_shell.h"

#include "figure/session_file.h"
#include "shell/accessibility.h"
#include "shell/platform.h"
#include "shell/program_window.h"

#include <QApplication>
#include <QDebug>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <utility>

ProgramShell::ProgramShell(Platform& platform) : platform_(platform) {
    installAccessibility();
    qApp->installEventFilter(this);
}

ProgramShell::~ProgramShell() {
    markEnded();
}

void ProgramShell::keepSessionAt(const QString& path) {
    const bool connected = !keptSessionPath_.isEmpty();
    keptSessionPath_ = path;
    if (connected || path.isEmpty())
        return;
    // Written whole or not at all, after every run, clear, undo and redo: "ESCI" ends the
    // program at once, and a crash loses at most the run in progress.
    const auto keep = [this] {
        QDir().mkpath(QFileInfo(keptSessionPath_).absolutePath());
        if (const std::optional<QString> failure = writeSessionFile(
                keptSessionPath_, encodeSession(session_.controls(), session_.history())))
            qWarning().noquote() << *failure;
    };
    connect(&session_, &Session::stepRecorded, this, keep);
    connect(&session_, &Session::journalReplaced, this, keep);
}

void ProgramShell::markEnded() {
    qApp->removeEventFilter(this);
    ended_ = true;
}

void ProgramShell::Show(ProgramWindow& window) {
    if (ended_)
        return;
    runPendingActivation();
    const bool alreadyActive = active_ == &window && window.isVisible();
    // Marked active before the platform hears of it, so its own activation event is no news;
    // remembered as asked for, so that a late answer is no news either.
    active_ = &window;
    if (QApplication::activeWindow() != &window)
        rememberRequestedActivation(window);
    window.show();
    window.raise();
    window.activateWindow();
    if (!alreadyActive)
        makeActive(window);
}

void ProgramShell::showAsWalkedTo(ProgramWindow& window) {
    if (ended_)
        return;
    runPendingActivation();
    active_ = &window;
    if (QApplication::activeWindow() != &window)
        rememberRequestedActivation(window);
    window.show();
    window.raise();
    window.activateWindow();
    emit windowActivated(&window);
}

void ProgramShell::End() {
    if (ended_)
        return;
    ended_ = true;
    platform_.endProgram();
}

void ProgramShell::rememberRequestedActivation(ProgramWindow& window) {
    // A window manager that never answers must not make the list grow without end.
    constexpr std::size_t mostRemembered = 8;
    if (requestedActivations_.size() == mostRemembered)
        requestedActivations_.pop_front();
    requestedActivations_.push_back(&window);
}

bool ProgramShell::answersRequestedActivation(ProgramWindow& window) {
    const auto answered =
        std::find(requestedActivations_.begin(), requestedActivations_.end(), &window);
    if (answered == requestedActivations_.end())
        return false;
    // Requests older than the one answered will not be answered any more.
    requestedActivations_.erase(requestedActivations_.begin(), answered + 1);
    return true;
}

void ProgramShell::windowActivatedByPlatform(ProgramWindow& window) {
    if (programWindowOf(&window) != &window || answersRequestedActivation(window))
        return;
    const bool handedBack = std::exchange(focusHandedBack_, false);
    if (ended_ || busy() || active_ == &window)
        return;
    if (handedBack && active_ && active_->isVisible()) {
        rememberRequestedActivation(*active_);
        active_->activateWindow();
        return;
    }
    // The window manager often activates a window on the press that will click one of its
    // buttons, before that press reaches the program: the handler waits for the events
    // already queued, and for the release if a button is down by then.
    active_ = &window;
    pendingActivation_ = &window;
    QMetaObject::invokeMethod(this, &ProgramShell::runPendingActivationWhenReleased,
                              Qt::QueuedConnection);
}

void ProgramShell::runPendingActivationWhenReleased() {
    if (QGuiApplication::mouseButtons() == Qt::NoButton)
        runPendingActivation();
}

void ProgramShell::makeActive(ProgramWindow& window) {
    active_ = &window;
    emit windowActivated(&window);
    window.activate();
}

ProgramWindow* ProgramShell::programWindowOf(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    auto* window = qobject_cast<ProgramWindow*>(widget->window());
    return window && isProgramWindow(window) ? window : nullptr;
}

void ProgramShell::runPendingActivation() {
    ProgramWindow* window = std::exchange(pendingActivation_, nullptr);
    if (window && !ended_) {
        emit windowActivated(window);
        window->activate();
    }
}

namespace {

// The one local file a drag carries, or nothing.
QString draggedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl& url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

bool ProgramShell::dragAndDrop(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = draggedFile(drop->mimeData());
    if (path.isEmpty() || ended_ || busy())
        return false;
    if (event->type() == QEvent::Drop)
        // After the drop is over: the open may show its progress or a message.
        QMetaObject::invokeMethod(
            this, [this, path] { openSession(path); }, Qt::QueuedConnection);
    drop->acceptProposedAction();
    return true;
}

bool ProgramShell::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // The activation a press made runs once its release is delivered (a click handler runs
    // it first), so a dialog it opens cannot swallow the release and with it the click.
    if (type == QEvent::MouseButtonRelease && pendingActivation_)
        QMetaObject::invokeMethod(this, &ProgramShell::runPendingActivationWhenReleased,
                                  Qt::QueuedConnection);
    // A tool window closing hands the focus back as a dialog does.
    if (type == QEvent::Hide &&
        (qobject_cast<QDialog*>(watched) || isToolWindow(qobject_cast<QWidget*>(watched))))
        focusHandedBack_ = true;
    if (QApplication::activeModalWidget())
        return QObject::eventFilter(watched, event);
    ProgramWindow* window = programWindowOf(watched);
    if (window && window != active_ && !ended_ && !busy()) {
        // A press into another of the program's windows makes it the active one at once,
        // whenever the platform's own activation event comes.
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            active_ = window;
            pendingActivation_ = window;
            focusHandedBack_ = false;
        }
        // The wheel over a window that is not the active one changes nothing there.
        if (type == QEvent::Wheel)
            return true;
    }
    return QObject::eventFilter(watched, event);
}
