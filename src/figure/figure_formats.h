#pragma once

// The kinds of file a figure can be written to, in one table: the save dialog's filters, the
// plot menu and the command line read it. No widgets.

#include <QString>
#include <optional>
#include <span>

enum class FigureFormat { Png, Svg, Pdf };

// One way to save a figure: its format, the file suffix, the text of its filter in the save
// dialog and, for a PNG, how many times the window's size it is.
struct FigureFormatRow {
    FigureFormat format = FigureFormat::Png;
    const char* suffix = "png";
    const char* filterText = "";
    int scale = 1;
};

// In the save dialog's order; the first is the default.
std::span<const FigureFormatRow> figureFormats();
// The row of a save dialog's filter text; the first for one not in the table.
const FigureFormatRow& figureFormatFiltered(const QString& filterText);

// The format for a file name's extension (case ignored), or nothing for an unknown one.
std::optional<FigureFormat> formatForFile(const QString& path);
QString suffixOf(FigureFormat format);
// The suffixes for a message: ".png, .svg o .pdf".
QString knownSuffixes();

// An animation's frames go to an animated GIF, or to numbered PNG files (name_00001.png, …);
// a GIF is written only as an animation.
enum class AnimationFormat { Gif, PngSequence };

struct AnimationFormatRow {
    AnimationFormat format = AnimationFormat::Gif;
    const char* suffix = "gif";
    const char* filterText = "";
};

std::span<const AnimationFormatRow> animationFormats();
std::optional<AnimationFormat> animationFormatForFile(const QString& path);
// ".gif o .png", for a message.
QString knownAnimationSuffixes();
