#include "figure/dot_index.h"

#include "core/cosine_watch.h"
#include "core/curve_walk.h"
#include "core/numeric.h"
#include "core/palette.h"

#include <algorithm>
#include <cmath>

namespace {

// Keeps the plot's scale and notes every dot, in order, drawing nothing.
class DotRecorder : public DrawingSurface {
public:
    explicit DotRecorder(const FigureLook& look) {
        setLogicalArea(QSizeF(look.logicalSize), look.logicalDpi);
    }
    void PSet(float x, float y, QRgb colour) override {
        users.emplace_back(x, y);
        colours.push_back(colour);
    }
    std::vector<QPointF> users;
    std::vector<QRgb> colours;
};

// The passes of a run in turn, leaving out those that draw nothing: where cos(ALFA × P1) or
// cos(t) is exactly zero, as the generator leaves them out.
class Passes {
public:
    explicit Passes(const PlotVariables& plot)
        : p1_(plot.P1.toSingle().valueOr(0.0f)), watch_(p1_) {
        if (plot.Ve.kind() == TaggedValue::Kind::Single)
            increment_ = {curve_walk::Increment::Product::Single, double(plot.Ve.single())};
        else
            increment_ = {curve_walk::Increment::Product::Double, plot.Ve.toDouble().valueOr(0.0)};
    }
    // The next pass that draws. A pass that draws a dot lies close ahead: the search gives up
    // far beyond, rather than hang on a run it reads otherwise than the generator.
    std::int64_t next() {
        constexpr std::int64_t farthest = std::int64_t{1} << 20;
        const std::int64_t from = ++alfa_;
        while (!draws(alfa_) && alfa_ - from < farthest)
            ++alfa_;
        return alfa_;
    }

private:
    bool draws(std::int64_t alfa) {
        if (watch_.isZero(alfa))
            return false;
        const auto A2 = static_cast<std::int16_t>(
            roundHalfEven(curve_walk::alfaTimesIncrement(alfa, increment_)));
        return std::cos(static_cast<double>(static_cast<float>(A2) * p1_)) != 0.0;
    }

    float p1_ = 0.0f;
    CosineWatch watch_;
    curve_walk::Increment increment_;
    std::int64_t alfa_ = -1;
};

} // namespace

DotIndex::DotIndex(const PlotJournal& journal, const FigureLook& look) {
    PlotVariables plot;
    DotRecorder recorder(look);
    for (const PlotJournal::Entry& entry : journal.entries()) {
        PlotJournal single;
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry)) {
            single.recordSetUp(setUp->Incr);
            replayJournal(single, recorder, nullptr, &plot);
            continue;
        }
        const PlotRun& run = std::get<PlotRun>(entry);
        single.recordRun(run);
        recorder.users.clear();
        recorder.colours.clear();
        replayJournal(single, recorder, nullptr, &plot);
        addRun(recorder.users, recorder.colours, plot, recorder.userToLogical(), run);
    }
}

// Each pass draws its dot of curve 1 first, then (when it lies within bounds) that of curve
// 2 in the other colour; a run begun at colour 14 goes on in colours 1 and 2 after its first
// pass.
void DotIndex::addRun(const std::vector<QPointF>& users, const std::vector<QRgb>& colours,
                      const PlotVariables& plot, const QTransform& userToLogical,
                      const PlotRun& run) {
    // Counted when it draws nothing too: the status line numbers the journal's runs.
    runs_.push_back(run.constants);
    const auto runNumber = static_cast<std::uint32_t>(runs_.size());
    if (users.empty())
        return;
    const QPointF origin(plot.CX.single(), plot.CY.single());
    const QRgb first = colours.front();
    const bool wraps = first == paletteColor(14);
    Passes passes(plot);
    std::int64_t alfa = -1;
    for (std::size_t index = 0; index < users.size(); ++index) {
        const bool curve1 =
            index == 0 || colours[index] == first || (wraps && colours[index] == paletteColor(1));
        if (curve1)
            alfa = passes.next();
        const QPointF user = users[index];
        const QPointF logical = userToLogical.map(user);
        cells_[cellOf(logical)].push_back(dots_.size());
        dots_.push_back({QPointF(user.x() - origin.x(), origin.y() - user.y()), logical, alfa,
                         runNumber, curve1 ? 1 : 2});
    }
}

std::int64_t DotIndex::cellKey(std::int64_t column, std::int64_t row) {
    return column * (std::int64_t{1} << 32) + row;
}

std::int64_t DotIndex::cellAlong(double position) {
    if (std::isnan(position))
        return 0;
    return static_cast<std::int64_t>(std::floor(std::clamp(position / cellSize, -1e9, 1e9)));
}

std::int64_t DotIndex::cellOf(QPointF logical) {
    return cellKey(cellAlong(logical.x()), cellAlong(logical.y()));
}

std::optional<std::size_t> DotIndex::nearestIndex(QPointF logical, double within) const {
    std::optional<std::size_t> best;
    double bestDistance = within;
    const std::int64_t right = cellAlong(logical.x() + within);
    const std::int64_t bottom = cellAlong(logical.y() + within);
    for (std::int64_t column = cellAlong(logical.x() - within); column <= right; ++column)
        for (std::int64_t row = cellAlong(logical.y() - within); row <= bottom; ++row) {
            const auto found = cells_.find(cellKey(column, row));
            if (found == cells_.end())
                continue;
            for (const std::size_t index : found->second) {
                const QPointF apart = dots_[index].logical - logical;
                const double distance = std::hypot(apart.x(), apart.y());
                if (distance < bestDistance ||
                    (distance == bestDistance && best && index > *best)) {
                    bestDistance = distance;
                    best = index;
                }
            }
        }
    return best;
}

std::optional<NamedDot> DotIndex::nearest(QPointF logical, double within) const {
    const std::optional<std::size_t> index = nearestIndex(logical, within);
    if (!index)
        return std::nullopt;
    return dot(*index);
}

// A run's dots lie together, its two curves taking turns, so the neighbour is a few steps away
// unless the other curve went on alone for a while.
std::optional<std::size_t> DotIndex::traced(std::size_t index, Trace direction) const {
    const Kept& from = dots_.at(index);
    const auto along = [&](std::size_t at) -> std::optional<std::size_t> {
        if (direction == Trace::Next)
            return at + 1 < dots_.size() ? std::optional(at + 1) : std::nullopt;
        return at > 0 ? std::optional(at - 1) : std::nullopt;
    };
    for (std::optional<std::size_t> at = along(index); at; at = along(*at)) {
        const Kept& dot = dots_[*at];
        if (dot.run != from.run)
            return std::nullopt;
        if (dot.curve == from.curve)
            return at;
    }
    return std::nullopt;
}

NamedDot DotIndex::dot(std::size_t index) const {
    const Kept& kept = dots_[index];
    return {kept.place, kept.logical, kept.run, kept.curve, kept.alfa, runs_[kept.run - 1]};
}
