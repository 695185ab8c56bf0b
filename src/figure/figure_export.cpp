#include "figure/figure_export.h"

#include "core/system_reason.h"
#include "core/worker.h"
#include "figure/figure_legend.h"
#include "figure/figure_module.h"
#include "figure/session_file.h"
#include "figure/vector_surface.h"
#include "figure/zoomed_view.h"
#include "surface/image_surface.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPalette>
#include <QPdfWriter>
#include <QPicture>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

namespace {

constexpr double svgUnitsPerInch = 96.0; // an SVG's pixel unit
constexpr int pdfUnitsPerInch = 1200;
constexpr double millimetresPerInch = 25.4;
constexpr int pngQuality = 80; // Qt's PNG writer makes this zlib level 1

QString cannotSave(const QString& path, const QString& reason) {
    return QStringLiteral("Impossibile salvare il file «%1»: %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

// Why a file could not be opened for writing. A save file refuses a folder or a write-protected
// file by name, in Qt's words; those cases are told in the program's own.
QString openFailure(const QString& path, const QString& systemError) {
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return cannotSave(path, QStringLiteral("la cartella non esiste"));
    if (!folder.isDir())
        return cannotSave(path, QStringLiteral("«%1» non è una cartella")
                                    .arg(QDir::toNativeSeparators(folder.filePath())));
    if (target.isDir())
        return cannotSave(path, QStringLiteral("è il nome di una cartella"));
    if (target.exists() && !target.isWritable())
        return cannotSave(path, QStringLiteral("il file esistente è protetto dalla scrittura"));
    return cannotSave(path, QStringLiteral("non si può scrivere nella cartella (%1)")
                                .arg(italianSystemReason(systemError)));
}

QString writeFailure(const QString& path, const QString& detail) {
    return cannotSave(
        path,
        QStringLiteral("la scrittura non è riuscita, forse il disco è pieno (%1)").arg(detail));
}

// Writes on while each write takes something: a write the disk cuts short reports no error,
// the next one fails and says why (a full disk, the file size limit).
bool writeAll(QSaveFile& file, const QByteArray& bytes) {
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

// What painting a file came to.
enum class Painted { Whole, Stopped, Failed };

// Passes the writes of a painter on to a file, in large pieces, and notes a piece the file
// took only in part: a write that the disk cuts short can look like a success to the file
// device, and the painter's own stream drops the rest without a word. The file is unbuffered,
// so the write after a short one fails and names the reason (a full disk, the size limit).
class CheckedWrites : public QIODevice {
public:
    explicit CheckedWrites(QSaveFile& file) : file_(file) { open(QIODevice::WriteOnly); }
    // Writes what is still waiting; false once any piece was cut short.
    bool finish() {
        cutShort_ = cutShort_ || !writeAll(file_, waiting_);
        waiting_.clear();
        return !cutShort_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        constexpr qsizetype piece = 1 << 16;
        waiting_.append(data, length);
        if (waiting_.size() >= piece && !finish())
            return -1;
        return length;
    }

private:
    QSaveFile& file_;
    QByteArray waiting_;
    bool cutShort_ = false;
};

// Writes the file as paint puts it into the device, the whole file or nothing: kept only when
// paint went to its end and the file took all it was given, which is counted as well.
std::optional<QString> saveAsPainted(const QString& path,
                                     const std::function<Painted(QIODevice&)>& paint,
                                     const QString& unpainted) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return openFailure(path, file.errorString());
    CheckedWrites device(file);
    const Painted painted = paint(device);
    const bool taken = device.finish();
    if (painted != Painted::Whole || !taken || file.size() != device.pos()) {
        const QString detail = italianSystemReason(file.errorString());
        file.cancelWriting();
        file.commit();
        if (painted == Painted::Stopped)
            return std::nullopt;
        return painted == Painted::Failed ? cannotSave(path, unpainted)
                                          : writeFailure(path, detail);
    }
    if (!file.commit())
        return writeFailure(path, italianSystemReason(file.errorString()));
    return std::nullopt;
}

} // namespace

QString saveFailureMessage(const QString& path, const QString& reason) {
    return cannotSave(path, reason);
}

QString openFailureMessage(const QString& path, const QString& systemError) {
    return openFailure(path, systemError);
}

QString writeFailureMessage(const QString& path, const QString& systemError) {
    return writeFailure(path, italianSystemReason(systemError));
}

std::optional<QString> writeBytesFile(const QByteArray& bytes, const QString& path) {
    return saveAsPainted(
        path,
        [&bytes](QIODevice& device) {
            device.write(bytes);
            return Painted::Whole;
        },
        QString());
}

namespace {

// The drawing has at most 18 colours (the palette, the axes, the background): as a picture of
// palette indices it is a quarter of the bytes to pack, and the file is smaller.
QImage withColourTable(const QImage& picture) {
    const QImage image = picture.convertToFormat(
        picture.format() == QImage::Format_ARGB32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QImage indexed(image.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    QHash<QRgb, uchar> indexOf;
    // The sizes are read once: QImage::width is a library call, once a pixel a quarter of a
    // 4x copy's time.
    const int width = image.width();
    const int height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        QRgb last = ~row[0];
        uchar lastIndex = 0;
        for (int x = 0; x < width;) {
            if (row[x] != last) {
                auto known = indexOf.constFind(row[x]);
                if (known == indexOf.constEnd()) {
                    if (table.size() == 256)
                        return image;
                    known = indexOf.insert(row[x], static_cast<uchar>(table.size()));
                    table << row[x];
                }
                last = row[x];
                lastIndex = *known;
            }
            // A stretch of one colour at a time: written byte by byte, the loop's values
            // lived in memory, since a byte store may alias them.
            int end = x + 1;
            while (end < width && row[end] == last)
                ++end;
            std::memset(out + x, lastIndex, static_cast<std::size_t>(end - x));
            x = end;
        }
    }
    indexed.setColorTable(table);
    indexed.setDotsPerMeterX(image.dotsPerMeterX());
    indexed.setDotsPerMeterY(image.dotsPerMeterY());
    return indexed;
}

} // namespace

QByteArray pngFileBytes(const QImage& image, const Recipe& recipe) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // zlib's fastest level: the picture is mostly one colour, and packs well even so.
    writer.setQuality(pngQuality);
    QImage indexed = withColourTable(image);
    if (!recipe.isEmpty())
        indexed.setText(recipeKey, QString::fromUtf8(recipe));
    writer.write(indexed);
    return buffer.data();
}

namespace {

// Passes an SVG on as it is written, with the recipe's metadata just inside its root element
// and, when a size on paper is asked for, that size on the root element.
class WithMetadata : public QIODevice {
public:
    WithMetadata(QIODevice& target, const Recipe& recipe, std::optional<QSizeF> millimetres)
        : target_(target),
          metadata_(recipe.isEmpty() ? QByteArray()
                                     : "<metadata>" + recipeMetadataXml(recipe) + "</metadata>\n"),
          millimetres_(millimetres) {
        open(QIODevice::WriteOnly);
    }
    // Whatever was held back, for a root element never seen.
    void finish() {
        if (!head_.isEmpty())
            target_.write(std::exchange(head_, {}));
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        if (inserted_)
            return target_.write(data, length) == length ? length : -1;
        head_.append(data, length);
        const qsizetype root = head_.indexOf("<svg");
        const qsizetype end = root < 0 ? -1 : head_.indexOf('>', root);
        if (end >= 0) {
            if (!metadata_.isEmpty())
                head_.insert(end + 1, "\n" + metadata_);
            if (millimetres_)
                head_.replace(root, end - root, sized(head_.mid(root, end - root)));
            inserted_ = true;
            if (target_.write(std::exchange(head_, {})) < 0)
                return -1;
        }
        return length;
    }

private:
    // The root element with its width and height in millimetres.
    QByteArray sized(const QByteArray& element) const {
        QString text = QString::fromUtf8(element);
        for (const auto& [name, amount] :
             {std::pair{QStringLiteral("width"), millimetres_->width()},
              std::pair{QStringLiteral("height"), millimetres_->height()}})
            text.replace(QRegularExpression(QStringLiteral("\\b%1=\"[^\"]*\"").arg(name)),
                         QStringLiteral("%1=\"%2mm\"").arg(name, QString::number(amount, 'g', 10)));
        return text.toUtf8();
    }

    QIODevice& target_;
    QByteArray metadata_;
    std::optional<QSizeF> millimetres_;
    QByteArray head_;
    bool inserted_ = false;
};

// The figure's size on paper under the options, in millimetres: the window's on its screen
// unless a width is asked for.
QSizeF paperSize(const FigureLook& look, const FigureOptions& options) {
    const QSizeF window(look.logicalSize.width() / look.logicalDpi.x() * millimetresPerInch,
                        look.logicalSize.height() / look.logicalDpi.y() * millimetresPerInch);
    if (!options.width || window.isEmpty())
        return window;
    return window * (options.width->millimetres() / window.width());
}

constexpr double fitMargin = 10.0;  // window pixels around what is drawn
constexpr double vectorZoom = 50.0; // the most a vector figure is zoomed to fit

// The figure at the window's own size, its background opaque.
QImage windowPicture(const PlotJournal& journal, FigureLook look) {
    look.background |= 0xff000000u;
    return renderFigureImage(journal, look, 1.0).convertToFormat(QImage::Format_RGB32);
}

// The pixels of the window the runs drew on, leaving out what the set-ups drew (the axes).
QRect drawnByRuns(const PlotJournal& journal, const FigureLook& look) {
    PlotJournal setUps;
    for (const PlotJournal::Entry& entry : journal.entries())
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry))
            setUps.recordSetUp(setUp->Incr);
    const QImage picture = windowPicture(journal, look);
    const QImage axes = windowPicture(setUps, look);
    QRect drawn;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != axes.pixel(x, y))
                drawn |= QRect(x, y, 1, 1);
    return drawn;
}

// The part of the window a figure shows, in window pixels: the whole window, or what the runs
// drew with a margin, widened to the window's proportions and kept inside it, zoomed at most so.
QRectF shownPart(const PlotJournal& journal, const FigureLook& look, FigureFit fit,
                 double mostZoom = vectorZoom) {
    const QRectF window(QPointF(0, 0), QSizeF(look.logicalSize));
    if (fit == FigureFit::Window || window.isEmpty())
        return window;
    const QRect drawn = drawnByRuns(journal, look);
    if (drawn.isEmpty())
        return window;
    QRectF part = QRectF(drawn).adjusted(-fitMargin, -fitMargin, fitMargin, fitMargin);
    QSizeF size = window.size().scaled(part.size(), Qt::KeepAspectRatioByExpanding);
    if (size.width() * mostZoom < window.width())
        size = window.size() / mostZoom;
    if (size.width() >= window.width() || size.height() >= window.height())
        return window;
    part = QRectF(part.center() - QPointF(size.width(), size.height()) / 2, size);
    part.moveLeft(std::clamp(part.left(), 0.0, window.width() - size.width()));
    part.moveTop(std::clamp(part.top(), 0.0, window.height() - size.height()));
    return part;
}

// Where the whole window is painted so that its part fills area.
QRectF zoomedTarget(const QRectF& area, const QRectF& part, const FigureLook& look) {
    const double zoom = area.width() / part.width();
    return {area.left() - part.left() * zoom, area.top() - part.top() * zoom,
            look.logicalSize.width() * zoom, look.logicalSize.height() * zoom};
}

// The legend over a figure painted into target, when the options ask for one; its corner is
// the clearest of the part of the window the figure shows.
void paintLegendOf(const PlotJournal& journal, const FigureLook& look, const FigureOptions& options,
                   QPainter& painter, const QRectF& target, const QRectF& part) {
    if (options.legend == FigureLegend::Off)
        return;
    const std::vector<LegendLine> lines = legendLines(journal, look.runColours);
    QImage drawing = windowPicture(journal, look);
    if (part != QRectF(drawing.rect()))
        drawing = drawing.copy(part.toAlignedRect()).scaled(drawing.size());
    const QRectF box = legendBox(lines, options.legendFont, drawing, look.background | 0xff000000u);
    paintLegend(painter, target, look, lines, options.legendFont, box, look.background);
}

Painted paintSvg(const FigureModuleEntries& module, const PlotJournal& journal,
                 const FigureLook& look, QIODevice& target, ProgressReport* progress,
                 const Recipe& recipe, const FigureOptions& options) {
    std::optional<WithMetadata> withRecipe;
    if (!recipe.isEmpty() || options.width)
        withRecipe.emplace(target, recipe,
                           options.width ? std::optional(paperSize(look, options)) : std::nullopt);
    QIODevice& device = withRecipe ? static_cast<QIODevice&>(*withRecipe) : target;
    Replay replay = Replay::Whole;
    const QRectF area(QPointF(0, 0), QSizeF(look.logicalSize));
    const QRectF part = shownPart(journal, look, options.fit);
    const bool painted =
        module.paintSvg(device, look.logicalSize, static_cast<int>(svgUnitsPerInch),
                        QStringLiteral("CURVE ZOR-PUN"), [&](QPainter& painter) {
                            replay =
                                paintFigure(journal, look, painter, zoomedTarget(area, part, look),
                                            svgUnitsPerInch, progress);
                            if (replay == Replay::Whole)
                                paintLegendOf(journal, look, options, painter, area, part);
                        });
    if (withRecipe)
        withRecipe->finish();
    if (replay == Replay::Stopped)
        return Painted::Stopped;
    return painted ? Painted::Whole : Painted::Failed;
}

// An XMP packet with the recipe.
QByteArray xmpWith(const Recipe& recipe) {
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "<rdf:Description rdf:about=\"\">\n" +
           recipeMetadataXml(recipe) +
           "\n</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

Painted paintPdf(const PlotJournal& journal, const FigureLook& look, QIODevice& device,
                 ProgressReport* progress, const Recipe& recipe, const FigureOptions& options) {
    QPdfWriter writer(&device);
    writer.setTitle(QStringLiteral("CURVE ZOR-PUN"));
    writer.setCreator(QStringLiteral("CURVE ZOR-PUN 1.00"));
    if (!recipe.isEmpty())
        writer.setDocumentXmpMetadata(xmpWith(recipe));
    writer.setResolution(pdfUnitsPerInch);
    // One page the size of the window on its screen, or of the width asked for.
    writer.setPageLayout(QPageLayout(QPageSize(paperSize(look, options), QPageSize::Millimeter),
                                     QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    const QRectF page(0, 0, writer.width(), writer.height());
    const QRectF area = fittedFigure(look, page);
    const QRectF part = shownPart(journal, look, options.fit);
    const Replay replay = paintFigure(journal, look, painter, zoomedTarget(area, part, look),
                                      pdfUnitsPerInch, progress);
    if (replay == Replay::Whole)
        paintLegendOf(journal, look, options, painter, area, part);
    painter.end();
    return replay == Replay::Stopped ? Painted::Stopped : Painted::Whole;
}

// The window's size in units of a PDF of it.
QSizeF recordedSize(const FigureLook& look) {
    return {look.logicalSize.width() / look.logicalDpi.x() * pdfUnitsPerInch,
            look.logicalSize.height() / look.logicalDpi.y() * pdfUnitsPerInch};
}

} // namespace

namespace {

// The journal replayed onto a surface in the look's run colours, through its view.
Replay replayInColours(const PlotJournal& journal, const FigureLook& look, DrawingSurface& surface,
                       ProgressReport* progress, PlotVariables* variables = nullptr) {
    if (look.view) {
        ZoomedSurface zoomed(surface, *look.view, QSizeF(look.logicalSize));
        FigureLook seen = look;
        seen.view.reset();
        return replayInColours(journal, seen, zoomed, progress, variables);
    }
    if (look.runColours == RunColours::Original)
        return replayJournal(journal, surface, progress, variables);
    Recolouring recolouring(surface);
    return replayJournal(journal, recolouring, progress, variables,
                         [&recolouring](const PlotRun* run) { recolouring.beginRun(run); });
}

} // namespace

QImage renderFigureImage(const PlotJournal& journal, const FigureLook& look, double ratio,
                         ProgressReport* progress, PlotVariables* variables) {
    ImageSurface surface;
    surface.setColours(look.foreground, look.background);
    surface.setArea(look.logicalSize, ratio, look.logicalDpi);
    if (replayInColours(journal, look, surface, progress, variables) == Replay::Stopped)
        return {};
    // A fresh buffer is the area itself: handing it on spares a copy of a large picture.
    surface.flush();
    const QSize visible = (QSizeF(look.logicalSize) * ratio).toSize();
    if (surface.buffer().size() == visible)
        return surface.buffer();
    return surface.snapshot();
}

QRectF fittedFigure(const FigureLook& look, const QRectF& area) {
    QSizeF size = QSizeF(look.logicalSize).scaled(area.size(), Qt::KeepAspectRatio);
    return {area.left() + (area.width() - size.width()) / 2,
            area.top() + (area.height() - size.height()) / 2, size.width(), size.height()};
}

Replay paintFigure(const PlotJournal& journal, const FigureLook& look, QPainter& painter,
                   const QRectF& target, double unitsPerInch, ProgressReport* progress) {
    VectorSurface surface(painter, target,
                          {look.logicalSize, look.logicalDpi.x(), look.foreground, look.background},
                          unitsPerInch);
    return replayInColours(journal, look, surface, progress);
}

// Recorded at the resolution of a PDF of the window's size; a page scales it.
std::optional<QPicture> recordFigure(const PlotJournal& journal, const FigureLook& look,
                                     ProgressReport* progress) {
    QPicture picture;
    QPainter painter(&picture);
    const Replay replay =
        paintFigure(journal, look, painter, QRectF(QPointF(0, 0), recordedSize(look)),
                    pdfUnitsPerInch, progress);
    painter.end();
    if (replay == Replay::Stopped)
        return std::nullopt;
    return picture;
}

void paintRecordedFigure(const QPicture& picture, const FigureLook& look, QPainter& painter,
                         const QRectF& target) {
    const QSizeF recorded = recordedSize(look);
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / recorded.width(), target.height() / recorded.height());
    painter.drawPicture(QPointF(0, 0), picture);
    painter.restore();
}

void paintFigurePage(const PlotJournal& journal, const FigureLook& look,
                     const FigureOptions& options, const QPicture* recorded, QPainter& painter,
                     const QRectF& target, double unitsPerInch) {
    const FigureLook shown = lookWith(options, look);
    if (qAlpha(shown.background) != 0)
        painter.fillRect(target, QColor::fromRgb(shown.background));
    if (recorded)
        paintRecordedFigure(*recorded, look, painter, target);
    else
        paintFigure(journal, withClearBackground(shown), painter, target, unitsPerInch);
    paintLegendOf(journal, shown, options, painter, target,
                  QRectF(QPointF(0, 0), QSizeF(look.logicalSize)));
}

std::optional<QString> writeImageFile(const QImage& image, const QString& path,
                                      const Recipe& recipe) {
    const QByteArray bytes = pngFileBytes(image, recipe);
    if (bytes.isEmpty())
        return cannotSave(path, QStringLiteral("l'immagine non si può codificare in PNG"));
    return writeBytesFile(bytes, path);
}

std::optional<QString> writeSvgFile(const PlotJournal& journal, const FigureLook& look,
                                    const QString& path, ProgressReport* progress,
                                    const Recipe& recipe, const FigureOptions& options) {
    const auto module = figureModule();
    if (const QString* failure = std::get_if<QString>(&module))
        return cannotSave(path, *failure);
    const FigureModuleEntries& entries = *std::get<const FigureModuleEntries*>(module);
    return saveAsPainted(
        path,
        [&](QIODevice& device) {
            return paintSvg(entries, journal, look, device, progress, recipe, options);
        },
        QStringLiteral("il disegno SVG non si è potuto comporre"));
}

std::optional<QString> writePdfFile(const PlotJournal& journal, const FigureLook& look,
                                    const QString& path, ProgressReport* progress,
                                    const Recipe& recipe, const FigureOptions& options) {
    return saveAsPainted(
        path,
        [&](QIODevice& device) {
            return paintPdf(journal, look, device, progress, recipe, options);
        },
        QStringLiteral("il disegno PDF non si è potuto comporre"));
}

void runCopy(const PlotJournal& journal, ProgressReport* progress,
             const std::function<void(ProgressReport*)>& task) {
    const bool longCopy = double(passesToReplay(journal)) >= passesForWorker;
    if (!progress || !longCopy || progress->caller() != ProgressReport::Caller::AnyThread) {
        task(progress);
        return;
    }
    runOnWorker(*progress, [&task](ProgressReport& reports) { task(&reports); });
}

namespace {

// A PNG under the options: its size, its pixels per inch, its background and its legend. A
// null image when stopped.
QImage optionedImage(const PlotJournal& journal, const FigureLook& look, int scale,
                     ProgressReport* progress, const FigureOptions& options) {
    const QSize pixels = pngPixelSize(options, look, scale);
    FigureLook drawn = lookWith(options, look);
    drawn.background |= 0xff000000u; // a transparent one is cleared below
    // The whole window is drawn at the zoomed size, within a PNG's largest.
    const double mostZoom =
        largestPngSide / std::max({1.0, double(pixels.width()), double(pixels.height())});
    const QRectF part = shownPart(journal, drawn, options.fit, mostZoom);
    const double ratio = double(pixels.width()) / std::max(1.0, part.width());
    QImage image = renderFigureImage(journal, drawn, ratio, progress);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(1.0);
    if (options.fit == FigureFit::Drawing)
        image = image.copy(QRect((part.topLeft() * ratio).toPoint(), pixels));
    if (options.background == FigureBackground::Transparent) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb background = drawn.background;
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::replace(row, row + image.width(), background, QRgb(0));
        }
    }
    if (options.legend == FigureLegend::On) {
        QPainter painter(&image);
        paintLegendOf(journal, lookWith(options, look), options, painter,
                      QRectF(QPointF(0, 0), QSizeF(image.size())), part);
    }
    const int dotsPerMetre = qRound(pngDpi(options, look, scale) / 0.0254);
    if (options.dpi || options.width) {
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
    }
    return image;
}

} // namespace

std::optional<QString> writeFigureFile(const PlotJournal& journal, const FigureLook& look,
                                       const QString& path, int scale, const QImage* screenImage,
                                       ProgressReport* progress, const Recipe& recipe,
                                       const FigureOptions& options) {
    const std::optional<FigureFormat> format = formatForFile(path);
    if (!format)
        return cannotSave(path, QStringLiteral("il nome non finisce in %1").arg(knownSuffixes()));
    if (const std::optional<QString> fault = figureOptionsFault(options, look, *format, scale))
        return cannotSave(path, *fault);
    if (*format == FigureFormat::Png && scale == 1 && screenImage && options.plain())
        return writeImageFile(*screenImage, path, recipe);
    const FigureLook vectorLook = lookWith(options, look);
    std::optional<QString> failure;
    runCopy(journal, progress, [&](ProgressReport* reports) {
        switch (*format) {
        case FigureFormat::Png:
            if (const QImage image = optionedImage(journal, look, scale, reports, options);
                !image.isNull())
                failure = writeImageFile(image, path, recipe);
            break;
        case FigureFormat::Svg:
            failure = writeSvgFile(journal, vectorLook, path, reports, recipe, options);
            break;
        case FigureFormat::Pdf:
            failure = writePdfFile(journal, vectorLook, path, reports, recipe, options);
            break;
        }
    });
    return failure;
}
