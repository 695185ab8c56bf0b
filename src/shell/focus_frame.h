#pragma once

#include <QFocusFrame>

// A frame drawn around a control while it has the keyboard focus, for the controls whose
// style shows none (the intro document, the scroll bar, the plot). It is a widget of its
// own beside the control, so the control's pixels stay exactly as they are. As a QFocusFrame
// it stays out of what a screen reader lists; it follows the control and paints by itself.
class FocusFrame : public QFocusFrame {
    Q_OBJECT
public:
    // Outside rings the control in the window's margin; Inside draws along the control's
    // own edges, for a control that fills its window.
    enum class Placement { Outside, Inside };

    FocusFrame(QWidget& watched, Placement placement);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    QWidget& watched_;
    Placement placement_ = Placement::Outside;
};
