#include "surface/vector_surface.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double spotsPerInch = 600.0;
constexpr double centimetresPerInch = 2.54;
// Grid positions beyond this lie far off any picture; they are not looked up.
constexpr double farthestSpot = 1e15;
constexpr std::size_t queueLength = 32;
constexpr std::size_t largestBatch = 512;
constexpr std::size_t mostBatches = 8;

} // namespace

VectorSurface::VectorSurface(QPainter& painter, const QRectF& target, const Look& look,
                             double unitsPerInch)
    : painter_(painter), target_(target), look_(look) {
    const int windowWidth = std::max(1, look_.windowSize.width());
    pixel_ = target_.width() / windowWidth;
    spot_ = unitsPerInch / spotsPerInch;
    scaleWidth_ = static_cast<float>(windowWidth);
    scaleHeight_ = static_cast<float>(std::max(1, look_.windowSize.height()));
    queue_.reserve(queueLength + 1);
    painter_.setClipRect(target_);
    painter_.setPen(Qt::NoPen);
    painter_.fillRect(target_, QColor::fromRgb(look_.background));
}

VectorSurface::~VectorSurface() {
    flush();
}

void VectorSurface::setScaleMode(int mode) {
    if (mode != 7)
        return;
    scaleWidth_ =
        static_cast<float>(look_.windowSize.width() / look_.windowDpi * centimetresPerInch);
    scaleHeight_ =
        static_cast<float>(look_.windowSize.height() / look_.windowDpi * centimetresPerInch);
}

QPointF VectorSurface::toPainter(float x, float y) const {
    const double unitX = scaleWidth_ != 0.0f ? target_.width() / scaleWidth_ : pixel_;
    const double unitY = scaleHeight_ != 0.0f ? target_.height() / scaleHeight_ : pixel_;
    return {target_.left() + x * unitX, target_.top() + y * unitY};
}

namespace {

// std::round, inline: a libm call per dot was a tenth of a copy's time. Exact, since the
// fraction of a double below 2^62 is a double too.
double roundHalfAway(double value) {
    if (!(std::fabs(value) < 0x1p62))
        return std::round(value);
    const double whole = static_cast<double>(static_cast<std::int64_t>(value));
    const double fraction = value - whole;
    // Without branches: which way a dot's place rounds is a coin toss for the predictor.
    const double up = fraction >= 0.5 ? 1.0 : 0.0;
    const double down = fraction <= -0.5 ? 1.0 : 0.0;
    return whole + up - down;
}

} // namespace

void VectorSurface::PSet(float x, float y, QRgb colour) {
    const QPointF point = toPainter(x, y);
    placeDot(point.x(), point.y(), colour);
}

void VectorSurface::drawBlock(const DotBlock& block) {
    // The scale does not change within a block: toPainter's units, worked out once.
    const double unitX = scaleWidth_ != 0.0f ? target_.width() / scaleWidth_ : pixel_;
    const double unitY = scaleHeight_ != 0.0f ? target_.height() / scaleHeight_ : pixel_;
    // The grid places of the whole block first, in a loop without a branch to mispredict:
    // interleaved with the search of the queue, every mispredicted match threw away the
    // divisions of the dots after it.
    const double left = target_.left(), top = target_.top(), spot = spot_;
    for (std::size_t index = 0; index < block.dotCount; ++index) {
        blockColumns_[index] = roundHalfAway((left + block.x[index] * unitX - left) / spot);
        blockRows_[index] = roundHalfAway((top + block.y[index] * unitY - top) / spot);
    }
    std::size_t next = 0;
    const auto dotsUpTo = [&](std::size_t end) {
        if (next < end)
            drawWidth_ = block.dotWidth;
        for (; next < end; ++next)
            placeSpot(blockColumns_[next], blockRows_[next], block.colour[next]);
    };
    for (std::size_t index = 0; index < block.lineCount; ++index) {
        const DotBlock::Line& line = block.lines[index];
        dotsUpTo(line.before);
        drawWidth_ = 1;
        Line(line.x1, line.y1, line.x2, line.y2, line.colour);
    }
    dotsUpTo(block.dotCount);
}

void VectorSurface::placeDot(double x, double y, QRgb colour) {
    placeSpot(roundHalfAway((x - target_.left()) / spot_),
              roundHalfAway((y - target_.top()) / spot_), colour);
}

void VectorSurface::placeSpot(double column, double row, QRgb colour) {
    if (!(std::fabs(column) < farthestSpot && std::fabs(row) < farthestSpot))
        return; // not a finite place on the picture
    const auto columnIndex = static_cast<std::int64_t>(column);
    const auto rowIndex = static_cast<std::int64_t>(row);
    const int width = drawWidth_;
    // The same dot again covers the waiting one entirely: the waiting one is not needed.
    // The latest dots are the likeliest to be met again. The fields are compared one by one
    // against values in registers, not against a dot on the stack: merged into one load of
    // two fields just stored, the comparison stalled and took half of a copy's time.
    for (auto waiting = queue_.rbegin(); waiting != queue_.rend(); ++waiting) {
        if (waiting->column == columnIndex && waiting->row == rowIndex &&
            waiting->colour == colour && waiting->width == width) {
            // It moves to the end; the dots after it move up one, without a call to
            // memmove for the few there mostly are.
            const auto found = std::next(waiting).base();
            std::rotate(found, found + 1, queue_.end());
            ++dotsLeftOut_;
            return;
        }
    }
    Dot dot{columnIndex, rowIndex, width, colour, QRectF()};
    const double side = std::max(1, drawWidth_) * pixel_;
    dot.box = QRectF(target_.left() + column * spot_ - side / 2,
                     target_.top() + row * spot_ - side / 2, side, side);
    queue_.push_back(dot);
    if (queue_.size() > queueLength) {
        toBatches(queue_.front());
        queue_.erase(queue_.begin());
    }
}

// Batches are written in the order they were begun. A dot joins the latest batch of its
// colour only if no dot of a batch begun after that one lies under it; otherwise it begins a
// batch of its own, written after all the others.
void VectorSurface::toBatches(const Dot& dot) {
    for (std::size_t index = batches_.size(); index-- > 0;) {
        Batch& batch = batches_[index];
        if (batch.colour != dot.colour || batch.width != dot.width)
            continue;
        if (batch.boxes.size() < largestBatch && !liesUnderLaterBatch(dot.box, index)) {
            batch.boxes.push_back(dot.box);
            batch.bounds = batch.bounds.united(dot.box);
            return;
        }
        break;
    }
    if (batches_.size() >= mostBatches)
        writeBatches();
    batches_.push_back({dot.colour, dot.width, {dot.box}, dot.box});
}

bool VectorSurface::liesUnderLaterBatch(const QRectF& box, std::size_t batch) const {
    for (std::size_t later = batch + 1; later < batches_.size(); ++later) {
        if (!batches_[later].bounds.intersects(box))
            continue;
        for (const QRectF& other : batches_[later].boxes)
            if (other.intersects(box))
                return true;
    }
    return false;
}

void VectorSurface::writeBatches() {
    for (const Batch& batch : batches_) {
        painter_.setBrush(QColor::fromRgb(batch.colour));
        // Up to 4 pixels a dot is a full square, as on screen; wider ones are round.
        if (batch.width <= 4) {
            painter_.drawRects(batch.boxes.data(), static_cast<int>(batch.boxes.size()));
        } else {
            for (const QRectF& box : batch.boxes)
                painter_.drawEllipse(box);
        }
        dotsWritten_ += static_cast<std::int64_t>(batch.boxes.size());
    }
    batches_.clear();
}

void VectorSurface::flush() {
    for (const Dot& dot : queue_)
        toBatches(dot);
    queue_.clear();
    writeBatches();
}

void VectorSurface::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    flush();
    const double width = std::max(1, drawWidth_) * pixel_;
    painter_.setPen(QPen(QColor::fromRgb(colour ? *colour : look_.foreground), width, Qt::SolidLine,
                         Qt::SquareCap, Qt::MiterJoin));
    painter_.drawLine(toPainter(x1, y1), toPainter(x2, y2));
    painter_.setPen(Qt::NoPen);
}

void VectorSurface::Cls() {
    queue_.clear();
    batches_.clear();
    painter_.fillRect(target_, QColor::fromRgb(look_.background));
}
