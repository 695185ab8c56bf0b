#include "figure/save_memory.h"

#include <QFileInfo>
#include <QSettings>

namespace {

// The user's settings of the program, in an INI file of their own.
QSettings programSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("zorpun"),
                     QStringLiteral("zorpun"));
}

// An enum kept as its number, taken back only when it is one of the enum's first count values.
template <typename Enum> Enum enumFrom(const QVariant& value, Enum fallback, int count) {
    bool read = false;
    const int number = value.toInt(&read);
    return read && number >= 0 && number < count ? static_cast<Enum>(number) : fallback;
}

void readOptions(const QSettings& settings, FigureOptions& options) {
    // Only what the dialog could have chosen: a settings file may have been edited by hand.
    const double width = settings.value(QStringLiteral("width"), 0.0).toDouble();
    if (width > 0 && width <= widestFigure)
        options.width = PhysicalWidth{width, enumFrom(settings.value(QStringLiteral("widthUnit")),
                                                      LengthUnit::Centimetre, 2)};
    if (const double dpi = settings.value(QStringLiteral("dpi"), 0.0).toDouble();
        dpi > 0 && dpi <= mostPngDpi)
        options.dpi = dpi;
    options.background =
        enumFrom(settings.value(QStringLiteral("background")), FigureBackground::Window, 3);
    options.legend = enumFrom(settings.value(QStringLiteral("legend")), FigureLegend::Off, 2);
    options.colours = enumFrom(settings.value(QStringLiteral("colours")), RunColours::Original, 2);
    options.fit = enumFrom(settings.value(QStringLiteral("fit")), FigureFit::Window, 2);
}

} // namespace

void completePath(SaveChoice& choice) {
    if (QFileInfo(choice.path).suffix().isEmpty())
        choice.path += QLatin1Char('.') + suffixOf(choice.filterFormat);
}

int writtenScale(const SaveChoice& choice) {
    const bool png =
        choice.filterFormat == FigureFormat::Png && formatForFile(choice.path) == FigureFormat::Png;
    return png ? choice.scale : 1;
}

SaveChoice rememberedSaveChoice() {
    QSettings settings = programSettings();
    settings.beginGroup(QStringLiteral("salva-immagine"));
    SaveChoice choice{
        settings.value(QStringLiteral("path"), QStringLiteral("curve.png")).toString()};
    const QString filter = settings.value(QStringLiteral("filter")).toString();
    for (const FigureFormatRow& row : figureFormats()) {
        if (filter == QString::fromUtf8(row.filterText)) {
            choice.filterFormat = row.format;
            choice.scale = row.scale;
        }
    }
    readOptions(settings, choice.options);
    return choice;
}

void rememberSaveChoice(const SaveChoice& choice) {
    QSettings settings = programSettings();
    settings.beginGroup(QStringLiteral("salva-immagine"));
    settings.setValue(QStringLiteral("path"), choice.path);
    for (const FigureFormatRow& row : figureFormats())
        if (row.format == choice.filterFormat &&
            (row.format != FigureFormat::Png || row.scale == choice.scale))
            settings.setValue(QStringLiteral("filter"), QString::fromUtf8(row.filterText));
    const FigureOptions& options = choice.options;
    settings.setValue(QStringLiteral("width"), options.width ? options.width->amount : 0.0);
    settings.setValue(
        QStringLiteral("widthUnit"),
        static_cast<int>(options.width ? options.width->unit : LengthUnit::Centimetre));
    settings.setValue(QStringLiteral("dpi"), options.dpi.value_or(0.0));
    settings.setValue(QStringLiteral("background"), static_cast<int>(options.background));
    settings.setValue(QStringLiteral("legend"), static_cast<int>(options.legend));
    settings.setValue(QStringLiteral("colours"), static_cast<int>(options.colours));
    settings.setValue(QStringLiteral("fit"), static_cast<int>(options.fit));
}
