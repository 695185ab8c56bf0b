#include "app/program.h"

#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/explore/explore_window.h"
#include "windows/intro/form1.h"
#include "windows/lens/lens_window.h"
#include "windows/plot/form4.h"

#include <QLineEdit>
#include <QPushButton>

Program::Program(Platform& platform) : ProgramShell(platform) {}

Program::~Program() {
    // The windows go before the shell; no handler may run while they do.
    markEnded();
}

// Each window is made on the first reference to it.
Form1& Program::form1() {
    if (!form1_)
        form1_ = std::make_unique<Form1>(*this);
    return *form1_;
}

Form2& Program::form2() {
    if (!form2_)
        form2_ = std::make_unique<Form2>(*this);
    return *form2_;
}

Form3& Program::form3() {
    if (!form3_)
        form3_ = std::make_unique<Form3>(*this);
    return *form3_;
}

Form4& Program::form4() {
    if (!form4_)
        form4_ = std::make_unique<Form4>(*this);
    return *form4_;
}

ExploreWindow& Program::exploreWindow() {
    if (!explore_)
        explore_ = std::make_unique<ExploreWindow>(*this);
    return *explore_;
}

LensWindow& Program::lensWindow() {
    if (!lens_)
        lens_ = std::make_unique<LensWindow>(*this);
    return *lens_;
}

void Program::showTool(ToolWindow tool) {
    if (ended())
        return;
    QWidget* window = nullptr;
    switch (tool) {
    case ToolWindow::Explore:
        window = &exploreWindow();
        break;
    case ToolWindow::Lens:
        window = &lensWindow();
        break;
    }
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void Program::showLensAt(const LensView& view) {
    if (ended())
        return;
    lensWindow().showView(view);
    showTool(ToolWindow::Lens);
}

// The walk the user would make: a fresh look at the constants window (its activation runs
// as on any walk there), the texts typed, "AVANTI".
void Program::typeConstantsAndGo(const std::array<QString, 4>& texts) {
    if (ended() || busy())
        return;
    Form3& constants = form3();
    Show(constants);
    const std::array<const char*, 4> boxes{"Text1", "Text2", "Text3", "Text5"};
    for (std::size_t index = 0; index < boxes.size(); ++index)
        constants.control<QLineEdit>(QLatin1String(boxes[index]))->setText(texts[index]);
    constants.control<QPushButton>(QStringLiteral("Command2"))->click();
}

ProgramWindow& Program::window(WindowName name) {
    switch (name) {
    case WindowName::Intro:
        return form1();
    case WindowName::Calibration:
        return form2();
    case WindowName::Constants:
        return form3();
    case WindowName::Plot:
        break;
    }
    return form4();
}

bool Program::openSession(const QString& path) {
    return form4().openSession(path);
}

bool Program::isProgramWindow(const QWidget* window) const {
    return window && (window == form1_.get() || window == form2_.get() || window == form3_.get() ||
                      window == form4_.get());
}

bool Program::isToolWindow(const QWidget* window) const {
    return window && (window == explore_.get() || window == lens_.get());
}

void Program::start() {
    Show(form1());
}
