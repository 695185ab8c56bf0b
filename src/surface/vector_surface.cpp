#include "surface/vector_surface.h"

#include <QPainter>
#include <cmath>

namespace {

constexpr double spotsPerInch = 600.0;
constexpr double centimetresPerInch = 2.54;
// Grid positions beyond this lie far off any picture; they are not looked up.
constexpr double farestSpot = 1e15;

} // namespace

VectorSurface::VectorSurface(QPainter& painter, const QRectF& target, const Look& look,
                             double unitsPerInch)
    : painter_(painter), target_(target), look_(look) {
    const int windowWidth = std::max(1, look_.windowSize.width());
    pixel_ = target_.width() / windowWidth;
    spot_ = unitsPerInch / spotsPerInch;
    scaleWidth_ = static_cast<float>(windowWidth);
    scaleHeight_ = static_cast<float>(std::max(1, look_.windowSize.height()));
    painter_.setClipRect(target_);
    painter_.setPen(Qt::NoPen);
    painter_.fillRect(target_, QColor::fromRgb(look_.background));
}

void VectorSurface::setScaleMode(int mode) {
    if (mode != 7)
        return;
    scaleWidth_ = static_cast<float>(look_.windowSize.width() / look_.windowDpi * centimetresPerInch);
    scaleHeight_ =
        static_cast<float>(look_.windowSize.height() / look_.windowDpi * centimetresPerInch);
}

QPointF VectorSurface::toPainter(float x, float y) const {
    const double unitX = scaleWidth_ != 0.0f ? target_.width() / scaleWidth_ : pixel_;
    const double unitY = scaleHeight_ != 0.0f ? target_.height() / scaleHeight_ : pixel_;
    return {target_.left() + x * unitX, target_.top() + y * unitY};
}

void VectorSurface::PSet(float x, float y, QRgb colour) {
    const QPointF point = toPainter(x, y);
    const double column = std::round((point.x() - target_.left()) / spot_);
    const double row = std::round((point.y() - target_.top()) / spot_);
    if (!(std::fabs(column) < farestSpot && std::fabs(row) < farestSpot))
        return; // not a finite place on the picture
    const RecentDot dot{static_cast<std::int64_t>(column), static_cast<std::int64_t>(row),
                        drawWidth_, colour, QRectF(), true};
    for (const RecentDot& recent : recent_) {
        if (recent.intact && recent.column == dot.column && recent.row == dot.row &&
            recent.width == dot.width && recent.colour == dot.colour) {
            ++dotsLeftOut_;
            return;
        }
    }
    const double side = std::max(1, drawWidth_) * pixel_;
    const QPointF centre(target_.left() + column * spot_, target_.top() + row * spot_);
    const QRectF box(centre.x() - side / 2, centre.y() - side / 2, side, side);
    if (drawWidth_ <= 4) {
        painter_.fillRect(box, QColor::fromRgb(colour));
    } else {
        painter_.setBrush(QColor::fromRgb(colour));
        painter_.drawEllipse(box);
    }
    ++dotsWritten_;
    coveredBy(box);
    RecentDot& slot = recent_[nextRecent_];
    nextRecent_ = (nextRecent_ + 1) % recent_.size();
    slot = dot;
    slot.box = box;
}

void VectorSurface::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    const QPointF from = toPainter(x1, y1);
    const QPointF to = toPainter(x2, y2);
    const double width = std::max(1, drawWidth_) * pixel_;
    QPen pen(QColor::fromRgb(colour ? *colour : look_.foreground), width, Qt::SolidLine,
             Qt::SquareCap, Qt::MiterJoin);
    painter_.setPen(pen);
    painter_.drawLine(from, to);
    painter_.setPen(Qt::NoPen);
    const double reach = width;
    coveredBy(QRectF(from, to).normalized().adjusted(-reach, -reach, reach, reach));
}

void VectorSurface::Cls() {
    painter_.fillRect(target_, QColor::fromRgb(look_.background));
    for (RecentDot& recent : recent_)
        recent.intact = false;
}

// Anything written over a recent dot means it must be written again to show on top.
void VectorSurface::coveredBy(const QRectF& area) {
    // A grid step of margin, so that dots that only touch count as covered too.
    const QRectF reach = area.adjusted(-spot_, -spot_, spot_, spot_);
    for (RecentDot& recent : recent_)
        if (recent.intact && recent.box.intersects(reach))
            recent.intact = false;
}
