// Longer than most files: the economical drawing and its bookkeeping (queue, pending line,
// recent dots) are one mechanism and read best together.
#include "surface/image_surface.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

using raster::Box;
using raster::Dot;
using raster::Footprint;
using raster::LineKey;


void ImageSurface::setDrawing(Drawing drawing) {
    flush();
    forgetRecentDots();
    drawing_ = drawing;
}

void ImageSurface::setColours(QRgb foreground, QRgb background) {
    foreground_ = foreground;
    background_ = background;
}

void ImageSurface::setArea(QSize logicalSize, double ratio, QPointF logicalDpi) {
    const QSizeF deviceSize(logicalSize.width() * ratio, logicalSize.height() * ratio);
    setLogicalArea(QSizeF(logicalSize), logicalDpi, {QRectF(QPointF(0.0, 0.0), deviceSize), ratio});
    if (logicalSize == logicalSize_ && ratio == ratio_ && !buffer_.isNull())
        return;
    logicalSize_ = logicalSize;
    ratio_ = ratio;
    ensureBuffer();
}

// The dots waiting to be written were placed with the scale and pen as they stood, so they
// are written before either is worked out again.
void ImageSurface::forget(Prepared kept) {
    drawQueuedDots();
    prepared_ = std::min(prepared_, kept);
}

void ImageSurface::scaleChanged() {
    forget(Prepared::Nothing);
}

void ImageSurface::setDrawWidth(int pixels) {
    DrawingSurface::setDrawWidth(std::max(1, pixels));
}

void ImageSurface::penChanged() {
    forget(Prepared::Scale);
}

// Also writes the dots that wait, with the scale and pen they were given under.
void ImageSurface::prepare() {
    drawQueuedDots();
    if (prepared_ == Prepared::Nothing)
        prepareScale();
    if (prepared_ == Prepared::Scale)
        preparePen();
}

void ImageSurface::prepareScale() {
    ensureBuffer();
    unitX_ = userToDevice().m11();
    unitY_ = userToDevice().m22();
    prepared_ = Prepared::Scale;
}

void ImageSurface::preparePen() {
    penWidth_ = std::max(1, static_cast<int>(std::lround(DrawWidth() * ratio_)));
    footprint_ = &footprints_.of(penWidth_);
    anchorShift_ = raster::anchorShift(penWidth_);
    // A dot further off than its width has no pixel on the image.
    nearLeft_ = -penWidth_ + anchorShift_;
    nearTop_ = nearLeft_;
    nearRight_ = canvas_.width + penWidth_ + anchorShift_;
    nearBottom_ = canvas_.height + penWidth_ + anchorShift_;
    prepared_ = Prepared::ScaleAndPen;
}

inline void ImageSurface::place(const Dot& dot) {
    if (dot.width != 1) {
        placeDot(dot);
        return;
    }
    // One pixel: writing it costs less than looking for it among the recent dots.
    if (static_cast<unsigned>(dot.x) >= static_cast<unsigned>(canvas_.width) ||
        static_cast<unsigned>(dot.y) >= static_cast<unsigned>(canvas_.height))
        return;
    canvas_.row(dot.y)[dot.x] = dot.colour;
    if (anyRecentIntact_)
        noteWritten({dot.x, dot.y, dot.x, dot.y});
}

void ImageSurface::PSet(float x, float y, QRgb colour) {
    if (prepared_ != Prepared::ScaleAndPen)
        prepare();
    if (drawing_ == Drawing::Direct) {
        if (const std::optional<Dot> dot = anchoredDot({x, y, colour}))
            place(*dot);
        return;
    }
    // Kept as given and written in batches, each in one tight loop: the caller's next point
    // need not wait for this one's arithmetic.
    if (queuedCount_ == queuedDots_.size())
        drawQueuedDots();
    queuedDots_[queuedCount_++] = {x, y, colour};
}

void ImageSurface::drawQueuedDots() {
    if (penWidth_ == 1 && !pendingLine_ && !anyRecentIntact_) {
        drawQueuedPixels();
        return;
    }
    for (std::size_t index = 0; index < queuedCount_; ++index) {
        const std::optional<Dot> dot = anchoredDot(queuedDots_[index]);
        if (!dot)
            continue;
        if (pendingLine_)
            keepAfterLine(*dot);
        place(*dot);
    }
    queuedCount_ = 0;
}

// The common case of one-pixel dots with nothing else waiting: only pixels are written, so
// everything the loop reads can stay in registers.
void ImageSurface::drawQueuedPixels() {
    const std::size_t count = std::exchange(queuedCount_, 0);
    const double unitX = unitX_, unitY = unitY_, shift = anchorShift_;
    const double left = nearLeft_, right = nearRight_, top = nearTop_, bottom = nearBottom_;
    const raster::Canvas canvas = canvas_;
    const auto width = static_cast<unsigned>(canvas.width);
    const auto height = static_cast<unsigned>(canvas.height);
    for (std::size_t index = 0; index < count; ++index) {
        const QueuedDot& queued = queuedDots_[index];
        const double deviceX = queued.x * unitX + shift;
        const double deviceY = queued.y * unitY + shift;
        if (!(deviceX > left && deviceX < right && deviceY > top && deviceY < bottom))
            continue;
        const int x = raster::floorToInt(deviceX);
        const int y = raster::floorToInt(deviceY);
        if (static_cast<unsigned>(x) < width && static_cast<unsigned>(y) < height)
            canvas.row(y)[x] = queued.colour;
    }
}

void ImageSurface::flush() {
    drawQueuedDots();
    drawPendingLine();
}

void ImageSurface::keepAfterLine(const Dot& dot) {
    if (dotsAfterLine_.size() == KeptDots::capacity)
        drawPendingLine(); // the line goes beneath this dot now
    else
        dotsAfterLine_.push_back(dot);
}

// Writes a dot unless the same dot lies in the buffer untouched, which would make it
// change nothing.
void ImageSurface::placeDot(const Dot& dot) {
    const Footprint& footprint = dot.width == penWidth_ ? *footprint_ : footprints_.of(dot.width);
    if (drawing_ == Drawing::Direct) {
        raster::paintDot(canvas_, dot, footprint);
        return;
    }
    for (const RecentDot& recent : recentDots_) {
        if (recent.intact && recent.dot.x == dot.x && recent.dot.y == dot.y &&
            recent.dot.colour == dot.colour && recent.dot.width == dot.width)
            return;
    }
    const Box box = raster::paintDot(canvas_, dot, footprint);
    if (box.isEmpty())
        return;
    noteWritten(box);
    recentDots_[nextRecent_] = {dot, box, true};
    nextRecent_ = (nextRecent_ + 1) % recentDots_.size();
    anyRecentIntact_ = true;
}

void ImageSurface::noteWritten(const Box& box) {
    bool kept = false;
    for (RecentDot& recent : recentDots_) {
        recent.intact = recent.intact && !recent.box.intersects(box);
        kept = kept || recent.intact;
    }
    anyRecentIntact_ = kept;
}

void ImageSurface::forgetRecentDots() {
    for (RecentDot& recent : recentDots_)
        recent.intact = false;
    anyRecentIntact_ = false;
}

void ImageSurface::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    prepare();
    const std::optional<LineKey> key = raster::lineKeyFor(
        QPointF(x1 * unitX_, y1 * unitY_), QPointF(x2 * unitX_, y2 * unitY_), penWidth_);
    if (!key)
        return;
    const QRgb penColour = colour ? *colour : foreground_;
    if (drawing_ == Drawing::Direct) {
        noteWritten(raster::paintLine(canvas_, *key, penColour));
        return;
    }
    if (!pendingLine_ || !(pendingLine_->key == *key))
        drawPendingLine();
    // The same pixels again: the earlier line, and whatever was drawn on it since, lies
    // beneath this one.
    pendingLine_ = PendingLine{*key, penColour};
    dotsAfterLine_.clear();
}

void ImageSurface::drawPendingLine() {
    if (!pendingLine_)
        return;
    const PendingLine line = *std::exchange(pendingLine_, std::nullopt);
    noteWritten(raster::paintLine(canvas_, line.key, line.colour));
    for (const Dot& dot : dotsAfterLine_)
        place(dot);
    dotsAfterLine_.clear();
}

// The dots of the block from `from` up to `to` that have pixels near the image, in order,
// as PSet would have placed them.
void ImageSurface::replayBlockDots(const DotBlock& block, std::size_t from, std::size_t to) {
    for (std::size_t index = from; index < to; ++index) {
        if (const std::optional<Dot> dot =
                anchoredDot({block.x[index], block.y[index], block.colour[index]}))
            place(*dot);
    }
}

void ImageSurface::Cls() {
    // What waits to be written would be erased at once.
    queuedCount_ = 0;
    pendingLine_.reset();
    dotsAfterLine_.clear();
    prepare();
    forgetRecentDots();
    buffer_.fill(background_);
    adoptBuffer();
}

void ImageSurface::replaceWith(const QImage& picture) {
    Cls();
    {
        QImage plain = picture;
        plain.setDevicePixelRatio(1.0);
        QPainter painter(&buffer_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), plain);
    }
    adoptBuffer();
}

void ImageSurface::replaceWithin(const QImage& picture, const QRect& area) {
    flush();
    // A dot kept as lying untouched may lie under what comes back.
    forgetRecentDots();
    if (picture.depth() != 32) {
        replaceWith(picture);
        return;
    }
    const QRect box = area & buffer_.rect() & picture.rect();
    if (box.isEmpty())
        return;
    const auto offset = std::size_t(box.left()) * sizeof(QRgb);
    const auto bytes = std::size_t(box.width()) * sizeof(QRgb);
    uchar* bits = buffer_.bits(); // detached, should an image share it
    for (int y = box.top(); y <= box.bottom(); ++y)
        std::memcpy(bits + std::size_t(y) * std::size_t(buffer_.bytesPerLine()) + offset,
                    picture.constScanLine(y) + offset, bytes);
    adoptBuffer();
}

void ImageSurface::ensureBuffer() {
    // The buffer keeps a device pixel ratio of 1 so that every operation works in device
    // pixels; bufferRatio_ remembers the ratio it was made for.
    const double ratio = ratio_;
    const QSize needed = (QSizeF(logicalSize_) * ratio).toSize().expandedTo(QSize(1, 1));
    const bool sameRatio = qFuzzyCompare(bufferRatio_, ratio);
    if (!buffer_.isNull() && sameRatio && buffer_.width() >= needed.width() &&
        buffer_.height() >= needed.height())
        return;
    flush();
    forgetRecentDots();
    // Grow, never shrink or clear. A new device pixel ratio carries the old drawing over at
    // the new scale.
    QImage old = buffer_;
    if (!old.isNull() && !sameRatio)
        old = old.scaled((QSizeF(old.size()) * (ratio / bufferRatio_)).toSize());
    QImage grown(needed.expandedTo(old.size()), QImage::Format_RGB32);
    grown.fill(background_);
    if (!old.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(QPoint(0, 0), old);
    }
    buffer_ = std::move(grown);
    bufferRatio_ = ratio;
    adoptBuffer();
}

void ImageSurface::adoptBuffer() {
    canvas_ = raster::canvasOf(buffer_);
    // The pen's reach depends on the image's extent.
    prepared_ = std::min(prepared_, Prepared::Scale);
}

QImage ImageSurface::snapshot() const {
    const QSize visible = (QSizeF(logicalSize_) * ratio_).toSize();
    QImage picture = buffer_.copy(QRect(QPoint(0, 0), visible));
    if (picture.isNull())
        return picture;
    // As the buffer will hold it once the waiting line and dots are written.
    const raster::Canvas canvas = raster::canvasOf(picture);
    if (pendingLine_) {
        raster::paintLine(canvas, pendingLine_->key, pendingLine_->colour);
        for (const Dot& dot : dotsAfterLine_)
            raster::paintDot(canvas, dot, raster::makeFootprint(dot.width));
    }
    for (std::size_t index = 0; index < queuedCount_; ++index) {
        if (const std::optional<Dot> dot = anchoredDot(queuedDots_[index]))
            raster::paintDot(canvas, *dot, raster::makeFootprint(dot->width));
    }
    return picture;
}
