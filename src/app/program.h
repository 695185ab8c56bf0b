#pragma once

#include "shell/program_shell.h"

#include <memory>

class Form1;
class Form2;
class Form3;
class Form4;
class ExploreWindow;
class LensWindow;

// The window registry: the program's four windows and its tool windows. Each window exists once, is
// made the first time anything refers to it, and lives until the program ends. Only this and the
// start-up know the windows; they know one another only by name.
class Program : public ProgramShell {
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
    // The parameter explorer, a tool window.
    ExploreWindow& exploreWindow();
    ExploreWindow* existingExploreWindow() const { return explore_.get(); }
    // The lens, a tool window.
    LensWindow& lensWindow();
    LensWindow* existingLensWindow() const { return lens_.get(); }

    ProgramWindow& window(WindowName name) override;
    bool openSession(const QString& path) override;
    void showTool(ToolWindow tool) override;
    void showLensAt(const LensView& view) override;
    void typeConstantsAndGo(const std::array<QString, 4>& texts) override;

    // Shows the program's first window.
    void start();

protected:
    bool isProgramWindow(const QWidget* window) const override;
    bool isToolWindow(const QWidget* window) const override;

private:
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<Form3> form3_;
    std::unique_ptr<Form4> form4_;
    std::unique_ptr<ExploreWindow> explore_;
    std::unique_ptr<LensWindow> lens_;
};
