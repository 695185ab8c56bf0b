#pragma once

#include <QObject>
#include <deque>
#include <memory>

class Platform;
class ProgramWindow;
class Form1;
class Form2;
class Form3;
class Form4;

// The program's four windows and the rules between them. Each window exists once, is made
// the first time anything refers to it, and lives until the program ends.
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
class Program : public QObject {
    Q_OBJECT
public:
    explicit Program(Platform& platform);
    ~Program() override;

    Form1& form1();
    Form2& form2();
    Form3& form3();
    Form4& form4();
    // Without creating: nullptr until the window was first referred to.
    Form1* existingForm1() const { return form1_.get(); }
    Form2* existingForm2() const { return form2_.get(); }
    Form3* existingForm3() const { return form3_.get(); }
    Form4* existingForm4() const { return form4_.get(); }

    Platform& platform() const { return platform_; }

    // Shows the program's first window.
    void start();
    // Modeless, without an owner, in front and active.
    void Show(ProgramWindow& window);
    // Ends the program at once: no handler runs afterwards.
    void End();
    bool ended() const { return ended_; }

    // While a long drawing runs, its progress dialog lets events through: no click handler or
    // activation may start in the middle of it.
    bool busy() const { return busy_ > 0; }
    class BusyScope {
    public:
        explicit BusyScope(Program& program) : program_(program) { ++program_.busy_; }
        ~BusyScope() { --program_.busy_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        Program& program_;
    };

    ProgramWindow* activeWindow() const { return active_; }
    // The platform made a window active: by the user's doing (a click, the window manager),
    // or late, answering one of the program's own Show() calls.
    void windowActivatedByPlatform(ProgramWindow& window);
    // Runs the activation a press made and that has not run yet; every click handler calls
    // this first.
    void runPendingActivation();

signals:
    // A window became the program's active window; its activation handler runs next.
    void windowActivated(ProgramWindow* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeActive(ProgramWindow& window);
    void rememberRequestedActivation(ProgramWindow& window);
    // Whether the platform's activation of that window is the late answer to a Show().
    bool answersRequestedActivation(ProgramWindow& window);
    void runPendingActivationWhenReleased();
    ProgramWindow* programWindowOf(QObject* object) const;

    Platform& platform_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<Form3> form3_;
    std::unique_ptr<Form4> form4_;
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
