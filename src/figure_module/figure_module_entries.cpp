// The module that holds what needs Qt SVG and Qt Print Support: the program loads it on
// first use, so a plain start does not load those libraries.
#include "figure/figure_module.h"

#include <QAction>
#include <QBoxLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSvgGenerator>
#include <QToolBar>

namespace {

bool paintSvg(QIODevice& device, QSize size, int resolution, const QString& title,
              const std::function<void(QPainter&)>& paint) {
    QSvgGenerator generator;
    generator.setOutputDevice(&device);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(resolution);
    generator.setTitle(title);
    QPainter painter(&generator);
    if (!painter.isActive())
        return false;
    paint(painter);
    return painter.end();
}

// The picture on the printer's page, in colour. False when the printer would not start.
bool paintPage(QPrinter& printer, const PagePainting& paint) {
    printer.setColorMode(QPrinter::Color);
    QPainter painter(&printer);
    if (!painter.isActive())
        return false;
    const QRectF page(QPointF(0, 0),
                      printer.pageLayout().paintRectPixels(printer.resolution()).size());
    paint(painter, page, printer.resolution());
    return painter.end();
}

void turnPage(QPrinter& printer, PageTurn turn) {
    printer.setPageOrientation(turn == PageTurn::Landscape ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
}

// A button that switches one choice of the set-up and shows the pages again.
void addSwitch(QToolBar& bar, QPrintPreviewWidget& preview, const QString& text, bool on,
               const std::function<void(bool)>& choose) {
    QAction* action = bar.addAction(text);
    action->setCheckable(true);
    action->setChecked(on);
    QObject::connect(action, &QAction::toggled, &preview, [&preview, choose](bool checked) {
        choose(checked);
        preview.updatePreview();
    });
}

// The figure's own choices, in a bar of their own under Qt's, which stays as it is.
void addFigureChoices(QPrintPreviewDialog& dialog, PrintSetUp& setUp) {
    auto* layout = qobject_cast<QBoxLayout*>(dialog.layout());
    auto* preview = dialog.findChild<QPrintPreviewWidget*>();
    if (!layout || !preview)
        return;
    auto* choices = new QToolBar(&dialog);
    choices->setAccessibleName(QStringLiteral("Opzioni della figura"));
    addSwitch(*choices, *preview, QStringLiteral("Sfondo della finestra"),
              setUp.background == FigureBackground::Window, [&setUp](bool on) {
                  setUp.background = on ? FigureBackground::Window : FigureBackground::White;
              });
    addSwitch(*choices, *preview, QStringLiteral("Legenda"), setUp.legend == FigureLegend::On,
              [&setUp](bool on) { setUp.legend = on ? FigureLegend::On : FigureLegend::Off; });
    layout->insertWidget(1, choices);
}

void showPrintPreview(QWidget* owner, const QString& title, const PagePainting& paint,
                      PrintSetUp& setUp) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setColorMode(QPrinter::Color);
    printer.setDocName(title);
    turnPage(printer, setUp.turn);
    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paintPage(*target, paint); });
    addFigureChoices(dialog, setUp);
    dialog.exec();
}

bool printToPdfFile(const QString& path, const QString& title, const PagePainting& paint,
                    const PrintSetUp& setUp) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    turnPage(printer, setUp.turn);
    return printer.isValid() && paintPage(printer, paint);
}

const FigureModuleEntries entries{figureModuleVersion, paintSvg, showPrintPreview, printToPdfFile};

} // namespace

extern "C" Q_DECL_EXPORT const FigureModuleEntries* zorpunFigureModuleEntries() {
    return &entries;
}
