#pragma once

// The lens's views and their history, with no widget: where the user zoomed and panned, in
// the plot area's logical pixels, as doubles.

#include "figure/zoomed_view.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <cstddef>
#include <vector>

// Whether a change of view is a step of its own in the history, or goes on the one before
// (the moves of one drag).
enum class ViewStep { New, SameAsLast };

class LensModel {
public:
    static constexpr double minimumZoom = smallestLensZoom;
    static constexpr double maximumZoom = largestLensZoom;
    // What the buttons and the keys + and − zoom by.
    static constexpr double zoomStep = 2.0;

    explicit LensModel(QSizeF area);

    const LensView& view() const { return history_[current_]; }
    QSizeF area() const { return area_; }

    // Zooms by that factor keeping the point shown at `shown` where it is.
    void zoomAt(QPointF shown, double factor);
    // Zooms by that factor about the centre.
    void zoomBy(double factor);
    // Moves the picture by that many shown pixels.
    void panBy(QPointF shownDelta, ViewStep step = ViewStep::New);
    // Shows that rectangle of the shown picture as large as it fits.
    void zoomToBox(const QRectF& shownBox);
    // Shows that rectangle of the area as large as it fits, with a margin or without.
    enum class Margin { None, Some };
    void fitArea(const QRectF& areaBox, Margin margin = Margin::Some);
    // Puts that point of the area at the middle, at the same zoom.
    void centreOn(QPointF areaPoint);
    // The whole area, as the plot window shows it.
    void reset();
    // That view, as a figure saved from the lens recalls it, within the limits.
    void show(const LensView& view) { go(view); }

    bool canGoBack() const { return current_ > 0; }
    bool canGoForward() const { return current_ + 1 < history_.size(); }
    void back();
    void forward();

    // Where a shown point lies in the area, and back.
    QPointF toArea(QPointF shown) const;
    QPointF toShown(QPointF areaPoint) const;

private:
    void go(LensView next, ViewStep step = ViewStep::New);

    QSizeF area_;
    std::vector<LensView> history_;
    std::size_t current_ = 0;
};
