#include "core/number_text.h"

#include <QtTest>
#include <cfloat>
#include <cmath>

// The other blank that is not the locale's group separator, so a text written with it must
// be refused whichever of the two the locale data uses.
static QString otherBlank(const QLocale& locale) {
    return locale.groupSeparator() == u"\u00a0" ? QStringLiteral("\u202f")
                                                : QStringLiteral("\u00a0");
}

class NumberTextTest : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void parseUsesDefaultLocale();
    void formatDouble_data();
    void formatDouble();
    void formatSingle_data();
    void formatSingle();
};

void NumberTextTest::parse_data() {
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("expected");

    const auto accept = [](const char* name, const char* locale, const QString& text,
                           double value) {
        QTest::newRow(name) << locale << text << true << value;
    };
    const auto refuse = [](const char* name, const char* locale, const QString& text) {
        QTest::newRow(name) << locale << text << false << 0.0;
    };
    accept("it comma decimal", "it_IT", "0,5", 0.5);
    refuse("it dot decimal", "it_IT", "0.5");
    accept("it one group", "it_IT", "1.000", 1000);
    accept("it two groups", "it_IT", "1.000.000", 1e6);
    accept("it group and fraction", "it_IT", "1.000,25", 1000.25);
    refuse("it short group", "it_IT", "1.5");
    refuse("it group of two", "it_IT", "1.00");
    refuse("it group of four", "it_IT", "1.0000");
    refuse("it doubled separator", "it_IT", "1..000");
    refuse("it four leading digits", "it_IT", "1000.000");
    refuse("it zero before group", "it_IT", "0.100");
    refuse("it group first", "it_IT", ".000");
    refuse("it group after decimal", "it_IT", "1,000.000");
    accept("it no integer digits", "it_IT", ",5", 0.5);
    accept("it no fraction digits", "it_IT", "5,", 5);
    refuse("it separator alone", "it_IT", ",");
    refuse("it two decimals", "it_IT", "1,5,5");
    accept("plus sign", "it_IT", "+3", 3);
    accept("minus zero", "it_IT", "-0", -0.0);
    accept("unicode minus", "it_IT", "\u22127", -7);
    refuse("two signs", "it_IT", "+-3");
    refuse("blank after sign", "it_IT", "- 3");
    accept("blanks around", "it_IT", " 7 ", 7);
    accept("tabs around", "it_IT", "\t7\t", 7);
    refuse("blank inside", "it_IT", "1 000");
    refuse("empty", "it_IT", "");
    refuse("blanks only", "it_IT", " \t ");
    refuse("letters", "it_IT", "abc");
    refuse("trailing letter", "it_IT", "5x");
    refuse("hexadecimal", "it_IT", "0x10");
    refuse("not a number", "it_IT", "NaN");
    refuse("infinity", "it_IT", "inf");
    refuse("arabic-indic digit", "it_IT", "\u0663");
    refuse("fullwidth digit", "it_IT", "\uff15");
    refuse("nul", "it_IT", QString(QChar(u'5')) + QChar(u'\0'));
    refuse("line feed", "it_IT", "5\n");
    refuse("emoji", "it_IT", "5\U0001F600");
    accept("exponent", "it_IT", "1,5E3", 1500);
    accept("lower exponent with sign", "it_IT", "25e-2", 0.25);
    accept("exponent after group", "it_IT", "1.000e3", 1e6);
    refuse("exponent without digits", "it_IT", "1e");
    refuse("exponent without mantissa", "it_IT", "e5");
    refuse("overflow", "it_IT", "1e400");
    refuse("negative overflow", "it_IT", "-1e400");
    accept("subnormal", "it_IT", "1e-320", 1e-320);
    accept("underflow to zero", "it_IT", "1e-400", 0.0);
    accept("negative underflow", "it_IT", "-1e-400", -0.0);
    refuse("long integer", "C", QString(10000, u'9'));
    accept("long fraction", "C", "0." + QString(10000, u'3'), 1.0 / 3);
    accept("long leading zeros", "C", QString(10000, u'0') + "1", 1);
    accept("long exponent zeros", "C", "1e" + QString(10000, u'0'), 1);
    accept("long negative exponent", "C", "1e-" + QString(10000, u'9'), 0.0);
    refuse("long positive exponent", "C", "1e" + QString(10000, u'9'));
    accept("C dot decimal", "C", "0.5", 0.5);
    refuse("C comma decimal", "C", "1,5");
    accept("C group", "C", "1,000.5", 1000.5);
    accept("C minus zero", "C", "-0", -0.0);

    const QLocale french("fr_FR");
    const QString group = french.groupSeparator();
    accept("fr own group", "fr_FR", "1" + group + "000,5", 1000.5);
    refuse("fr ascii blank", "fr_FR", "1 000,5");
    refuse("fr other blank", "fr_FR", "1" + otherBlank(french) + "000,5");
    refuse("fr trailing group", "fr_FR", "5" + group);
}

void NumberTextTest::parse() {
    QFETCH(QString, localeName);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(double, expected);
    const QLocale locale(localeName);

    const std::optional<double> parsed = parseNumber(text, locale);
    QCOMPARE(parsed.has_value(), accepted);
    QCOMPARE(isNumeric(text, locale), accepted);
    if (accepted) {
        QCOMPARE(*parsed, expected);
        QCOMPARE(std::signbit(*parsed), std::signbit(expected));
    }
}

void NumberTextTest::parseUsesDefaultLocale() {
    QLocale::setDefault(QLocale("it_IT"));
    QCOMPARE(parseNumber(u"2,5"), 2.5);
    QVERIFY(!isNumeric(u"2.5"));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(parseNumber(u"2.5"), 2.5);
    QVERIFY(!isNumeric(u"2,5"));
}

void NumberTextTest::formatDouble_data() {
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("it short fraction") << "it_IT" << 0.51 << "0,51";
    QTest::newRow("it sum a hair above") << "it_IT" << 0.02 * 3 + 0.51 << "0,57";
    QTest::newRow("C sum a hair above") << "C" << 0.02 * 3 + 0.51 << "0.57";
    QTest::newRow("third") << "it_IT" << 1.0 / 3 << "0,333333333333333";
    QTest::newRow("two thirds round up") << "it_IT" << -2.0 / 3 << "-0,666666666666667";
    QTest::newRow("zero") << "it_IT" << 0.0 << "0";
    QTest::newRow("minus zero") << "it_IT" << -0.0 << "0";
    QTest::newRow("no group separator") << "it_IT" << 1234567.5 << "1234567,5";
    QTest::newRow("C no group separator") << "C" << 1234567.5 << "1234567.5";
    QTest::newRow("integer") << "it_IT" << -120000.0 << "-120000";
    QTest::newRow("largest plain") << "it_IT" << 999999999999999.0 << "999999999999999";
    QTest::newRow("rounds up to exponent") << "it_IT" << 999999999999999.9 << "1E+15";
    QTest::newRow("exponent threshold") << "it_IT" << 1e15 << "1E+15";
    QTest::newRow("rounded mantissa") << "it_IT" << 123456789012345678.0 << "1,23456789012346E+17";
    QTest::newRow("large negative") << "it_IT" << -2.25e20 << "-2,25E+20";
    QTest::newRow("three digit exponent") << "it_IT" << 1e100 << "1E+100";
    QTest::newRow("smallest plain") << "it_IT" << 1e-4 << "0,0001";
    QTest::newRow("small exponent") << "it_IT" << 1e-5 << "1E-05";
    QTest::newRow("small mantissa") << "it_IT" << 1.5e-5 << "1,5E-05";
    QTest::newRow("C small mantissa") << "C" << -1.5e-5 << "-1.5E-05";
    QTest::newRow("fr no group separator") << "fr_FR" << 1234.5 << "1234,5";
    QTest::newRow("huge") << "C" << 1e300 << "1E+300";
}

void NumberTextTest::formatDouble() {
    QFETCH(QString, localeName);
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QLocale locale(localeName);

    const QString text = ::formatDouble(value, locale);
    QCOMPARE(text, expected);
    // What the program shows it must read back, within the 15 digits shown.
    const std::optional<double> back = parseNumber(text, locale);
    QVERIFY(back.has_value());
    QVERIFY(std::fabs(*back - value) <= std::fabs(value) * 1e-14);
}

void NumberTextTest::formatSingle_data() {
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tenth") << "it_IT" << 0.1f << "0,1";
    QTest::newRow("C tenth") << "C" << 0.1f << "0.1";
    QTest::newRow("degree in radians") << "it_IT" << 3.1415927f / 180 << "0,01745329";
    QTest::newRow("third") << "it_IT" << 1.0f / 3 << "0,3333333";
    QTest::newRow("seven digits") << "it_IT" << -1234567.0f << "-1234567";
    QTest::newRow("rounds up to plain") << "it_IT" << 0.0001f << "0,0001";
    QTest::newRow("small exponent") << "it_IT" << 2.5e-5f << "2,5E-05";
    QTest::newRow("minus zero") << "it_IT" << -0.0f << "0";
}

void NumberTextTest::formatSingle() {
    QFETCH(QString, localeName);
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(::formatSingle(value, QLocale(localeName)), expected);
}

QTEST_GUILESS_MAIN(NumberTextTest)
#include "tst_number_text.moc"
