#pragma once

#include <QPushButton>

class QStyleOptionButton;

// A push button whose caption wraps at blanks within the button, as the windows' long
// captions need; look, focus and keys are the standard button's.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    // Where the caption goes: the button's contents less the style's text margin.
    QRect captionRect() const;
    // The button's font, made smaller only as far as the wrapped caption needs to fit.
    QFont captionFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect captionRect(const QStyleOptionButton& option) const;
    QFont captionFont(const QRect& area) const;
};
