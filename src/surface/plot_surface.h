#pragma once

#include "core/drawing_surface.h"
#include "surface/image_surface.h"
#include "surface/locked_surface.h"

#include <QImage>
#include <QWidget>
#include <mutex>
#include <optional>

// A window's client area as a drawing surface. What is drawn goes into a back buffer in
// device pixels (an ImageSurface), so the drawing stays crisp at any device pixel ratio and
// survives the window being covered, resized or repainted; paintEvent only copies the
// buffer, and the window is repainted once after a burst of drawing, not once per dot.
// It covers its window's whole client area, below the window's controls.
class PlotSurface : public QWidget, public DrawingSurface {
    Q_OBJECT
public:
    using Drawing = ImageSurface::Drawing;
    using PassLanes = ImageSurface::PassLanes;

    explicit PlotSurface(QWidget* window = nullptr);

    void setDrawing(Drawing drawing) { image_.setDrawing(drawing); }
    void setPassLanes(PassLanes lanes) { image_.setPassLanes(lanes); }

    // Passed on to the drawing, whose scale and pen this one then shows.
    void setScaleMode(ScaleMode mode) override;
    void setScaleWidth(float width) override;
    void setScaleHeight(float height) override;
    void setDrawWidth(int pixels) override;
    void PSet(float x, float y, QRgb colour) override;
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override;
    void Cls() override;
    void drawBlock(const DotBlock& block) override;
    void drawPasses(curve_walk::PassSection& section) override;

    // The drawing as it stands, in device pixels, cut to the client area.
    QImage snapshot() const;
    // Shows a picture drawn elsewhere at this surface's size and ratio, as if drawn here.
    void showPicture(const QImage& picture);
    // The drawing behind the widget, for whatever must make the same pixels elsewhere.
    const ImageSurface& image() const { return image_; }
    // For drawing from a worker thread: the same drawing, each operation under the lock
    // that the widget takes to read and resize the buffer. Called on the interface thread
    // before the worker starts; nothing else draws on this surface until the worker is done.
    DrawingSurface& sharedDrawing();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Gives the drawing the widget's size, ratio, DPI and colours as they stand now.
    void syncArea();
    void beforeDrawing() {
        if (areaStale_)
            syncArea();
        if (!repaintRequested_)
            requestRepaint();
    }
    void requestRepaint();

    ImageSurface image_;
    mutable std::mutex imageLock_;
    // Made afresh for each worker, from the drawing as it stands then.
    std::optional<LockedSurface> shared_;
    // Any event may bring a new screen, size, ratio or palette; they are read again before
    // the next drawing.
    bool areaStale_ = true;
    bool repaintRequested_ = false;
};
