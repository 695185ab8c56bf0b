#include "core/tagged_value.h"

#include "core/number_text.h"
#include "core/numeric.h"

#include <cmath>
#include <limits>

TaggedValue TaggedValue::fromInt16(std::int16_t value) {
    return TaggedValue(Payload(value));
}
TaggedValue TaggedValue::fromInt32(std::int32_t value) {
    return TaggedValue(Payload(value));
}
TaggedValue TaggedValue::fromSingle(float value) {
    return TaggedValue(Payload(value));
}
TaggedValue TaggedValue::fromDouble(double value) {
    return TaggedValue(Payload(value));
}
TaggedValue TaggedValue::fromText(QString value) {
    return TaggedValue(Payload(std::move(value)));
}

// The payload alternatives are declared in the order of Kind.
TaggedValue::Kind TaggedValue::kind() const {
    return static_cast<Kind>(payload_.index());
}

std::int16_t TaggedValue::int16() const {
    return std::get<std::int16_t>(payload_);
}
std::int32_t TaggedValue::int32() const {
    return std::get<std::int32_t>(payload_);
}
float TaggedValue::single() const {
    return std::get<float>(payload_);
}
double TaggedValue::real() const {
    return std::get<double>(payload_);
}
const QString& TaggedValue::text() const {
    return std::get<QString>(payload_);
}

namespace {

Outcome<double> checkedReal(double value) {
    if (std::isnan(value))
        return TaggedFailure::InvalidOperation;
    if (std::isinf(value))
        return TaggedFailure::FloatOverflow;
    return value;
}

} // namespace

Outcome<double> TaggedValue::toDouble() const {
    switch (kind()) {
    case Kind::Empty:
        return 0.0;
    case Kind::Int16:
        return static_cast<double>(int16());
    case Kind::Int32:
        return static_cast<double>(int32());
    case Kind::Single:
        return checkedReal(static_cast<double>(single()));
    case Kind::Double:
        return checkedReal(real());
    case Kind::Text:
        break;
    }
    const std::optional<double> parsed = parseNumber(text());
    if (!parsed)
        return TaggedFailure::NotANumber;
    return *parsed;
}

Outcome<float> TaggedValue::toSingle() const {
    const Outcome<double> number = toDouble();
    if (!number)
        return number.failure();
    // Halfway between the largest single and 2^128 rounds up to infinity (the largest
    // single has an odd mantissa). Below that the conversion is exact or rounds.
    const double overflowFrom = 0x1p128 - 0x1p103;
    if (std::fabs(number.value()) >= overflowFrom)
        return TaggedFailure::FloatOverflow;
    return static_cast<float>(number.value());
}

Outcome<std::int16_t> TaggedValue::toInt16() const {
    if (kind() == Kind::Int16)
        return int16();
    const Outcome<double> number = toDouble();
    if (!number)
        return number.failure() == TaggedFailure::FloatOverflow ? TaggedFailure::IntegerOverflow
                                                                : number.failure();
    const double rounded = roundHalfEven(number.value());
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return TaggedFailure::IntegerOverflow;
    return static_cast<std::int16_t>(rounded);
}

QString TaggedValue::toText() const {
    switch (kind()) {
    case Kind::Empty:
        return QString();
    case Kind::Int16:
        return QString::number(int16());
    case Kind::Int32:
        return QString::number(int32());
    case Kind::Single:
        return formatSingle(single());
    case Kind::Double:
        return formatDouble(real());
    case Kind::Text:
        break;
    }
    return text();
}

namespace {

enum class Operation { Add, Subtract, Multiply, Divide };

using Kind = TaggedValue::Kind;

// An arithmetic operand once empty and text have been resolved: Int16, Int32, Single or
// Double. Integers are held in 64 bits so that no operation on them can overflow.
struct Operand {
    Kind kind = Kind::Int16;
    std::int64_t integer = 0;
    double real = 0; // Single and Double; a single widens to double exactly

    bool isInteger() const { return kind == Kind::Int16 || kind == Kind::Int32; }
    double asDouble() const { return isInteger() ? static_cast<double>(integer) : real; }
};

Outcome<Operand> toOperand(const TaggedValue& value) {
    switch (value.kind()) {
    case Kind::Empty:
        return Operand{};
    case Kind::Int16:
        return Operand{Kind::Int16, value.int16()};
    case Kind::Int32:
        return Operand{Kind::Int32, value.int32()};
    case Kind::Single:
        return Operand{Kind::Single, 0, static_cast<double>(value.single())};
    case Kind::Double:
        return Operand{Kind::Double, 0, value.real()};
    case Kind::Text:
        break;
    }
    const std::optional<double> parsed = parseNumber(value.text());
    if (!parsed)
        return TaggedFailure::NotANumber;
    return Operand{Kind::Double, 0, *parsed};
}

template <typename Real> Outcome<Real> floatingResult(Operation operation, Real left, Real right) {
    if (std::isnan(left) || std::isnan(right))
        return TaggedFailure::InvalidOperation;
    if (operation == Operation::Divide && right == 0)
        return left == 0 ? TaggedFailure::InvalidOperation : TaggedFailure::DivisionByZero;
    Real result = 0;
    switch (operation) {
    case Operation::Add:
        result = left + right;
        break;
    case Operation::Subtract:
        result = left - right;
        break;
    case Operation::Multiply:
        result = left * right;
        break;
    case Operation::Divide:
        result = left / right;
        break;
    }
    if (std::isnan(result))
        return TaggedFailure::InvalidOperation; // inf - inf, 0 * inf
    if (std::isinf(result))
        return TaggedFailure::FloatOverflow;
    return result;
}

Outcome<TaggedValue> inDouble(Operation operation, double left, double right) {
    const Outcome<double> result = floatingResult(operation, left, right);
    if (!result)
        return result.failure();
    return TaggedValue::fromDouble(result.value());
}

Outcome<TaggedValue> inSingle(Operation operation, float left, float right) {
    const Outcome<float> result = floatingResult(operation, left, right);
    if (!result)
        return result.failure();
    return TaggedValue::fromSingle(result.value());
}

// The narrowest integer case from `kind` up that holds the value, else a double.
TaggedValue widenedInteger(Kind kind, std::int64_t value) {
    if (kind == Kind::Int16 && value >= std::numeric_limits<std::int16_t>::min() &&
        value <= std::numeric_limits<std::int16_t>::max())
        return TaggedValue::fromInt16(static_cast<std::int16_t>(value));
    if (value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max())
        return TaggedValue::fromInt32(static_cast<std::int32_t>(value));
    return TaggedValue::fromDouble(static_cast<double>(value));
}

Outcome<TaggedValue> inInteger(Operation operation, const Operand& left, const Operand& right) {
    const Kind kind =
        left.kind == Kind::Int32 || right.kind == Kind::Int32 ? Kind::Int32 : Kind::Int16;
    switch (operation) {
    case Operation::Add:
        return widenedInteger(kind, left.integer + right.integer);
    case Operation::Subtract:
        return widenedInteger(kind, left.integer - right.integer);
    case Operation::Multiply:
        return widenedInteger(kind, left.integer * right.integer);
    case Operation::Divide:
        break;
    }
    return inDouble(operation, left.asDouble(), right.asDouble());
}

Outcome<TaggedValue> arithmetic(Operation operation, const TaggedValue& leftValue,
                                const TaggedValue& rightValue) {
    const Outcome<Operand> left = toOperand(leftValue);
    if (!left)
        return left.failure();
    const Outcome<Operand> right = toOperand(rightValue);
    if (!right)
        return right.failure();
    const Operand& a = left.value();
    const Operand& b = right.value();
    if (a.isInteger() && b.isInteger())
        return inInteger(operation, a, b);
    // A single holds every 16-bit integer exactly but not every 32-bit one.
    const bool singleWide = (a.kind == Kind::Single || a.kind == Kind::Int16) &&
                            (b.kind == Kind::Single || b.kind == Kind::Int16);
    if (singleWide)
        return inSingle(operation, static_cast<float>(a.asDouble()),
                        static_cast<float>(b.asDouble()));
    return inDouble(operation, a.asDouble(), b.asDouble());
}

} // namespace

Outcome<TaggedValue> add(const TaggedValue& left, const TaggedValue& right) {
    return arithmetic(Operation::Add, left, right);
}

Outcome<TaggedValue> subtract(const TaggedValue& left, const TaggedValue& right) {
    return arithmetic(Operation::Subtract, left, right);
}

Outcome<TaggedValue> multiply(const TaggedValue& left, const TaggedValue& right) {
    return arithmetic(Operation::Multiply, left, right);
}

Outcome<TaggedValue> divide(const TaggedValue& left, const TaggedValue& right) {
    return arithmetic(Operation::Divide, left, right);
}

Outcome<TaggedValue> absolute(const TaggedValue& value) {
    const Outcome<Operand> operand = toOperand(value);
    if (!operand)
        return operand.failure();
    const Operand& number = operand.value();
    if (number.isInteger())
        return widenedInteger(number.kind, number.integer < 0 ? -number.integer : number.integer);
    if (std::isnan(number.real))
        return TaggedFailure::InvalidOperation;
    if (std::isinf(number.real))
        return TaggedFailure::FloatOverflow;
    if (number.kind == Kind::Single)
        return TaggedValue::fromSingle(static_cast<float>(std::fabs(number.real)));
    return TaggedValue::fromDouble(std::fabs(number.real));
}

Outcome<int> compareNumber(const TaggedValue& value, double literal) {
    const Outcome<double> number = value.toDouble();
    if (!number)
        return number.failure();
    if (std::isnan(literal))
        return TaggedFailure::InvalidOperation;
    if (number.value() < literal)
        return -1;
    return number.value() > literal ? 1 : 0;
}

bool equalsText(const TaggedValue& value, const QString& literal) {
    return value.toText() == literal;
}
