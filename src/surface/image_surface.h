#pragma once

#include "core/drawing_surface.h"
#include "core/raster.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// A drawing surface over a back buffer in device pixels, with no widget: the plot surface
// draws through one, and so can anything that must make the very same pixels elsewhere.
// The area is a size in logical pixels and a device pixel ratio; the buffer grows to hold it
// and never shrinks or clears, so a drawing survives the area being made smaller and larger
// again.
//
// A run of the curve generator sets millions of dots, most of them on the pixels of the dot
// before, and joins pairs with lines that repeat the line before. Drawing::Economical (the
// default) writes dots in batches and leaves out what provably changes no pixel of the final
// picture: a dot that lies untouched in the buffer already, a line that a later line on the
// same pixels covers. Drawing::Direct writes every operation as it comes: the plain reading,
// against which the economical one is checked. snapshot() shows what the buffer will hold.
class ImageSurface : public DrawingSurface {
public:
    enum class Drawing { Economical, Direct };
    // How the passes' points are worked on: both coordinates at once in one vector register
    // (SSE2, x86-64), or in plain doubles as on any other CPU. Both give the same pixels to
    // the last bit; Plain is there for checking the plain lanes where vector ones exist.
    // Where they do not, both walk the plain lanes.
    enum class PassLanes { Vector, Plain };

    ImageSurface() = default;
    // The rasterisers hold the buffer's pixels: a copy would write into the original's.
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    void setDrawing(Drawing drawing);
    void setPassLanes(PassLanes lanes) { passLanes_ = lanes; }
    // The colour of a line drawn without one, and what Cls leaves.
    void setColours(QRgb foreground, QRgb background);
    // The logical DPI sets the centimetre scale.
    void setArea(QSize logicalSize, double ratio, QPointF logicalDpi);

    // Never less than a pixel.
    void setDrawWidth(int pixels) override;
    void PSet(float x, float y, QRgb colour) override;
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override;
    void Cls() override;
    // Works out every dot's anchor in one tight loop and leaves out a dot that lies
    // untouched in the buffer already; the block's lines keep their place in the order
    // without a change of pen.
    void drawBlock(const DotBlock& block) override;
    // Walks the section's passes itself, straight into the buffer: of a run of dots on the
    // same anchor in the same colour only the last is written (image_surface_passes.cpp).
    void drawPasses(curve_walk::PassSection& section) override;

    // The visible area in device pixels, as the buffer will hold it once everything waiting
    // is written.
    QImage snapshot() const;
    // Writes what waits; the buffer then holds the whole drawing.
    void flush();
    // The drawing becomes that picture, made at the same size and ratio elsewhere.
    void replaceWith(const QImage& picture);
    // The same within an area of device pixels only, for a drawing known to differ from the
    // picture nowhere else; what waits is written first.
    void replaceWithin(const QImage& picture, const QRect& area);
    const QImage& buffer() const { return buffer_; }
    // The device pixel ratio the buffer was made for.
    double bufferRatio() const { return bufferRatio_; }

protected:
    void scaleChanged() override;
    void penChanged() override;

private:
    // How much of what every dot needs is worked out, until a new scale, pen or area.
    enum class Prepared { Nothing, Scale, ScaleAndPen };

    // A dot written lately whose pixels nothing has written over since.
    struct RecentDot {
        raster::Dot dot;
        raster::Box box;
        bool intact = false;
    };
    struct QueuedDot {
        float x = 0.0f;
        float y = 0.0f;
        QRgb colour = 0;
    };
    struct PendingLine {
        raster::LineKey key;
        QRgb colour = 0;
    };

    void forget(Prepared kept);
    void prepare();
    void prepareScale();
    void preparePen();
    void ensureBuffer();
    void adoptBuffer();

    std::optional<raster::Dot> anchoredDot(const QueuedDot& queued) const;
    void drawQueuedDots();
    void drawQueuedPixels();
    void keepAfterLine(const raster::Dot& dot);
    void placeDot(const raster::Dot& dot);
    void place(const raster::Dot& dot);
    void noteWritten(const raster::Box& box);
    void drawPendingLine();
    void forgetRecentDots();
    bool paintBlockDot(const raster::Dot& dot);
    void placeBlockDots(const DotBlock& block, int linePen);
    enum class Waiting { Kept, Written };
    Waiting blockLine(const DotBlock& block, const DotBlock::Line& line, int pen);
    void replayBlockDots(const DotBlock& block, std::size_t from, std::size_t to);
    void writePendingLineInBlock(const DotBlock& block, std::size_t upTo);
    void keepBlockDotsAfterLine(const DotBlock& block);
    enum class LastDrawn { Nothing, Dot, Line };
    template <typename Lanes> LastDrawn walkSection(curve_walk::PassSection& section);
    void writeRunDot(std::int64_t anchor, QRgb colour);
    void writeRunLine(const std::optional<raster::LineKey>& key, QRgb colour);

    QImage buffer_;
    raster::Canvas canvas_;
    double bufferRatio_ = 0.0;
    QSize logicalSize_;
    double ratio_ = 1.0;
    QRgb foreground_ = qRgb(0, 0, 0);
    QRgb background_ = qRgb(255, 255, 255);
    Drawing drawing_ = Drawing::Economical;
    PassLanes passLanes_ = PassLanes::Vector;

    Prepared prepared_ = Prepared::Nothing;
    double unitX_ = 1.0;
    double unitY_ = 1.0;
    int penWidth_ = 1;
    double anchorShift_ = 0.0; // 0.5 for an even pen, whose dots centre on pixel corners
    double nearLeft_ = 0.0;    // beyond these device positions a dot has no pixel to set
    double nearTop_ = 0.0;
    double nearRight_ = 0.0;
    double nearBottom_ = 0.0;
    const raster::Footprint* footprint_ = nullptr;
    raster::Footprints footprints_;

    // Dots not yet written, in drawing order, as PSet was given them.
    std::array<QueuedDot, 1024> queuedDots_;
    std::size_t queuedCount_ = 0;

    // The latest line, not yet written: a later line on exactly the same pixels hides it.
    // The dots drawn after it are written at once and kept, to be written again over the
    // line when it goes into the buffer. Within a block, those of the block are read again
    // from it, from the index replayFrom_ on, and kept only at the block's end.
    std::optional<PendingLine> pendingLine_;
    std::size_t replayFrom_ = 0;
    struct KeptDots {
        // How many dots may follow a line that is not yet written before it must be.
        static constexpr std::size_t capacity = 64;
        std::array<raster::Dot, capacity> dots;
        std::size_t count = 0;
        std::size_t size() const { return count; }
        void push_back(const raster::Dot& dot) { dots[count++] = dot; }
        void clear() { count = 0; }
        const raster::Dot* begin() const { return dots.data(); }
        const raster::Dot* end() const { return dots.data() + count; }
    };
    KeptDots dotsAfterLine_;
    std::array<RecentDot, 4> recentDots_;
    std::size_t nextRecent_ = 0;
    bool anyRecentIntact_ = false; // saves the search while no recent dot is kept

    // Within a block: the last two dots written, each with whether nothing has been
    // written over it since. Two, because the dots of a run's two curves alternate.
    struct BlockDot {
        std::int64_t position = 0; // the anchor's row and column in one number
        QRgb colour = 0;
        bool intact = false;
    };
    std::array<BlockDot, 2> blockDots_;
};

inline std::optional<raster::Dot> ImageSurface::anchoredDot(const QueuedDot& queued) const {
    // anchorFor() with the pen's shift added in the same order, so the anchor is the same.
    const double deviceX = queued.x * unitX_ + anchorShift_;
    const double deviceY = queued.y * unitY_ + anchorShift_;
    // Far off the image (or not a number): no pixel to set.
    if (!(deviceX > nearLeft_ && deviceX < nearRight_ && deviceY > nearTop_ &&
          deviceY < nearBottom_))
        return std::nullopt;
    return raster::Dot{raster::floorToInt(deviceX), raster::floorToInt(deviceY), penWidth_,
                       queued.colour};
}
