#include "figure/figure_options.h"

#include "core/number_text.h"
#include "figure/figure_export.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

std::optional<double> positiveNumber(const QString& text) {
    const std::optional<double> value = parseNumber(text.trimmed(), QLocale::c());
    if (!value || !std::isfinite(*value) || !(*value > 0.0))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<PhysicalWidth> physicalWidthIn(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\s*(.*?)\\s*(cm|in)\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<double> amount = positiveNumber(match.captured(1));
    if (!amount)
        return std::nullopt;
    return PhysicalWidth{*amount, match.captured(2) == QLatin1String("in") ? LengthUnit::Inch
                                                                           : LengthUnit::Centimetre};
}

std::optional<double> dpiIn(const QString& text) {
    return positiveNumber(text);
}

double pngDpi(const FigureOptions& options, const FigureLook& look, int scale) {
    return options.dpi.value_or(look.logicalDpi.x() * scale);
}

namespace {

// Device pixels per window pixel of a PNG: the width on paper (by default the window's on its
// screen) at the DPI, or the scale when neither is asked for.
double pngRatio(const FigureOptions& options, const FigureLook& look, int scale) {
    if (!options.width && !options.dpi)
        return scale;
    const double windowWidth = std::max(1, look.logicalSize.width());
    const double inches =
        options.width ? options.width->inches() : windowWidth / look.logicalDpi.x();
    return inches * pngDpi(options, look, scale) / windowWidth;
}

} // namespace

QSize pngPixelSize(const FigureOptions& options, const FigureLook& look, int scale) {
    return (QSizeF(look.logicalSize) * pngRatio(options, look, scale)).toSize();
}

std::optional<QString> figureOptionsFault(const FigureOptions& options, const FigureLook& look,
                                          FigureFormat format, int scale) {
    if (options.width && !(options.width->amount > 0.0 && std::isfinite(options.width->amount)))
        return QStringLiteral("la larghezza deve essere un numero maggiore di 0");
    if (options.dpi && !(*options.dpi > 0.0 && std::isfinite(*options.dpi)))
        return QStringLiteral("i DPI devono essere un numero maggiore di 0");
    if (format != FigureFormat::Png)
        return std::nullopt;
    const QSizeF pixels = QSizeF(look.logicalSize) * pngRatio(options, look, scale);
    if (pixels.width() > largestPngSide || pixels.height() > largestPngSide)
        return QStringLiteral("il PNG sarebbe di %1×%2 pixel, oltre il limite di %3 pixel per lato")
            .arg(std::llround(pixels.width()))
            .arg(std::llround(pixels.height()))
            .arg(largestPngSide);
    if (pixels.width() < 1.0 || pixels.height() < 1.0)
        return QStringLiteral("il PNG sarebbe di meno di un pixel per lato");
    return std::nullopt;
}

FigureLook lookWith(const FigureOptions& options, const FigureLook& look) {
    FigureLook made = look;
    made.runColours = options.colours;
    if (options.background == FigureBackground::White)
        made.background = 0xffffffff;
    else if (options.background == FigureBackground::Transparent)
        made.background = qRgba(qRed(look.background), qGreen(look.background),
                                qBlue(look.background), 0);
    return made;
}
