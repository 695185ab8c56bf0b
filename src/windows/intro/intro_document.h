#pragma once

#include <QStringList>
#include <QWidget>

class QPainter;
class QTextLayout;

// The explanatory document of the intro window, one entry a paragraph.
const QStringList& introParagraphs();
// The document as text: every paragraph followed by a line break, its paragraph mark.
const QString& introDocumentText();

// Shows the document as its cached picture does: black, a fixed-pitch face at 12 points,
// one line per paragraph from the top-left corner, clipped to the container.
class IntroDocumentView : public QWidget {
    Q_OBJECT
public:
    explicit IntroDocumentView(QWidget* parent = nullptr);
    // The face the document is drawn in.
    static QFont documentFont();
    // Width in logical pixels of the document's widest line as drawn, tabs expanded.
    qreal widestLine() const;
    // From the top to the bottom of the last line with text, in logical pixels.
    qreal textHeight() const;
    // The distance from one paragraph's line to the next.
    qreal lineSpacing() const;
    // Where the default tab stops fall, in logical pixels.
    qreal tabStop() const;
    // Where that character of that paragraph is drawn, in logical pixels (a tab reaches to
    // its stop).
    QRectF characterRect(int paragraph, int position) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // A piece of a paragraph set as one unbroken line at the origin.
    void layOut(QTextLayout& layout) const;
    // Draws one paragraph's line at that height (or only measures it, without a painter)
    // and returns its width, tabs expanded.
    qreal setParagraph(const QString& paragraph, QPainter* painter, qreal top) const;
};
