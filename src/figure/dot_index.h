#pragma once

// The dots a journal draws, each with the run, the curve and the pass ALFA that drew it, and
// a grid over the plot's area to find the one nearest a point. No widgets.

#include "figure/figure_export.h"

#include <QPointF>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

// A dot as the generator drew it.
struct NamedDot {
    QPointF place;         // from O, y upwards, in OA's units
    QPointF logical;       // in the plot's area, logical pixels
    std::size_t run = 0;   // the journal's run that drew it, from 1
    int curve = 1;         // 1 along OA, 2 the other
    std::int64_t alfa = 0; // the pass
    CurveConstants constants;
};

class DotIndex {
public:
    // The dots of every run of the journal, in the order they were drawn.
    DotIndex(const PlotJournal& journal, const FigureLook& look);

    std::size_t size() const { return dots_.size(); }
    NamedDot dot(std::size_t index) const;
    // The dot nearest a point of the area, within that many logical pixels of it; of dots as
    // near, the one drawn last, which lies on top.
    std::optional<std::size_t> nearestIndex(QPointF logical, double within) const;
    std::optional<NamedDot> nearest(QPointF logical, double within) const;

    // The dot of the same run and curve drawn just before or after a dot; none past its ends.
    enum class Trace { Previous, Next };
    std::optional<std::size_t> traced(std::size_t index, Trace direction) const;

private:
    static constexpr double cellSize = 4.0; // logical pixels
    // A cell's row and column in one number.
    static std::int64_t cellAlong(double position);
    static std::int64_t cellOf(QPointF logical);
    static std::int64_t cellKey(std::int64_t column, std::int64_t row);
    void addRun(const std::vector<QPointF>& users, const std::vector<QRgb>& colours,
                const PlotVariables& plot, const QTransform& userToLogical, const PlotRun& run);

    // A dot as kept: its run's constants are kept once.
    struct Kept {
        QPointF place;
        QPointF logical;
        std::int64_t alfa = 0;
        std::uint32_t run = 0;
        int curve = 1;
    };
    std::vector<Kept> dots_;
    std::vector<CurveConstants> runs_;
    std::unordered_map<std::int64_t, std::vector<std::size_t>> cells_;
};
