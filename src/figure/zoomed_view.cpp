#include "figure/zoomed_view.h"

#include "surface/image_surface.h"

#include <QLineF>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// How far beyond the area a line is still drawn before it is cut, and a dot at all, in
// logical pixels.
constexpr double lineMargin = 64.0;

// Liang and Barsky's cut of a segment to a rectangle.
std::optional<QLineF> cutTo(const QLineF& line, const QRectF& box) {
    double from = 0.0;
    double to = 1.0;
    const double dx = line.dx();
    const double dy = line.dy();
    const std::array<double, 4> p{-dx, dx, -dy, dy};
    const std::array<double, 4> q{line.x1() - box.left(), box.right() - line.x1(),
                                  line.y1() - box.top(), box.bottom() - line.y1()};
    for (std::size_t side = 0; side < p.size(); ++side) {
        if (p[side] == 0.0) {
            if (q[side] < 0.0)
                return std::nullopt;
            continue;
        }
        const double ratio = q[side] / p[side];
        if (p[side] < 0.0)
            from = std::max(from, ratio);
        else
            to = std::min(to, ratio);
        if (from > to)
            return std::nullopt;
    }
    return QLineF(line.pointAt(from), line.pointAt(to));
}

// Keeps the scale of the plot's area and notes where its dots fall, drawing nothing.
class BoundsSurface : public DrawingSurface {
public:
    explicit BoundsSurface(const FigureLook& look) {
        setLogicalArea(QSizeF(look.logicalSize), look.logicalDpi);
    }
    void PSet(float x, float y, QRgb) override {
        const QPointF at = userToLogical().map(QPointF(x, y));
        if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
            return;
        // Not QRectF::united, which passes over a rectangle of no size.
        if (!bounds)
            bounds = QRectF(at, at);
        bounds->setCoords(std::min(bounds->left(), at.x()), std::min(bounds->top(), at.y()),
                          std::max(bounds->right(), at.x()), std::max(bounds->bottom(), at.y()));
    }
    std::optional<QRectF> bounds;
};

} // namespace

LensView wholeArea(QSizeF area) {
    return {1.0, QPointF(area.width() / 2, area.height() / 2)};
}

QTransform lensTransform(const LensView& view, QSizeF area) {
    return QTransform::fromTranslate(-view.centre.x(), -view.centre.y()) *
           QTransform::fromScale(view.zoom, view.zoom) *
           QTransform::fromTranslate(area.width() / 2, area.height() / 2);
}

ZoomedSurface::ZoomedSurface(DrawingSurface& surface, const LensView& view, QSizeF area)
    : StandInSurface(surface), view_(lensTransform(view, area)),
      reach_(
          QRectF(QPointF(0, 0), area).adjusted(-lineMargin, -lineMargin, lineMargin, lineMargin)),
      mapping_(view == wholeArea(area) ? Mapping::Untouched : Mapping::Through),
      mapped_(std::make_unique<DotBlock>()) {
    followed();
}

ZoomedSurface::~ZoomedSurface() = default;

void ZoomedSurface::followed() {
    userToShown_ = userToLogical() * view_;
    logicalToUser_ = userToLogical().inverted();
}

QPointF ZoomedSurface::toUser(QPointF shown) const {
    return logicalToUser_.map(shown);
}

void ZoomedSurface::PSet(float x, float y, QRgb colour) {
    if (mapping_ == Mapping::Untouched)
        return behind().PSet(x, y, colour);
    const QPointF shown = userToShown_.map(QPointF(x, y));
    if (!reach_.contains(shown))
        return;
    const QPointF at = toUser(shown);
    behind().PSet(float(at.x()), float(at.y()), colour);
}

std::optional<QLineF> ZoomedSurface::shownLine(float x1, float y1, float x2, float y2) const {
    const std::optional<QLineF> cut = cutTo(userToShown_.map(QLineF(x1, y1, x2, y2)), reach_);
    if (!cut)
        return std::nullopt;
    return QLineF(toUser(cut->p1()), toUser(cut->p2()));
}

void ZoomedSurface::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    if (mapping_ == Mapping::Untouched)
        return behind().Line(x1, y1, x2, y2, colour);
    if (const std::optional<QLineF> line = shownLine(x1, y1, x2, y2))
        behind().Line(float(line->x1()), float(line->y1()), float(line->x2()), float(line->y2()),
                      colour);
}

void ZoomedSurface::Cls() {
    behind().Cls();
}

void ZoomedSurface::drawBlock(const DotBlock& block) {
    if (mapping_ == Mapping::Untouched) {
        behind().drawBlock(block);
        followBehind();
        return;
    }
    DotBlock& mapped = *mapped_;
    mapped.clear();
    mapped.dotWidth = block.dotWidth;
    std::size_t line = 0;
    for (std::size_t dot = 0; dot <= block.dotCount; ++dot) {
        for (; line < block.lineCount && block.lines[line].before == dot; ++line) {
            const DotBlock::Line& given = block.lines[line];
            if (const std::optional<QLineF> shown =
                    shownLine(given.x1, given.y1, given.x2, given.y2))
                mapped.addLine(float(shown->x1()), float(shown->y1()), float(shown->x2()),
                               float(shown->y2()), given.colour);
        }
        if (dot == block.dotCount)
            break;
        // A dot far outside the view is left out: a vector copy would write it all the same.
        const QPointF shown = userToShown_.map(QPointF(block.x[dot], block.y[dot]));
        if (!reach_.contains(shown))
            continue;
        const QPointF at = toUser(shown);
        mapped.addDot(float(at.x()), float(at.y()), block.colour[dot]);
    }
    behind().drawBlock(mapped);
    followBehind();
}

LensPicture renderLens(const PlotJournal& journal, const FigureLook& look, double ratio,
                       const LensView& view, ProgressReport* progress) {
    ImageSurface image;
    image.setColours(look.foreground, look.background);
    image.setArea(look.logicalSize, ratio, look.logicalDpi);
    ZoomedSurface surface(image, view, QSizeF(look.logicalSize));
    PlotVariables plot;
    if (replayJournal(journal, surface, progress, &plot) == Replay::Stopped)
        return {};
    image.flush();
    return {image.snapshot(), surface.userToLogical(), QPointF(plot.CX.single(), plot.CY.single())};
}

std::optional<QRectF> drawnBounds(const PlotJournal& journal, const FigureLook& look) {
    BoundsSurface surface(look);
    replayJournal(journal, surface);
    return surface.bounds;
}
