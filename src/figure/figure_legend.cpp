#include "figure/figure_legend.h"


#include <QFontMetricsF>
#include <QPainter>
#include <array>

namespace {

constexpr double padding = 4.0; // window pixels, inside the box and from the edge

QString legendText(const PlotRun& run) {
    const CurveConstants& constants = run.constants;
    QString text = QStringLiteral("OA %1, angolo %2°, n %3, incremento %4")
                       .arg(constants.VALa.toText(), constants.VALb.toText(),
                            constants.VALc.toText(), constants.VALe.toText());
    if (run.lines == LinkingLines::On)
        text += QStringLiteral(", linee");
    return text;
}

constexpr double defaultPoints = 8.25; // the windows' own size, for a font without one

// The font with its size in window pixels, so that it scales with the figure.
QFont inWindowPixels(const QFont& font) {
    QFont sized = font;
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : defaultPoints;
    if (font.pixelSize() <= 0)
        sized.setPixelSize(std::max(1, qRound(points * 96.0 / 72.0)));
    return sized;
}

int coveredPixels(const QImage& drawing, const QRect& box, QRgb background) {
    const QRect inside = box.intersected(drawing.rect());
    int covered = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            covered += (drawing.pixel(x, y) | 0xff000000u) != (background | 0xff000000u) ? 1 : 0;
    return covered;
}

} // namespace

std::vector<LegendLine> legendLines(const PlotJournal& journal, RunColours colours) {
    std::vector<LegendLine> lines;
    for (const PlotRun& run : journal.runs())
        lines.push_back({legendText(run), runCurveColours(run, lines.size(), colours)[0]});
    return lines;
}

QRectF legendBox(const std::vector<LegendLine>& lines, const QFont& font, const QImage& drawing,
                 QRgb background) {
    const QFontMetricsF metrics(inWindowPixels(font));
    double width = 0.0;
    for (const LegendLine& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line.text));
    const QSizeF size(width + 2 * padding, metrics.height() * double(lines.size()) + 2 * padding);
    const QSizeF area(drawing.deviceIndependentSize());
    const std::array<QPointF, 4> corners{
        QPointF(area.width() - size.width() - padding, padding), QPointF(padding, padding),
        QPointF(area.width() - size.width() - padding, area.height() - size.height() - padding),
        QPointF(padding, area.height() - size.height() - padding)};
    QRectF best(corners[0], size);
    int fewest = -1;
    for (const QPointF& corner : corners) {
        const QRectF box(corner, size);
        const int covered = coveredPixels(drawing, box.toAlignedRect(), background);
        if (fewest < 0 || covered < fewest) {
            fewest = covered;
            best = box;
        }
    }
    return best;
}

void paintLegend(QPainter& painter, const QRectF& target, const FigureLook& look,
                 const std::vector<LegendLine>& lines, const QFont& font, const QRectF& box,
                 QRgb fill) {
    if (lines.empty() || look.logicalSize.isEmpty())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / look.logicalSize.width(),
                  target.height() / look.logicalSize.height());
    painter.setPen(QPen(QColor::fromRgb(look.foreground), 1.0));
    painter.setBrush(qAlpha(fill) == 0 ? QBrush(Qt::NoBrush) : QBrush(QColor::fromRgba(fill)));
    painter.drawRect(box);
    const QFont sized = inWindowPixels(font);
    painter.setFont(sized);
    const QFontMetricsF metrics(sized);
    QPointF at(box.left() + padding, box.top() + padding + metrics.ascent());
    for (const LegendLine& line : lines) {
        painter.setPen(QColor::fromRgb(line.colour));
        painter.drawText(at, line.text);
        at.ry() += metrics.height();
    }
    painter.restore();
}
