#pragma once

#include "figure/figure_options.h"

#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <variant>

class QIODevice;
class QPainter;
class QWidget;

// Paints the picture on a printed page: the painter, the page's printable area in the
// painter's units, and those units per inch.
using PagePainting =
    std::function<void(QPainter& painter, const QRectF& page, double unitsPerInch)>;

enum class PageTurn { Portrait, Landscape };

// How a figure is printed: the page's way round, and what the preview's own buttons change,
// the background (white, to save ink, or the window's) and the legend.
struct PrintSetUp {
    PageTurn turn = PageTurn::Portrait;
    FigureBackground background = FigureBackground::White;
    FigureLegend legend = FigureLegend::Off;
};

// SVG files and printing need Qt SVG and Qt Print Support, which cost every start of the
// program a millisecond to load. They live in a module of their own, loaded on first use;
// these are its entries. Nothing here names a type of those two libraries.
struct FigureModuleEntries {
    int interfaceVersion = 0;
    // Paints an SVG of that size (its view box, in pixels at that resolution) into device.
    // False when the device could not take it all.
    bool (*paintSvg)(QIODevice& device, QSize size, int resolution, const QString& title,
                     const std::function<void(QPainter&)>& paint) = nullptr;
    // The print dialog with its preview over owner, its pages turned as setUp says; paint
    // draws each page, for the preview and for the print, and reads setUp, which the
    // preview's buttons for the background and the legend change.
    void (*showPrintPreview)(QWidget* owner, const QString& title, const PagePainting& paint,
                             PrintSetUp& setUp) = nullptr;
    // The same pages printed at once to a PDF file, without a dialog. False when the printer
    // could not start.
    bool (*printToPdfFile)(const QString& path, const QString& title, const PagePainting& paint,
                           const PrintSetUp& setUp) = nullptr;
};

// The interface the program and the module were built for: they must agree.
inline constexpr int figureModuleVersion = 2;
// The module's one exported function returns its entries.
inline constexpr char figureModuleEntryName[] = "zorpunFigureModuleEntries";
using FigureModuleEntryFunction = const FigureModuleEntries* (*)();

// The module's entries from the first of those files that loads, or the reason, in Italian,
// why none did. A module that loads stays loaded.
std::variant<const FigureModuleEntries*, QString> loadFigureModule(const QStringList& places);

// The program's module, loaded on the first call, or the reason why it could not be. The
// module is looked for next to the program, then in its installed place; the environment
// variable ZORPUN_FIGURES_MODULE names another file instead. The answer of the first call
// stands for the rest of the run.
std::variant<const FigureModuleEntries*, QString> figureModule();
