#pragma once

#include <QPushButton>

// A push button whose caption wraps at blanks within the button, as the windows' long
// captions need; look, focus and keys are the standard button's.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
