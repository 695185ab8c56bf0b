#pragma once

// The pixels of dots and lines, written into a buffer of device pixels. Knows no user scale
// and no widget: every position here is already in device pixels.

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace raster {

// One row of a dot: a run of columns at a row offset from the dot's anchor.
struct Span {
    int dy = 0;
    int dxFirst = 0;
    int dxLast = 0;
};

using Footprint = std::vector<Span>;

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

// The pixels of a 32-bit image, as the rasterisers write them.
struct Canvas {
    QRgb* bits = nullptr;
    qsizetype stride = 0; // in pixels
    int width = 0;
    int height = 0;

    QRgb* row(int y) const { return bits + y * stride; }
    // The part of a box that lies on the image.
    Box clip(const Box& box) const;
};

// The canvas of a 32-bit image (RGB32 or ARGB32); it stays valid while the image is neither
// copied on write nor resized.
Canvas canvasOf(QImage& image);

// floor() for a position already known to lie near the image.
inline int floorToInt(double position) {
    const int truncated = static_cast<int>(position);
    // Truncation is the floor from 0 up, where nearly every point lies.
    if (position >= 0.0)
        return truncated;
    return position < truncated ? truncated - 1 : truncated;
}

// The first offset of a pen of that width from its anchor: a width is centred on the anchor
// pixel when odd, on the anchor's top-left corner when even.
inline int firstOffset(int width) {
    return width % 2 == 1 ? -(width - 1) / 2 : -width / 2;
}

// A dot of an odd width is centred on the pixel that holds the point, one of an even width
// on the pixel corner nearest to it, so the footprint is symmetric about the point.
inline double anchorShift(int width) {
    return width % 2 == 1 ? 0.0 : 0.5;
}
inline int anchorFor(double devicePosition, int width) {
    return floorToInt(devicePosition + anchorShift(width));
}

// The widest dot that is a full square; wider ones are round. A copy in vectors draws them so.
inline constexpr int widestSquareDot = 4;

// The rows of a round dot of that width; widths up to widestSquareDot are full squares.
Footprint makeFootprint(int width);

// Footprints made once and kept, for the widths a drawing uses.
class Footprints {
public:
    const Footprint& of(int width);

private:
    static constexpr int kept = 64;
    std::array<Footprint, kept + 1> small_;
    Footprint large_;
};

// Writes a dot and returns the box that holds its pixels (empty when it lies off the image).
Box paintDot(const Canvas& canvas, const Dot& dot, const Footprint& footprint);

// Writes a line and returns a box that holds every pixel written. Each step along the longer
// axis sets a run of pen-width pixels across it, the run's position rounded from the exact
// line, halves up.
Box paintLine(const Canvas& canvas, const LineKey& line, QRgb colour);

// Lines reaching further than this many device pixels from the origin are cut there first,
// so that their anchors and the rasteriser's sums stay well inside 64-bit integers.
inline constexpr double lineReach = 16777216.0;

// Cuts a segment to the square of lineReach around the origin; false when nothing of it lies
// inside. An end that lies inside keeps its exact position.
bool cutToReach(QPointF& from, QPointF& to);

// The anchors of the line between two device positions with a pen of that width, cut to
// reach first; none when a position is not finite or the segment lies wholly out of reach.
std::optional<LineKey> lineKeyCutToReach(QPointF from, QPointF to, int width);

// The same; a segment within reach, the usual one, is cut nowhere and needs no call.
inline std::optional<LineKey> lineKeyFor(QPointF from, QPointF to, int width) {
    if (std::fabs(from.x()) < lineReach && std::fabs(from.y()) < lineReach &&
        std::fabs(to.x()) < lineReach && std::fabs(to.y()) < lineReach)
        return LineKey{anchorFor(from.x(), width), anchorFor(from.y(), width),
                       anchorFor(to.x(), width), anchorFor(to.y(), width), width};
    return lineKeyCutToReach(from, to, width);
}

} // namespace raster
