#pragma once

#include "figure/figure_formats.h"
#include "figure/figure_options.h"
#include "figure/lens_view.h"
#include "figure/replay.h"
#include "figure/run_colours.h"

#include <QImage>
#include <QPicture>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

class QPainter;

// The plot window's drawing area as a copy must reproduce it.
struct FigureLook {
    QSize logicalSize;          // the client area, logical pixels
    QPointF logicalDpi{96, 96}; // for the centimetre scale
    QRgb foreground = 0xff000000;
    QRgb background = 0xffffffff;
    RunColours runColours = RunColours::Original; // the screen's, or a hue a run
    std::optional<LensView> view = std::nullopt;   // none: the whole area
};

// The copies below replay the journal; a progress, when given, hears of the passes and may
// stop the replay, and a copy stopped so is left unmade.

// The journal drawn afresh into an image of the client area at that many device pixels per
// logical pixel; at the screen's own ratio it is the screen's buffer, pixel for pixel. A null
// image when stopped.
// The plot variables, when given, are left as the plot window's would be after the same steps.
QImage renderFigureImage(const PlotJournal& journal, const FigureLook& look, double ratio,
                         ProgressReport* progress = nullptr, PlotVariables* variables = nullptr);

// The journal drawn as vectors into target, which has the client area's proportions.
// unitsPerInch: the painter's units per inch on its device.
Replay paintFigure(const PlotJournal& journal, const FigureLook& look, QPainter& painter,
                   const QRectF& target, double unitsPerInch, ProgressReport* progress = nullptr);

// The journal drawn as vectors once, to be painted on a page later in a moment (a print
// preview paints its pages again and again); none when stopped.
std::optional<QPicture> recordFigure(const PlotJournal& journal, const FigureLook& look,
                                     ProgressReport* progress = nullptr);
// A recorded figure painted into target, which has the client area's proportions.
void paintRecordedFigure(const QPicture& picture, const FigureLook& look, QPainter& painter,
                         const QRectF& target);

// The largest rectangle of the look's proportions centred in an area.
QRectF fittedFigure(const FigureLook& look, const QRectF& area);

// The look with a background that leaves the page clear, to draw over a background of one's
// own choosing.
inline FigureLook withClearBackground(FigureLook look) {
    look.background &= 0x00ffffffu;
    return look;
}
// The figure on a printed page, in target: the background the options ask for (left clear when
// transparent), the drawing over it (recorded, with a clear background, or drawn now), and
// the legend when asked for.
void paintFigurePage(const PlotJournal& journal, const FigureLook& look,
                     const FigureOptions& options, const QPicture* recorded, QPainter& painter,
                     const QRectF& target, double unitsPerInch);

// A figure's recipe: the session that drew it, as a session file holds it. Each file below
// carries it when one is given: a PNG as a text chunk, an SVG in its metadata, a PDF in its
// XMP metadata.
using Recipe = QByteArray;

// Each writes through a QSaveFile, SVG and PDF as they are painted: a file that cannot be
// written completely, or whose replay was stopped, is not written at all, and an earlier file
// of that name stays as it was. Each returns the reason, in Italian and naming the file, when
// it could not write; a stop is no failure.
std::optional<QString> writeBytesFile(const QByteArray& bytes, const QString& path);
std::optional<QString> writeImageFile(const QImage& image, const QString& path,
                                      const Recipe& recipe = {});
std::optional<QString> writeSvgFile(const PlotJournal& journal, const FigureLook& look,
                                    const QString& path, ProgressReport* progress = nullptr,
                                    const Recipe& recipe = {}, const FigureOptions& options = {});
std::optional<QString> writePdfFile(const PlotJournal& journal, const FigureLook& look,
                                    const QString& path, ProgressReport* progress = nullptr,
                                    const Recipe& recipe = {}, const FigureOptions& options = {});

// The messages of a file that could not be saved, in Italian and naming it: for a reason of
// the program's own, for a file or folder that would not open (the system's error as Qt
// gave it), and for a write that did not go through.
QString saveFailureMessage(const QString& path, const QString& reason);
QString openFailureMessage(const QString& path, const QString& systemError);
QString writeFailureMessage(const QString& path, const QString& systemError);

// A PNG file's bytes, packed with a colour table, carrying the recipe when one is given.
QByteArray pngFileBytes(const QImage& image, const Recipe& recipe = {});

// A figure of the journal in the format of the file's extension: a PNG at scale times the
// client area (1 takes screenImage as it is, when given), an SVG or a PDF; the options may ask
// for another size, background or a legend, and options past their limits are refused with
// nothing written. A long replay goes to a worker thread when the progress may be called from
// there, as a long run does.
std::optional<QString>
writeFigureFile(const PlotJournal& journal, const FigureLook& look, const QString& path, int scale,
                const QImage* screenImage = nullptr, ProgressReport* progress = nullptr,
                const Recipe& recipe = {}, const FigureOptions& options = {});

// Runs a copy's task with its progress, on a worker thread when the journal is long enough
// and the progress may be called from there, here otherwise.
void runCopy(const PlotJournal& journal, ProgressReport* progress,
             const std::function<void(ProgressReport*)>& task);
