#pragma once

// The tagged number value of the window variables and its arithmetic. Draws nothing and
// knows no window; texts are read through the number text rules.

#include <QString>
#include <cstdint>
#include <utility>
#include <variant>

// Why an operation on tagged values has no defined result.
enum class TaggedFailure {
    NotANumber,       // a text without numeric value used as a number
    IntegerOverflow,  // a value outside -32768 ... 32767 converted to 16 bits
    FloatOverflow,    // a result too large for its floating-point case
    DivisionByZero,   // a finite value divided by zero
    InvalidOperation, // 0 / 0 and the like
};

// A value or the typed reason why there is none.
template <typename T> class [[nodiscard]] Outcome {
public:
    Outcome(T value) : state_(std::move(value)) {}
    Outcome(TaggedFailure failure) : state_(failure) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }
    // Only on ok().
    const T& value() const { return std::get<T>(state_); }
    // Only on !ok().
    TaggedFailure failure() const { return std::get<TaggedFailure>(state_); }
    // The value, or the fallback when there is none.
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, TaggedFailure> state_;
};

// The number value of the window variables: empty, a 16-bit integer, a 32-bit integer
// (only as the widened result of 16-bit arithmetic), a single, a double or a text.
// Text conversions use the user's locale (QLocale()).
class TaggedValue {
public:
    enum class Kind { Empty, Int16, Int32, Single, Double, Text };

    TaggedValue() = default;
    static TaggedValue fromInt16(std::int16_t value);
    static TaggedValue fromInt32(std::int32_t value);
    static TaggedValue fromSingle(float value);
    static TaggedValue fromDouble(double value);
    static TaggedValue fromText(QString value);

    Kind kind() const;
    bool isEmpty() const { return kind() == Kind::Empty; }

    // The stored payload; each only for its own kind.
    std::int16_t int16() const;
    std::int32_t int32() const;
    float single() const;
    double real() const;
    const QString& text() const;

    // Numeric value: empty is 0, a text is read in the user's locale.
    Outcome<double> toDouble() const;
    // Rounded to nearest, single precision.
    Outcome<float> toSingle() const;
    // Rounded to nearest, a half to the even neighbour; out of range is IntegerOverflow.
    Outcome<std::int16_t> toInt16() const;
    // Empty as "", numbers as the text boxes show them.
    QString toText() const;

    // Exact identity of kind and payload (for tests and for "reading returns it unchanged").
    friend bool operator==(const TaggedValue&, const TaggedValue&) = default;

private:
    using Payload =
        std::variant<std::monostate, std::int16_t, std::int32_t, float, double, QString>;
    explicit TaggedValue(Payload payload) : payload_(std::move(payload)) {}
    Payload payload_;
};

// Arithmetic in the wider case of the operands (16-bit, single, double; a double operand
// gives a double). 16-bit results that do not fit widen to 32 bits, and 32-bit ones to
// double. Two integers divided give a double. Text operands are read as doubles first.
Outcome<TaggedValue> add(const TaggedValue& left, const TaggedValue& right);
Outcome<TaggedValue> subtract(const TaggedValue& left, const TaggedValue& right);
Outcome<TaggedValue> multiply(const TaggedValue& left, const TaggedValue& right);
Outcome<TaggedValue> divide(const TaggedValue& left, const TaggedValue& right);
Outcome<TaggedValue> absolute(const TaggedValue& value);

// Comparison with a number written in the code: -1, 0 or 1 (a text is read as a number).
Outcome<int> compareNumber(const TaggedValue& value, double literal);
// Comparison with a text written in the code: a number takes part by its text form, so a
// number never equals the empty text.
bool equalsText(const TaggedValue& value, const QString& literal);
