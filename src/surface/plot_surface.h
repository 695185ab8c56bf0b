#pragma once

#include "surface/drawing_surface.h"

#include <QImage>
#include <QWidget>
#include <vector>

// A window's client area as a drawing surface. What is drawn goes into a back buffer in
// device pixels, so the drawing stays crisp at any device pixel ratio and survives the
// window being covered, resized or repainted; paintEvent only copies the buffer.
// It covers its window's whole client area, below the window's controls.
class PlotSurface : public QWidget, public DrawingSurface {
    Q_OBJECT
public:
    explicit PlotSurface(QWidget* window = nullptr);

    void setScaleMode(int mode) override;
    void setScaleWidth(float width) override;
    void setScaleHeight(float height) override;
    float ScaleWidth() const override { return scaleWidth_; }
    float ScaleHeight() const override { return scaleHeight_; }
    void setDrawWidth(int pixels) override;
    int DrawWidth() const override { return drawWidth_; }
    void PSet(float x, float y, QRgb colour) override;
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override;
    void Cls() override;

    // The drawing as it stands, in device pixels, cut to the client area.
    QImage snapshot() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointF toDevice(float x, float y) const;
    int devicePenWidth() const;
    void ensureBuffer();
    QRgb background() const;
    void plotFootprint(QPoint origin, QRgb colour);
    void rebuildFootprint();

    QImage buffer_;
    double bufferRatio_ = 0.0;
    float scaleWidth_ = 0.0f;
    float scaleHeight_ = 0.0f;
    int drawWidth_ = 1;
    // Pixel offsets of one dot, and how many device pixels across it is.
    std::vector<QPoint> footprint_;
    int footprintWidth_ = 0;
};
