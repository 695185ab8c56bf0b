#pragma once

// A figure's legend: a box in a corner clear of the drawing listing each run of the journal in
// its colour, in order. No widgets.

#include "figure/figure_export.h"

#include <QFont>
#include <QRectF>
#include <vector>

class QPainter;

struct LegendLine {
    QString text; // "OA 86, angolo 55°, n 90, incremento 1, linee"
    QRgb colour = 0;
};

// The journal's runs, in order, with their first curve's colour.
std::vector<LegendLine> legendLines(const PlotJournal& journal,
                                    RunColours colours = RunColours::Original);

// The legend's box in window pixels, in whichever corner of the drawing covers fewest of its
// pixels; drawing is the window-sized picture of the figure.
QRectF legendBox(const std::vector<LegendLine>& lines, const QFont& font, const QImage& drawing,
                 QRgb background);

// Paints the legend into target, which shows the window's area; the box is filled with fill
// when it has any opacity.
void paintLegend(QPainter& painter, const QRectF& target, const FigureLook& look,
                 const std::vector<LegendLine>& lines, const QFont& font, const QRectF& box,
                 QRgb fill);
