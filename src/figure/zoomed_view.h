#pragma once

// The figure seen through a lens: the journal drawn again with a zoom and a centre on top of
// the plot's user scale, so it stays sharp at any zoom. No widgets.

#include "figure/figure_export.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <memory>
#include <optional>

// The view that shows the whole area as the plot window does.
LensView wholeArea(QSizeF area);
// The area's logical pixels to the ones the view shows.
QTransform lensTransform(const LensView& view, QSizeF area);

// Another surface's drawing seen through a view: every dot and line is moved to where the
// view shows it, a dot keeping its width in pixels; what lies far outside it is left out. The scale
// and pen are the wrapped surface's, as with LockedSurface. A view of the whole area passes
// everything on untouched.
class ZoomedSurface : public StandInSurface {
public:
    ZoomedSurface(DrawingSurface& surface, const LensView& view, QSizeF area);
    ~ZoomedSurface() override;

    void PSet(float x, float y, QRgb colour) override;
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override;
    void Cls() override;
    void drawBlock(const DotBlock& block) override;

private:
    enum class Mapping { Untouched, Through };
    void followed() override;
    QPointF toUser(QPointF shown) const;
    // The line as shown, cut to a little beyond the area; none when it misses it.
    std::optional<QLineF> shownLine(float x1, float y1, float x2, float y2) const;

    QTransform view_;
    QRectF reach_;
    Mapping mapping_ = Mapping::Untouched;
    QTransform userToShown_;
    QTransform logicalToUser_;
    std::unique_ptr<DotBlock> mapped_;
};

// What a lens shows: the picture and, to read a place in it, the user scale and the origin O
// = (CX, CY) the last set-up left.
struct LensPicture {
    QImage image;
    QTransform userToLogical;
    QPointF origin;
};

// The journal drawn through the view into an image of the plot's area at that ratio; through
// the view of the whole area it is renderFigureImage's picture. A null image when stopped.
LensPicture renderLens(const PlotJournal& journal, const FigureLook& look, double ratio,
                       const LensView& view, ProgressReport* progress = nullptr);

// The smallest rectangle of the area's logical pixels that holds every dot the journal
// draws, those beyond the area too; none without a dot.
std::optional<QRectF> drawnBounds(const PlotJournal& journal, const FigureLook& look);
