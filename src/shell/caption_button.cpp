#include "shell/caption_button.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace {

constexpr int captionFlags = Qt::AlignCenter | Qt::TextWordWrap;
// A caption is never drawn smaller than this share of the button's font.
constexpr double smallestShare = 0.6;
constexpr int shrinkSteps = 8;

QFont resized(const QFont& font, double share) {
    QFont smaller = font;
    if (font.pointSizeF() > 0)
        smaller.setPointSizeF(font.pointSizeF() * share);
    else
        smaller.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * share)));
    return smaller;
}

} // namespace

QRect CaptionButton::captionRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return captionRect(option);
}

QFont CaptionButton::captionFont() const {
    return captionFont(captionRect());
}

QRect CaptionButton::captionRect(const QStyleOptionButton& option) const {
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) / 2;
    return contents.adjusted(margin, 0, -margin, 0);
}

// The platform's default font is wider on some desktops than the one the windows were
// designed with, and a three-line caption would then spill over the button's edges.
QFont CaptionButton::captionFont(const QRect& area) const {
    QFont candidate = font();
    for (int step = 0; step <= shrinkSteps; ++step) {
        candidate = resized(font(), 1.0 - (1.0 - smallestShare) * step / shrinkSteps);
        const QRect needed = QFontMetrics(candidate, this).boundingRect(area, captionFlags, text());
        if (area.contains(needed))
            break;
    }
    return candidate;
}

void CaptionButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = captionRect(option);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    painter.setFont(captionFont(area));
    painter.drawItemText(area, captionFlags, option.palette, isEnabled(), text(),
                         QPalette::ButtonText);
}
