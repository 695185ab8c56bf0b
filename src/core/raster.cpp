#include "core/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace raster {

namespace {

// The square of a line whose two anchors coincide.
Box paintPoint(const Canvas& canvas, const LineKey& line, QRgb colour) {
    const int first = firstOffset(line.width);
    const int spread = line.width - 1;
    const Box box = canvas.clip(
        {line.x1 + first, line.y1 + first, line.x1 + first + spread, line.y1 + first + spread});
    if (box.isEmpty())
        return box;
    for (int y = box.top; y <= box.bottom; ++y)
        std::fill(canvas.row(y) + box.left, canvas.row(y) + box.right + 1, colour);
    return box;
}

// A line walked along its longer axis ("major"), one pixel a step; across it ("minor") each
// step sets a run of pen-width pixels. The minor position of step i is the exact
// minor1 + round(i × e / d), halves rounded up, kept as a quotient and remainder.
enum class Major { X, Y };

struct LineWalk {
    Major major = Major::X;
    int major1 = 0;
    int minor1 = 0;
    std::int64_t length = 0; // |d|
    std::int64_t rise = 0;   // e
    int direction = 1;
};

void paintRun(const Canvas& canvas, Major axis, int major, int minorFirst, int minorLast,
              QRgb colour) {
    if (axis == Major::X) {
        for (int y = minorFirst; y <= minorLast; ++y)
            canvas.row(y)[major] = colour;
    } else {
        std::fill(canvas.row(major) + minorFirst, canvas.row(major) + minorLast + 1, colour);
    }
}

void paintWalk(const Canvas& canvas, const LineWalk& walk, int width, QRgb colour) {
    const bool xMajor = walk.major == Major::X;
    const int majorExtent = xMajor ? canvas.width : canvas.height;
    const int minorExtent = xMajor ? canvas.height : canvas.width;
    // The steps whose major position lies on the image.
    const std::int64_t onImageFrom =
        walk.direction > 0 ? -std::int64_t{walk.major1} : walk.major1 - (majorExtent - 1);
    const std::int64_t onImageTo =
        walk.direction > 0 ? majorExtent - 1 - std::int64_t{walk.major1} : walk.major1;
    const std::int64_t firstStep = std::max<std::int64_t>(0, onImageFrom);
    const std::int64_t lastStep = std::min(walk.length, onImageTo);
    const std::int64_t divisor = 2 * walk.length;
    std::int64_t numerator = 2 * firstStep * walk.rise + walk.length;
    std::int64_t quotient = numerator / divisor - (numerator % divisor < 0 ? 1 : 0);
    std::int64_t remainder = numerator - quotient * divisor;
    const int first = firstOffset(width);
    for (std::int64_t step = firstStep; step <= lastStep; ++step) {
        const int major = walk.major1 + static_cast<int>(step) * walk.direction;
        const std::int64_t minor = walk.minor1 + quotient + first;
        const std::int64_t runFirst = std::max<std::int64_t>(0, minor);
        const std::int64_t runLast = std::min<std::int64_t>(minorExtent - 1, minor + width - 1);
        if (runFirst <= runLast)
            paintRun(canvas, walk.major, major, static_cast<int>(runFirst),
                     static_cast<int>(runLast), colour);
        remainder += 2 * walk.rise;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++quotient;
        } else if (remainder < 0) {
            remainder += divisor;
            --quotient;
        }
    }
}

} // namespace

Box Canvas::clip(const Box& box) const {
    return {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, width - 1),
            std::min(box.bottom, height - 1)};
}

Canvas canvasOf(QImage& image) {
    return {reinterpret_cast<QRgb*>(image.bits()), image.bytesPerLine() / 4, image.width(),
            image.height()};
}

Footprint makeFootprint(int width) {
    Footprint rows;
    const double half = width / 2.0;
    const int first = firstOffset(width);
    const double centre = anchorShift(width);
    for (int dy = first; dy < first + width; ++dy) {
        Span span{dy, 0, -1};
        for (int dx = first; dx < first + width; ++dx) {
            const double ex = dx + centre;
            const double ey = dy + centre;
            // A little more than the disc, so widths up to 4 are full squares.
            if (ex * ex + ey * ey > half * half + 0.5)
                continue;
            span.dxFirst = span.dxLast < span.dxFirst ? dx : span.dxFirst;
            span.dxLast = dx;
        }
        if (span.dxLast >= span.dxFirst)
            rows.push_back(span);
    }
    return rows;
}

const Footprint& Footprints::of(int width) {
    if (width > kept) {
        large_ = makeFootprint(width);
        return large_;
    }
    Footprint& footprint = small_[static_cast<std::size_t>(width)];
    if (footprint.empty())
        footprint = makeFootprint(width);
    return footprint;
}

Box paintDot(const Canvas& canvas, const Dot& dot, const Footprint& footprint) {
    const int first = firstOffset(dot.width);
    const Box box = canvas.clip({dot.x + first, dot.y + first, dot.x + first + dot.width - 1,
                                 dot.y + first + dot.width - 1});
    if (box.isEmpty())
        return box;
    for (const Span& span : footprint) {
        const int y = dot.y + span.dy;
        if (y < box.top || y > box.bottom)
            continue;
        const int firstColumn = std::max(box.left, dot.x + span.dxFirst);
        const int lastColumn = std::min(box.right, dot.x + span.dxLast);
        if (firstColumn > lastColumn)
            continue; // a narrower row of a wide dot, all of it off the image
        std::fill(canvas.row(y) + firstColumn, canvas.row(y) + lastColumn + 1, dot.colour);
    }
    return box;
}

Box paintLine(const Canvas& canvas, const LineKey& line, QRgb colour) {
    if (line.x1 == line.x2 && line.y1 == line.y2)
        return paintPoint(canvas, line, colour);
    const int dx = line.x2 - line.x1;
    const int dy = line.y2 - line.y1;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    LineWalk walk;
    walk.major = xMajor ? Major::X : Major::Y;
    walk.major1 = xMajor ? line.x1 : line.y1;
    walk.minor1 = xMajor ? line.y1 : line.x1;
    const int along = xMajor ? dx : dy;
    walk.length = std::abs(along);
    walk.rise = xMajor ? dy : dx;
    walk.direction = along > 0 ? 1 : -1;
    paintWalk(canvas, walk, line.width, colour);
    // The pen spreads across the walk only.
    const int first = firstOffset(line.width);
    const int spread = line.width - 1;
    Box box{std::min(line.x1, line.x2), std::min(line.y1, line.y2), std::max(line.x1, line.x2),
            std::max(line.y1, line.y2)};
    if (xMajor) {
        box.top += first;
        box.bottom += first + spread;
    } else {
        box.left += first;
        box.right += first + spread;
    }
    return canvas.clip(box);
}

// Liang-Barsky against the square of lineReach.
bool cutToReach(QPointF& from, QPointF& to) {
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {from.x() + lineReach, lineReach - from.x(), from.y() + lineReach,
                        lineReach - from.y()};
    double enter = 0.0;
    double leave = 1.0;
    for (int edge = 0; edge < 4; ++edge) {
        if (p[edge] == 0.0) {
            if (q[edge] < 0.0)
                return false;
            continue;
        }
        const double share = q[edge] / p[edge];
        if (p[edge] < 0.0)
            enter = std::max(enter, share);
        else
            leave = std::min(leave, share);
    }
    if (enter > leave)
        return false;
    // Only an end that lies outside moves, so a line within reach keeps its exact ends.
    const QPointF start = from;
    if (enter > 0.0)
        from = start + QPointF(dx, dy) * enter;
    if (leave < 1.0)
        to = start + QPointF(dx, dy) * leave;
    return true;
}

std::optional<LineKey> lineKeyFor(QPointF from, QPointF to, int width) {
    if (!std::isfinite(from.x()) || !std::isfinite(from.y()) || !std::isfinite(to.x()) ||
        !std::isfinite(to.y()) || !cutToReach(from, to))
        return std::nullopt;
    return LineKey{anchorFor(from.x(), width), anchorFor(from.y(), width), anchorFor(to.x(), width),
                   anchorFor(to.y(), width), width};
}

} // namespace raster
