#include "figure/figure_formats.h"

#include <QFileInfo>
#include <QStringList>
#include <array>

namespace {

constexpr std::array<FigureFormatRow, 5> rows{{
    {FigureFormat::Png, "png", "Immagine PNG, come la finestra (*.png)", 1},
    {FigureFormat::Png, "png", "Immagine PNG, 2 volte la finestra (*.png)", 2},
    {FigureFormat::Png, "png", "Immagine PNG, 4 volte la finestra (*.png)", 4},
    {FigureFormat::Svg, "svg", "Disegno vettoriale SVG (*.svg)", 1},
    {FigureFormat::Pdf, "pdf", "Documento PDF (*.pdf)", 1},
}};

constexpr std::array<AnimationFormatRow, 2> animationRows{{
    {AnimationFormat::Gif, "gif", "Animazione GIF (*.gif)"},
    {AnimationFormat::PngSequence, "png", "Immagini PNG numerate (*.png)"},
}};

} // namespace

std::span<const FigureFormatRow> figureFormats() {
    return rows;
}

const FigureFormatRow& figureFormatFiltered(const QString& filterText) {
    for (const FigureFormatRow& row : rows)
        if (filterText == QString::fromUtf8(row.filterText))
            return row;
    return rows.front();
}

std::optional<FigureFormat> formatForFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const FigureFormatRow& row : rows)
        if (suffix == QLatin1String(row.suffix))
            return row.format;
    return std::nullopt;
}

QString suffixOf(FigureFormat format) {
    for (const FigureFormatRow& row : rows)
        if (row.format == format)
            return QString::fromLatin1(row.suffix);
    return QStringLiteral("png");
}

QString knownSuffixes() {
    QStringList suffixes;
    for (const FigureFormatRow& row : rows)
        if (!suffixes.contains(QLatin1Char('.') + QLatin1String(row.suffix)))
            suffixes << QLatin1Char('.') + QLatin1String(row.suffix);
    const QString last = suffixes.takeLast();
    return suffixes.join(QStringLiteral(", ")) + QStringLiteral(" o ") + last;
}

std::span<const AnimationFormatRow> animationFormats() {
    return animationRows;
}

std::optional<AnimationFormat> animationFormatForFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const AnimationFormatRow& row : animationRows)
        if (suffix == QLatin1String(row.suffix))
            return row.format;
    return std::nullopt;
}

QString knownAnimationSuffixes() {
    return QStringLiteral(".gif o .png");
}
