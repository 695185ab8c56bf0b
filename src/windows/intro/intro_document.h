#pragma once

#include <QStringList>
#include <QWidget>

// The explanatory document of the intro window, one entry a paragraph.
const QStringList& introParagraphs();

// Shows the document as its cached picture does: black, a fixed-pitch face at 12 points,
// one line per paragraph from the top-left corner, clipped to the container.
class IntroDocumentView : public QWidget {
    Q_OBJECT
public:
    explicit IntroDocumentView(QWidget* parent = nullptr);
    // The face the document is drawn in.
    static QFont documentFont();
    // Width in pixels of the document's widest line, tabs expanded.
    int widestLine() const;
    // Height in pixels of the lines up to the last one with text.
    int textHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal tabStop() const;
};
