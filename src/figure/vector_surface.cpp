#include "figure/vector_surface.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double spotsPerInch = 600.0;
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
    setLogicalArea(QSizeF(look_.windowSize), QPointF(look_.windowDpi, look_.windowDpi),
                   {target_, pixel_});
    setScaleWidth(static_cast<float>(windowWidth));
    setScaleHeight(static_cast<float>(std::max(1, look_.windowSize.height())));
    queue_.reserve(queueLength + 1);
    painter_.setClipRect(target_);
    painter_.setPen(Qt::NoPen);
    fillBackground();
}

// A background without opacity leaves the page clear.
void VectorSurface::fillBackground() {
    if (qAlpha(look_.background) != 0)
        painter_.fillRect(target_, QColor::fromRgb(look_.background));
}

VectorSurface::~VectorSurface() {
    flush();
}

QPointF VectorSurface::toPainter(float x, float y) const {
    const QTransform& units = userToDevice();
    return {target_.left() + x * units.m11(), target_.top() + y * units.m22()};
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
    // The scale does not change within a block: toPainter's units, read once.
    const double unitX = userToDevice().m11();
    const double unitY = userToDevice().m22();
    // The grid places of the whole block first, in a loop without a branch to mispredict:
    // interleaved with the search of the queue, every mispredicted match threw away the
    // divisions of the dots after it.
    const double left = target_.left(), top = target_.top(), spot = spot_;
    for (std::size_t index = 0; index < block.dotCount; ++index) {
        blockColumns_[index] = roundHalfAway((left + block.x[index] * unitX - left) / spot);
        blockRows_[index] = roundHalfAway((top + block.y[index] * unitY - top) / spot);
    }
    const QPointF windowUnits = windowPixelUnits();
    std::size_t next = 0;
    const auto dotsUpTo = [&](std::size_t end) {
        if (next < end)
            setDrawWidth(block.dotWidth);
        for (; next < end; ++next)
            placeSpot(blockColumns_[next], blockRows_[next], block.colour[next]);
    };
    for (std::size_t index = 0; index < block.lineCount; ++index) {
        const DotBlock::Line& line = block.lines[index];
        dotsUpTo(line.before);
        setDrawWidth(1);
        blockLine(line, windowUnits);
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
    const int width = DrawWidth();
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
            // Met again after the waiting line, it goes above it.
            if (static_cast<std::size_t>(found - queue_.begin()) < dotsBeforeLine_)
                --dotsBeforeLine_;
            std::rotate(found, found + 1, queue_.end());
            ++dotsLeftOut_;
            return;
        }
    }
    Dot dot{columnIndex, rowIndex, width, colour, QRectF()};
    const double side = std::max(1, DrawWidth()) * pixel_;
    dot.box = QRectF(target_.left() + column * spot_ - side / 2,
                     target_.top() + row * spot_ - side / 2, side, side);
    queue_.push_back(dot);
    if (queue_.size() > queueLength) {
        // A dot after the waiting line leaves the queue: the line goes beneath it now.
        if (dotsBeforeLine_ == 0 && lineWaits_ == LineWaits::Yes)
            writeWaitingLine();
        toBatches(queue_.front());
        queue_.erase(queue_.begin());
        dotsBeforeLine_ -= dotsBeforeLine_ > 0 ? 1 : 0;
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
        // Right after a line of its colour the brush is the batch's already: set again, it
        // would begin a group of its own in an SVG. Otherwise each batch sets its brush, so
        // a copy without lines stays the file it always was.
        if (std::exchange(lineBrush_, std::nullopt) != batch.colour)
            painter_.setBrush(QColor::fromRgb(batch.colour));
        brushColour_ = batch.colour;
        // Up to 4 pixels a dot is a full square, as on screen; wider ones are round.
        if (batch.width <= raster::widestSquareDot) {
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
    if (lineWaits_ == LineWaits::Yes)
        writeWaitingLine();
    for (const Dot& dot : queue_)
        toBatches(dot);
    queue_.clear();
    writeBatches();
}

void VectorSurface::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    flush();
    const double width = std::max(1, DrawWidth()) * pixel_;
    painter_.setPen(QPen(QColor::fromRgb(colour ? *colour : look_.foreground), width, Qt::SolidLine,
                         Qt::SquareCap, Qt::MiterJoin));
    painter_.drawLine(toPainter(x1, y1), toPainter(x2, y2));
    painter_.setPen(Qt::NoPen);
}

void VectorSurface::Cls() {
    queue_.clear();
    batches_.clear();
    linkingLine_.reset();
    lineWaits_ = LineWaits::No;
    dotsBeforeLine_ = 0;
    fillBackground();
}

// The window's pixels per unit of the scale, as the screen works them out at a ratio of 1.
QPointF VectorSurface::windowPixelUnits() const {
    return {userToLogical().m11(), userToLogical().m22()};
}

// The ends of a line on the grid; none for a line off any grid.
std::optional<VectorSurface::GridEnds> VectorSurface::gridEndsOf(const QPointF& from,
                                                                 const QPointF& to) const {
    const std::array<double, 4> ends{
        (from.x() - target_.left()) / spot_, (from.y() - target_.top()) / spot_,
        (to.x() - target_.left()) / spot_, (to.y() - target_.top()) / spot_};
    GridEnds places{};
    for (std::size_t index = 0; index < ends.size(); ++index) {
        if (!(std::fabs(ends[index]) < farthestSpot))
            return std::nullopt;
        places[index] = static_cast<std::int64_t>(roundHalfAway(ends[index]));
    }
    return places;
}

// Its place is worked out only as far as it takes to tell whether it lands where the latest
// line is drawn: mostly its pixels tell.
void VectorSurface::blockLine(const DotBlock::Line& line, const QPointF& windowUnits) {
    // Its anchors on the window's pixels, as the screen works them out.
    const std::optional<raster::LineKey> pixels =
        raster::lineKeyFor(QPointF(line.x1 * windowUnits.x(), line.y1 * windowUnits.y()),
                           QPointF(line.x2 * windowUnits.x(), line.y2 * windowUnits.y()), 1);
    if (pixels && linkingLine_ && linkingLine_->pixels == *pixels) {
        lineAgain(line.colour);
        return;
    }
    const QPointF from = toPainter(line.x1, line.y1);
    const QPointF to = toPainter(line.x2, line.y2);
    const std::optional<GridEnds> ends = gridEndsOf(from, to);
    if (!pixels || !ends) {
        // Nothing to compare it with: a line of its own, written now.
        flush();
        linkingLine_.reset();
        fillLine(from, to, line.colour);
        return;
    }
    if (linkingLine_ && linkingLine_->ends == *ends) {
        lineAgain(line.colour);
        return;
    }
    if (lineWaits_ == LineWaits::Yes)
        writeWaitingLine();
    linkingLine_ = LinkingLine{*pixels, *ends, from, to, line.colour};
    lineWaits_ = LineWaits::Yes;
    dotsBeforeLine_ = queue_.size();
}

// Drawn where the latest line is, it covers it wholly and lies above what came since.
void VectorSurface::lineAgain(QRgb colour) {
    linkingLine_->colour = colour;
    lineWaits_ = LineWaits::Yes;
    dotsBeforeLine_ = queue_.size();
}

// The dots that came before the waiting line, then the line; those after it go on waiting.
void VectorSurface::writeWaitingLine() {
    const auto before = queue_.begin() + static_cast<std::ptrdiff_t>(dotsBeforeLine_);
    for (auto dot = queue_.begin(); dot != before; ++dot)
        toBatches(*dot);
    queue_.erase(queue_.begin(), before);
    dotsBeforeLine_ = 0;
    writeBatches();
    lineWaits_ = LineWaits::No;
    fillLine(linkingLine_->from, linkingLine_->to, linkingLine_->colour);
}

// The rectangle that a pen one pixel wide with square ends covers. Filled, it shares the dots'
// brush: a line of the colour of the dots before it needs no change of state in the file.
void VectorSurface::fillLine(const QPointF& from, const QPointF& to, QRgb colour) {
    const QPointF direction = to - from;
    const double length = std::hypot(direction.x(), direction.y());
    const double half = pixel_ / 2;
    const QPointF along = length > 0 ? direction * (half / length) : QPointF(half, 0);
    const QPointF across(-along.y(), along.x());
    const std::array<QPointF, 4> corners{from - along - across, to + along - across,
                                         to + along + across, from - along + across};
    if (brushColour_ != colour) {
        painter_.setBrush(QColor::fromRgb(colour));
        brushColour_ = colour;
    }
    painter_.drawPolygon(corners.data(), static_cast<int>(corners.size()));
    lineBrush_ = colour;
    ++linesWritten_;
}
