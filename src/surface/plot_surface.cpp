#include "surface/plot_surface.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

using device_pixels::Box;
using device_pixels::Dot;
using device_pixels::LineKey;
using device_pixels::Span;

namespace {

constexpr double centimetresPerInch = 2.54;
// Lines reaching further than this many device pixels from the origin are cut there first,
// so that their anchors and the rasteriser's sums stay well inside 64-bit integers.
constexpr double lineReach = 16777216.0;
// How many dots may follow a line that is not yet written before it must be.
constexpr std::size_t dotsKeptAfterLine = 64;
// Footprints up to this width are kept once made.
constexpr int keptFootprints = 64;

// The buffer's pixels, for the rasterisers.
struct Canvas {
    QRgb* bits = nullptr;
    qsizetype stride = 0;
    int width = 0;
    int height = 0;

    QRgb* row(int y) const { return bits + y * stride; }
    // The part of a box that lies on the image.
    Box clip(const Box& box) const {
        return {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, width - 1),
                std::min(box.bottom, height - 1)};
    }
};

Canvas canvasOf(QImage& image) {
    return {reinterpret_cast<QRgb*>(image.bits()), image.bytesPerLine() / 4, image.width(),
            image.height()};
}

// The first offset of a pen of that width from its anchor: a width is centred on the anchor
// pixel when odd, on the anchor's top-left corner when even.
int firstOffset(int width) {
    return width % 2 == 1 ? -(width - 1) / 2 : -width / 2;
}

// floor() for a position already known to lie near the image.
int floorToInt(double position) {
    const int truncated = static_cast<int>(position);
    // Truncation is the floor from 0 up, where nearly every point lies.
    if (position >= 0.0)
        return truncated;
    return position < truncated ? truncated - 1 : truncated;
}

// A dot of an odd width is centred on the pixel that holds the point, one of an even width
// on the pixel corner nearest to it, so the footprint is symmetric about the point.
int anchorFor(double devicePosition, int width) {
    return floorToInt(width % 2 == 1 ? devicePosition : devicePosition + 0.5);
}

std::vector<Span> makeFootprint(int width) {
    std::vector<Span> rows;
    const double half = width / 2.0;
    const int first = firstOffset(width);
    const double centre = width % 2 == 1 ? 0.0 : 0.5;
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

// The box of a dot: the square of its width around the anchor, cut to the image.
Box dotBox(const Canvas& canvas, const Dot& dot) {
    const int first = firstOffset(dot.width);
    return canvas.clip({dot.x + first, dot.y + first, dot.x + first + dot.width - 1,
                        dot.y + first + dot.width - 1});
}

// Writes a dot and returns the box that holds its pixels (empty when it lies off the image).
Box paintDot(const Canvas& canvas, const Dot& dot, const std::vector<Span>& footprint) {
    const Box box = dotBox(canvas, dot);
    if (box.isEmpty())
        return box;
    for (const Span& span : footprint) {
        const int y = dot.y + span.dy;
        if (y < box.top || y > box.bottom)
            continue;
        const int first = std::max(box.left, dot.x + span.dxFirst);
        const int last = std::min(box.right, dot.x + span.dxLast);
        if (first > last)
            continue; // a narrower row of a wide dot, all of it off the image
        std::fill(canvas.row(y) + first, canvas.row(y) + last + 1, dot.colour);
    }
    return box;
}

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

struct Walk {
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

void paintWalk(const Canvas& canvas, const Walk& walk, int width, QRgb colour) {
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

// Writes a line and returns a box that holds every pixel written.
Box paintLine(const Canvas& canvas, const LineKey& line, QRgb colour) {
    if (line.x1 == line.x2 && line.y1 == line.y2)
        return paintPoint(canvas, line, colour);
    const int dx = line.x2 - line.x1;
    const int dy = line.y2 - line.y1;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    Walk walk;
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

// Cuts a segment to the square of lineReach around the origin (Liang-Barsky); false when
// nothing of it lies inside.
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

} // namespace

PlotSurface::PlotSurface(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (window) {
        setGeometry(window->rect());
        lower();
        window->installEventFilter(this);
    }
}

void PlotSurface::setDrawing(Drawing drawing) {
    flushDrawing();
    forgetRecentDots();
    drawing_ = drawing;
}

bool PlotSurface::event(QEvent* event) {
    // A new screen, size or ratio reaches the widget as an event: work the mapping out again.
    forgetScale();
    return QWidget::event(event);
}

// The dots waiting to be written were placed with the scale and pen as they stand, so they
// are written before either changes.
void PlotSurface::forgetScale() {
    drawQueuedDots();
    scaleReady_ = false;
}

void PlotSurface::forgetPen() {
    drawQueuedDots();
    penReady_ = false;
}

bool PlotSurface::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PlotSurface::setScaleMode(int mode) {
    if (mode != 7)
        return;
    forgetScale();
    // Centimetres: the extents follow the client area's physical size.
    scaleWidth_ = static_cast<float>(double(width()) / logicalDpiX() * centimetresPerInch);
    scaleHeight_ = static_cast<float>(double(height()) / logicalDpiY() * centimetresPerInch);
}

void PlotSurface::setScaleWidth(float width) {
    forgetScale();
    scaleWidth_ = width;
}

void PlotSurface::setScaleHeight(float height) {
    forgetScale();
    scaleHeight_ = height;
}

void PlotSurface::setDrawWidth(int pixels) {
    const int width = std::max(1, pixels);
    if (width == drawWidth_)
        return;
    forgetPen();
    drawWidth_ = width;
}

// Also writes the dots that wait, with the scale and pen they were given under.
void PlotSurface::prepare() {
    drawQueuedDots();
    if (!scaleReady_ || size() != preparedSize_)
        prepareScale();
    if (!penReady_)
        preparePen();
}

void PlotSurface::prepareScale() {
    ensureBuffer();
    ratio_ = devicePixelRatioF();
    unitX_ = scaleWidth_ != 0.0f ? width() * ratio_ / scaleWidth_ : ratio_;
    unitY_ = scaleHeight_ != 0.0f ? height() * ratio_ / scaleHeight_ : ratio_;
    preparedSize_ = size();
    scaleReady_ = true;
    penReady_ = false;
}

void PlotSurface::preparePen() {
    penWidth_ = std::max(1, static_cast<int>(std::lround(drawWidth_ * ratio_)));
    footprint_ = &footprintOf(penWidth_);
    anchorShift_ = penWidth_ % 2 == 1 ? 0.0 : 0.5;
    // A dot further off than its width has no pixel on the image.
    nearLeft_ = -penWidth_ + anchorShift_;
    nearTop_ = nearLeft_;
    nearRight_ = imageWidth_ + penWidth_ + anchorShift_;
    nearBottom_ = imageHeight_ + penWidth_ + anchorShift_;
    penReady_ = true;
}

const std::vector<Span>& PlotSurface::footprintOf(int deviceWidth) {
    if (deviceWidth > keptFootprints) {
        largeFootprint_ = makeFootprint(deviceWidth);
        return largeFootprint_;
    }
    if (footprints_.empty()) {
        footprints_.resize(keptFootprints + 1);
        for (int width = 1; width <= keptFootprints; ++width)
            footprints_[static_cast<std::size_t>(width)] = makeFootprint(width);
    }
    return footprints_[static_cast<std::size_t>(deviceWidth)];
}

inline std::optional<Dot> PlotSurface::anchoredDot(const QueuedDot& queued) const {
    // anchorFor() with the pen's shift added in the same order, so the anchor is the same.
    const double deviceX = queued.x * unitX_ + anchorShift_;
    const double deviceY = queued.y * unitY_ + anchorShift_;
    // Far off the image (or not a number): no pixel to set.
    if (!(deviceX > nearLeft_ && deviceX < nearRight_ && deviceY > nearTop_ &&
          deviceY < nearBottom_))
        return std::nullopt;
    return Dot{floorToInt(deviceX), floorToInt(deviceY), penWidth_, queued.colour};
}

inline void PlotSurface::place(const Dot& dot) {
    if (dot.width != 1) {
        placeDot(dot);
        return;
    }
    // One pixel: writing it costs less than looking for it among the recent dots.
    if (static_cast<unsigned>(dot.x) >= static_cast<unsigned>(imageWidth_) ||
        static_cast<unsigned>(dot.y) >= static_cast<unsigned>(imageHeight_))
        return;
    bits_[dot.y * stride_ + dot.x] = dot.colour;
    if (recentDotsKept_)
        noteWritten({dot.x, dot.y, dot.x, dot.y});
}

void PlotSurface::PSet(float x, float y, QRgb colour) {
    if (!scaleReady_ || !penReady_ || size() != preparedSize_)
        prepare();
    if (!repaintRequested_)
        requestRepaint();
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

void PlotSurface::drawQueuedDots() {
    if (penWidth_ == 1 && !linePending_ && !recentDotsKept_) {
        drawQueuedPixels();
        return;
    }
    for (std::size_t index = 0; index < queuedCount_; ++index) {
        const std::optional<Dot> dot = anchoredDot(queuedDots_[index]);
        if (!dot)
            continue;
        if (linePending_)
            keepAfterLine(*dot);
        place(*dot);
    }
    queuedCount_ = 0;
}

// The common case of one-pixel dots with nothing else waiting: only pixels are written, so
// everything the loop reads can stay in registers.
void PlotSurface::drawQueuedPixels() {
    const std::size_t count = std::exchange(queuedCount_, 0);
    const double unitX = unitX_, unitY = unitY_, shift = anchorShift_;
    const double left = nearLeft_, right = nearRight_, top = nearTop_, bottom = nearBottom_;
    const auto width = static_cast<unsigned>(imageWidth_);
    const auto height = static_cast<unsigned>(imageHeight_);
    QRgb* const bits = bits_;
    const qsizetype stride = stride_;
    for (std::size_t index = 0; index < count; ++index) {
        const QueuedDot& queued = queuedDots_[index];
        const double deviceX = queued.x * unitX + shift;
        const double deviceY = queued.y * unitY + shift;
        if (!(deviceX > left && deviceX < right && deviceY > top && deviceY < bottom))
            continue;
        const int x = floorToInt(deviceX);
        const int y = floorToInt(deviceY);
        if (static_cast<unsigned>(x) < width && static_cast<unsigned>(y) < height)
            bits[y * stride + x] = queued.colour;
    }
}

void PlotSurface::flushDrawing() {
    drawQueuedDots();
    drawPendingLine();
}

void PlotSurface::keepAfterLine(const Dot& dot) {
    if (dotsAfterLine_.size() == dotsKeptAfterLine)
        drawPendingLine(); // the line goes beneath this dot now
    else
        dotsAfterLine_.push_back(dot);
}

// Writes a dot unless the same dot lies in the buffer untouched, which would make it
// change nothing.
void PlotSurface::placeDot(const Dot& dot) {
    const std::vector<Span>& footprint =
        dot.width == penWidth_ ? *footprint_ : footprintOf(dot.width);
    const Canvas canvas{bits_, stride_, imageWidth_, imageHeight_};
    if (drawing_ == Drawing::Direct) {
        paintDot(canvas, dot, footprint);
        return;
    }
    for (const RecentDot& recent : recentDots_) {
        if (recent.intact && recent.dot.x == dot.x && recent.dot.y == dot.y &&
            recent.dot.colour == dot.colour && recent.dot.width == dot.width)
            return;
    }
    const Box box = paintDot(canvas, dot, footprint);
    if (box.isEmpty())
        return;
    noteWritten(box);
    recentDots_[nextRecent_] = {dot, box, true};
    nextRecent_ = (nextRecent_ + 1) % recentDots_.size();
    recentDotsKept_ = true;
}

void PlotSurface::noteWritten(const Box& box) {
    bool kept = false;
    for (RecentDot& recent : recentDots_) {
        recent.intact = recent.intact && !recent.box.intersects(box);
        kept = kept || recent.intact;
    }
    recentDotsKept_ = kept;
}

void PlotSurface::forgetRecentDots() {
    for (RecentDot& recent : recentDots_)
        recent.intact = false;
    recentDotsKept_ = false;
}

std::optional<LineKey> PlotSurface::lineKeyFor(float x1, float y1, float x2, float y2) const {
    QPointF from(x1 * unitX_, y1 * unitY_);
    QPointF to(x2 * unitX_, y2 * unitY_);
    if (!std::isfinite(from.x()) || !std::isfinite(from.y()) || !std::isfinite(to.x()) ||
        !std::isfinite(to.y()) || !cutToReach(from, to))
        return std::nullopt;
    return LineKey{anchorFor(from.x(), penWidth_), anchorFor(from.y(), penWidth_),
                   anchorFor(to.x(), penWidth_), anchorFor(to.y(), penWidth_), penWidth_};
}

void PlotSurface::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    prepare();
    const std::optional<LineKey> key = lineKeyFor(x1, y1, x2, y2);
    if (!key)
        return;
    const QRgb penColour = colour ? *colour : palette().color(QPalette::WindowText).rgb();
    requestRepaint();
    if (drawing_ == Drawing::Direct) {
        writeLine(*key, penColour);
        return;
    }
    if (!linePending_ || !(pendingLine_ == *key))
        drawPendingLine();
    // The same pixels again: the earlier line, and whatever was drawn on it since, lies
    // beneath this one.
    linePending_ = true;
    pendingLine_ = *key;
    pendingColour_ = penColour;
    dotsAfterLine_.clear();
}

void PlotSurface::writeLine(const LineKey& key, QRgb colour) {
    noteWritten(paintLine(Canvas{bits_, stride_, imageWidth_, imageHeight_}, key, colour));
}

void PlotSurface::drawPendingLine() {
    if (!linePending_)
        return;
    linePending_ = false;
    writeLine(pendingLine_, pendingColour_);
    for (const Dot& dot : dotsAfterLine_)
        place(dot);
    dotsAfterLine_.clear();
}

void PlotSurface::Cls() {
    // What waits to be written would be erased at once.
    queuedCount_ = 0;
    linePending_ = false;
    dotsAfterLine_.clear();
    prepare();
    forgetRecentDots();
    buffer_.fill(background());
    adoptBuffer();
    requestRepaint();
}

QRgb PlotSurface::background() const {
    return palette().color(QPalette::Window).rgb();
}

void PlotSurface::requestRepaint() {
    if (repaintRequested_)
        return;
    // One repaint once the drawing handler is done, however much it drew.
    repaintRequested_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            repaintRequested_ = false;
            update();
        },
        Qt::QueuedConnection);
}

void PlotSurface::ensureBuffer() {
    // The buffer keeps a device pixel ratio of 1 so that every operation works in device
    // pixels; bufferRatio_ remembers the ratio it was made for.
    const double ratio = devicePixelRatioF();
    const QSize needed = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    const bool sameRatio = qFuzzyCompare(bufferRatio_, ratio);
    if (!buffer_.isNull() && sameRatio && buffer_.width() >= needed.width() &&
        buffer_.height() >= needed.height())
        return;
    flushDrawing();
    forgetRecentDots();
    // Grow, never shrink or clear: a drawing survives the window being made smaller and
    // larger again. A new device pixel ratio carries the old drawing over at the new scale.
    QImage old = buffer_;
    if (!old.isNull() && !sameRatio)
        old = old.scaled((QSizeF(old.size()) * (ratio / bufferRatio_)).toSize());
    QImage grown(needed.expandedTo(old.size()), QImage::Format_RGB32);
    grown.fill(background());
    if (!old.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(QPoint(0, 0), old);
    }
    buffer_ = std::move(grown);
    bufferRatio_ = ratio;
    adoptBuffer();
}

void PlotSurface::adoptBuffer() {
    bits_ = reinterpret_cast<QRgb*>(buffer_.bits());
    stride_ = buffer_.bytesPerLine() / 4;
    imageWidth_ = buffer_.width();
    imageHeight_ = buffer_.height();
    penReady_ = false; // the pen's reach depends on the image's extent
}

QImage PlotSurface::snapshot() const {
    const QSize visible = (QSizeF(size()) * devicePixelRatioF()).toSize();
    QImage picture = buffer_.copy(QRect(QPoint(0, 0), visible));
    if (picture.isNull())
        return picture;
    // As the buffer will hold it once the waiting line and dots are written.
    const Canvas canvas = canvasOf(picture);
    if (linePending_) {
        paintLine(canvas, pendingLine_, pendingColour_);
        for (const Dot& dot : dotsAfterLine_)
            paintDot(canvas, dot, makeFootprint(dot.width));
    }
    for (std::size_t index = 0; index < queuedCount_; ++index) {
        if (const std::optional<Dot> dot = anchoredDot(queuedDots_[index]))
            paintDot(canvas, *dot, makeFootprint(dot->width));
    }
    return picture;
}

void PlotSurface::resizeEvent(QResizeEvent* event) {
    ensureBuffer();
    QWidget::resizeEvent(event);
}

void PlotSurface::paintEvent(QPaintEvent* event) {
    prepare();
    flushDrawing();
    QPainter painter(this);
    const QRect area = event->rect();
    const double ratio = bufferRatio_;
    const QRectF source(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawImage(QRectF(area), buffer_, source);
}
