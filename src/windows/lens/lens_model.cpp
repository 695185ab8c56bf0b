#include "windows/lens/lens_model.h"

#include <algorithm>
#include <cmath>

namespace {

// The margin "Adatta al disegno" leaves around the drawing, a fraction of its size.
constexpr double fitMargin = 0.05;
// The smallest side of a rectangle to zoom into, in area pixels: one dot's worth.
constexpr double smallestSide = 1.0;

} // namespace

LensModel::LensModel(QSizeF area) : area_(area), history_{wholeArea(area)} {}

void LensModel::go(LensView next, ViewStep step) {
    next.zoom = std::clamp(next.zoom, minimumZoom, maximumZoom);
    if (!withinLimits(next))
        return;
    if (step == ViewStep::SameAsLast && current_ > 0) {
        history_[current_] = next;
        return;
    }
    if (next == view())
        return;
    history_.resize(current_ + 1);
    history_.push_back(next);
    current_ = history_.size() - 1;
}

QPointF LensModel::toArea(QPointF shown) const {
    const QPointF half(area_.width() / 2, area_.height() / 2);
    return view().centre + (shown - half) / view().zoom;
}

QPointF LensModel::toShown(QPointF areaPoint) const {
    const QPointF half(area_.width() / 2, area_.height() / 2);
    return (areaPoint - view().centre) * view().zoom + half;
}

void LensModel::zoomAt(QPointF shown, double factor) {
    const QPointF fixed = toArea(shown);
    const double zoom = std::clamp(view().zoom * factor, minimumZoom, maximumZoom);
    const QPointF half(area_.width() / 2, area_.height() / 2);
    go({zoom, fixed - (shown - half) / zoom});
}

void LensModel::zoomBy(double factor) {
    zoomAt(QPointF(area_.width() / 2, area_.height() / 2), factor);
}

void LensModel::panBy(QPointF shownDelta, ViewStep step) {
    go({view().zoom, view().centre - shownDelta / view().zoom}, step);
}

void LensModel::zoomToBox(const QRectF& shownBox) {
    const QRectF box = shownBox.normalized();
    fitArea(QRectF(toArea(box.topLeft()), toArea(box.bottomRight())), Margin::None);
}

void LensModel::fitArea(const QRectF& areaBox, Margin margin) {
    const QRectF box = areaBox.normalized();
    const double grown = margin == Margin::Some ? 1 + 2 * fitMargin : 1.0;
    const double width = std::max(box.width() * grown, smallestSide);
    const double height = std::max(box.height() * grown, smallestSide);
    go({std::min(area_.width() / width, area_.height() / height), box.center()});
}

void LensModel::centreOn(QPointF areaPoint) {
    go({view().zoom, areaPoint});
}

void LensModel::reset() {
    go(wholeArea(area_));
}

void LensModel::back() {
    if (canGoBack())
        --current_;
}

void LensModel::forward() {
    if (canGoForward())
        ++current_;
}
