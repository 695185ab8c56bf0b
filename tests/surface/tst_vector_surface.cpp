#include "core/curve_generator.h"
#include "core/palette.h"
#include "surface/vector_surface.h"

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
};

namespace {

enum class Writing { Economical, EveryOperation };

// What a drawing does to a surface.
using Drawing = std::function<void(DrawingSurface&, Writing)>;

// One pixel of the window is 4 of the picture, the grid step a 600th of an inch at 384 DPI.
QImage paint(const Drawing& drawing, Writing writing, std::int64_t* written = nullptr) {
    const QSize window(707, 452);
    QImage image(window * 4, QImage::Format_RGB32);
    QPainter painter(&image);
    {
        VectorSurface surface(painter, QRectF(QPointF(0, 0), QSizeF(image.size())),
                              {window, 96.0, qRgb(0, 0, 0), qRgb(255, 255, 255)}, 384.0);
        drawing(surface, writing);
        surface.flush();
        if (written)
            *written = surface.dotsWritten();
    }
    return image;
}

// A run of the generator on the plot window's set-up; writing every operation flushes after
// each dot and line.
class Flushing : public DrawingSurface {
public:
    explicit Flushing(VectorSurface& surface) : surface_(surface) {}
    void setScaleMode(int mode) override { surface_.setScaleMode(mode); }
    void setScaleWidth(float width) override { surface_.setScaleWidth(width); }
    void setScaleHeight(float height) override { surface_.setScaleHeight(height); }
    float ScaleWidth() const override { return surface_.ScaleWidth(); }
    float ScaleHeight() const override { return surface_.ScaleHeight(); }
    void setDrawWidth(int pixels) override { surface_.setDrawWidth(pixels); }
    int DrawWidth() const override { return surface_.DrawWidth(); }
    void PSet(float x, float y, QRgb colour) override {
        surface_.PSet(x, y, colour);
        surface_.flush();
    }
    void Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) override {
        surface_.Line(x1, y1, x2, y2, colour);
    }
    void Cls() override { surface_.Cls(); }

private:
    VectorSurface& surface_;
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

} // namespace

void VectorSurfaceTest::picturesAsEveryOperationInOrder_data() {
    QTest::addColumn<Drawing>("drawing");
    QTest::addColumn<double>("mostWrittenShare"); // of the dots given
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
    QTest::newRow("two dots over each other") << alternating << 0.05;
    QTest::newRow("the default run") << runOf(86, 55, 90, 1, LinkingLines::Off) << 1.0;
    QTest::newRow("with lines") << runOf(86, 55, 90, 1, LinkingLines::On) << 1.0;
    QTest::newRow("a long run") << runOf(200, 45, 2e5, 0.01, LinkingLines::Off) << 0.05;
    QTest::newRow("a long run with lines") << runOf(200, 45, 2e4, 0.01, LinkingLines::On) << 0.7;
}

void VectorSurfaceTest::picturesAsEveryOperationInOrder() {
    QFETCH(Drawing, drawing);
    QFETCH(double, mostWrittenShare);
    std::int64_t written = 0;
    std::int64_t given = 0;
    const QImage economical = paint(drawing, Writing::Economical, &written);
    const QImage everyOperation = paint(drawing, Writing::EveryOperation, &given);
    QVERIFY(economical == everyOperation);
    QVERIFY2(double(written) <= double(given) * mostWrittenShare,
             qPrintable(QStringLiteral("%1 of %2").arg(written).arg(given)));
}

QTEST_MAIN(VectorSurfaceTest)
#include "tst_vector_surface.moc"
