#include "core/palette.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>
#include <QtTest>

// The icons as they are kept in the tree: the sizes and colour depths the desktops and the
// Windows build ask for, and a Windows icon that holds the same three small pictures.
class IconsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void pictures_data();
    void pictures();
    void windowsIconDirectory_data();
    void windowsIconDirectory();
    void windowsIconShowsTheSmallPictures_data();
    void windowsIconShowsTheSmallPictures();
    void scalablePictureIsSvg();
};

namespace {

enum class Depth { TwoColours, SixteenColours, Full };

QString iconPath(const QString& file) {
    return QFINDTESTDATA("../../packaging/icons/" + file);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint16 word(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 doubleWord(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

QSet<QRgb> coloursOf(const QImage& image) {
    QSet<QRgb> colours;
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < opaque.height(); ++y) {
        for (int x = 0; x < opaque.width(); ++x)
            colours.insert(opaque.pixel(x, y));
    }
    return colours;
}

QSet<QRgb> paletteColours() {
    QSet<QRgb> colours;
    for (int index = 0; index < 16; ++index)
        colours.insert(paletteColor(index));
    return colours;
}

} // namespace

Q_DECLARE_METATYPE(Depth)

void IconsTest::pictures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("size");
    QTest::addColumn<Depth>("depth");

    QTest::newRow("32 in 2 colours") << "curve-zor-pun-32-2colours.png" << 32 << Depth::TwoColours;
    QTest::newRow("32 in 16 colours") << "curve-zor-pun-32.png" << 32 << Depth::SixteenColours;
    QTest::newRow("16 in 16 colours") << "curve-zor-pun-16.png" << 16 << Depth::SixteenColours;
    QTest::newRow("48") << "curve-zor-pun-48.png" << 48 << Depth::Full;
    QTest::newRow("64") << "curve-zor-pun-64.png" << 64 << Depth::Full;
    QTest::newRow("128") << "curve-zor-pun-128.png" << 128 << Depth::Full;
}

void IconsTest::pictures() {
    QFETCH(QString, file);
    QFETCH(int, size);
    QFETCH(Depth, depth);
    const QImage image(iconPath(file));
    QVERIFY2(!image.isNull(), qPrintable(file));
    QCOMPARE(image.size(), QSize(size, size));
    const QSet<QRgb> colours = coloursOf(image);
    switch (depth) {
    case Depth::TwoColours:
        QCOMPARE(colours, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
        break;
    case Depth::SixteenColours:
        // The drawing's palette only, and more than black and white: the curves are coloured.
        QVERIFY(colours.size() > 2);
        QVERIFY(paletteColours().contains(colours));
        QVERIFY(!image.hasAlphaChannel());
        break;
    case Depth::Full:
        // Rounded corners show the desktop through; the middle is the opaque plot.
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        QVERIFY(colours.size() > 16); // antialiased
        break;
    }
}

void IconsTest::windowsIconDirectory_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("colours");
    QTest::addColumn<int>("bitsPerPixel");

    QTest::newRow("32 in 2 colours") << 0 << 32 << 2 << 1;
    QTest::newRow("32 in 16 colours") << 1 << 32 << 16 << 4;
    QTest::newRow("16 in 16 colours") << 2 << 16 << 16 << 4;
}

// One icon group with three images, each a bitmap of that depth with its colour table.
void IconsTest::windowsIconDirectory() {
    QFETCH(int, entry);
    QFETCH(int, size);
    QFETCH(int, colours);
    QFETCH(int, bitsPerPixel);
    const QByteArray ico = fileBytes(iconPath("curve-zor-pun.ico"));
    QVERIFY(ico.size() > 6 + 3 * 16);
    QCOMPARE(word(ico, 0), quint16(0));
    QCOMPARE(word(ico, 2), quint16(1)); // an icon
    QCOMPARE(word(ico, 4), quint16(3));
    const qsizetype at = 6 + 16 * entry;
    QCOMPARE(static_cast<uchar>(ico[at]), uchar(size));
    QCOMPARE(static_cast<uchar>(ico[at + 1]), uchar(size));
    QCOMPARE(static_cast<uchar>(ico[at + 2]), uchar(colours));
    QCOMPARE(word(ico, at + 6), quint16(bitsPerPixel));
    const quint32 length = doubleWord(ico, at + 8);
    const quint32 offset = doubleWord(ico, at + 12);
    QVERIFY(offset + length <= quint32(ico.size()));
    // The bitmap header: 40 bytes, twice the height for the colour bits and the mask.
    QCOMPARE(doubleWord(ico, offset), 40u);
    QCOMPARE(doubleWord(ico, offset + 4), quint32(size));
    QCOMPARE(doubleWord(ico, offset + 8), quint32(2 * size));
    QCOMPARE(word(ico, offset + 14), quint16(bitsPerPixel));
    const quint32 rowBytes = (size * bitsPerPixel + 31) / 32 * 4;
    const quint32 maskRowBytes = (size + 31) / 32 * 4;
    QCOMPARE(length, 40 + 4 * quint32(colours) + (rowBytes + maskRowBytes) * size);
}

void IconsTest::windowsIconShowsTheSmallPictures_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("file");

    QTest::newRow("32 in 2 colours") << 0 << "curve-zor-pun-32-2colours.png";
    QTest::newRow("32 in 16 colours") << 1 << "curve-zor-pun-32.png";
    QTest::newRow("16 in 16 colours") << 2 << "curve-zor-pun-16.png";
}

// Read back through Qt's own icon reader, each image is its PNG pixel for pixel.
void IconsTest::windowsIconShowsTheSmallPictures() {
    QFETCH(int, entry);
    QFETCH(QString, file);
    QImageReader reader(iconPath("curve-zor-pun.ico"), "ico");
    QCOMPARE(reader.imageCount(), 3);
    QVERIFY(reader.jumpToImage(entry));
    const QImage fromIcon = reader.read();
    QVERIFY2(!fromIcon.isNull(), qPrintable(reader.errorString()));
    const QImage fromPng(iconPath(file));
    QCOMPARE(fromIcon.convertToFormat(QImage::Format_ARGB32),
             fromPng.convertToFormat(QImage::Format_ARGB32));
}

void IconsTest::scalablePictureIsSvg() {
    const QByteArray svg = fileBytes(iconPath("curve-zor-pun.svg"));
    QVERIFY(svg.startsWith("<?xml"));
    QVERIFY(svg.contains("<svg xmlns=\"http://www.w3.org/2000/svg\""));
    QVERIFY(svg.contains("viewBox=\"0 0 128 128\""));
    QVERIFY(svg.trimmed().endsWith("</svg>"));
}

QTEST_MAIN(IconsTest)
#include "tst_icons.moc"
