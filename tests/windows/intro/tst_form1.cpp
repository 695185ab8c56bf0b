#include "shell/layout.h"
#include "app/program.h"
#include "ink_columns.h"
#include "recording_platform.h"
#include "windows/calibration/form2.h"
#include "windows/intro/form1.h"
#include "windows/intro/intro_document.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

namespace {

constexpr int containerLeft = 1290;
constexpr int containerTop = 330;
constexpr int containerWidth = 8415;
constexpr int containerHeight = 5055;
constexpr double tabStopInches = 1.25 / 2.54;

double screenDpi() {
    return QGuiApplication::primaryScreen()->logicalDotsPerInchX();
}

QString utf16(const char16_t* text) {
    return QString::fromUtf16(text);
}

bool isInk(QRgb pixel) {
    return qGray(pixel) < 160;
}

// Ink extent of each band of rows [top, bottom), as first and last ink column (or -1).
QPair<int, int> inkColumns(const QImage& image, int top, int bottom) {
    return inkColumns(image, top, bottom, [&](int x, int y) { return isInk(image.pixel(x, y)); });
}

int lastInkRow(const QImage& image) {
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(image.pixel(x, y)))
                return y;
        }
    }
    return -1;
}

// A paint device at a chosen logical DPI, for metrics without a screen of that DPI.
QImage deviceAt(double dpi) {
    QImage image(1, 1, QImage::Format_ARGB32);
    const int dotsPerMetre = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void paragraphs_data();
    void paragraphs();
    void documentSize();
    void fixedPitchFace();
    void blackOnTheDocument();
    void containerGeometry();
    void widestLineFits();
    void widestLineFitsAtDpi_data();
    void widestLineFitsAtDpi();
    void drawnOneLinePerParagraph();
    void drawnWithinTheContainer();
    void avantiShowsForm2Once();

private:
    RecordingPlatform platform;
    std::unique_ptr<Program> program;
};

void TestForm1::init() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    program = std::make_unique<Program>(platform);
}

void TestForm1::cleanup() {
    program.reset();
}

void TestForm1::paragraphs_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");

    // Spelled with escapes so that the file's encoding cannot change them.
    QTest::newRow("1") << 0 << utf16(u"PROGRAMMA: B-CURVE  ZOR 12");
    QTest::newRow("2 empty") << 1 << QString();
    QTest::newRow("3") << 2 << utf16(u"   Con questo programma \u00E8 stata ottenuta la FIG 25 ");
    QTest::newRow("4") << 3
                       << utf16(u" avuta con \u03B2sin(t\u03B1) e con STEP 0,1 anzich\u00E9 a 1  ");
    QTest::newRow("5 empty") << 4 << QString();
    QTest::newRow("6") << 5 << utf16(u"\tIl segmento OA viene sempre tracciato.");
    QTest::newRow("7") << 6 << utf16(u" Prende in esame il segmento-punto OA/n = \u03B5");
    QTest::newRow("8") << 7 << utf16(u"\tSolitamente (n) deve essere uguale in valore al");
    QTest::newRow("9") << 8
                       << utf16(u"massimo di \u03B1, cio\u00E8 90 se l\u2019incremento di "
                                u"\u03B1 \u00E8 1; se ad ");
    QTest::newRow("10") << 9
                        << utf16(u"esempio l\u2019incremento \u00E8 0,1 (n) dovr\u00E0 essere "
                                 u"eguale a 900.");
    for (int index = 10; index < 14; ++index)
        QTest::addRow("%d empty", index + 1) << index << QString();
    QTest::newRow("15 a tab alone") << 14 << utf16(u"\t");
}

void TestForm1::paragraphs() {
    QFETCH(int, index);
    QFETCH(QString, text);
    QVERIFY(index < introParagraphs().size());
    QCOMPARE(introParagraphs().at(index), text);
}

void TestForm1::documentSize() {
    QCOMPARE(introParagraphs().size(), 15);
    qsizetype characters = 0;
    for (const QString& paragraph : introParagraphs())
        characters += paragraph.size() + 1; // and its paragraph mark
    QCOMPARE(characters, 382);
}

void TestForm1::fixedPitchFace() {
    const IntroDocumentView& view = program->form1().document();
    const QFontInfo resolved(view.font());
    QVERIFY2(resolved.fixedPitch(), qPrintable(resolved.family()));
    QVERIFY2(QStringList({"Courier New", "Liberation Mono"}).contains(resolved.family()),
             qPrintable(resolved.family()));
    QCOMPARE(view.font().pointSizeF(), 12.0);
    QVERIFY(!view.font().bold());
    // The Greek and accented letters come from that face, not from a stand-in.
    const QFontMetricsF metrics(view.font(), &view);
    for (const QString& paragraph : introParagraphs()) {
        for (const QChar character : paragraph) {
            if (character != QLatin1Char('\t'))
                QVERIFY2(metrics.inFont(character), qPrintable(QString(character)));
        }
    }
}

void TestForm1::blackOnTheDocument() {
    IntroDocumentView& view = program->form1().document();
    QCOMPARE(view.palette().color(QPalette::WindowText), QColor(Qt::black));
    const QImage image = view.grab().toImage();
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QCOMPARE(qRed(pixel), qBlue(pixel)); // grey levels only: black on white
            darkest = std::min(darkest, qGray(pixel));
        }
    }
    QVERIFY2(darkest < 40, qPrintable(QString::number(darkest)));
}

void TestForm1::containerGeometry() {
    program->start();
    Form1& form = program->form1();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* container = form.control<QWidget>(QStringLiteral("OLE1"));
    const auto px = [](int twips) { return twipsToPixels(twips, screenDpi()); };
    QCOMPARE(container->geometry(),
             QRect(px(containerLeft), px(containerTop), px(containerWidth), px(containerHeight)));
    // The document starts at the container's top-left corner and is cut at its edges.
    QCOMPARE(form.document().parentWidget(), container);
    QCOMPARE(form.document().geometry(), container->rect());
}

void TestForm1::widestLineFits() {
    const IntroDocumentView& view = program->form1().document();
    const double dpi = view.logicalDpiX();
    QVERIFY(view.widestLine() > 0.9 * twipsToPixels(containerWidth, dpi));
    QVERIFY2(view.widestLine() <= twipsToPixels(containerWidth, dpi),
             qPrintable(QString::number(view.widestLine())));
    QVERIFY(view.textHeight() > 9 * view.lineSpacing());
    QVERIFY(view.textHeight() <= twipsToPixels(containerHeight, dpi));
    QCOMPARE(view.tabStop(), tabStopInches * dpi);
}

void TestForm1::widestLineFitsAtDpi_data() {
    QTest::addColumn<double>("dpi");
    QTest::newRow("96") << 96.0;
    QTest::newRow("120") << 120.0;
    QTest::newRow("144") << 144.0;
    QTest::newRow("192") << 192.0;
}

// Measured with the face's own metrics at that DPI, tabs at their stops.
void TestForm1::widestLineFitsAtDpi() {
    QFETCH(double, dpi);
    const QImage device = deviceAt(dpi);
    const QFontMetricsF metrics(IntroDocumentView::documentFont(), &device);
    const double tabStop = tabStopInches * dpi;
    double widest = 0;
    for (QString paragraph : introParagraphs()) {
        double width = 0;
        if (paragraph.startsWith(QLatin1Char('\t'))) {
            width = tabStop;
            paragraph.remove(0, 1);
        }
        widest = std::max(widest, width + metrics.horizontalAdvance(paragraph));
    }
    QVERIFY2(widest <= twipsToPixels(containerWidth, dpi), qPrintable(QString::number(widest)));
    QVERIFY(10 * metrics.lineSpacing() <= twipsToPixels(containerHeight, dpi));
}

void TestForm1::drawnOneLinePerParagraph() {
    const IntroDocumentView& view = program->form1().document();
    IntroDocumentView wide;
    wide.resize(2 * twipsToPixels(containerWidth, view.logicalDpiX()),
                2 * twipsToPixels(containerHeight, view.logicalDpiX()));
    const QImage image = wide.grab().toImage();
    const double ratio = image.devicePixelRatio();
    const double line = wide.lineSpacing() * ratio;
    for (int index = 0; index < introParagraphs().size(); ++index) {
        const QPair<int, int> ink =
            inkColumns(image, qRound(index * line), qRound((index + 1) * line));
        const bool blank = introParagraphs().at(index).trimmed().isEmpty();
        QVERIFY2((ink.first < 0) == blank, qPrintable(QString::number(index + 1)));
    }
    const double cell = QFontMetricsF(wide.font(), &wide).horizontalAdvance(QLatin1Char('M'));
    // From the left edge, after three blanks, at the first tab stop.
    QVERIFY(inkColumns(image, 0, qRound(line)).first < cell * ratio);
    const int afterBlanks = inkColumns(image, qRound(2 * line), qRound(3 * line)).first;
    QVERIFY(afterBlanks >= 3 * cell * ratio && afterBlanks < 4 * cell * ratio);
    const int afterTab = inkColumns(image, qRound(5 * line), qRound(6 * line)).first;
    QVERIFY(afterTab >= wide.tabStop() * ratio && afterTab < (wide.tabStop() + cell) * ratio);
}

// Drawn without the container's clipping, the text still ends inside its rectangle.
void TestForm1::drawnWithinTheContainer() {
    const double dpi = program->form1().logicalDpiX();
    IntroDocumentView wide;
    wide.resize(2 * twipsToPixels(containerWidth, dpi), 2 * twipsToPixels(containerHeight, dpi));
    const QImage image = wide.grab().toImage();
    const double ratio = image.devicePixelRatio();
    const QPair<int, int> ink = inkColumns(image, 0, image.height());
    QVERIFY2(ink.second < twipsToPixels(containerWidth, dpi) * ratio,
             qPrintable(QString::number(ink.second)));
    QVERIFY(ink.second > 0.9 * twipsToPixels(containerWidth, dpi) * ratio);
    QVERIFY(lastInkRow(image) < twipsToPixels(containerHeight, dpi) * ratio);
}

void TestForm1::avantiShowsForm2Once() {
    program->start();
    Form1& form = program->form1();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(!program->existingForm2());
    auto* avanti = form.control<QPushButton>(QStringLiteral("Command1"));
    QCOMPARE(avanti->text(), QStringLiteral("AVANTI"));
    avanti->click();
    Form2* shown = program->existingForm2();
    QVERIFY(shown);
    avanti->click();
    QCOMPARE(program->existingForm2(), shown);
    int form2Windows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        form2Windows += window->objectName() == QLatin1String("Form2") ? 1 : 0;
    QCOMPARE(form2Windows, 1);
    QVERIFY(shown->isVisible());
    QVERIFY(form.isVisible());
    QCOMPARE(program->activeWindow(), shown);
    QVERIFY(platform.messages.isEmpty());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
