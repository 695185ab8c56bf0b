#include "core/curve_generator.h"
#include "core/palette.h"
#include "figure/vector_surface.h"
#include "test_windows.h"

#include <QPainter>
#include <QtTest>
#include <functional>

// The vector surface leaves out dots and writes the others in batches: the picture must be
// the one that writing every operation at once, in order, gives.
class VectorSurfaceTest : public QObject {
    Q_OBJECT

private slots:
    void picturesAsEveryOperationInOrder_data();
    void picturesAsEveryOperationInOrder();
    void dotsKeepTheScreensShape_data();
    void dotsKeepTheScreensShape();
};

namespace {

enum class Writing { Economical, EveryOperation };

// What a drawing does to a surface.
using Drawing = std::function<void(DrawingSurface&, Writing)>;

struct Written {
    std::int64_t dots = 0;
    std::int64_t lines = 0;
};

// One pixel of the window is 4 of the picture, the grid step a 600th of an inch at 384 DPI.
QImage paint(const Drawing& drawing, Writing writing, Written& written) {
    const QSize window(707, 452);
    QImage image(window * 4, QImage::Format_RGB32);
    QPainter painter(&image);
    {
        VectorSurface surface(painter, QRectF(QPointF(0, 0), QSizeF(image.size())),
                              {window, 96.0, qRgb(0, 0, 0), qRgb(255, 255, 255)}, 384.0);
        drawing(surface, writing);
        surface.flush();
        written = {surface.dotsWritten(), surface.linesWritten()};
    }
    return image;
}

// A run of the generator on the plot window's set-up; writing every operation flushes after
// each dot and line, a block's taken one at a time through the vector surface's own drawing.
class Flushing : public DrawingSurface {
public:
    explicit Flushing(VectorSurface& surface) : surface_(surface) { follow(surface_); }
    void setScaleMode(ScaleMode mode) override {
        surface_.setScaleMode(mode);
        follow(surface_);
    }
    void setScaleWidth(float width) override {
        surface_.setScaleWidth(width);
        follow(surface_);
    }
    void setScaleHeight(float height) override {
        surface_.setScaleHeight(height);
        follow(surface_);
    }
    void setDrawWidth(int pixels) override {
        surface_.setDrawWidth(pixels);
        follow(surface_);
    }
    void PSet(float x, float y, QRgb colour) override {
        surface_.PSet(x, y, colour);
        surface_.flush();
    }
    void Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) override {
        surface_.Line(x1, y1, x2, y2, colour);
        surface_.flush();
    }
    void Cls() override { surface_.Cls(); }
    void drawBlock(const DotBlock& block) override {
        std::size_t next = 0;
        const auto dotsUpTo = [&](std::size_t end) {
            for (; next < end; ++next) {
                one_.clear();
                one_.addDot(block.x[next], block.y[next], block.colour[next]);
                writeOne(block.dotWidth);
            }
        };
        for (std::size_t index = 0; index < block.lineCount; ++index) {
            const DotBlock::Line& line = block.lines[index];
            dotsUpTo(line.before);
            one_.clear();
            one_.addLine(line.x1, line.y1, line.x2, line.y2, line.colour);
            writeOne(block.dotWidth);
        }
        dotsUpTo(block.dotCount);
    }

private:
    void writeOne(int dotWidth) {
        one_.dotWidth = dotWidth;
        surface_.drawBlock(one_);
        surface_.flush();
        follow(surface_);
    }

    VectorSurface& surface_;
    DotBlock one_;
};

Drawing runOf(double a, double b, double n, double e, LinkingLines lines) {
    return [=](DrawingSurface& target, Writing writing) {
        auto& vector = static_cast<VectorSurface&>(target);
        Flushing flushing(vector);
        DrawingSurface& surface =
            writing == Writing::EveryOperation ? static_cast<DrawingSurface&>(flushing) : target;
        PlotVariables plot;
        setUpPlotWindow(surface, plot, TaggedValue::fromDouble(0.63));
        std::int16_t colour = 12; // passes 14 on the way
        runCurveGenerator({TaggedValue::fromDouble(a), TaggedValue::fromDouble(b),
                           TaggedValue::fromDouble(n), TaggedValue::fromDouble(e)},
                          lines, colour, plot, surface);
    };
}

enum class Again { No, InAnotherColour };

// A line, then more dots along it than the queue holds, in another colour: the line waits
// while they come and must go beneath them. Then, maybe, the line again over them.
void lineBeneathManyDots(DrawingSurface& target, Writing writing, Again again) {
    auto& vector = static_cast<VectorSurface&>(target);
    Flushing flushing(vector);
    DrawingSurface& surface =
        writing == Writing::EveryOperation ? static_cast<DrawingSurface&>(flushing) : target;
    surface.setScaleWidth(707);
    surface.setScaleHeight(452);
    DotBlock block;
    block.dotWidth = 3;
    block.addLine(100, 100, 400, 100, paletteColor(2));
    for (int dot = 0; dot < 60; ++dot)
        block.addDot(100.0f + 5.0f * float(dot), 100.0f, paletteColor(4));
    if (again == Again::InAnotherColour)
        block.addLine(100, 100.1f, 400, 100, paletteColor(5));
    surface.drawBlock(block);
}

} // namespace

void VectorSurfaceTest::picturesAsEveryOperationInOrder_data() {
    QTest::addColumn<Drawing>("drawing");
    QTest::addColumn<double>("mostWrittenShare"); // of the dots given
    QTest::addColumn<double>("mostLinesShare");   // of the lines given
    QTest::addColumn<QRgb>("shown");              // a colour the picture must show
    // Two colours over each other on one spot, again and again, the last one on top.
    const Drawing alternating = [](DrawingSurface& target, Writing writing) {
        auto& surface = static_cast<VectorSurface&>(target);
        target.setScaleWidth(707);
        target.setScaleHeight(452);
        target.setDrawWidth(3);
        for (int pass = 0; pass < 41; ++pass) {
            surface.PSet(100, 100, paletteColor(1 + pass % 2));
            surface.PSet(101, 100.5f, paletteColor(4));
            if (writing == Writing::EveryOperation)
                surface.flush();
        }
    };
    const QRgb white = qRgb(255, 255, 255);
    QTest::newRow("two dots over each other") << alternating << 0.05 << 1.0 << white;
    QTest::newRow("the default run")
        << runOf(86, 55, 90, 1, LinkingLines::Off) << 1.0 << 1.0 << white;
    QTest::newRow("with lines") << runOf(86, 55, 90, 1, LinkingLines::On) << 1.0 << 1.0 << white;
    QTest::newRow("a long run") << runOf(200, 45, 2e5, 0.01, LinkingLines::Off) << 0.05 << 1.0
                                << white;
    QTest::newRow("a long run with lines")
        << runOf(200, 45, 2e4, 0.01, LinkingLines::On) << 0.7 << 1.0 << white;
    // Lines a little off each other: written once a place of the window's pixels.
    QTest::newRow("a longer run with lines")
        << runOf(200, 45, 2e5, 0.01, LinkingLines::On) << 0.1 << 0.05 << white;
    for (const Again again : {Again::No, Again::InAnotherColour}) {
        const Drawing drawing = [again](DrawingSurface& surface, Writing writing) {
            lineBeneathManyDots(surface, writing, again);
        };
        QTest::newRow(again == Again::No ? "a line beneath the dots after it"
                                         : "the same line again over them")
            << drawing << 1.0 << 1.0 << (again == Again::No ? paletteColor(4) : paletteColor(5));
    }
}

void VectorSurfaceTest::picturesAsEveryOperationInOrder() {
    QFETCH(Drawing, drawing);
    QFETCH(double, mostWrittenShare);
    QFETCH(double, mostLinesShare);
    QFETCH(QRgb, shown);
    Written written;
    Written given;
    const QImage economical = paint(drawing, Writing::Economical, written);
    const QImage everyOperation = paint(drawing, Writing::EveryOperation, given);
    QVERIFY(economical == everyOperation);
    QVERIFY(pixelsOf(economical, shown) > 0);
    QVERIFY2(double(written.dots) <= double(given.dots) * mostWrittenShare,
             qPrintable(QStringLiteral("%1 of %2").arg(written.dots).arg(given.dots)));
    QVERIFY2(double(written.lines) <= double(given.lines) * mostLinesShare,
             qPrintable(QStringLiteral("%1 of %2 lines").arg(written.lines).arg(given.lines)));
}

QTEST_MAIN(VectorSurfaceTest)
void VectorSurfaceTest::dotsKeepTheScreensShape_data() {
    QTest::addColumn<int>("width");
    for (int width = 1; width <= 12; ++width)
        QTest::addRow("width %d", width) << width;
}

// A dot in vectors is a square or a circle as its footprint on screen is: the square ones fill
// their whole square, the round ones leave its corners out.
void VectorSurfaceTest::dotsKeepTheScreensShape() {
    QFETCH(int, width);
    int pixels = 0;
    for (const raster::Span& span : raster::makeFootprint(width))
        pixels += span.dxLast - span.dxFirst + 1;
    const bool square = pixels == width * width;
    QCOMPARE(square, width <= raster::widestSquareDot);
    // One dot in the middle of a 21 pixel window, each window pixel 10 image pixels.
    QImage image(210, 210, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        VectorSurface surface(painter, QRectF(0, 0, 210, 210),
                              {QSize(21, 21), 96.0, 0xff000000, 0xffffffff}, 96.0);
        surface.setDrawWidth(width);
        surface.PSet(10.5f, 10.5f, 0xff000000);
    }
    // The corner of the dot's square, a little inside it.
    const double half = width * 10 / 2.0;
    const QPoint corner = QPointF(105 - half + 2, 105 - half + 2).toPoint();
    QCOMPARE(image.pixel(corner) == 0xff000000, square);
    QCOMPARE(image.pixel(105, 105), QRgb(0xff000000));
}

#include "tst_vector_surface.moc"
