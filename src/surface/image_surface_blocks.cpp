// The block drawing of ImageSurface: a run's dots in one tight loop, and its lines at their
// place among them.
#include "surface/image_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

using raster::Dot;
using raster::LineKey;

void ImageSurface::drawBlock(const DotBlock& block) {
    if (drawing_ == Drawing::Direct || block.empty()) {
        DrawingSurface::drawBlock(block);
        return;
    }
    setDrawWidth(block.dotWidth);
    prepare();
    forgetRecentDots();
    blockDots_ = {};
    // A line waiting from before has its dots kept already; this block's follow from its
    // first.
    replayFrom_ = 0;
    placeBlockDots(block, std::max(1, static_cast<int>(std::lround(ratio_))));
    keepBlockDotsAfterLine(block);
    // The dots of the block are not among the recent dots that PSet compares with.
    forgetRecentDots();
    if (block.lineCount > 0 && block.lines[block.lineCount - 1].before == block.dotCount)
        setDrawWidth(1);
}

namespace {

// Dots of one width overlap when their anchors are less than a width apart.
bool apart(std::int64_t position, int x, int y, int width) {
    const auto otherX = static_cast<std::int32_t>(position & 0xffffffff);
    const auto otherY = static_cast<std::int32_t>(position >> 32);
    return std::abs(otherX - x) >= width || std::abs(otherY - y) >= width;
}

} // namespace

// Writes a dot; false when it lies off the image. A dot of one pixel is written directly.
inline bool ImageSurface::paintBlockDot(const Dot& dot) {
    if (dot.width != 1)
        return !raster::paintDot(canvas_, dot, *footprint_).isEmpty();
    if (static_cast<unsigned>(dot.x) >= static_cast<unsigned>(canvas_.width) ||
        static_cast<unsigned>(dot.y) >= static_cast<unsigned>(canvas_.height))
        return false;
    canvas_.row(dot.y)[dot.x] = dot.colour;
    return true;
}

// A dot is left out when it is one of the last two written, with nothing written over it
// since: its pixels hold it already. While a line waits, the dots after it are read again
// from the block when it is written. The lines go in at their place within the same loop:
// a call between them would make the compiler keep the loop's values in memory.
void ImageSurface::placeBlockDots(const DotBlock& block, int linePen) {
    const double unitX = unitX_, unitY = unitY_, shift = anchorShift_;
    const double left = nearLeft_, right = nearRight_, top = nearTop_, bottom = nearBottom_;
    const int width = penWidth_;
    // The two dots as positions and colours, a position no dot can have for one that is
    // not intact, so that the loop can keep them in registers.
    constexpr std::int64_t nowhere = std::numeric_limits<std::int64_t>::min();
    std::int64_t position0 = blockDots_[0].intact ? blockDots_[0].position : nowhere;
    std::int64_t position1 = blockDots_[1].intact ? blockDots_[1].position : nowhere;
    QRgb colour0 = blockDots_[0].colour, colour1 = blockDots_[1].colour;
    std::size_t index = 0;
    const auto placeDotsUpTo = [&](std::size_t to) {
        for (; index < to; ++index) {
            const double deviceX = block.x[index] * unitX + shift;
            const double deviceY = block.y[index] * unitY + shift;
            if (!(deviceX > left && deviceX < right && deviceY > top && deviceY < bottom))
                continue;
            const int x = raster::floorToInt(deviceX);
            const int y = raster::floorToInt(deviceY);
            const QRgb colour = block.colour[index];
            const std::int64_t position = (std::int64_t{y} << 32) | static_cast<std::uint32_t>(x);
            if ((position == position0 && colour == colour0) ||
                (position == position1 && colour == colour1))
                continue;
            if (!paintBlockDot({x, y, width, colour}))
                continue;
            position1 = position0 != nowhere && apart(position0, x, y, width) ? position0 : nowhere;
            colour1 = colour0;
            position0 = position;
            colour0 = colour;
        }
    };
    for (std::size_t lineIndex = 0; lineIndex < block.lineCount; ++lineIndex) {
        const DotBlock::Line& line = block.lines[lineIndex];
        placeDotsUpTo(line.before);
        if (blockLine(block, line, linePen) == Waiting::Written)
            position0 = position1 = nowhere;
    }
    placeDotsUpTo(block.dotCount);
    blockDots_[0] = {position0, colour0, position0 != nowhere};
    blockDots_[1] = {position1, colour1, position1 != nowhere};
}

// Whether the line that waited had to go into the buffer, the dots after it written again.
inline ImageSurface::Waiting ImageSurface::blockLine(const DotBlock& block,
                                                     const DotBlock::Line& line, int pen) {
    const std::optional<LineKey> key =
        raster::lineKeyFor(QPointF(line.x1 * unitX_, line.y1 * unitY_),
                           QPointF(line.x2 * unitX_, line.y2 * unitY_), pen);
    if (!key)
        return Waiting::Kept;
    Waiting waiting = Waiting::Kept;
    if (pendingLine_ && !(pendingLine_->key == *key)) [[unlikely]] {
        writePendingLineInBlock(block, line.before);
        waiting = Waiting::Written;
    }
    pendingLine_ = PendingLine{*key, line.colour};
    dotsAfterLine_.clear();
    replayFrom_ = line.before;
    return waiting;
}

// The line and the dots after it, those kept from before the block and the block's up to
// `upTo`, go into the buffer: no dot written before is known to be untouched any more.
void ImageSurface::writePendingLineInBlock(const DotBlock& block, std::size_t upTo) {
    if (!pendingLine_)
        return;
    drawPendingLine();
    replayBlockDots(block, replayFrom_, upTo);
    forgetRecentDots();
    blockDots_ = {};
}

// The block's dots after a line still waiting are kept for when it is written, as many as
// are kept; with more, the line goes into the buffer now, beneath them.
void ImageSurface::keepBlockDotsAfterLine(const DotBlock& block) {
    if (!pendingLine_)
        return;
    for (std::size_t index = replayFrom_; index < block.dotCount; ++index) {
        const std::optional<Dot> dot =
            anchoredDot({block.x[index], block.y[index], block.colour[index]});
        if (!dot)
            continue;
        if (dotsAfterLine_.size() == KeptDots::capacity) {
            writePendingLineInBlock(block, block.dotCount);
            return;
        }
        dotsAfterLine_.push_back(*dot);
    }
}
