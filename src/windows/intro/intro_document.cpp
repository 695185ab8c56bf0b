#include "windows/intro/intro_document.h"

#include "core/numeric.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace {

constexpr double tabStopCentimetres = 1.25; // the word processor's default tab stop
constexpr double documentPointSize = 12.0;

QString tab() {
    return QStringLiteral("\t");
}

} // namespace

const QStringList& introParagraphs() {
    static const QStringList paragraphs{
        QStringLiteral("PROGRAMMA: B-CURVE  ZOR 12"),
        QString(),
        QStringLiteral("   Con questo programma è stata ottenuta la FIG 25 "),
        QStringLiteral(" avuta con βsin(tα) e con STEP 0,1 anziché a 1  "),
        QString(),
        tab() + QStringLiteral("Il segmento OA viene sempre tracciato."),
        QStringLiteral(" Prende in esame il segmento-punto OA/n = ε"),
        tab() + QStringLiteral("Solitamente (n) deve essere uguale in valore al"),
        QStringLiteral("massimo di α, cioè 90 se l’incremento di α è 1; se ad "),
        QStringLiteral("esempio l’incremento è 0,1 (n) dovrà essere eguale a 900."),
        QString(),
        QString(),
        QString(),
        QString(),
        tab(),
    };
    return paragraphs;
}

const QString& introDocumentText() {
    static const QString text = [] {
        QString joined;
        for (const QString& paragraph : introParagraphs())
            joined += paragraph + QLatin1Char('\n');
        return joined;
    }();
    return text;
}

IntroDocumentView::IntroDocumentView(QWidget* parent) : QWidget(parent) {
    setFont(documentFont());
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
}

QFont IntroDocumentView::documentFont() {
    QFont font;
    // Liberation Mono has the metrics of Courier New.
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(documentPointSize);
    // The longest line fills the container to within a few pixels: advances rounded to
    // whole pixels by full hinting would push its end out of sight.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

qreal IntroDocumentView::tabStop() const {
    return tabStopCentimetres / centimetresPerInch * logicalDpiX();
}

qreal IntroDocumentView::lineSpacing() const {
    return QFontMetricsF(font(), this).lineSpacing();
}

void IntroDocumentView::layOut(QTextLayout& layout) const {
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::NoWrap);
    option.setUseDesignMetrics(true);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
}

// The tabs are placed here rather than by the text layout, which scales its tab distance
// by the ratio of the font's DPI to a default DPI and so misplaces them at some settings.
qreal IntroDocumentView::setParagraph(const QString& paragraph, QPainter* painter,
                                      qreal top) const {
    qreal x = 0;
    const QStringList pieces = paragraph.split(QLatin1Char('\t'));
    for (qsizetype index = 0; index < pieces.size(); ++index) {
        if (index > 0)
            x = (std::floor(x / tabStop()) + 1) * tabStop();
        if (pieces[index].isEmpty())
            continue;
        QTextLayout layout(pieces[index], font(), this);
        layOut(layout);
        if (painter)
            layout.draw(painter, QPointF(x, top));
        x += layout.lineAt(0).naturalTextWidth();
    }
    return x;
}

QRectF IntroDocumentView::characterRect(int paragraph, int position) const {
    const QString& text = introParagraphs().at(paragraph);
    const qreal left = setParagraph(text.left(position), nullptr, 0);
    const qreal right = setParagraph(text.left(position + 1), nullptr, 0);
    return QRectF(left, paragraph * lineSpacing(), right - left, lineSpacing());
}

qreal IntroDocumentView::widestLine() const {
    qreal widest = 0;
    for (const QString& paragraph : introParagraphs())
        widest = std::max(widest, setParagraph(paragraph, nullptr, 0));
    return widest;
}

qreal IntroDocumentView::textHeight() const {
    const QStringList& paragraphs = introParagraphs();
    const auto lastWithText =
        std::find_if(paragraphs.rbegin(), paragraphs.rend(),
                     [](const QString& paragraph) { return !paragraph.trimmed().isEmpty(); });
    const auto lines = std::distance(lastWithText, paragraphs.rend());
    if (lines == 0)
        return 0;
    const QFontMetricsF metrics(font(), this);
    return static_cast<qreal>(lines - 1) * metrics.lineSpacing() + metrics.height();
}

void IntroDocumentView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    qreal top = 0;
    for (const QString& paragraph : introParagraphs()) {
        setParagraph(paragraph, &painter, top);
        top += lineSpacing();
    }
}
