#include "core/drawing_surface.h"

#include <QtTest>

// The one place the scale lives: a user scale and a centimetre scale map the corners and the
// centre of areas at a few sizes, DPIs and ratios to the logical and device pixels of the plain
// reading, bit for bit, since the drawn pixels depend on the last bit.
class DrawingSurfaceTest : public QObject {
    Q_OBJECT

private slots:
    void scaleMapsAsThePlainReading_data();
    void scaleMapsAsThePlainReading();
};

Q_DECLARE_METATYPE(ScaleMode)

namespace {

// An area at a device pixel ratio, placed as the image surface places its buffer.
struct Area : DrawingSurface {
    Area(QSizeF size, QPointF dpi, double ratio) {
        setLogicalArea(size, dpi, {QRectF(QPointF(0, 0), size * ratio), ratio});
    }
    using DrawingSurface::userToDevice;
};

// The plain reading: a centimetre scale spans the area's inches times 2.54, and a unit spans
// the area's extent over the scale's.
float plainCentimetres(double pixels, double dpi) {
    return static_cast<float>(pixels / dpi * 2.54);
}
QPointF plainMap(QPointF user, QSizeF extent, float scaleWidth, float scaleHeight) {
    return {user.x() * (extent.width() / scaleWidth), user.y() * (extent.height() / scaleHeight)};
}

} // namespace

void DrawingSurfaceTest::scaleMapsAsThePlainReading_data() {
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QPointF>("dpi");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<ScaleMode>("mode");
    QTest::addColumn<float>("scaleWidth"); // the user scale's; centimetres work theirs out
    QTest::addColumn<float>("scaleHeight");
    const auto cm = ScaleMode::Centimetres;
    QTest::newRow("user, 96 DPI") << QSizeF(707, 452) << QPointF(96, 96) << 1.0 << ScaleMode::User
                                  << 500.0f << 375.0f;
    QTest::newRow("user, 144 DPI at 1.5") << QSizeF(471, 301) << QPointF(144, 144) << 1.5
                                          << ScaleMode::User << 500.0f << 0.63f * 500.0f;
    QTest::newRow("cm, 96 DPI") << QSizeF(707, 452) << QPointF(96, 96) << 1.0 << cm << 0.f << 0.f;
    QTest::newRow("cm, 120 x 144 DPI at 2")
        << QSizeF(640, 480) << QPointF(120, 144) << 2.0 << cm << 0.f << 0.f;
    QTest::newRow("cm, 96 DPI at 1.25")
        << QSizeF(333, 217) << QPointF(96, 96) << 1.25 << cm << 0.f << 0.f;
}

void DrawingSurfaceTest::scaleMapsAsThePlainReading() {
    QFETCH(QSizeF, size);
    QFETCH(QPointF, dpi);
    QFETCH(double, ratio);
    QFETCH(ScaleMode, mode);
    QFETCH(float, scaleWidth);
    QFETCH(float, scaleHeight);
    Area area(size, dpi, ratio);
    area.setScaleMode(mode);
    if (mode == ScaleMode::Centimetres) {
        scaleWidth = plainCentimetres(size.width(), dpi.x());
        scaleHeight = plainCentimetres(size.height(), dpi.y());
    } else {
        area.setScaleWidth(scaleWidth);
        area.setScaleHeight(scaleHeight);
    }
    QVERIFY(area.ScaleWidth() == scaleWidth && area.ScaleHeight() == scaleHeight);
    const float w = scaleWidth, h = scaleHeight;
    for (const QPointF user :
         {QPointF(0, 0), QPointF(w, 0), QPointF(0, h), QPointF(w, h), QPointF(w / 2, h / 2)}) {
        const QPointF logical = area.userToLogical().map(user);
        const QPointF device = area.userToDevice().map(user);
        const QPointF plainLogical = plainMap(user, size, w, h);
        const QPointF plainDevice = plainMap(user, size * ratio, w, h);
        QVERIFY2(logical.x() == plainLogical.x() && logical.y() == plainLogical.y(),
                 qPrintable(QStringLiteral("(%1, %2)").arg(user.x()).arg(user.y())));
        QVERIFY2(device.x() == plainDevice.x() && device.y() == plainDevice.y(),
                 qPrintable(QStringLiteral("(%1, %2)").arg(user.x()).arg(user.y())));
    }
    // The far corner of the scale is the far corner of the area.
    QCOMPARE(area.userToLogical().map(QPointF(w, h)), QPointF(size.width(), size.height()));
}

QTEST_APPLESS_MAIN(DrawingSurfaceTest)
#include "tst_drawing_surface.moc"
