#include "app/program.h"
#include "recording_platform.h"
#include "surface/plot_surface.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/plot/form4.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <cmath>
#include <memory>

// Whatever a user can put into the four constant boxes: each text is either refused with the
// box's own message or read as a finite double, under an Italian and the C locale alike.

char* toString(const TaggedValue& value) {
    static const char* const kinds[] = {"Empty", "Int16", "Int32", "Single", "Double", "Text"};
    const QByteArray text =
        kinds[static_cast<int>(value.kind())] + ("(\"" + value.toText().left(40).toUtf8() + "\")");
    return qstrdup(text.constData());
}

namespace {

enum class Locale { Italian, C };
enum class Entry { Accepted, Refused };

struct Expectation {
    Entry entry = Entry::Refused;
    double number = 0.0;
};

const Expectation refused{};
Expectation accepted(double number) {
    return {Entry::Accepted, number};
}

struct HostileText {
    const char* name;
    QString text;
    Expectation italian;
    Expectation c;
};

QString withNul(const QString& before, const QString& after) {
    return before + QChar(u'\0') + after;
}

// 10 000 characters: 1/3 written out to the last digit, and a whole number past the double
// range.
QString longFraction(const QString& decimalPoint) {
    return QStringLiteral("0") + decimalPoint + QString(9998, u'3');
}
QString longInteger() {
    return QStringLiteral("1") + QString(9999, u'0');
}

std::vector<HostileText> hostileTexts() {
    const double third = 1.0 / 3.0;
    return {
        {"empty", QString(), refused, refused},
        {"blanks", QStringLiteral("   "), refused, refused},
        {"letters", QStringLiteral("abc"), refused, refused},
        {"past the double range", QStringLiteral("1e400"), refused, refused},
        {"past the double range, negative", QStringLiteral("-1e400"), refused, refused},
        {"not a number", QStringLiteral("NaN"), refused, refused},
        {"infinity", QStringLiteral("inf"), refused, refused},
        {"infinity spelt out", QStringLiteral("-Infinity"), refused, refused},
        {"comma fraction", QStringLiteral("1,5"), accepted(1.5), refused},
        {"point fraction", QStringLiteral("1.5"), refused, accepted(1.5)},
        {"point and three digits", QStringLiteral("1.000"), accepted(1000), accepted(1)},
        {"comma and three digits", QStringLiteral("1,000"), accepted(1), accepted(1000)},
        {"plus sign", QStringLiteral("+3"), accepted(3), accepted(3)},
        {"minus zero", QStringLiteral("-0"), accepted(0), accepted(0)},
        {"blanks around", QStringLiteral(" 7 "), accepted(7), accepted(7)},
        {"blank inside", QStringLiteral("1 000"), refused, refused},
        {"subnormal", QStringLiteral("1e-320"), accepted(1e-320), accepted(1e-320)},
        {"below the smallest double", QStringLiteral("1e-400"), accepted(0), accepted(0)},
        {"hexadecimal", QStringLiteral("0x10"), refused, refused},
        {"10 000 characters, Italian fraction", longFraction(QStringLiteral(",")), accepted(third),
         refused},
        {"10 000 characters, C fraction", longFraction(QStringLiteral(".")), refused,
         accepted(third)},
        {"10 000 digits", longInteger(), refused, refused},
        {"Arabic-Indic digits", QStringLiteral("\u0661\u0662\u0663"), refused, refused},
        {"Devanagari digits", QStringLiteral("\u0967\u0968"), refused, refused},
        {"fullwidth digits", QStringLiteral("\uff15"), refused, refused},
        {"Unicode minus", QStringLiteral("\u22125"), accepted(-5), accepted(-5)},
        {"two minus signs", QStringLiteral("--5"), refused, refused},
        {"trailing minus", QStringLiteral("5-"), refused, refused},
        {"NUL alone", withNul(QString(), QString()), refused, refused},
        {"NUL after digits", withNul(QStringLiteral("5"), QString()), refused, refused},
        {"NUL between digits", withNul(QStringLiteral("1"), QStringLiteral("2")), refused, refused},
        {"tab before", QStringLiteral("\t5"), accepted(5), accepted(5)},
        {"new line after", QStringLiteral("5\n"), refused, refused},
        {"carriage return after", QStringLiteral("5\r"), refused, refused},
        {"bell before", QStringLiteral("\u00075"), refused, refused},
        {"delete after", QStringLiteral("5\u007f"), refused, refused},
        {"no-break space before", QStringLiteral("\u00a05"), refused, refused},
        {"line separator after", QStringLiteral("5\u2028"), refused, refused},
        {"emoji", QStringLiteral("\U0001F600"), refused, refused},
        {"digit and emoji", QStringLiteral("5\U0001F600"), refused, refused},
        {"lone surrogate", QString(QChar(u'\xd83d')), refused, refused},
    };
}

struct Box {
    const char* name;
    const char* variable;
};
const std::array<Box, 4> boxes{
    {{"Text1", "VALa"}, {"Text2", "VALb"}, {"Text3", "VALc"}, {"Text5", "VALe"}}};

void useLocale(Locale locale) {
    QLocale::setDefault(locale == Locale::Italian ? QLocale(QLocale::Italian, QLocale::Italy)
                                                  : QLocale::c());
}

QString failureMessage(const char* variable) {
    return QString::fromLatin1(variable) + QStringLiteral(" non \u00e8 un numero");
}

const TaggedValue failureMarker = TaggedValue::fromText(QString());

QRgb axisColour(const Form4& plot) {
    return plot.surface().palette().color(QPalette::WindowText).rgb();
}

// Pixels that differ between two drawings and are not `allowed` in the second.
int pixelsChangedToOtherThan(const QImage& before, const QImage& after, QRgb allowed) {
    if (before.size() != after.size())
        return -1;
    int changed = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            const QRgb now = after.pixel(x, y);
            changed += now != before.pixel(x, y) && now != allowed ? 1 : 0;
        }
    return changed;
}

} // namespace

Q_DECLARE_METATYPE(Locale)
Q_DECLARE_METATYPE(Entry)

class HostileInputTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void textIsRefusedOrReadAsFiniteNumber_data();
    void textIsRefusedOrReadAsFiniteNumber();
    void badConstantLeftBehindStopsThePlot_data();
    void badConstantLeftBehindStopsThePlot();

private:
    Form3& form() { return program_->form3(); }
    QLineEdit& box(int index) {
        return *form().control<QLineEdit>(QString::fromLatin1(boxes[index].name));
    }
    TaggedValue& variable(int index) {
        const std::array<TaggedValue*, 4> variables{&form().VALa, &form().VALb, &form().VALc,
                                                    &form().VALe};
        return *variables[index];
    }
    void pressAvanti() { form().control<QPushButton>(QStringLiteral("Command2"))->click(); }

    std::unique_ptr<RecordingPlatform> platform_;
    std::unique_ptr<Program> program_;
};

void HostileInputTest::init() {
    platform_ = std::make_unique<RecordingPlatform>();
    program_ = std::make_unique<Program>(*platform_);
    program_->form2().Incr = TaggedValue::fromDouble(0.75);
}

void HostileInputTest::cleanup() {
    program_.reset();
    platform_.reset();
}

void HostileInputTest::textIsRefusedOrReadAsFiniteNumber_data() {
    QTest::addColumn<Locale>("locale");
    QTest::addColumn<int>("boxIndex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<double>("number");
    for (const HostileText& hostile : hostileTexts()) {
        for (int index = 0; index < 4; ++index) {
            const QString name = QStringLiteral(", %1").arg(boxes[index].name);
            QTest::addRow("it %s%s", hostile.name, qPrintable(name))
                << Locale::Italian << index << hostile.text << hostile.italian.entry
                << hostile.italian.number;
            QTest::addRow("C %s%s", hostile.name, qPrintable(name))
                << Locale::C << index << hostile.text << hostile.c.entry << hostile.c.number;
        }
    }
}

void HostileInputTest::textIsRefusedOrReadAsFiniteNumber() {
    QFETCH(Locale, locale);
    QFETCH(int, boxIndex);
    QFETCH(QString, text);
    QFETCH(Entry, entry);
    QFETCH(double, number);
    useLocale(locale);
    program_->Show(form());
    box(boxIndex).setText(text);
    QCOMPARE(box(boxIndex).text(), text); // the box takes the text as it is
    pressAvanti();

    if (entry == Entry::Refused) {
        QCOMPARE(platform_->messages, QStringList{failureMessage(boxes[boxIndex].variable)});
        QCOMPARE(box(boxIndex).text(), QString());
        QCOMPARE(boxBackColor(box(boxIndex)), failedBoxColour);
        QCOMPARE(variable(boxIndex), failureMarker);
        QVERIFY(!program_->existingForm4());
        return;
    }
    // The plot may still refuse the run (n = 0, t past 16 bits), never the entry.
    for (const QString& message : std::as_const(platform_->messages))
        QVERIFY2(!message.contains(QStringLiteral("non \u00e8 un numero")), qPrintable(message));
    QCOMPARE(variable(boxIndex).kind(), TaggedValue::Kind::Double);
    QVERIFY(std::isfinite(variable(boxIndex).real()));
    // Exact: QCOMPARE on doubles would let any two tiny numbers pass as equal.
    QCOMPARE(variable(boxIndex), TaggedValue::fromDouble(number));
    QCOMPARE(box(boxIndex).text(), text);
    QCOMPARE(boxBackColor(box(boxIndex)), normalBoxColour);
    QCOMPARE(program_->activeWindow(), program_->existingForm4());
    // Whatever the plot made of the number, curve 1's last candidate is a finite point.
    const Form4& plot = *program_->existingForm4();
    for (const TaggedValue* coordinate : {&plot.X1, &plot.Y1})
        QVERIFY2(coordinate->kind() != TaggedValue::Kind::Double ||
                     std::isfinite(coordinate->real()),
                 qPrintable(coordinate->toText()));
}

void HostileInputTest::badConstantLeftBehindStopsThePlot_data() {
    QTest::addColumn<Locale>("locale");
    QTest::addColumn<int>("boxIndex");
    QTest::addColumn<QString>("text");
    const std::array<QString, 4> badTexts{QString(), QStringLiteral("NaN"), QStringLiteral("1e400"),
                                          QStringLiteral("\U0001F600")};
    for (int index = 0; index < 4; ++index) {
        QTest::addRow("it %s", boxes[index].name) << Locale::Italian << index << badTexts[index];
        QTest::addRow("C %s", boxes[index].name) << Locale::C << index << badTexts[3 - index];
    }
}

void HostileInputTest::badConstantLeftBehindStopsThePlot() {
    QFETCH(Locale, locale);
    QFETCH(int, boxIndex);
    QFETCH(QString, text);
    useLocale(locale);
    program_->Show(form());
    pressAvanti(); // the defaults plot
    Form4* plot = program_->existingForm4();
    QVERIFY(plot);
    QVERIFY(platform_->messages.isEmpty());

    // "RIPRENDI i dati", a bad entry, and back to the plot window without "AVANTI".
    plot->control<QPushButton>(QStringLiteral("Command1"))->click();
    box(boxIndex).setText(text);
    pressAvanti();
    const QString message = failureMessage(boxes[boxIndex].variable);
    QCOMPARE(platform_->messages, QStringList{message});
    QCOMPARE(variable(boxIndex), failureMarker);
    QCOMPARE(program_->activeWindow(), &form());

    const QImage before = plot->surface().snapshot();
    const std::int16_t colour = form().Miocolor;
    program_->Show(*plot);
    QCOMPARE(program_->activeWindow(), plot);
    QCOMPARE(platform_->messages, (QStringList{message, message}));
    QCOMPARE(int(form().Miocolor), colour + 1);
    // The set-up draws the axes again, over the first pair's dots at O; no curve is added.
    QCOMPARE(pixelsChangedToOtherThan(before, plot->surface().snapshot(), axisColour(*plot)), 0);
    const QImage afterSetUp = plot->surface().snapshot();

    // The lines button meets the same constant.
    plot->control<QPushButton>(QStringLiteral("Command4"))->click();
    QCOMPARE(platform_->messages, (QStringList{message, message, message}));
    QCOMPARE(int(form().Miocolor), colour + 2);
    QCOMPARE(plot->surface().snapshot(), afterSetUp);
}

QTEST_MAIN(HostileInputTest)
#include "tst_hostile_input.moc"
