#pragma once

// How a figure file is made beyond its format: its size on paper, a PNG's pixels per inch,
// its background and a legend of its runs. The defaults give the files as they always were.
// No widgets.

#include "figure/figure_formats.h"
#include "figure/run_colours.h"

#include <QFont>
#include <QRgb>
#include <QSize>
#include <QString>
#include <optional>

struct FigureLook;

enum class LengthUnit { Centimetre, Inch };

// A figure's width on paper; its height keeps the window's proportions.
struct PhysicalWidth {
    double amount = 0.0;
    LengthUnit unit = LengthUnit::Centimetre;

    double inches() const { return unit == LengthUnit::Inch ? amount : amount / 2.54; }
    double millimetres() const { return inches() * 25.4; }
};

enum class FigureBackground { Window, White, Transparent };
enum class FigureLegend { Off, On };
// What a figure shows: the whole window, or what is drawn on it with a margin, zoomed to fill.
enum class FigureFit { Window, Drawing };

struct FigureOptions {
    std::optional<PhysicalWidth> width; // none: the window's own size
    std::optional<double> dpi;          // a PNG's pixels per inch
    FigureBackground background = FigureBackground::Window;
    FigureLegend legend = FigureLegend::Off;
    RunColours colours = RunColours::Original;
    FigureFit fit = FigureFit::Window;
    QFont legendFont;

    // Whether the file is made just as without options.
    bool plain() const {
        return !width && !dpi && background == FigureBackground::Window &&
               legend == FigureLegend::Off && colours == RunColours::Original &&
               fit == FigureFit::Window;
    }
};

// The most pixels a side of a PNG may have.
inline constexpr int largestPngSide = 20000;
// The widest figure and the most pixels per inch the save dialog offers.
inline constexpr double widestFigure = 1000; // in cm or inches
inline constexpr int mostPngDpi = 4800;

// "8cm", "8 cm", "3.5in": a width greater than 0; none for anything else.
std::optional<PhysicalWidth> physicalWidthIn(const QString& text);
// A number of pixels per inch greater than 0; none for anything else.
std::optional<double> dpiIn(const QString& text);

// A PNG's size in pixels and its pixels per inch: the width on paper (by default the window's
// on its screen) at the DPI (by default the window's DPI times the scale), or the window times
// the scale when neither is asked for.
QSize pngPixelSize(const FigureOptions& options, const FigureLook& look, int scale);
double pngDpi(const FigureOptions& options, const FigureLook& look, int scale);

// What is wrong with the options for that format, in Italian and naming the limit; none when
// the file can be made.
std::optional<QString> figureOptionsFault(const FigureOptions& options, const FigureLook& look,
                                          FigureFormat format, int scale);

// The look the drawing is made with under those options.
FigureLook lookWith(const FigureOptions& options, const FigureLook& look);
