#include "core/palette.h"
#include "surface/plot_surface.h"

#include <QtTest>
#include <cmath>

// The plotting surface: dots with a footprint centred on their point at any device pixel
// ratio, a drawing that survives resizing, clearing, and the palette.
class PlotSurfaceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void dotIsCentredOnItsPoint_data();
    void dotIsCentredOnItsPoint();
    void lineWithoutColourUsesTheForeground();
    void drawingSurvivesResizing();
    void clearLeavesTheBackground();
    void paletteHasTheSixteenColours_data();
    void paletteHasTheSixteenColours();

private:
    // The box around every pixel of that colour, in device pixels.
    static QRect boxOf(const QImage& image, QRgb colour, int* count = nullptr);

    std::unique_ptr<QWidget> window_;
    PlotSurface* surface_ = nullptr;
};

void PlotSurfaceTest::init() {
    window_ = std::make_unique<QWidget>();
    window_->resize(200, 100);
    surface_ = new PlotSurface(window_.get());
    window_->show();
    // One user unit a logical pixel.
    surface_->setScaleWidth(200);
    surface_->setScaleHeight(100);
}

QRect PlotSurfaceTest::boxOf(const QImage& image, QRgb colour, int* count) {
    QRect box;
    int found = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                box |= QRect(x, y, 1, 1);
                ++found;
            }
        }
    }
    if (count)
        *count = found;
    return box;
}

void PlotSurfaceTest::dotIsCentredOnItsPoint_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("1 pixel") << 1;
    QTest::newRow("2 pixels") << 2;
    QTest::newRow("3 pixels") << 3;
}

void PlotSurfaceTest::dotIsCentredOnItsPoint() {
    QFETCH(int, width);
    const double ratio = surface_->devicePixelRatioF();
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    const int deviceWidth = static_cast<int>(std::lround(width * ratio));
    surface_->setDrawWidth(width);
    QCOMPARE(surface_->DrawWidth(), width);
    // The centre of logical pixel (50, 40) and the corner between four pixels at (120, 60).
    for (const QPointF point : {QPointF(50.5, 40.5), QPointF(120.0, 60.0)}) {
        surface_->Cls();
        surface_->PSet(static_cast<float>(point.x()), static_cast<float>(point.y()),
                       paletteColor(12));
        int count = 0;
        const QRect box = boxOf(surface_->snapshot(), paletteColor(12), &count);
        QCOMPARE(box.width(), deviceWidth);
        QCOMPARE(box.height(), deviceWidth);
        // Symmetric about the point to within half a pixel on each axis.
        const QPointF device = point * ratio;
        const QPointF centre = QRectF(box).center();
        QVERIFY2(std::abs(centre.x() - device.x()) <= 0.5, qPrintable(QString::number(centre.x())));
        QVERIFY2(std::abs(centre.y() - device.y()) <= 0.5, qPrintable(QString::number(centre.y())));
        if (deviceWidth <= 3)
            QCOMPARE(count, deviceWidth * deviceWidth);
    }
}

void PlotSurfaceTest::lineWithoutColourUsesTheForeground() {
    surface_->setDrawWidth(1);
    surface_->Line(10, 50, 190, 50);
    const QRgb foreground = surface_->palette().color(QPalette::WindowText).rgb();
    const double ratio = surface_->devicePixelRatioF();
    const QImage image = surface_->snapshot();
    QCOMPARE(image.pixel(static_cast<int>(100 * ratio), static_cast<int>(50 * ratio)), foreground);
    surface_->Line(100, 10, 100, 90, paletteColor(2));
    QCOMPARE(
        surface_->snapshot().pixel(static_cast<int>(100 * ratio), static_cast<int>(20 * ratio)),
        paletteColor(2));
}

void PlotSurfaceTest::drawingSurvivesResizing() {
    surface_->setDrawWidth(3);
    surface_->PSet(150, 80, paletteColor(9));
    const QRect before = boxOf(surface_->snapshot(), paletteColor(9));
    window_->resize(100, 50);
    QCOMPARE(surface_->size(), QSize(100, 50));
    window_->resize(300, 150);
    QCOMPARE(surface_->size(), QSize(300, 150));
    QCOMPARE(boxOf(surface_->snapshot(), paletteColor(9)), before);
    // Painting only copies the drawing.
    const QImage shown = surface_->grab().toImage();
    QCOMPARE(boxOf(shown, paletteColor(9)), before);
}

void PlotSurfaceTest::clearLeavesTheBackground() {
    surface_->PSet(10, 10, paletteColor(4));
    surface_->Cls();
    int count = 0;
    boxOf(surface_->snapshot(), surface_->palette().color(QPalette::Window).rgb(), &count);
    const QImage image = surface_->snapshot();
    QCOMPARE(count, image.width() * image.height());
}

void PlotSurfaceTest::paletteHasTheSixteenColours_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QRgb>("colour");
    const QRgb colours[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                            0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                            0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int index = 0; index < 16; ++index)
        QTest::addRow("%d", index) << index << (colours[index] | 0xFF000000u);
    // Past the palette the index wraps, so a runaway colour cursor still draws.
    QTest::newRow("16 wraps to black") << 16 << QRgb(0xFF000000u);
    QTest::newRow("-1 wraps to white") << -1 << QRgb(0xFFFFFFFFu);
}

void PlotSurfaceTest::paletteHasTheSixteenColours() {
    QFETCH(int, index);
    QFETCH(QRgb, colour);
    QCOMPARE(paletteColor(index), colour);
}

QTEST_MAIN(PlotSurfaceTest)
#include "tst_plot_surface.moc"
