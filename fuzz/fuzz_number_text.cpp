// libFuzzer target for the text-to-number conversion and the tagged arithmetic.
//
// The first byte chooses what the rest means: a text read under one of several locales
// (as UTF-8 or as raw UTF-16), or two tagged values and the operations between them.
// Every property that fails aborts, so libFuzzer keeps the input as a crash.

#include "core/number_text.h"
#include "core/tagged_value.h"

#include <QLocale>
#include <QString>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

void require(bool condition, const char* property, const QString& detail = QString()) {
    if (condition)
        return;
    std::fprintf(stderr, "property broken: %s %s\n", property, qPrintable(detail));
    std::abort();
}

// Separators, signs and digits of many kinds: Italian and C as the program meets them,
// and locales with non-ASCII separators, signs with direction marks and other scripts.
const std::array<QLocale, 12>& locales() {
    static const std::array<QLocale, 12> all{
        QLocale(QLocale::Italian, QLocale::Italy),
        QLocale::c(),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::German, QLocale::Switzerland),
        QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::Persian, QLocale::Iran),
        QLocale(QLocale::Swedish, QLocale::Sweden),
        QLocale(QLocale::Hindi, QLocale::India),
        QLocale(QLocale::Hebrew, QLocale::Israel),
        QLocale(QLocale::Russian, QLocale::Russia),
    };
    return all;
}

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t left() const { return size_ - at_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <typename T> T raw() {
        T value{};
        std::array<std::uint8_t, sizeof(T)> buffer{};
        for (auto& item : buffer)
            item = byte();
        std::memcpy(&value, buffer.data(), sizeof(T));
        return value;
    }
    QString utf8(std::size_t count) {
        count = std::min(count, left());
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char*>(data_ + at_), qsizetype(count));
        at_ += count;
        return text;
    }
    QString utf16(std::size_t count) {
        QString text;
        for (std::size_t index = 0; index < count / 2; ++index)
            text += QChar(raw<char16_t>());
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The largest double whose 15-digit rounding is still a double: beyond it the shown text
// rounds up past the double range (1.79769313486232E+308).
constexpr double largestShownExactly = 1.79769313486231e308;

void checkShownTextReadsBack(double number, const QLocale& locale) {
    if (std::fabs(number) > largestShownExactly)
        return;
    const QString shown = formatDouble(number, locale);
    const std::optional<double> again = parseNumber(shown, locale);
    require(again.has_value(), "a shown double reads back", shown);
    // Half a unit in the 15th digit, plus half a unit in the last place of the read double.
    const double allowed = 5.2e-15 * std::fabs(number) + std::numeric_limits<double>::denorm_min();
    require(std::fabs(*again - number) <= allowed, "read back within 15 digits", shown);
    // 15 digits survive text -> double -> text for every normal double.
    if (std::fabs(*again) >= DBL_MIN)
        require(formatDouble(*again, locale) == shown, "shown text is stable", shown);
    if (std::fabs(number) > FLT_MAX)
        return;
    const float single = static_cast<float>(number);
    const QString shownSingle = formatSingle(single, locale);
    const std::optional<double> singleAgain = parseNumber(shownSingle, locale);
    require(singleAgain.has_value(), "a shown single reads back", shownSingle);
    const double singleAllowed = 5.000001e-7 * std::fabs(double(single)) + 1.5e-45;
    require(std::fabs(*singleAgain - double(single)) <= singleAllowed,
            "single read back within 7 digits", shownSingle);
}

void fuzzText(std::uint8_t selector, Bytes& bytes) {
    const QLocale& locale = locales()[(selector >> 1) % locales().size()];
    const bool wide = (selector & 0x80) != 0;
    const QString text = wide ? bytes.utf16(bytes.left()) : bytes.utf8(bytes.left());
    const std::optional<double> number = parseNumber(text, locale);
    require(isNumeric(text, locale) == number.has_value(), "isNumeric agrees", text);
    if (!number)
        return;
    require(std::isfinite(*number), "an accepted text is finite", text);
    checkShownTextReadsBack(*number, locale);
}

TaggedValue taggedFrom(Bytes& bytes) {
    switch (bytes.byte() % 6) {
    case 0:
        return TaggedValue();
    case 1:
        return TaggedValue::fromInt16(bytes.raw<std::int16_t>());
    case 2:
        return TaggedValue::fromInt32(bytes.raw<std::int32_t>());
    case 3:
        return TaggedValue::fromSingle(bytes.raw<float>());
    case 4:
        return TaggedValue::fromDouble(bytes.raw<double>());
    default:
        return TaggedValue::fromText(bytes.utf8(bytes.byte() % 48));
    }
}

bool isInteger(const TaggedValue& value) {
    using Kind = TaggedValue::Kind;
    return value.kind() == Kind::Empty || value.kind() == Kind::Int16 ||
           value.kind() == Kind::Int32;
}

std::int64_t integerOf(const TaggedValue& value) {
    switch (value.kind()) {
    case TaggedValue::Kind::Int16:
        return value.int16();
    case TaggedValue::Kind::Int32:
        return value.int32();
    default:
        return 0;
    }
}

// An ok result is never NaN or infinite, whatever its case.
void checkFinite(const TaggedValue& value, const char* operation) {
    if (value.kind() == TaggedValue::Kind::Single)
        require(std::isfinite(value.single()), operation, value.toText());
    if (value.kind() == TaggedValue::Kind::Double)
        require(std::isfinite(value.real()), operation, value.toText());
}

// Integer sums, differences and products are exact, in the narrowest case that holds them.
void checkIntegerResult(const TaggedValue& result, std::int64_t exact, const char* operation) {
    using Kind = TaggedValue::Kind;
    const bool fits16 = exact >= -32768 && exact <= 32767;
    const bool fits32 = exact >= INT32_MIN && exact <= INT32_MAX;
    require(result.kind() != Kind::Int16 || fits16, operation, result.toText());
    require(result.kind() != Kind::Int32 || fits32, operation, result.toText());
    require(result.kind() == Kind::Double || result.kind() == Kind::Int16 ||
                result.kind() == Kind::Int32,
            operation, result.toText());
    require(result.toDouble().value() == static_cast<double>(exact), operation, result.toText());
}

void checkOperations(const TaggedValue& left, const TaggedValue& right) {
    const std::array<Outcome<TaggedValue>, 5> results{add(left, right), subtract(left, right),
                                                      multiply(left, right), divide(left, right),
                                                      absolute(left)};
    static const std::array<const char*, 5> names{"add", "subtract", "multiply", "divide",
                                                  "absolute"};
    for (std::size_t index = 0; index < results.size(); ++index)
        if (results[index])
            checkFinite(results[index].value(), names[index]);
    if (isInteger(left) && isInteger(right)) {
        const std::int64_t a = integerOf(left);
        const std::int64_t b = integerOf(right);
        checkIntegerResult(results[0].value(), a + b, "integer add");
        checkIntegerResult(results[1].value(), a - b, "integer subtract");
        checkIntegerResult(results[2].value(), a * b, "integer multiply");
        checkIntegerResult(results[4].value(), a < 0 ? -a : a, "integer absolute");
    }
}

void checkConversions(const TaggedValue& value, double literal) {
    const Outcome<double> number = value.toDouble();
    if (number)
        require(std::isfinite(number.value()), "toDouble is finite", value.toText());
    if (const Outcome<float> single = value.toSingle())
        require(std::isfinite(single.value()), "toSingle is finite", value.toText());
    if (const Outcome<std::int16_t> whole = value.toInt16(); whole && number)
        require(std::fabs(number.value() - whole.value()) <= 0.5, "toInt16 rounds to nearest",
                value.toText());
    if (const Outcome<int> order = compareNumber(value, literal)) {
        require(number.ok(), "a comparison needs a number", value.toText());
        const int expected = number.value() < literal ? -1 : (number.value() > literal ? 1 : 0);
        require(order.value() == expected, "compareNumber orders", value.toText());
    }
    // A number never equals the empty text.
    if (value.kind() != TaggedValue::Kind::Empty && value.kind() != TaggedValue::Kind::Text)
        require(!equalsText(value, QString()), "a number is not the empty text", value.toText());
    if (value.kind() == TaggedValue::Kind::Double && std::isfinite(value.real()))
        checkShownTextReadsBack(value.real(), QLocale());
}

void fuzzArithmetic(std::uint8_t selector, Bytes& bytes) {
    QLocale::setDefault(locales()[(selector >> 1) % locales().size()]);
    const TaggedValue left = taggedFrom(bytes);
    const TaggedValue right = taggedFrom(bytes);
    const double literal = bytes.raw<double>();
    checkOperations(left, right);
    checkConversions(left, literal);
    checkConversions(right, literal);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, size);
    const std::uint8_t selector = bytes.byte();
    if ((selector & 1) == 0)
        fuzzText(selector, bytes);
    else
        fuzzArithmetic(selector, bytes);
    return 0;
}
