#include "shell/focus_frame.h"

#include <QEvent>
#include <QPainter>

namespace {

constexpr int frameWidth = 2;
constexpr int gap = 1; // between the control and an outside frame

} // namespace

FocusFrame::FocusFrame(QWidget& watched, Placement placement)
    : QFocusFrame(watched.parentWidget()), watched_(watched), placement_(placement) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Cornice del fuoco"));
    watched.installEventFilter(this);
    follow();
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &watched_) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            follow();
            break;
        default:
            break;
        }
    }
    return QFocusFrame::eventFilter(watched, event);
}

void FocusFrame::follow() {
    const int margin = placement_ == Placement::Outside ? frameWidth + gap : 0;
    setGeometry(watched_.geometry().adjusted(-margin, -margin, margin, margin));
    const bool shown = watched_.hasFocus() && watched_.isVisible();
    setVisible(shown);
    if (shown)
        raise();
}

void FocusFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Active, QPalette::Highlight), frameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    const qreal half = frameWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}
