#pragma once

#include "figure/figure_export.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

class QWidget;

// The design-time layout of a window: lengths in twips (1440 per inch), colours as
// 0x00BBGGRR values, fonts in points.
enum class ControlType { CommandButton, Label, TextBox, HorizontalScrollBar, DocumentContainer };

struct FontChoice {
    QString family;
    double pointSize = 0.0;
    bool bold = false;
};

struct ControlLayout {
    ControlType type = ControlType::Label;
    QString name;
    QString caption;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tabIndex = 0;
    std::optional<FontChoice> font;
    std::optional<quint32> foreColor;
    std::optional<quint32> backColor;
};

// How a screen reader names a control without a caption of its own: by the caption of the
// label beside it, or by a text of its own (a control can have both: the label then only
// tells which label belongs to it).
struct ControlName {
    QString control;
    QString labelledBy;
    QString text;
};

struct WindowLayout {
    QString name;
    QString caption;
    int clientWidth = 0;
    int clientHeight = 0;
    // In creation order.
    std::vector<ControlLayout> controls;
    std::vector<ControlName> names;
};

const WindowLayout& form1Layout();
const WindowLayout& form2Layout();
const WindowLayout& form3Layout();
const WindowLayout& form4Layout();

// Twips to logical pixels at a logical DPI: 15 twips a pixel at 96 DPI.
int twipsToPixels(int twips, double logicalDpi);
// A stored 0x00BBGGRR colour; the platform's system colours (high bit set) are not fixed ones.
std::optional<QColor> colorFromStored(quint32 stored);
// The font of a table row, with a sans-serif face in place of one the system lacks.
QFont fontFromChoice(const FontChoice& choice);

// Names a control that shows a drawing and says what the drawing is, for screen readers.
void describeDrawing(QWidget& control, const QString& name, const QString& description);

// Sets the window's caption and client size and creates its controls, in creation order
// and tab order, each named for screen readers and pressed by Space or Enter if a button.
// Returns the controls by name.
QHash<QString, QWidget*> buildWindow(QWidget& window, const WindowLayout& layout);

// What a plot window would look like on this screen, without making one: its layout's
// client area at the primary screen's logical DPI, the application's colours.
FigureLook plotWindowLook();
// The plot window's own font, its buttons' face and size: a figure's legend is written in it.
QFont plotWindowFont();
