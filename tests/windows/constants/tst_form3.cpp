#include "app/program.h"
#include "recording_platform.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"
#include "windows/plot/form4.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <memory>

char* toString(const TaggedValue& value) {
    static const char* const kinds[] = {"Empty", "Int16", "Int32", "Single", "Double", "Text"};
    const QByteArray text =
        kinds[static_cast<int>(value.kind())] + ("(\"" + value.toText().toUtf8() + "\")");
    return qstrdup(text.constData());
}

namespace {

enum class Locale { Italian, C };
enum class Entry { Accepted, Refused };

void useLocale(Locale locale) {
    QLocale::setDefault(locale == Locale::Italian ? QLocale(QLocale::Italian, QLocale::Italy)
                                                  : QLocale::c());
}

// The four fields in the order "AVANTI" reads them.
const std::array<QString, 4> boxNames{"Text1", "Text2", "Text3", "Text5"};
const std::array<QString, 4> defaultTexts{"86", "55", "90", "1"};
const std::array<double, 4> defaultNumbers{86, 55, 90, 1};

QString failureMessage(const char* variable) {
    return QString::fromLatin1(variable) + QStringLiteral(" non \u00e8 un numero");
}

// Stands for "whatever the variable held before": a case "AVANTI" never stores.
const TaggedValue earlier = TaggedValue::fromSingle(-7.5f);
const TaggedValue failureMarker = TaggedValue::fromText(QString());

} // namespace

Q_DECLARE_METATYPE(Locale)
Q_DECLARE_METATYPE(Entry)

class TestForm3 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstActivationWritesDefaults_data();
    void firstActivationWritesDefaults();
    void avantiWithDefaultsStoresDoublesAndPlots();
    void badFieldStopsTheChain_data();
    void badFieldStopsTheChain();
    void numberEntryFollowsLocale_data();
    void numberEntryFollowsLocale();
    void redBoxStaysRedUntilNextActivation();
    void laterActivationKeepsTexts();
    void miocolorResetBeforePlot_data();
    void miocolorResetBeforePlot();
    void esciEndsProgram();

private:
    Form3& form() { return program->form3(); }
    QLineEdit& box(int index) { return *form().control<QLineEdit>(boxNames[index]); }
    void press(const char* button) { form().control<QPushButton>(button)->click(); }
    TaggedValue& variable(int index) {
        std::array<TaggedValue*, 4> variables{&form().VALa, &form().VALb, &form().VALc,
                                              &form().VALe};
        return *variables[index];
    }

    std::unique_ptr<RecordingPlatform> platform;
    std::unique_ptr<Program> program;
};

void TestForm3::init() {
    platform = std::make_unique<RecordingPlatform>();
    program = std::make_unique<Program>(*platform);
}

void TestForm3::cleanup() {
    program.reset();
    platform.reset();
}

void TestForm3::firstActivationWritesDefaults_data() {
    QTest::addColumn<Locale>("locale");
    QTest::newRow("Italian") << Locale::Italian;
    QTest::newRow("C") << Locale::C;
}

void TestForm3::firstActivationWritesDefaults() {
    QFETCH(Locale, locale);
    useLocale(locale);
    // Whatever the boxes hold before, the first activation writes the defaults.
    for (int index = 0; index < 4; ++index)
        box(index).setText(QStringLiteral("7"));
    program->Show(form());
    for (int index = 0; index < 4; ++index) {
        QCOMPARE(box(index).text(), defaultTexts[index]);
        QCOMPARE(boxBackColor(box(index)), normalBoxColour);
        QCOMPARE(variable(index), TaggedValue());
    }
    QCOMPARE(form().Contr, TaggedValue::fromInt16(1));
    QCOMPARE(form().Miocolor, std::int16_t(0));
    QVERIFY(platform->messages.isEmpty());
}

void TestForm3::avantiWithDefaultsStoresDoublesAndPlots() {
    useLocale(Locale::Italian);
    program->Show(form());
    press("Command2");
    for (int index = 0; index < 4; ++index)
        QCOMPARE(variable(index), TaggedValue::fromDouble(defaultNumbers[index]));
    QVERIFY(platform->messages.isEmpty());
    QVERIFY(program->existingForm4());
    QCOMPARE(program->activeWindow(), program->existingForm4());
    // Left at 0 by "AVANTI", then advanced once by the plot window's run.
    QCOMPARE(form().Miocolor, std::int16_t(1));
}

void TestForm3::badFieldStopsTheChain_data() {
    QTest::addColumn<int>("failing");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("Text1 empty") << 0 << QString() << failureMessage("VALa");
    QTest::newRow("Text1 blanks") << 0 << QStringLiteral("   ") << failureMessage("VALa");
    QTest::newRow("Text2 sign only") << 1 << QStringLiteral("-") << failureMessage("VALb");
    QTest::newRow("Text3 letters") << 2 << QStringLiteral("abc") << failureMessage("VALc");
    QTest::newRow("Text5 two numbers") << 3 << QStringLiteral("1 2") << failureMessage("VALe");
}

void TestForm3::badFieldStopsTheChain() {
    QFETCH(int, failing);
    QFETCH(QString, text);
    QFETCH(QString, message);
    useLocale(Locale::Italian);
    program->Show(form());
    for (int index = 0; index < 4; ++index)
        variable(index) = earlier;
    form().Miocolor = 15;
    box(failing).setText(text);
    // While the message is open nothing of the failure has happened yet.
    QString textAtMessage;
    quint32 colourAtMessage = 0;
    TaggedValue variableAtMessage;
    platform->onMessage = [&](const QString&) {
        textAtMessage = box(failing).text();
        colourAtMessage = boxBackColor(box(failing));
        variableAtMessage = variable(failing);
    };
    press("Command2");
    QCOMPARE(platform->messages, QStringList{message});
    QCOMPARE(textAtMessage, text);
    QCOMPARE(colourAtMessage, normalBoxColour);
    QCOMPARE(variableAtMessage, earlier);

    QCOMPARE(box(failing).text(), QString());
    QCOMPARE(boxBackColor(box(failing)), failedBoxColour);
    QCOMPARE(variable(failing), failureMarker);
    QCOMPARE(variable(failing).kind(), TaggedValue::Kind::Text);
    for (int index = 0; index < 4; ++index) {
        if (index == failing)
            continue;
        const TaggedValue expected =
            index < failing ? TaggedValue::fromDouble(defaultNumbers[index]) : earlier;
        QCOMPARE(variable(index), expected);
        QCOMPARE(box(index).text(), defaultTexts[index]);
        QCOMPARE(boxBackColor(box(index)), normalBoxColour);
    }
    QVERIFY(!program->existingForm4());
    QCOMPARE(form().Miocolor, std::int16_t(15));
}

void TestForm3::numberEntryFollowsLocale_data() {
    QTest::addColumn<Locale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<double>("number");
    const Locale it = Locale::Italian;
    QTest::newRow("it zero") << it << "0" << Entry::Accepted << 0.0;
    QTest::newRow("it comma decimal") << it << "0,5" << Entry::Accepted << 0.5;
    QTest::newRow("it negative") << it << "-12" << Entry::Accepted << -12.0;
    QTest::newRow("it grouped") << it << "1.234,5" << Entry::Accepted << 1234.5;
    QTest::newRow("it exponent") << it << "2,5E1" << Entry::Accepted << 25.0;
    QTest::newRow("it point is no decimal") << it << "1.5" << Entry::Refused << 0.0;
    QTest::newRow("C point decimal") << Locale::C << "0.5" << Entry::Accepted << 0.5;
    QTest::newRow("C blanks around") << Locale::C << " 2.5e1 " << Entry::Accepted << 25.0;
    QTest::newRow("C grouped") << Locale::C << "1,234.5" << Entry::Accepted << 1234.5;
    QTest::newRow("C comma is no decimal") << Locale::C << "0,5" << Entry::Refused << 0.0;
    QTest::newRow("C exponent without digits") << Locale::C << "1e" << Entry::Refused << 0.0;
}

void TestForm3::numberEntryFollowsLocale() {
    QFETCH(Locale, locale);
    QFETCH(QString, text);
    QFETCH(Entry, entry);
    QFETCH(double, number);
    useLocale(locale);
    program->Show(form());
    box(1).setText(text);
    press("Command2");
    if (entry == Entry::Refused) {
        QCOMPARE(platform->messages, QStringList{failureMessage("VALb")});
        QCOMPARE(form().VALb, failureMarker);
        QCOMPARE(form().VALc, TaggedValue()); // not read
        QVERIFY(!program->existingForm4());
        return;
    }
    QVERIFY(platform->messages.isEmpty());
    QCOMPARE(form().VALb, TaggedValue::fromDouble(number));
    QCOMPARE(form().VALc, TaggedValue::fromDouble(90));
    QCOMPARE(form().VALe, TaggedValue::fromDouble(1));
    QCOMPARE(program->activeWindow(), program->existingForm4());
}

void TestForm3::redBoxStaysRedUntilNextActivation() {
    useLocale(Locale::Italian);
    program->Show(form());
    box(0).setText(QString());
    press("Command2");
    QCOMPARE(boxBackColor(box(0)), failedBoxColour);

    box(0).setText(QStringLiteral("40"));
    press("Command2");
    QCOMPARE(form().VALa, TaggedValue::fromDouble(40));
    QCOMPARE(program->activeWindow(), program->existingForm4());
    QCOMPARE(boxBackColor(box(0)), failedBoxColour);

    // "RIPRENDI i dati" brings the constants back and activates them.
    program->existingForm4()->control<QPushButton>("Command1")->click();
    QCOMPARE(program->activeWindow(), &form());
    QCOMPARE(boxBackColor(box(0)), normalBoxColour);
    QCOMPARE(box(0).text(), QStringLiteral("40"));
}

void TestForm3::laterActivationKeepsTexts() {
    useLocale(Locale::Italian);
    program->Show(form());
    box(1).setText(QString());
    press("Command2");
    box(2).setText(QStringLiteral("77"));
    program->Show(program->form1());
    program->Show(form());
    const std::array<QString, 4> expected{"86", "", "77", "1"};
    for (int index = 0; index < 4; ++index) {
        QCOMPARE(box(index).text(), expected[index]);
        QCOMPARE(boxBackColor(box(index)), normalBoxColour);
    }
    QCOMPARE(form().Contr, TaggedValue::fromInt16(1));
}

void TestForm3::miocolorResetBeforePlot_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("atPlot");
    QTest::newRow("0 kept") << 0 << 0;
    QTest::newRow("14 kept") << 14 << 14;
    QTest::newRow("15 reset") << 15 << 0;
    QTest::newRow("16-bit top reset") << 32767 << 0;
    QTest::newRow("negative kept") << -1 << -1;
}

void TestForm3::miocolorResetBeforePlot() {
    QFETCH(int, before);
    QFETCH(int, atPlot);
    useLocale(Locale::C);
    program->Show(form());
    form().Miocolor = static_cast<std::int16_t>(before);
    press("Command2");
    QVERIFY(program->existingForm4());
    // The plot window's run advances the cursor once after the reset.
    QCOMPARE(int(form().Miocolor), atPlot + 1);
}

void TestForm3::esciEndsProgram() {
    useLocale(Locale::Italian);
    program->Show(form());
    press("Command1");
    QCOMPARE(platform->endings, 1);
    press("Command2");
    QCOMPARE(form().VALa, TaggedValue());
    QVERIFY(!program->existingForm4());
    QVERIFY(platform->messages.isEmpty());
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
