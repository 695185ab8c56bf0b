#pragma once

#include <QObject>
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
// runs nothing).
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
    // A window became active by the user's doing (a click, the window manager).
    void windowActivatedByUser(ProgramWindow& window);
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
    void runPendingActivationWhenReleased();
    ProgramWindow* programWindowOf(QObject* object) const;

    Platform& platform_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<Form3> form3_;
    std::unique_ptr<Form4> form4_;
    ProgramWindow* active_ = nullptr;
    ProgramWindow* pendingActivation_ = nullptr;
    bool ended_ = false;
    int busy_ = 0;
};
