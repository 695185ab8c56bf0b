#include "windows/intro/intro_document.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace {

constexpr double tabStopCentimetres = 1.25; // the word processor's default tab stop
constexpr double centimetresPerInch = 2.54;

QString tab() { return QStringLiteral("\t"); }

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
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(12.0);
    return font;
}

qreal IntroDocumentView::tabStop() const {
    return tabStopCentimetres / centimetresPerInch * logicalDpiX();
}

int IntroDocumentView::widestLine() const {
    QFontMetricsF metrics(font(), this);
    qreal widest = 0;
    for (const QString& paragraph : introParagraphs()) {
        qreal width = 0;
        for (const QChar character : paragraph) {
            width = character == QLatin1Char('\t') ? (std::floor(width / tabStop()) + 1) * tabStop()
                                                   : width + metrics.horizontalAdvance(character);
        }
        widest = std::max(widest, width);
    }
    return static_cast<int>(std::ceil(widest));
}

int IntroDocumentView::textHeight() const {
    const QFontMetricsF metrics(font(), this);
    int lastWithText = 0;
    for (int index = 0; index < introParagraphs().size(); ++index) {
        if (!introParagraphs()[index].trimmed().isEmpty())
            lastWithText = index + 1;
    }
    return static_cast<int>(std::ceil(lastWithText * metrics.lineSpacing()));
}

void IntroDocumentView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setClipRect(rect());
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(tabStop());
    const QFontMetricsF metrics(font(), this);
    qreal top = 0;
    for (const QString& paragraph : introParagraphs()) {
        painter.drawText(QRectF(0, top, 10000, metrics.lineSpacing()), paragraph, option);
        top += metrics.lineSpacing();
    }
}
