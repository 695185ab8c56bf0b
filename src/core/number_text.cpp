#include "core/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

constexpr char16_t minusSign = u'\u2212';

bool isBlank(QChar character) {
    return character == u' ' || character == u'\t';
}

QStringView trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// Walks through the text a token at a time; the tokens read are kept as plain ASCII for
// from_chars.
class Reader {
public:
    explicit Reader(QStringView text) : rest_(text) {}

    bool atEnd() const { return rest_.isEmpty(); }

    bool take(QStringView token) {
        if (token.isEmpty() || !rest_.startsWith(token))
            return false;
        rest_ = rest_.sliced(token.size());
        return true;
    }

    // Only ASCII digits: other scripts' digits are not numbers to this program.
    qsizetype takeDigits(std::string& plain) {
        qsizetype count = 0;
        while (count < rest_.size() && rest_[count] >= u'0' && rest_[count] <= u'9') {
            plain += static_cast<char>(rest_[count].unicode());
            ++count;
        }
        rest_ = rest_.sliced(count);
        return count;
    }

private:
    QStringView rest_;
};

// An optional sign. The locale's own signs come first since some carry a direction mark
// in front of the ASCII one.
void takeSign(Reader& reader, const QLocale& locale, std::string& plain) {
    const QChar minus(minusSign);
    if (reader.take(locale.negativeSign()) || reader.take(u"-") ||
        reader.take(QStringView(&minus, 1)))
        plain += '-';
    else if (!reader.take(locale.positiveSign()))
        reader.take(u"+");
}

// The digits before the decimal separator. Group separators are allowed only where the
// locale itself would put them: 1 to 3 leading digits (not starting with 0), then groups
// of exactly 3.
std::optional<qsizetype> takeIntegerPart(Reader& reader, const QLocale& locale,
                                         std::string& plain) {
    const std::size_t start = plain.size();
    const qsizetype leading = reader.takeDigits(plain);
    const QString group = locale.groupSeparator();
    if (group == locale.decimalPoint())
        return leading;
    // No locale writes "0.100"; reading it as 100 would hide a mistyped decimal separator.
    const bool validLead = leading >= 1 && leading <= 3 && plain[start] != '0';
    qsizetype total = leading;
    while (reader.take(group)) {
        if (!validLead || reader.takeDigits(plain) != 3)
            return std::nullopt;
        total += 3;
    }
    return total;
}

// Decimal order of magnitude of a plain number text, the exponent saturated so that a
// very long one cannot overflow.
long orderOfMagnitude(const std::string& plain) {
    const std::size_t exponentAt = plain.find('e');
    const std::string mantissa = plain.substr(0, exponentAt);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    if (firstSignificant == std::string::npos)
        return 0;
    long order = static_cast<long>(point) - static_cast<long>(firstSignificant);
    if (firstSignificant < point)
        order -= 1;
    long exponent = 0;
    bool negative = false;
    for (std::size_t index = exponentAt == std::string::npos ? plain.size() : exponentAt + 1;
         index < plain.size(); ++index) {
        if (plain[index] == '-')
            negative = true;
        else if (exponent < 1'000'000)
            exponent = exponent * 10 + (plain[index] - '0');
    }
    return order + (negative ? -exponent : exponent);
}

std::optional<double> convertPlain(const std::string& plain) {
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc())
        return value;
    // libstdc++ from_chars refuses exactly when the nearest double is zero or infinite
    // (subnormals come back as values). A tiny number reads as zero, as strtod would;
    // a huge one has no finite value.
    if (error == std::errc::result_out_of_range && orderOfMagnitude(plain) < 0)
        return plain.front() == '-' ? -0.0 : 0.0;
    return std::nullopt;
}

} // namespace

std::optional<double> parseNumber(QStringView text, const QLocale& locale) {
    Reader reader(trimBlanks(text));
    std::string plain;
    takeSign(reader, locale, plain);
    const std::optional<qsizetype> integerDigits = takeIntegerPart(reader, locale, plain);
    if (!integerDigits)
        return std::nullopt;
    qsizetype fractionDigits = 0;
    if (reader.take(locale.decimalPoint())) {
        plain += '.';
        fractionDigits = reader.takeDigits(plain);
    }
    if (*integerDigits + fractionDigits == 0)
        return std::nullopt;
    if (reader.take(u"E") || reader.take(u"e")) {
        plain += 'e';
        takeSign(reader, locale, plain);
        if (reader.takeDigits(plain) == 0)
            return std::nullopt;
    }
    if (!reader.atEnd())
        return std::nullopt;
    return convertPlain(plain);
}

namespace {

// A finite non-zero number rounded to a count of significant digits: the digits without
// trailing zeros and the decimal exponent of the first one.
struct RoundedDigits {
    std::string digits;
    int exponent = 0;
};

template <typename Real> RoundedDigits roundToDigits(Real magnitude, int significantDigits) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                      std::chars_format::scientific, significantDigits - 1);
    const std::string text(buffer.data(), result.ptr);
    const std::size_t exponentAt = text.find('e');
    RoundedDigits rounded;
    for (std::size_t index = 0; index < exponentAt; ++index) {
        if (text[index] != '.')
            rounded.digits += text[index];
    }
    rounded.digits.erase(rounded.digits.find_last_not_of('0') + 1);
    rounded.exponent = std::stoi(text.substr(exponentAt + 1));
    return rounded;
}

QString exponentForm(const RoundedDigits& rounded, const QString& decimalPoint) {
    QString text = QString::fromLatin1(rounded.digits.substr(0, 1));
    if (rounded.digits.size() > 1)
        text += decimalPoint + QString::fromLatin1(rounded.digits.substr(1));
    const int exponent = std::abs(rounded.exponent);
    text += rounded.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    text += QStringLiteral("%1").arg(exponent, 2, 10, QChar(u'0'));
    return text;
}

QString plainForm(const RoundedDigits& rounded, const QString& decimalPoint) {
    const QString digits = QString::fromLatin1(rounded.digits);
    if (rounded.exponent < 0)
        return QStringLiteral("0") + decimalPoint + QString(-rounded.exponent - 1, u'0') + digits;
    const qsizetype integerLength = rounded.exponent + 1;
    if (digits.size() <= integerLength)
        return digits + QString(integerLength - digits.size(), u'0');
    return digits.first(integerLength) + decimalPoint + digits.sliced(integerLength);
}

template <typename Real>
QString formatReal(Real value, int significantDigits, const QLocale& locale) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0)
        return QStringLiteral("0"); // -0 too
    const RoundedDigits rounded = roundToDigits(std::fabs(value), significantDigits);
    // The switch to exponent form looks at the rounded value, so 999999999999999.9
    // shows as 1E+15 and not as a 16-digit integer.
    const bool exponent = rounded.exponent < -4 || rounded.exponent >= 15;
    const QString decimalPoint = locale.decimalPoint();
    const QString magnitude =
        exponent ? exponentForm(rounded, decimalPoint) : plainForm(rounded, decimalPoint);
    return value < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

} // namespace

QString formatDouble(double value, const QLocale& locale) {
    return formatReal(value, 15, locale);
}

QString formatSingle(float value, const QLocale& locale) {
    return formatReal(value, 7, locale);
}

QString shortestNumberText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', QLocale::FloatingPointShortest);
}
