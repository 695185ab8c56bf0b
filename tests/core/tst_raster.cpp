#include "core/raster.h"

#include <QtTest>
#include <algorithm>

// The rasteriser on bare images: lines reach both ends without gaps and do not depend on the
// direction they are drawn in, wide pens spread evenly, cutting a far line to its reach
// keeps its pixels, and dots half off the image keep the part that lies on it.
class RasterTest : public QObject {
    Q_OBJECT

private slots:
    void lineIsConnectedEndToEndInBothDirections_data();
    void lineIsConnectedEndToEndInBothDirections();
    void widePenSpreadsEvenlyAroundTheThinLine_data();
    void widePenSpreadsEvenlyAroundTheThinLine();
    void lineCutToReachKeepsItsPixels_data();
    void lineCutToReachKeepsItsPixels();
    void dotHalfOffAnEdgeKeepsWhatLiesOnTheImage_data();
    void dotHalfOffAnEdgeKeepsWhatLiesOnTheImage();
};

namespace {

constexpr QRgb background = 0xff000000;
constexpr QRgb ink = 0xffffffff;

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

QImage withLine(QSize size, const raster::LineKey& line) {
    QImage image = blank(size.width(), size.height());
    raster::paintLine(raster::canvasOf(image), line, ink);
    return image;
}

bool inked(const QImage& image, int x, int y) {
    return image.rect().contains(x, y) && image.pixel(x, y) == ink;
}

int pixelCountOf(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += inked(image, x, y) ? 1 : 0;
    return count;
}

void addLineRows() {
    QTest::addColumn<raster::LineKey>("line");
    QTest::newRow("horizontal") << raster::LineKey{3, 20, 37, 20, 1};
    QTest::newRow("vertical") << raster::LineKey{12, 2, 12, 30, 1};
    QTest::newRow("diagonal") << raster::LineKey{2, 2, 30, 30, 1};
    QTest::newRow("shallow") << raster::LineKey{1, 5, 38, 14, 1};
    QTest::newRow("steep") << raster::LineKey{30, 1, 21, 34, 1};
    QTest::newRow("halves") << raster::LineKey{0, 0, 4, 1, 1};
    QTest::newRow("up and left") << raster::LineKey{35, 33, 4, 11, 1};
    QTest::newRow("one pixel") << raster::LineKey{9, 9, 9, 9, 1};
}

} // namespace

Q_DECLARE_METATYPE(raster::LineKey)

void RasterTest::lineIsConnectedEndToEndInBothDirections_data() {
    addLineRows();
}

void RasterTest::lineIsConnectedEndToEndInBothDirections() {
    QFETCH(raster::LineKey, line);
    const QImage image = withLine({40, 40}, line);
    QVERIFY(inked(image, line.x1, line.y1));
    QVERIFY(inked(image, line.x2, line.y2));
    // One pixel at every step along the longer axis, each next to the one before.
    const bool xMajor = std::abs(line.x2 - line.x1) >= std::abs(line.y2 - line.y1);
    const int from = xMajor ? std::min(line.x1, line.x2) : std::min(line.y1, line.y2);
    const int to = xMajor ? std::max(line.x1, line.x2) : std::max(line.y1, line.y2);
    int previousMinor = -1;
    int pixels = 0;
    for (int major = from; major <= to; ++major) {
        QList<int> minors;
        for (int minor = 0; minor < 40; ++minor)
            if (xMajor ? inked(image, major, minor) : inked(image, minor, major))
                minors << minor;
        QCOMPARE(minors.size(), 1);
        if (previousMinor >= 0)
            QVERIFY(std::abs(minors.front() - previousMinor) <= 1);
        previousMinor = minors.front();
        pixels += 1;
    }
    QCOMPARE(pixelCountOf(image), pixels);
    const raster::LineKey reversed{line.x2, line.y2, line.x1, line.y1, line.width};
    QCOMPARE(withLine({40, 40}, reversed), image);
}

void RasterTest::widePenSpreadsEvenlyAroundTheThinLine_data() {
    addLineRows();
}

// A pen of width w sets, at each step, the thin line's pixel and (w - 1) / 2 pixels on each
// side across the walk; an even pen is centred on the corner before the thin pixel.
void RasterTest::widePenSpreadsEvenlyAroundTheThinLine() {
    QFETCH(raster::LineKey, line);
    const QImage thin = withLine({40, 40}, line);
    const bool xMajor = std::abs(line.x2 - line.x1) >= std::abs(line.y2 - line.y1);
    for (int width = 2; width <= 5; ++width) {
        raster::LineKey wide = line;
        wide.width = width;
        QImage expected = blank(40, 40);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (inked(thin, x, y))
                    for (int across = -width / 2; across < -width / 2 + width; ++across) {
                        const QPoint spread =
                            xMajor ? QPoint(x, y + across) : QPoint(x + across, y);
                        if (expected.rect().contains(spread))
                            expected.setPixel(spread, ink);
                    }
        if (line.x1 == line.x2 && line.y1 == line.y2) {
            // A line of no length is the pen's square.
            const int first = raster::firstOffset(width);
            expected.fill(background);
            for (int dy = first; dy < first + width; ++dy)
                for (int dx = first; dx < first + width; ++dx)
                    expected.setPixel(line.x1 + dx, line.y1 + dy, ink);
        }
        QVERIFY2(withLine({40, 40}, wide) == expected, qPrintable(QString::number(width)));
    }
}

void RasterTest::lineCutToReachKeepsItsPixels_data() {
    QTest::addColumn<QPointF>("near");
    QTest::addColumn<QPointF>("far");
    QTest::newRow("far right") << QPointF(3.3, 40.7) << QPointF(200000011.0, 70000003.0);
    QTest::newRow("far up left") << QPointF(90.2, 60.6) << QPointF(-50000017.0, -120000007.0);
    QTest::newRow("far down, steep") << QPointF(50.5, 2.2) << QPointF(1000003.0, 300000007.0);
}

// Where both lie on the image, the line cut to its reach and the exact line (whose anchors
// still fit in integers) set the same pixels.
void RasterTest::lineCutToReachKeepsItsPixels() {
    QFETCH(QPointF, near);
    QFETCH(QPointF, far);
    const std::optional<raster::LineKey> cut = raster::lineKeyFor(near, far, 1);
    QVERIFY(cut.has_value());
    QVERIFY(std::abs(cut->x2) <= raster::lineReach + 1 &&
            std::abs(cut->y2) <= raster::lineReach + 1);
    const raster::LineKey exact{raster::anchorFor(near.x(), 1), raster::anchorFor(near.y(), 1),
                                raster::anchorFor(far.x(), 1), raster::anchorFor(far.y(), 1), 1};
    QCOMPARE(withLine({100, 100}, *cut), withLine({100, 100}, exact));
    QVERIFY(pixelCountOf(withLine({100, 100}, exact)) > 0);
}

void RasterTest::dotHalfOffAnEdgeKeepsWhatLiesOnTheImage_data() {
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<int>("width");
    for (const int width : {1, 2, 3, 6, 9}) {
        const QByteArray name = QByteArray::number(width) + " wide, ";
        QTest::newRow(name + "left") << QPoint(0, 10) << width;
        QTest::newRow(name + "right") << QPoint(19, 10) << width;
        QTest::newRow(name + "top") << QPoint(10, 0) << width;
        QTest::newRow(name + "bottom") << QPoint(10, 19) << width;
        QTest::newRow(name + "top left corner") << QPoint(0, 0) << width;
        QTest::newRow(name + "bottom right corner") << QPoint(19, 19) << width;
        QTest::newRow(name + "just off") << QPoint(-width, 10) << width;
    }
}

// The same dot on an image with a margin all round, cut back to the small image's area.
void RasterTest::dotHalfOffAnEdgeKeepsWhatLiesOnTheImage() {
    QFETCH(QPoint, anchor);
    QFETCH(int, width);
    constexpr int margin = 16;
    const raster::Footprint footprint = raster::makeFootprint(width);
    QImage small = blank(20, 20);
    raster::paintDot(raster::canvasOf(small), {anchor.x(), anchor.y(), width, ink}, footprint);
    QImage large = blank(20 + 2 * margin, 20 + 2 * margin);
    raster::paintDot(raster::canvasOf(large),
                     {anchor.x() + margin, anchor.y() + margin, width, ink}, footprint);
    QCOMPARE(small, large.copy(margin, margin, 20, 20));
}

QTEST_GUILESS_MAIN(RasterTest)
#include "tst_raster.moc"
