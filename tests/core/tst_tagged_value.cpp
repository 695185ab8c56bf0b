#include "core/tagged_value.h"

#include <QtTest>
#include <cfloat>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(TaggedValue)
Q_DECLARE_METATYPE(TaggedFailure)
Q_DECLARE_METATYPE(TaggedValue::Kind)

// Failure messages name the kind and the value, not just "not the same".
static QByteArray describe(const TaggedValue& value) {
    static const char* const kinds[] = {"Empty", "Int16", "Int32", "Single", "Double", "Text"};
    return kinds[static_cast<int>(value.kind())] + ("(" + value.toText().toUtf8() + ")");
}

template <typename Number> static QByteArray describe(Number value) {
    return QByteArray::number(static_cast<double>(value), 'g', 17);
}

char* toString(const TaggedValue& value) {
    return qstrdup(describe(value).constData());
}

char* toString(TaggedFailure failure) {
    static const char* const names[] = {"NotANumber", "IntegerOverflow", "FloatOverflow",
                                        "DivisionByZero", "InvalidOperation"};
    return qstrdup(names[static_cast<int>(failure)]);
}

namespace {

enum class Operation { Add, Subtract, Multiply, Divide, Absolute };

using Value = TaggedValue;
Value i16(int value) {
    return Value::fromInt16(static_cast<std::int16_t>(value));
}
Value i32(std::int32_t value) {
    return Value::fromInt32(value);
}
Value f32(float value) {
    return Value::fromSingle(value);
}
Value f64(double value) {
    return Value::fromDouble(value);
}
Value text(const char* value) {
    return Value::fromText(QString::fromUtf8(value));
}

Outcome<TaggedValue> apply(Operation operation, const Value& left, const Value& right) {
    switch (operation) {
    case Operation::Add:
        return add(left, right);
    case Operation::Subtract:
        return subtract(left, right);
    case Operation::Multiply:
        return multiply(left, right);
    case Operation::Divide:
        return divide(left, right);
    case Operation::Absolute:
        break;
    }
    return absolute(left);
}

// The outcome tables hold in one QVariant either the value or the failure expected.
QVariant failure(TaggedFailure value) {
    return QVariant::fromValue(value);
}

template <typename T> void compareOutcome(const Outcome<T>& outcome, const QVariant& expected) {
    if (expected.metaType() == QMetaType::fromType<TaggedFailure>()) {
        QVERIFY2(!outcome.ok(), "expected a failure");
        QCOMPARE(outcome.failure(), expected.value<TaggedFailure>());
        return;
    }
    QVERIFY2(outcome.ok(), "expected a value");
    // Exact: QCOMPARE would compare floating values fuzzily.
    QVERIFY2(outcome.value() == expected.value<T>(), describe(outcome.value()).constData());
}

} // namespace

class TaggedValueTest : public QObject {
    Q_OBJECT

private slots:
    void storeAndRead_data();
    void storeAndRead();
    void toInt16_data();
    void toInt16();
    void toSingle_data();
    void toSingle();
    void arithmetic_data();
    void arithmetic();
    void singleProductDiffersFromDouble();
    void compareNumber_data();
    void compareNumber();
    void equalsText_data();
    void equalsText();
};

void TaggedValueTest::storeAndRead_data() {
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<TaggedValue::Kind>("kind");
    QTest::addColumn<QVariant>("payload");

    QTest::newRow("empty") << Value() << Value::Kind::Empty << QVariant();
    QTest::newRow("int16 lowest") << i16(-32768) << Value::Kind::Int16 << QVariant(-32768);
    QTest::newRow("int32 lowest") << i32(std::numeric_limits<std::int32_t>::min())
                                  << Value::Kind::Int32
                                  << QVariant(std::numeric_limits<std::int32_t>::min());
    QTest::newRow("single") << f32(0.1f) << Value::Kind::Single << QVariant(0.1f);
    QTest::newRow("double") << f64(0.1) << Value::Kind::Double << QVariant(0.1);
    QTest::newRow("text kept verbatim")
        << text(" 1,5 ") << Value::Kind::Text << QVariant(QStringLiteral(" 1,5 "));
    QTest::newRow("empty text") << text("") << Value::Kind::Text << QVariant(QString());
}

void TaggedValueTest::storeAndRead() {
    QFETCH(TaggedValue, value);
    QFETCH(TaggedValue::Kind, kind);
    QFETCH(QVariant, payload);

    QCOMPARE(value.kind(), kind);
    QCOMPARE(value.isEmpty(), kind == Value::Kind::Empty);
    switch (kind) {
    case Value::Kind::Empty:
        break;
    case Value::Kind::Int16:
        QCOMPARE(value.int16(), payload.toInt());
        break;
    case Value::Kind::Int32:
        QCOMPARE(value.int32(), payload.toInt());
        break;
    case Value::Kind::Single:
        QVERIFY(value.single() == payload.toFloat()); // exact, not fuzzy
        break;
    case Value::Kind::Double:
        QVERIFY(value.real() == payload.toDouble());
        break;
    case Value::Kind::Text:
        QCOMPARE(value.text(), payload.toString());
        break;
    }
    const TaggedValue copy = value;
    QCOMPARE(copy, value);
}

void TaggedValueTest::toInt16_data() {
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<QVariant>("expected");

    const auto row = [](const char* name, const TaggedValue& value, const QVariant& expected,
                        const char* locale = "it_IT") {
        QTest::newRow(name) << QString::fromLatin1(locale) << value << expected;
    };
    const auto int16 = [](int value) {
        return QVariant::fromValue(static_cast<std::int16_t>(value));
    };
    row("half to even zero", f64(0.5), int16(0));
    row("half to even two", f64(1.5), int16(2));
    row("half to even two from above", f64(2.5), int16(2));
    row("negative half", f64(-0.5), int16(0));
    row("negative one and a half", f64(-1.5), int16(-2));
    row("just above half", f64(2.5000001), int16(3));
    row("largest", f64(32767.49), int16(32767));
    row("half above largest", f64(32767.5), failure(TaggedFailure::IntegerOverflow));
    row("half below lowest is even", f64(-32768.5), int16(-32768));
    row("below lowest", f64(-32768.51), failure(TaggedFailure::IntegerOverflow));
    row("huge", f64(1e300), failure(TaggedFailure::IntegerOverflow));
    row("not a number", f64(std::nan("")), failure(TaggedFailure::InvalidOperation));
    row("single half", f32(2.5f), int16(2));
    row("int32 in range", i32(-32768), int16(-32768));
    row("int32 out of range", i32(32768), failure(TaggedFailure::IntegerOverflow));
    row("empty", Value(), int16(0));
    row("text half", text("2,5"), int16(2));
    row("text grouped half", text("1.000,5"), int16(1000));
    row("text over", text("32767,5"), failure(TaggedFailure::IntegerOverflow));
    row("text in C", text("3.5"), int16(4), "C");
    row("text wrong locale", text("3.5"), failure(TaggedFailure::NotANumber));
    row("empty text", text(""), failure(TaggedFailure::NotANumber));
}

void TaggedValueTest::toInt16() {
    QFETCH(QString, localeName);
    QFETCH(TaggedValue, value);
    QFETCH(QVariant, expected);
    QLocale::setDefault(QLocale(localeName));
    compareOutcome(value.toInt16(), expected);
}

void TaggedValueTest::toSingle_data() {
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<QVariant>("expected");

    // Halfway between the largest single and the next power of two that a single lacks.
    const double overflowFrom = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);
    QTest::newRow("tenth") << f64(0.1) << QVariant(0.1f);
    QTest::newRow("largest") << f64(FLT_MAX) << QVariant(FLT_MAX);
    QTest::newRow("rounds down to largest")
        << f64(std::nextafter(overflowFrom, 0.0)) << QVariant(FLT_MAX);
    QTest::newRow("halfway overflows")
        << f64(overflowFrom) << failure(TaggedFailure::FloatOverflow);
    QTest::newRow("negative overflow") << f64(-1e39) << failure(TaggedFailure::FloatOverflow);
    QTest::newRow("int32 rounded") << i32(16777217) << QVariant(16777216.0f);
    QTest::newRow("text") << text("0.1") << QVariant(0.1f);
    QTest::newRow("empty") << Value() << QVariant(0.0f);
    QTest::newRow("letters") << text("x") << failure(TaggedFailure::NotANumber);
}

void TaggedValueTest::toSingle() {
    QFETCH(TaggedValue, value);
    QFETCH(QVariant, expected);
    QLocale::setDefault(QLocale::c());
    compareOutcome(value.toSingle(), expected);
}

void TaggedValueTest::arithmetic_data() {
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<TaggedValue>("left");
    QTest::addColumn<TaggedValue>("right");
    QTest::addColumn<QVariant>("expected");

    const auto row = [](const char* name, Operation operation, const TaggedValue& left,
                        const TaggedValue& right, const QVariant& expected,
                        const char* locale = "it_IT") {
        QTest::newRow(name) << QString::fromLatin1(locale) << operation << left << right
                            << expected;
    };
    using enum Operation;
    const auto value = [](const TaggedValue& v) { return QVariant::fromValue(v); };
    const TaggedValue none;
    row("int16 fits", Add, i16(100), i16(200), value(i16(300)));
    row("int16 to int32", Add, i16(32767), i16(1), value(i32(32768)));
    row("int16 below to int32", Subtract, i16(-32768), i16(1), value(i32(-32769)));
    row("int16 product", Multiply, i16(-32768), i16(-32768), value(i32(1073741824)));
    row("int32 stays int32", Subtract, i32(40000), i16(30000), value(i32(10000)));
    row("int32 to double", Add, i32(2147483647), i16(1), value(f64(2147483648.0)));
    row("int32 below to double", Subtract, i32(-2147483647 - 1), i16(1), value(f64(-2147483649.0)));
    row("int32 product", Multiply, i32(65536), i32(65536), value(f64(4294967296.0)));
    row("integer quotient", Divide, i16(7), i16(2), value(f64(3.5)));
    row("integer third", Divide, i16(1), i16(3), value(f64(1.0 / 3)));
    row("int16 with single", Add, i16(5), f32(0.5f), value(f32(5.5f)));
    row("int32 with single", Add, i32(16777217), f32(0.0f), value(f64(16777217.0)));
    row("single sum", Add, f32(0.1f), f32(0.2f), value(f32(0.1f + 0.2f)));
    row("single with double", Add, f32(0.1f), f64(0.2), value(f64(double(0.1f) + 0.2)));
    row("single overflow", Multiply, f32(3e38f), f32(2.0f), failure(TaggedFailure::FloatOverflow));
    row("single times double", Multiply, f32(3e38f), f64(2.0), value(f64(double(3e38f) * 2)));
    row("double overflow", Multiply, f64(1e308), i16(10), failure(TaggedFailure::FloatOverflow));
    row("empty operands", Add, none, none, value(i16(0)));
    row("empty minus", Subtract, none, i16(5), value(i16(-5)));
    row("empty with single", Multiply, none, f32(2.0f), value(f32(0.0f)));
    row("text operand", Add, text("1,5"), i16(1), value(f64(2.5)));
    row("text in C", Add, text("1.5"), i16(1), value(f64(2.5)), "C");
    row("text wrong locale", Add, text("1.5"), i16(1), failure(TaggedFailure::NotANumber));
    row("empty text", Add, text(""), i16(1), failure(TaggedFailure::NotANumber));
    row("text right", Multiply, i16(1), text("abc"), failure(TaggedFailure::NotANumber));
    row("divide by zero", Divide, i16(1), i16(0), failure(TaggedFailure::DivisionByZero));
    row("divide by minus zero", Divide, f64(-2), f64(-0.0), failure(TaggedFailure::DivisionByZero));
    row("single by empty", Divide, f32(1.0f), none, failure(TaggedFailure::DivisionByZero));
    row("zero by zero", Divide, i16(0), i16(0), failure(TaggedFailure::InvalidOperation));
    row("empty by empty", Divide, none, none, failure(TaggedFailure::InvalidOperation));
    row("text zero by zero", Divide, text("0"), f32(0.0f),
        failure(TaggedFailure::InvalidOperation));
    row("not a number", Add, f64(std::nan("")), i16(1), failure(TaggedFailure::InvalidOperation));
    row("absolute int16 lowest", Absolute, i16(-32768), none, value(i32(32768)));
    row("absolute int16", Absolute, i16(-5), none, value(i16(5)));
    row("absolute int32 lowest", Absolute, i32(-2147483647 - 1), none, value(f64(2147483648.0)));
    row("absolute single", Absolute, f32(-2.5f), none, value(f32(2.5f)));
    row("absolute empty", Absolute, none, none, value(i16(0)));
    row("absolute text", Absolute, text("-3,5"), none, value(f64(3.5)));
    row("absolute letters", Absolute, text("x"), none, failure(TaggedFailure::NotANumber));
}

void TaggedValueTest::arithmetic() {
    QFETCH(QString, localeName);
    QFETCH(Operation, operation);
    QFETCH(TaggedValue, left);
    QFETCH(TaggedValue, right);
    QFETCH(QVariant, expected);
    QLocale::setDefault(QLocale(localeName));
    compareOutcome(apply(operation, left, right), expected);
}

// A degree in radians as a single: times a 16-bit integer the product is rounded to a
// single, times a double it is not.
void TaggedValueTest::singleProductDiffersFromDouble() {
    QLocale::setDefault(QLocale("it_IT"));
    const Outcome<TaggedValue> degree = divide(f32(3.1415927f), i16(180));
    QVERIFY(degree.ok());
    QCOMPARE(degree.value().toText(), QStringLiteral("0,01745329"));

    const Outcome<TaggedValue> asSingle = multiply(degree.value(), i16(45));
    const Outcome<TaggedValue> asDouble = multiply(degree.value(), f64(45));
    QVERIFY(asSingle.ok() && asDouble.ok());
    QCOMPARE(asSingle.value().kind(), Value::Kind::Single);
    QCOMPARE(asDouble.value().kind(), Value::Kind::Double);
    QVERIFY(static_cast<double>(asSingle.value().single()) != asDouble.value().real());
    QVERIFY(std::fabs(asDouble.value().real() - std::atan(1.0)) < 1e-7);
}

void TaggedValueTest::compareNumber_data() {
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<double>("literal");
    QTest::addColumn<QVariant>("expected");

    const auto row = [](const char* name, const TaggedValue& value, double literal,
                        const QVariant& expected, const char* locale = "it_IT") {
        QTest::newRow(name) << QString::fromLatin1(locale) << value << literal << expected;
    };
    row("empty is zero", Value(), 0, QVariant(0));
    row("empty below one", Value(), 1, QVariant(-1));
    row("empty text is no number", text(""), 0, failure(TaggedFailure::NotANumber));
    row("text zero", text("0"), 0, QVariant(0));
    row("text with blanks", text(" 2,5 "), 2.5, QVariant(0));
    row("text in C", text("2.5"), 3, QVariant(-1), "C");
    row("letters", text("abc"), 0, failure(TaggedFailure::NotANumber));
    row("int16 above", i16(5), 4.5, QVariant(1));
    row("int32 above", i32(40000), 32767, QVariant(1));
    row("single tenth above double tenth", f32(0.1f), 0.1, QVariant(1));
    row("minus zero equals zero", f64(-0.0), 0, QVariant(0));
    row("not a number", f64(std::nan("")), 0, failure(TaggedFailure::InvalidOperation));
}

void TaggedValueTest::compareNumber() {
    QFETCH(QString, localeName);
    QFETCH(TaggedValue, value);
    QFETCH(double, literal);
    QFETCH(QVariant, expected);
    QLocale::setDefault(QLocale(localeName));
    compareOutcome(::compareNumber(value, literal), expected);
}

void TaggedValueTest::equalsText_data() {
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<QString>("literal");
    QTest::addColumn<bool>("expected");

    const auto row = [](const char* name, const TaggedValue& value, const char* literal,
                        bool expected, const char* locale = "it_IT") {
        QTest::newRow(name) << QString::fromLatin1(locale) << value << QString::fromUtf8(literal)
                            << expected;
    };
    row("empty equals empty text", Value(), "", true);
    row("empty is not zero text", Value(), "0", false);
    row("double zero is not empty text", f64(0), "", false);
    row("int16 zero is not empty text", i16(0), "", false);
    row("int16 zero", i16(0), "0", true);
    row("minus zero shows zero", f64(-0.0), "0", true);
    row("empty text", text(""), "", true);
    row("text compared as text", text(" 0"), "0", false);
    row("int16 negative", i16(-32768), "-32768", true);
    row("int32", i32(40000), "40000", true);
    row("double in it", f64(0.5), "0,5", true);
    row("double not in C form", f64(0.5), "0.5", false);
    row("double in C", f64(0.5), "0.5", true, "C");
    row("sum a hair above", f64(0.02 * 3 + 0.51), "0,57", true);
    row("single tenth", f32(0.1f), "0,1", true);
    row("large double", f64(-2.25e20), "-2,25E+20", true);
}

void TaggedValueTest::equalsText() {
    QFETCH(QString, localeName);
    QFETCH(TaggedValue, value);
    QFETCH(QString, literal);
    QFETCH(bool, expected);
    QLocale::setDefault(QLocale(localeName));
    QCOMPARE(::equalsText(value, literal), expected);
    QCOMPARE(value.toText() == literal, expected);
}

QTEST_GUILESS_MAIN(TaggedValueTest)
#include "tst_tagged_value.moc"
