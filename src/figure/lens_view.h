#pragma once

// A view of the plot's area, as the lens shows it and a figure saved from it recalls it. No
// widgets.

#include <QPointF>

// The point of the area (in its logical pixels, as the plot window shows it) that lies at the
// centre, and how many times larger everything is drawn there.
struct LensView {
    double zoom = 1.0;
    QPointF centre;
    friend bool operator==(const LensView&, const LensView&) = default;
};

// How far a view may zoom out and in, and how far its centre may lie from the area's corner,
// in logical pixels, far beyond any dot.
inline constexpr double smallestLensZoom = 1.0 / 64.0;
inline constexpr double largestLensZoom = 1e6;
inline constexpr double farthestLensCentre = 1e7;

// Whether a view keeps within those limits.
inline bool withinLimits(const LensView& view) {
    const auto near = [](double at) {
        return at >= -farthestLensCentre && at <= farthestLensCentre;
    };
    return view.zoom >= smallestLensZoom && view.zoom <= largestLensZoom && near(view.centre.x()) &&
           near(view.centre.y());
}
