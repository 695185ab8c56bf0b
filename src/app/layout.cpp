#include "app/layout.h"

#include "app/caption_button.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {

constexpr double twipsPerInch = 1440.0;

QWidget* createControl(const ControlSpec& spec, QWidget& window) {
    switch (spec.type) {
    case ControlType::CommandButton:
        return new CaptionButton(spec.caption, &window);
    case ControlType::Label: {
        auto* label = new QLabel(spec.caption, &window);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(true); // opaque, as a label is
        return label;
    }
    case ControlType::TextBox:
        return new QLineEdit(spec.caption, &window);
    case ControlType::HorizontalScrollBar: {
        auto* bar = new QScrollBar(Qt::Horizontal, &window);
        bar->setRange(1, 30);
        bar->setValue(1);
        bar->setPageStep(1);
        // The change is reported on arrows, the trough and the thumb's release.
        bar->setTracking(false);
        return bar;
    }
    case ControlType::DocumentContainer:
        return new QWidget(&window);
    }
    return nullptr;
}

void applyLookOf(const ControlSpec& spec, QWidget& control) {
    if (spec.font)
        control.setFont(fontFromSpec(*spec.font));
    if (spec.foreColor) {
        if (const auto colour = colorFromStored(*spec.foreColor)) {
            QPalette palette = control.palette();
            palette.setColor(QPalette::WindowText, *colour);
            control.setPalette(palette);
        }
    }
    // Stored button backgrounds are not shown: the buttons keep the standard style.
}

void chainTabOrder(const WindowLayout& layout, const QHash<QString, QWidget*>& controls) {
    std::vector<const ControlSpec*> order;
    for (const ControlSpec& spec : layout.controls)
        order.push_back(&spec);
    std::stable_sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
        return a->tabIndex < b->tabIndex;
    });
    QWidget* previous = nullptr;
    for (const ControlSpec* spec : order) {
        QWidget* control = controls.value(spec->name);
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        else
            control->setFocus(); // the first in the order has the focus when the window opens
        previous = control;
    }
}

} // namespace

int twipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / twipsPerInch));
}

std::optional<QColor> colorFromStored(quint32 stored) {
    if (stored & 0x80000000u)
        return std::nullopt;
    return QColor(static_cast<int>(stored & 0xFF), static_cast<int>((stored >> 8) & 0xFF),
                  static_cast<int>((stored >> 16) & 0xFF));
}

QFont fontFromSpec(const FontSpec& spec) {
    QFont font;
    // The design's face first; on systems without it, a sans-serif of similar metrics.
    font.setFamilies({spec.family, QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(spec.pointSize);
    font.setBold(spec.bold);
    return font;
}

QHash<QString, QWidget*> buildWindow(QWidget& window, const WindowLayout& layout) {
    const double dpi = window.logicalDpiX();
    const auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    window.setObjectName(layout.name);
    window.setWindowTitle(layout.caption);
    window.resize(px(layout.clientWidth), px(layout.clientHeight));
    QHash<QString, QWidget*> controls;
    for (const ControlSpec& spec : layout.controls) {
        QWidget* control = createControl(spec, window);
        control->setObjectName(spec.name);
        control->setGeometry(px(spec.left), px(spec.top), px(spec.width), px(spec.height));
        applyLookOf(spec, *control);
        controls.insert(spec.name, control);
    }
    chainTabOrder(layout, controls);
    return controls;
}
