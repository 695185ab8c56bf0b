#include "windows/intro/intro_document_accessible.h"

#include "windows/intro/intro_document.h"

#include <QAccessibleWidget>
#include <cmath>

namespace {

constexpr char readableProperty[] = "zorpunReadableDocument";

// A place in the document: its paragraph and the character within it.
struct Place {
    int paragraph = 0;
    int position = 0;
};

Place placeOf(int offset) {
    const QStringList& paragraphs = introParagraphs();
    Place place;
    for (const QString& paragraph : paragraphs) {
        if (offset <= paragraph.size())
            break;
        offset -= static_cast<int>(paragraph.size()) + 1; // and its line break
        ++place.paragraph;
    }
    place.paragraph = std::min(place.paragraph, static_cast<int>(paragraphs.size()) - 1);
    place.position = std::max(offset, 0);
    return place;
}

int offsetOf(Place place) {
    int offset = 0;
    for (int index = 0; index < place.paragraph; ++index)
        offset += static_cast<int>(introParagraphs().at(index).size()) + 1;
    return offset + place.position;
}

class ReadableDocument : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReadableDocument(QWidget* container)
        : QAccessibleWidget(container, QAccessible::Document) {}

    using QAccessibleWidget::text;

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.editable = false;
        return state;
    }
    // The drawing inside is the text itself, not a part of its own.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }

    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return cursor_; }
    void setCursorPosition(int position) override {
        cursor_ = std::clamp(position, 0, characterCount());
    }
    QString text(int startOffset, int endOffset) const override {
        return introDocumentText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(introDocumentText().size()); }
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {} // the whole text is always in view
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    IntroDocumentView* view() const { return widget()->findChild<IntroDocumentView*>(); }

    int cursor_ = 0;
};

QRect ReadableDocument::characterRect(int offset) const {
    const IntroDocumentView* shown = view();
    if (!shown || offset < 0 || offset >= characterCount())
        return QRect();
    const Place place = placeOf(offset);
    const QRect local = shown->characterRect(place.paragraph, place.position).toAlignedRect();
    return QRect(shown->mapToGlobal(local.topLeft()), local.size());
}

int ReadableDocument::offsetAtPoint(const QPoint& point) const {
    const IntroDocumentView* shown = view();
    if (!shown)
        return -1;
    const QPoint local = shown->mapFromGlobal(point);
    const int paragraph = static_cast<int>(std::floor(local.y() / shown->lineSpacing()));
    if (local.x() < 0 || paragraph < 0 || paragraph >= introParagraphs().size())
        return -1;
    const int length = static_cast<int>(introParagraphs().at(paragraph).size());
    for (int position = 0; position < length; ++position) {
        if (shown->characterRect(paragraph, position).right() > local.x())
            return offsetOf({paragraph, position});
    }
    return -1;
}

QAccessibleInterface* readableDocuments(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (className == QLatin1String("QWidget") && widget &&
        widget->property(readableProperty).toBool())
        return new ReadableDocument(widget);
    return nullptr;
}

} // namespace

void makeDocumentReadable(QWidget& container) {
    static const bool installed = [] {
        QAccessible::installFactory(readableDocuments);
        return true;
    }();
    (void)installed;
    container.setProperty(readableProperty, true);
    // An interface made before the mark (a focus event reported to an active screen reader)
    // would be the plain widget's; it is dropped, so the next query makes the document's.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&container);
    if (made && !made->textInterface())
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}
