#pragma once

#include "core/drawing_surface.h"
#include "core/raster.h"

#include <QRectF>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

// A drawing surface onto a QPainter, for the vector and print copies of the plot window's
// drawing (QSvgGenerator, QPdfWriter, QPrinter). The picture fills a target rectangle that
// has the window's proportions; a pixel of the window becomes target width / window width
// painter units, so dots and lines keep their sizes relative to the picture.
//
// A long run sets millions of dots, nearly all on the spot of a dot a few passes before.
// Dots are placed on a grid of 600 per inch of the painter's device and wait in a short
// queue; a dot that lands on the spot of a waiting one of the same colour and width takes
// its place at the end, since it covers all of it. Dots leave the queue in batches of one
// colour, as long as no dot of a later batch lies under them. So a spot is written once per
// visit and the file opens at once in other programs.
//
// The linking lines of a block repeat as well, each a little off the one before. A line that
// lands where the latest line is drawn, on the same pixels of the window (as the screen keys a
// line, which drops it just so) or with its ends on the same grid places, is that line again:
// drawn there too, it covers the latest one wholly and takes its place. The latest line waits,
// the dots before it in the queue beneath it and those after it above, until a line lands
// elsewhere or a dot after it must leave the queue. Lines drawn by themselves (the axes) are
// few and are written at once.
class VectorSurface : public DrawingSurface {
public:
    struct Look {
        QSize windowSize;             // the window's client area, logical pixels
        double windowDpi = 96.0;      // its logical DPI, for the centimetre scale
        QRgb foreground = 0xff000000; // lines without a colour
        QRgb background = 0xffffffff; // what Cls leaves; nothing when fully transparent
    };

    // unitsPerInch: the painter's units per inch on its device.
    VectorSurface(QPainter& painter, const QRectF& target, const Look& look, double unitsPerInch);
    // Writes what still waits.
    ~VectorSurface() override;
    VectorSurface(const VectorSurface&) = delete;
    VectorSurface& operator=(const VectorSurface&) = delete;

    void PSet(float x, float y, QRgb colour) override;
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override;
    void Cls() override;
    // The dots as one by one, without a call per dot; the lines as described above, each
    // filled as the rectangle its pen covers, so that it needs no pen of its own.
    void drawBlock(const DotBlock& block) override;

    // Everything waiting goes to the painter.
    void flush();
    std::int64_t dotsWritten() const { return dotsWritten_; }
    std::int64_t dotsLeftOut() const { return dotsLeftOut_; }
    std::int64_t linesWritten() const { return linesWritten_; }

private:
    struct Dot {
        std::int64_t column = 0; // on the grid
        std::int64_t row = 0;
        int width = 0;
        QRgb colour = 0;
        QRectF box;

        bool sameAs(const Dot& other) const {
            return column == other.column && row == other.row && width == other.width &&
                   colour == other.colour;
        }
    };
    using GridEnds = std::array<std::int64_t, 4>;
    // The latest line of the blocks, drawn where the first line of its place lay: that one's
    // anchors on the window's pixels, its ends on the grid and its ends.
    struct LinkingLine {
        raster::LineKey pixels;
        GridEnds ends{};
        QPointF from;
        QPointF to;
        QRgb colour = 0;
    };
    // Dots of one colour and width, to be written together.
    struct Batch {
        QRgb colour = 0;
        int width = 0;
        std::vector<QRectF> boxes;
        QRectF bounds;
    };

    void fillBackground();
    QPointF toPainter(float x, float y) const;
    // A dot of the current pen at a painter position.
    void placeDot(double x, double y, QRgb colour);
    // The same at a place on the grid, rounded already.
    void placeSpot(double column, double row, QRgb colour);
    void toBatches(const Dot& dot);
    bool liesUnderLaterBatch(const QRectF& box, std::size_t batch) const;
    void writeBatches();
    QPointF windowPixelUnits() const;
    std::optional<GridEnds> gridEndsOf(const QPointF& from, const QPointF& to) const;
    void blockLine(const DotBlock::Line& line, const QPointF& windowUnits);
    void lineAgain(QRgb colour);
    void writeWaitingLine();
    void fillLine(const QPointF& from, const QPointF& to, QRgb colour);

    QPainter& painter_;
    QRectF target_;
    Look look_;
    double pixel_ = 1.0; // painter units per window pixel
    double spot_ = 1.0;  // painter units per grid step
    std::vector<Dot> queue_;
    // A block's grid places, worked out before its dots are placed.
    std::array<double, DotBlock::capacity> blockColumns_;
    std::array<double, DotBlock::capacity> blockRows_;
    std::vector<Batch> batches_;
    std::optional<QRgb> brushColour_; // as the batches or a line last set it
    std::optional<QRgb> lineBrush_;   // when a line was the last thing drawn
    std::optional<LinkingLine> linkingLine_;
    // Whether the latest line waits; while it does, the first dotsBeforeLine_ dots of the
    // queue came before it.
    enum class LineWaits { No, Yes };
    LineWaits lineWaits_ = LineWaits::No;
    std::size_t dotsBeforeLine_ = 0;
    std::int64_t dotsWritten_ = 0;
    std::int64_t dotsLeftOut_ = 0;
    std::int64_t linesWritten_ = 0;
};
