#pragma once

#include "shell/program_window.h"

class IntroDocumentView;

// The intro window: the explanatory document and "AVANTI".
class Form1 : public ProgramWindow {
    Q_OBJECT
public:
    explicit Form1(ProgramShell& program);

    IntroDocumentView& document() const { return *document_; }

private:
    void Command1_Click();

    IntroDocumentView* document_ = nullptr;
};
