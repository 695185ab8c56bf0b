// The module that holds what needs Qt SVG and Qt Print Support: the program loads it on
// first use, so a plain start does not load those libraries.
#include "figure/figure_module.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSvgGenerator>

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

void showPrintPreview(QWidget* owner, const QString& title, const PagePainting& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setColorMode(QPrinter::Color);
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paintPage(*target, paint); });
    dialog.exec();
}

bool printToPdfFile(const QString& path, const QString& title, const PagePainting& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return printer.isValid() && paintPage(printer, paint);
}

const FigureModuleEntries entries{figureModuleVersion, paintSvg, showPrintPreview, printToPdfFile};

} // namespace

extern "C" Q_DECL_EXPORT const FigureModuleEntries* zorpunFigureModuleEntries() {
    return &entries;
}
