#pragma once

#include "core/drawing_surface.h"

#include <QRectF>
#include <QSize>
#include <array>
#include <cstdint>

class QPainter;

// A drawing surface onto a QPainter, for the vector and print copies of the plot window's
// drawing (QSvgGenerator, QPdfWriter, QPrinter). The picture fills a target rectangle that
// has the window's proportions; a pixel of the window becomes target width / window width
// painter units, so dots and lines keep their sizes relative to the picture.
//
// A long run sets millions of dots, nearly all on the spot of a dot a few passes before.
// Dots are placed on a grid of 600 per inch of the painter's device, and a dot that lands on
// the spot of an earlier one of the same colour and width, with nothing written over that
// one since, is left out: the file holds each spot once and other programs open it at once.
class VectorSurface : public DrawingSurface {
public:
    struct Look {
        QSize windowSize;            // the window's client area, logical pixels
        double windowDpi = 96.0;     // its logical DPI, for the centimetre scale
        QRgb foreground = 0xff000000; // lines without a colour
        QRgb background = 0xffffffff; // what Cls leaves
    };

    // unitsPerInch: the painter's units per inch on its device.
    VectorSurface(QPainter& painter, const QRectF& target, const Look& look, double unitsPerInch);

    void setScaleMode(int mode) override;
    void setScaleWidth(float width) override { scaleWidth_ = width; }
    void setScaleHeight(float height) override { scaleHeight_ = height; }
    float ScaleWidth() const override { return scaleWidth_; }
    float ScaleHeight() const override { return scaleHeight_; }
    void setDrawWidth(int pixels) override { drawWidth_ = pixels; }
    int DrawWidth() const override { return drawWidth_; }
    void PSet(float x, float y, QRgb colour) override;
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override;
    void Cls() override;

    std::int64_t dotsWritten() const { return dotsWritten_; }
    std::int64_t dotsLeftOut() const { return dotsLeftOut_; }

private:
    // A dot written lately, and whether anything has been written over it since.
    struct RecentDot {
        std::int64_t column = 0;
        std::int64_t row = 0;
        int width = 0;
        QRgb colour = 0;
        QRectF box;
        bool intact = false;
    };

    QPointF toPainter(float x, float y) const;
    void coveredBy(const QRectF& area);

    QPainter& painter_;
    QRectF target_;
    Look look_;
    double pixel_ = 1.0; // painter units per window pixel
    double spot_ = 1.0;  // painter units per grid step
    float scaleWidth_ = 0.0f;
    float scaleHeight_ = 0.0f;
    int drawWidth_ = 1;
    std::array<RecentDot, 8> recent_;
    std::size_t nextRecent_ = 0;
    std::int64_t dotsWritten_ = 0;
    std::int64_t dotsLeftOut_ = 0;
};
