#pragma once

#include "surface/drawing_surface.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

// Shapes in device pixels, as the surface's rasterisers write them.
namespace device_pixels {

// One row of a dot: a run of columns at a row offset from the dot's anchor.
struct Span {
    int dy = 0;
    int dxFirst = 0;
    int dxLast = 0;
};

struct Dot {
    int x = 0; // anchor
    int y = 0;
    int width = 1;
    QRgb colour = 0;
};

// A line between two anchors, with its pen width: everything its pixels depend on.
struct LineKey {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int width = 1;
    friend bool operator==(const LineKey&, const LineKey&) = default;
};

// A box of device pixels, edges included; empty when right < left.
struct Box {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;

    bool isEmpty() const { return right < left || bottom < top; }
    bool intersects(const Box& other) const {
        return left <= other.right && other.left <= right && top <= other.bottom &&
               other.top <= bottom;
    }
};

} // namespace device_pixels

// A window's client area as a drawing surface. What is drawn goes into a back buffer in
// device pixels, so the drawing stays crisp at any device pixel ratio and survives the
// window being covered, resized or repainted; paintEvent only copies the buffer.
// It covers its window's whole client area, below the window's controls.
//
// Dots and lines are written straight into the buffer by the surface's own rasterisers, so
// a dot or a line has the same pixels however it is reached. A run of the curve generator
// sets millions of dots, most of them on the pixels of the dot before, and joins pairs with
// lines that repeat the line before. Drawing::Economical (the default) writes dots in
// batches and leaves out what provably changes no pixel of the final picture: a dot that
// lies untouched in the buffer already, a line that a later line on the same pixels covers.
// Drawing::Direct writes every operation as it comes: the plain reading, against which the
// economical one is checked. Either way the window is repainted once after a burst of
// drawing, not once per dot, and snapshot() shows what the buffer will hold.
class PlotSurface : public QWidget, public DrawingSurface {
    Q_OBJECT
public:
    enum class Drawing { Economical, Direct };

    explicit PlotSurface(QWidget* window = nullptr);

    void setDrawing(Drawing drawing);

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
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A dot written lately whose pixels nothing has written over since.
    struct RecentDot {
        device_pixels::Dot dot;
        device_pixels::Box box;
        bool intact = false;
    };

    struct QueuedDot {
        float x = 0.0f;
        float y = 0.0f;
        QRgb colour = 0;
    };

    void forgetScale();
    void forgetPen();
    void prepare();
    void prepareScale();
    void preparePen();
    const std::vector<device_pixels::Span>& footprintOf(int deviceWidth);
    void ensureBuffer();
    // Keeps the buffer's pixels at hand for the rasterisers.
    void adoptBuffer();
    QRgb background() const;
    void requestRepaint();

    std::optional<device_pixels::LineKey> lineKeyFor(float x1, float y1, float x2, float y2) const;
    std::optional<device_pixels::Dot> anchoredDot(const QueuedDot& queued) const;
    void drawQueuedDots();
    void drawQueuedPixels();
    void flushDrawing();
    void keepAfterLine(const device_pixels::Dot& dot);
    void placeDot(const device_pixels::Dot& dot);
    void place(const device_pixels::Dot& dot);
    void noteWritten(const device_pixels::Box& box);
    void writeLine(const device_pixels::LineKey& key, QRgb colour);
    void drawPendingLine();
    void forgetRecentDots();

    QImage buffer_;
    double bufferRatio_ = 0.0;
    float scaleWidth_ = 0.0f;
    float scaleHeight_ = 0.0f;
    int drawWidth_ = 1;
    Drawing drawing_ = Drawing::Economical;

    // What every dot needs, worked out once until an event, a new scale or a new size.
    bool scaleReady_ = false;
    bool penReady_ = false;
    QSize preparedSize_;
    double ratio_ = 1.0;
    double unitX_ = 1.0;
    double unitY_ = 1.0;
    QRgb* bits_ = nullptr;
    qsizetype stride_ = 0;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    int penWidth_ = 1;
    double anchorShift_ = 0.0; // 0.5 for an even pen, whose dots centre on pixel corners
    double nearLeft_ = 0.0;    // beyond these device positions a dot has no pixel to set
    double nearTop_ = 0.0;
    double nearRight_ = 0.0;
    double nearBottom_ = 0.0;
    const std::vector<device_pixels::Span>* footprint_ = nullptr;
    std::vector<std::vector<device_pixels::Span>> footprints_;
    std::vector<device_pixels::Span> largeFootprint_;
    bool repaintRequested_ = false;

    // Dots not yet written, in drawing order, as PSet was given them.
    std::array<QueuedDot, 1024> queuedDots_;
    std::size_t queuedCount_ = 0;

    // The latest line, not yet written: a later line on exactly the same pixels hides it.
    // The dots drawn after it are written at once and kept, to be written again over the
    // line when it goes into the buffer.
    bool linePending_ = false;
    device_pixels::LineKey pendingLine_;
    QRgb pendingColour_ = 0;
    std::vector<device_pixels::Dot> dotsAfterLine_;
    std::array<RecentDot, 4> recentDots_;
    std::size_t nextRecent_ = 0;
    bool recentDotsKept_ = false; // any of them intact
};
