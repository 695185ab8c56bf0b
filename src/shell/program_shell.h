#pragma once

#include "core/session.h"
#include "figure/lens_view.h"

#include <QObject>
#include <array>
#include <deque>

class Platform;
class ProgramWindow;
class QWidget;

// The program's windows, by what they are for: a window shows another by its name, so no
// window knows another.
enum class WindowName { Intro, Calibration, Constants, Plot };

// Windows of their own beside the four, opened from a menu: they read the session and
// take no part in which of the four is active.
enum class ToolWindow { Explore, Lens };

// The program as its windows see it: the session they share, the platform, and the rules
// between the windows. Which window is which is left to the window registry.
//
// The program decides by itself which of its windows is active, so each activation handler
// runs exactly once per switch: Show() runs it at once for a window that was not the
// program's active one; a press into another window of the program makes that window the
// active one and runs its handler once the press is released, before any click handler,
// so the handler never opens a dialog in the middle of a press; the
// platform's activation events only count for a window that is not already the program's
// active one (so coming back from another application, or the closing of a message box,
// runs nothing), and not when they answer an activation the program asked for itself: on a
// loaded machine the window manager may activate Form3 only after Form4 was shown, and that
// late answer is no switch of the user's. Nor is the window manager handing the focus back
// when a message box or the progress dialog closes: if it picks another window than the
// program's active one, the program asks for its active one again.
class ProgramShell : public QObject {
    Q_OBJECT
public:
    explicit ProgramShell(Platform& platform);
    ~ProgramShell() override;

    Platform& platform() const { return platform_; }
    Session& session() { return session_; }
    // Where the session is kept after every step, so that it outlives the program; empty
    // when it is not kept.
    QString keptSessionPath() const { return keptSessionPath_; }
    void keepSessionAt(const QString& path);

    // The window of that name, made on the first reference to it.
    virtual ProgramWindow& window(WindowName name) = 0;
    // Opens a session file, or a figure that carries one, into the windows; true once opened.
    virtual bool openSession(const QString& path) = 0;
    // Shows that tool window, made on first use, in front and active.
    virtual void showTool(ToolWindow tool) = 0;
    // The lens, shown at a view that a figure saved from it recalls.
    virtual void showLensAt(const LensView& view) = 0;
    // The user's walk to the constants window, the four texts typed into its boxes (OA,
    // angle, n, increment) and "AVANTI" pressed: the same checks, messages and run.
    virtual void typeConstantsAndGo(const std::array<QString, 4>& texts) = 0;

    // Modeless, without an owner, in front and active.
    void Show(ProgramWindow& window);
    void Show(WindowName name) { Show(window(name)); }
    // The same without running the window's activation: a session that was opened stands as
    // if the user had walked there.
    void showAsWalkedTo(ProgramWindow& window);
    // Ends the program at once: no handler runs afterwards.
    void End();
    bool ended() const { return ended_; }

    // While a long drawing runs, its progress dialog lets events through: no click handler or
    // activation may start in the middle of it.
    bool busy() const { return busy_ > 0; }
    class BusyScope {
    public:
        explicit BusyScope(ProgramShell& program) : program_(program) { ++program_.busy_; }
        ~BusyScope() { --program_.busy_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        ProgramShell& program_;
    };

    ProgramWindow* activeWindow() const { return active_; }
    // The platform made a window active: by the user's doing (a click, the window manager),
    // or late, answering one of the program's own Show() calls.
    void windowActivatedByPlatform(ProgramWindow& window);
    // Runs the activation a press made and that has not run yet; every click handler calls
    // this first.
    void runPendingActivation();
    // A session file dragged onto one of the windows: taken, and opened once dropped.
    bool dragAndDrop(QEvent* event);

signals:
    // A window became the program's active window; its activation handler runs next.
    void windowActivated(ProgramWindow* window);

protected:
    // No handler runs any more: the registry calls this before its windows go.
    void markEnded();
    // Whether the widget is one of the program's windows.
    virtual bool isProgramWindow(const QWidget* window) const = 0;
    // Whether the widget is one of the tool windows.
    virtual bool isToolWindow(const QWidget*) const { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeActive(ProgramWindow& window);
    void rememberRequestedActivation(ProgramWindow& window);
    // Whether the platform's activation of that window is the late answer to a Show().
    bool answersRequestedActivation(ProgramWindow& window);
    void runPendingActivationWhenReleased();
    ProgramWindow* programWindowOf(QObject* object) const;

    Platform& platform_;
    Session session_;
    QString keptSessionPath_;
    ProgramWindow* active_ = nullptr;
    ProgramWindow* pendingActivation_ = nullptr;
    // The windows Show() asked the platform to activate whose activation has not come back
    // yet, oldest first. The platform answers them in order, some answers may never come.
    std::deque<ProgramWindow*> requestedActivations_;
    // One of the program's dialogs closed: the window manager's next activation hands the
    // focus back, to whichever window it picks.
    bool focusHandedBack_ = false;
    bool ended_ = false;
    int busy_ = 0;
};
