#include "app/program.h"

#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"
#include "windows/plot/form4.h"

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
    return window && (window == form1_.get() || window == form2_.get() ||
                      window == form3_.get() || window == form4_.get());
}

void Program::start() {
    Show(form1());
}
