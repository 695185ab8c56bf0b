#include "shell/layout.h"

#include "shell/caption_button.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {

constexpr double twipsPerInch = 1440.0;

// A scroll bar's controls are inverted so that the wheel turns it the right way; that would
// also send the arrow keys the wrong way, so the keys are taken without the inversion.
class KeyedScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool inverted = invertedControls();
        setInvertedControls(false);
        QScrollBar::keyPressEvent(event);
        setInvertedControls(inverted);
    }
};

QWidget* createControl(const ControlLayout& row, QWidget& window) {
    switch (row.type) {
    case ControlType::CommandButton: {
        auto* button = new CaptionButton(row.caption, &window);
        // Enter presses the focused button too, not only Space.
        button->setAutoDefault(true);
        return button;
    }
    case ControlType::Label: {
        auto* label = new QLabel(row.caption, &window);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(true); // opaque, as a label is
        return label;
    }
    case ControlType::TextBox:
        return new QLineEdit(row.caption, &window);
    case ControlType::HorizontalScrollBar: {
        auto* bar = new KeyedScrollBar(Qt::Horizontal, &window);
        bar->setRange(1, 30);
        bar->setValue(1);
        bar->setPageStep(1);
        // The change is reported on arrows, the trough and the thumb's release.
        bar->setTracking(false);
        // A tab stop like the other controls, so the arrow keys move it too.
        bar->setFocusPolicy(Qt::StrongFocus);
        return bar;
    }
    case ControlType::DocumentContainer: {
        auto* container = new QWidget(&window);
        container->setFocusPolicy(Qt::StrongFocus); // a tab stop, first in its window
        return container;
    }
    }
    return nullptr;
}

void applyLookOf(const ControlLayout& row, QWidget& control) {
    if (row.font)
        control.setFont(fontFromChoice(*row.font));
    if (row.foreColor) {
        if (const auto colour = colorFromStored(*row.foreColor)) {
            QPalette palette = control.palette();
            palette.setColor(QPalette::WindowText, *colour);
            control.setPalette(palette);
        }
    }
    // Stored button backgrounds are not shown: the buttons keep the standard style.
}

void chainTabOrder(const WindowLayout& layout, const QHash<QString, QWidget*>& controls) {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& row : layout.controls)
        order.push_back(&row);
    std::stable_sort(
        order.begin(), order.end(),
        [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    QWidget* previous = nullptr;
    for (const ControlLayout* row : order) {
        QWidget* control = controls.value(row->name);
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        else
            control->setFocus(); // the first in the order has the focus when the window opens
        previous = control;
    }
}

// What a screen reader says for a caption: the words, blank runs collapsed into one.
QString accessibleNameFrom(const QString& caption) {
    return caption.simplified();
}

// Buttons and labels are named by their captions; the other controls by the table's names.
void nameControls(const WindowLayout& layout, const QHash<QString, QWidget*>& controls) {
    for (const ControlLayout& row : layout.controls) {
        if (row.type == ControlType::CommandButton || row.type == ControlType::Label)
            controls.value(row.name)->setAccessibleName(accessibleNameFrom(row.caption));
    }
    for (const ControlName& naming : layout.names) {
        QWidget* control = controls.value(naming.control);
        Q_ASSERT(control);
        auto* label = qobject_cast<QLabel*>(controls.value(naming.labelledBy));
        if (label)
            label->setBuddy(control); // a screen reader also learns which label it is
        // A name of its own wins over the label's caption.
        control->setAccessibleName(
            label && naming.text.isEmpty() ? accessibleNameFrom(label->text()) : naming.text);
    }
}

} // namespace

void describeDrawing(QWidget& control, const QString& name, const QString& description) {
    control.setAccessibleName(name);
    control.setAccessibleDescription(description);
}

int twipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / twipsPerInch));
}

std::optional<QColor> colorFromStored(quint32 stored) {
    if (stored & 0x80000000u)
        return std::nullopt;
    return QColor(static_cast<int>(stored & 0xFF), static_cast<int>((stored >> 8) & 0xFF),
                  static_cast<int>((stored >> 16) & 0xFF));
}

QFont fontFromChoice(const FontChoice& choice) {
    QFont font;
    // The design's face first; on systems without it, a sans-serif of similar metrics.
    font.setFamilies({choice.family, QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(choice.pointSize);
    font.setBold(choice.bold);
    return font;
}

QHash<QString, QWidget*> buildWindow(QWidget& window, const WindowLayout& layout) {
    const double dpi = window.logicalDpiX();
    const auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    window.setObjectName(layout.name);
    window.setWindowTitle(layout.caption);
    window.resize(px(layout.clientWidth), px(layout.clientHeight));
    QHash<QString, QWidget*> controls;
    for (const ControlLayout& row : layout.controls) {
        QWidget* control = createControl(row, window);
        control->setObjectName(row.name);
        control->setGeometry(px(row.left), px(row.top), px(row.width), px(row.height));
        applyLookOf(row, *control);
        controls.insert(row.name, control);
    }
    chainTabOrder(layout, controls);
    nameControls(layout, controls);
    return controls;
}

FigureLook plotWindowLook() {
    const WindowLayout& layout = form4Layout();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const double dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    const QPalette palette = QApplication::palette();
    return {
        QSize(twipsToPixels(layout.clientWidth, dpiX), twipsToPixels(layout.clientHeight, dpiY)),
        QPointF(dpiX, dpiY), palette.color(QPalette::WindowText).rgb(),
        palette.color(QPalette::Window).rgb()};
}

QFont plotWindowFont() {
    for (const ControlLayout& control : form4Layout().controls)
        if (control.font)
            return fontFromChoice(*control.font);
    return fontFromChoice({QStringLiteral("MS Sans Serif"), 8.25, false});
}
