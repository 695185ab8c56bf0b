#include "core/cosine_watch.h"
#include "core/curve_generator.h"
#include "core/palette.h"
#include "recording_surface.h"

#include <QtTest>
#include <cmath>
#include <numbers>

Q_DECLARE_METATYPE(TaggedValue)
Q_DECLARE_METATYPE(LinkingLines)

char* toString(const TaggedValue& value) {
    static const char* const kinds[] = {"Empty", "Int16", "Int32", "Single", "Double", "Text"};
    const QByteArray text = QByteArray(kinds[static_cast<int>(value.kind())]) + "(" +
                            QByteArray::number(value.toDouble().valueOr(0), 'g', 17) + ")";
    return qstrdup(text.constData());
}

namespace {

using Kind = RecordingSurface::Kind;
using Operation = RecordingSurface::Operation;

// The degree-to-radian factor as the plot window's set-up stores it: single pi over 180.
const float P1 = 3.1415927f / 180.0f;
// The true factor, for statements of the geometry that do not share the code's rounding.
constexpr double degree = std::numbers::pi / 180.0;
// Window coordinates are singles of a few hundred units.
constexpr double tolerance = 1e-3;

constexpr int untouchedA2 = 77;

TaggedValue number(double value) {
    return TaggedValue::fromDouble(value);
}

// The constants window's mark of a bad entry.
TaggedValue failureMarker() {
    return TaggedValue::fromText(QStringLiteral(""));
}

CurveConstants constantsOf(double VALa, double VALb, double VALc, double VALe) {
    return {number(VALa), number(VALb), number(VALc), number(VALe)};
}

CurveConstants defaults() {
    return constantsOf(86, 55, 90, 1);
}

bool near(double actual, double expected) {
    return std::abs(actual - expected) <= tolerance;
}

QByteArray pointText(double x, double y) {
    return "(" + QByteArray::number(x, 'g', 9) + ", " + QByteArray::number(y, 'g', 9) + ")";
}

// The plot window as its set-up leaves it for a calibration factor, plus marks in the
// variables a run may leave alone.
struct GeneratorRun {
    explicit GeneratorRun(double Incr = 0.75) {
        plot.P1 = TaggedValue::fromSingle(P1);
        plot.CX = TaggedValue::fromSingle(260.0f);
        plot.CY = TaggedValue::fromSingle(static_cast<float>(500.0 * Incr) / 2.0f);
        plot.X1 = number(-1);
        plot.Y1 = number(-2);
        plot.A2 = untouchedA2;
        surface.setDrawWidth(2); // the set-up draws the axes at width 2
    }

    void operator()(const CurveConstants& constants, LinkingLines lines = LinkingLines::Off) {
        message = runCurveGenerator(constants, lines, Miocolor, plot, surface);
    }

    double cx() const { return plot.CX.single(); }
    double cy() const { return plot.CY.single(); }

    std::vector<Operation> dotsIn(int colourIndex) const {
        std::vector<Operation> selected;
        for (const Operation& operation : surface.of(Kind::Dot))
            if (operation.colour == paletteColor(colourIndex))
                selected.push_back(operation);
        return selected;
    }

    // "d" for a dot, "l" for a line, "c" for a clear, in drawing order.
    QString shape() const {
        QString text;
        for (const Operation& operation : surface.operations)
            text += operation.kind == Kind::Dot ? u'd' : operation.kind == Kind::Line ? u'l' : u'c';
        return text;
    }

    PlotVariables plot;
    std::int16_t Miocolor = 0;
    RecordingSurface surface;
    std::optional<QString> message;
};

QRgb colourOf(const Operation& operation) {
    return operation.colour.value_or(qRgba(1, 2, 3, 4));
}

// X1 after `steps` candidates of curve 1, each added to the last as the walk does.
double walkOfCurveOne(double epsilon, double beta1, int steps, double (*trig)(double)) {
    double coordinate = 0.0;
    for (int step = 0; step < steps; ++step)
        coordinate = epsilon * trig(beta1) + coordinate;
    return coordinate;
}

double cosine(double angle) {
    return std::cos(angle);
}
double sine(double angle) {
    return std::sin(angle);
}

bool samePoint(const Operation& operation, float x, float y) {
    return operation.x1 == x && operation.y1 == y;
}

// Each line of the last run goes from its pass's curve-1 dot to its curve-2 dot, thin, in
// the colour of curve 2.
void verifyLinesJoinTheirPass(const GeneratorRun& run, std::size_t start) {
    const std::vector<Operation>& operations = run.surface.operations;
    for (std::size_t index = start + 2; index < operations.size(); ++index) {
        const Operation& line = operations[index];
        if (line.kind != Kind::Line)
            continue;
        QVERIFY(samePoint(operations[index - 2], line.x1, line.y1));
        QVERIFY(samePoint(operations[index - 1], line.x2, line.y2));
        QCOMPARE(line.width, 1);
        QCOMPARE(colourOf(line), paletteColor(run.Miocolor + 1));
    }
}

} // namespace

// The curve generator: one run draws curve 1 along OA and curve 2 turning towards it.
class CurveGeneratorTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void defaultsWalkAlongOA_data();
    void defaultsWalkAlongOA();
    void linkingLines_data();
    void linkingLines();
    void refusedRuns_data();
    void refusedRuns();
    void nullSegmentStillTakesTheConstants();
    void passesStopAtTheIntegerPartOfN_data();
    void passesStopAtTheIntegerPartOfN();
    void pointsOnTheBoundsAreDrawn_data();
    void pointsOnTheBoundsAreDrawn();
    void tRoundsHalfToEven_data();
    void tRoundsHalfToEven();
    void curveTwoTurnsByTheRoundedT_data();
    void curveTwoTurnsByTheRoundedT();
    void tAtTheSixteenBitLimits_data();
    void tAtTheSixteenBitLimits();
    void colourCycle_data();
    void colourCycle();
    void cursorAfterRun_data();
    void cursorAfterRun();
    void skippedCurveTwoKeepsThePairCount();
    void skippedCurveTwoLeavesTheCursorAt14();
    void runLeavesTheLastCandidate_data();
    void runLeavesTheLastCandidate();
    void singleProductOfTAndP1_data();
    void singleProductOfTAndP1();
    void stepsTooLargeToHoldDrawNothing_data();
    void stepsTooLargeToHoldDrawNothing();
    void cosineWatchAsksWhereTheCosineMayBeZero_data();
    void cosineWatchAsksWhereTheCosineMayBeZero();
};

void CurveGeneratorTest::defaultsWalkAlongOA_data() {
    QTest::addColumn<double>("Incr");
    QTest::newRow("Incr 0.75") << 0.75;
    QTest::newRow("Incr 0.55, the smallest let through") << 0.55;
    QTest::newRow("Incr 0.51, after a click back on calibration") << 0.51;
    QTest::newRow("Incr 1") << 1.0;
}

void CurveGeneratorTest::defaultsWalkAlongOA() {
    QFETCH(double, Incr);
    GeneratorRun run(Incr);
    run(defaults());
    QVERIFY(!run.message);
    QCOMPARE(int(run.Miocolor), 1);
    QCOMPARE(run.shape(), QString(182, u'd'));
    const double epsilon = 86.0 / 90.0;
    const double beta = 55.0 * degree;
    double x2 = 0.0;
    double y2 = 0.0;
    for (std::size_t pass = 0; pass <= 90; ++pass) {
        const Operation& first = run.surface.operations[2 * pass];
        const Operation& second = run.surface.operations[2 * pass + 1];
        QCOMPARE(first.width, 3);
        QCOMPARE(second.width, 3);
        QCOMPARE(colourOf(first), paletteColor(1));
        QCOMPARE(colourOf(second), paletteColor(2));
        // Curve 1 lies on the ray of OA, (pass + 1) steps out.
        const double distance = static_cast<double>(pass + 1) * epsilon;
        const double x1 = run.cx() + distance * std::cos(beta);
        const double y1 = run.cy() - distance * std::sin(beta);
        QVERIFY2(near(first.x1, x1) && near(first.y1, y1),
                 pointText(first.x1, first.y1) + " instead of " + pointText(x1, y1));
        // Curve 2 steps towards OA's angle scaled by sin(t), t = pass degrees.
        const double direction = beta * std::sin(static_cast<double>(pass) * degree);
        x2 += epsilon * std::cos(direction);
        y2 += epsilon * std::sin(direction);
        QVERIFY2(near(second.x1, run.cx() + x2) && near(second.y1, run.cy() - y2),
                 pointText(second.x1, second.y1) + " at pass " + QByteArray::number(pass));
    }
    // t = 0 on the first pass: one step along X.
    QCOMPARE(run.surface.operations[1].x1, float(260.0 + epsilon));
    QCOMPARE(run.surface.operations[1].y1, float(run.cy()));
    // The loop counts both 0 and n, so the last dot of curve 1 lies past A.
    const Operation& last = run.surface.operations[180];
    QVERIFY(std::hypot(last.x1 - run.cx(), run.cy() - last.y1) > 86.0 + 0.9);
    QCOMPARE(run.surface.DrawWidth(), 3);
}

void CurveGeneratorTest::linkingLines_data() {
    QTest::addColumn<double>("VALc");
    QTest::addColumn<LinkingLines>("lines");
    QTest::addColumn<int>("runs");
    QTest::addColumn<QList<int>>("linkedPasses");
    QTest::addColumn<int>("widthAfter");
    QList<int> everyFifth;
    for (int pass = 4; pass <= 89; pass += 5)
        everyFifth << pass;
    QTest::newRow("defaults, no lines") << 90.0 << LinkingLines::Off << 1 << QList<int>{} << 3;
    QTest::newRow("defaults, lines") << 90.0 << LinkingLines::On << 1 << everyFifth << 3;
    QTest::newRow("a line drawn last") << 4.0 << LinkingLines::On << 1 << QList<int>{4} << 1;
    QTest::newRow("four pairs") << 3.0 << LinkingLines::On << 1 << QList<int>{} << 3;
    // The pair count starts afresh: a second run of four pairs draws no line either.
    QTest::newRow("four pairs twice") << 3.0 << LinkingLines::On << 2 << QList<int>{} << 3;
    QTest::newRow("ten pairs twice") << 9.0 << LinkingLines::On << 2 << QList<int>{4, 9} << 1;
}

void CurveGeneratorTest::linkingLines() {
    QFETCH(double, VALc);
    QFETCH(LinkingLines, lines);
    QFETCH(int, runs);
    QFETCH(QList<int>, linkedPasses);
    QFETCH(int, widthAfter);
    GeneratorRun run;
    for (int count = 0; count < runs; ++count) {
        const std::size_t start = run.surface.operations.size();
        run(constantsOf(86, 55, VALc, 1), lines);
        QString expectedShape = run.shape().left(qsizetype(start));
        for (int pass = 0; pass <= int(VALc); ++pass)
            expectedShape +=
                linkedPasses.contains(pass) ? QStringLiteral("ddl") : QStringLiteral("dd");
        QCOMPARE(run.shape(), expectedShape);
        verifyLinesJoinTheirPass(run, start);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(run.surface.DrawWidth(), widthAfter);
}

void CurveGeneratorTest::refusedRuns_data() {
    QTest::addColumn<TaggedValue>("VALa");
    QTest::addColumn<TaggedValue>("VALb");
    QTest::addColumn<TaggedValue>("VALc");
    QTest::addColumn<TaggedValue>("VALe");
    QTest::addColumn<QString>("message");
    const TaggedValue bad = failureMarker();
    const QString nullSegment = QStringLiteral(" Il segmento Vn è nullo ");
    const QString tTooLarge = QStringLiteral("ALFA × incremento");
    QTest::newRow("n = 0") << number(86) << number(55) << number(0) << number(1) << nullSegment;
    QTest::newRow("n = -0") << number(86) << number(55) << number(-0.0) << number(1) << nullSegment;
    // n is tested before OA is divided by it.
    QTest::newRow("n = 0, VALa bad") << bad << number(55) << number(0) << number(1) << nullSegment;
    QTest::newRow("VALb bad") << number(86) << bad << number(90) << number(1)
                              << QStringLiteral("VALb non è un numero");
    QTest::newRow("VALb bad, n = 0")
        << number(86) << bad << number(0) << number(1) << QStringLiteral("VALb non è un numero");
    QTest::newRow("VALc bad") << number(86) << number(55) << bad << number(1)
                              << QStringLiteral("VALc non è un numero");
    QTest::newRow("VALa bad") << bad << number(55) << number(90) << number(1)
                              << QStringLiteral("VALa non è un numero");
    QTest::newRow("VALa bad, n negative")
        << bad << number(55) << number(-3) << number(1) << QStringLiteral("VALa non è un numero");
    QTest::newRow("VALe bad") << number(86) << number(55) << number(90) << bad
                              << QStringLiteral("VALe non è un numero");
    QTest::newRow("t past 32767") << number(86) << number(55) << number(90) << number(1000)
                                  << tTooLarge;
    QTest::newRow("t below -32768")
        << number(86) << number(55) << number(90) << number(-1000) << tTooLarge;
    // 16383.75 × 2 = 32767.5 rounds to the even 32768.
    QTest::newRow("t rounding past 32767")
        << number(86) << number(55) << number(2) << number(16383.75) << tTooLarge;
}

void CurveGeneratorTest::refusedRuns() {
    QFETCH(TaggedValue, VALa);
    QFETCH(TaggedValue, VALb);
    QFETCH(TaggedValue, VALc);
    QFETCH(TaggedValue, VALe);
    QFETCH(QString, message);
    GeneratorRun run;
    run.Miocolor = 5;
    run({VALa, VALb, VALc, VALe}, LinkingLines::On);
    QVERIFY(run.message);
    if (message.endsWith(u' '))
        QCOMPARE(*run.message, message);
    else
        QVERIFY2(run.message->startsWith(message), qPrintable(*run.message));
    QCOMPARE(run.shape(), QString());
    QCOMPARE(int(run.Miocolor), 6);
    QCOMPARE(run.surface.DrawWidth(), 2);
    QCOMPARE(int(run.plot.A2), untouchedA2);
    QCOMPARE(run.plot.X1, number(-1));
    QCOMPARE(run.plot.Y1, number(-2));
}

void CurveGeneratorTest::nullSegmentStillTakesTheConstants() {
    GeneratorRun run;
    run(constantsOf(86, 55, 0, 1.5));
    QCOMPARE(run.message.value_or(QString()), QStringLiteral(" Il segmento Vn è nullo "));
    QCOMPARE(run.plot.OA, number(86));
    // A double times the single P1: a double product, not a single one.
    QCOMPARE(run.plot.BETA1, number(55.0 * double(P1)));
    QVERIFY(double(55.0f * P1) != 55.0 * double(P1));
    QCOMPARE(run.plot.Ve, number(1.5));
    QCOMPARE(int(run.Miocolor), 1);
}

void CurveGeneratorTest::passesStopAtTheIntegerPartOfN_data() {
    QTest::addColumn<double>("VALa");
    QTest::addColumn<double>("VALc");
    QTest::addColumn<int>("passes");
    QTest::newRow("n 2.5") << 86.0 << 2.5 << 3;
    QTest::newRow("n 1") << 86.0 << 1.0 << 2;
    QTest::newRow("n 0.4") << 40.0 << 0.4 << 1;
    QTest::newRow("n -1") << 86.0 << -1.0 << 0;
    QTest::newRow("n -0.5") << 86.0 << -0.5 << 0;
}

void CurveGeneratorTest::passesStopAtTheIntegerPartOfN() {
    QFETCH(double, VALa);
    QFETCH(double, VALc);
    QFETCH(int, passes);
    GeneratorRun run;
    run(constantsOf(VALa, 55, VALc, 1));
    QVERIFY(!run.message);
    QCOMPARE(run.shape(), QString(2 * passes, u'd'));
    QCOMPARE(int(run.Miocolor), 1);
    // t of the last pass is its ALFA; with no pass t and X1 stay as they were.
    QCOMPARE(int(run.plot.A2), passes > 0 ? passes - 1 : untouchedA2);
    if (passes == 0)
        QCOMPARE(run.plot.X1, number(-1));
}

void CurveGeneratorTest::pointsOnTheBoundsAreDrawn_data() {
    QTest::addColumn<float>("CY");
    QTest::addColumn<double>("VALa");
    QTest::addColumn<double>("VALc");
    QTest::addColumn<QList<float>>("windowX");
    QTest::newRow("300 is past CX") << 187.5f << 600.0 << 10.0 << QList<float>{320, 380, 440, 500};
    QTest::newRow("beyond the right edge") << 187.5f << 500.0 << 2.0 << QList<float>{510};
    QTest::newRow("x equal to CX") << 187.5f << 260.0 << 1.0 << QList<float>{520};
    QTest::newRow("y equal to a zero CY") << 0.0f << 20.0 << 2.0 << QList<float>{270, 280, 290};
}

void CurveGeneratorTest::pointsOnTheBoundsAreDrawn() {
    QFETCH(float, CY);
    QFETCH(double, VALa);
    QFETCH(double, VALc);
    QFETCH(QList<float>, windowX);
    GeneratorRun run;
    run.plot.CY = TaggedValue::fromSingle(CY);
    // Along the X axis both curves take the same steps.
    run(constantsOf(VALa, 0, VALc, 1));
    QCOMPARE(run.shape(), QString(2 * windowX.size(), u'd'));
    for (qsizetype pass = 0; pass < windowX.size(); ++pass) {
        for (std::size_t curve = 0; curve < 2; ++curve) {
            const Operation& dot = run.surface.operations[std::size_t(2 * pass) + curve];
            QVERIFY2(samePoint(dot, windowX[pass], CY), pointText(dot.x1, dot.y1));
        }
    }
}

void CurveGeneratorTest::tRoundsHalfToEven_data() {
    QTest::addColumn<double>("VALa");
    QTest::addColumn<double>("VALe");
    QTest::addColumn<QList<int>>("A2");
    QTest::newRow("0.5") << 86.0 << 0.5 << QList<int>{0, 0, 1, 2, 2, 2, 3, 4, 4};
    QTest::newRow("-0.5") << 86.0 << -0.5 << QList<int>{0, 0, -1, -2, -2, -2, -3, -4, -4};
    QTest::newRow("2.5") << 86.0 << 2.5 << QList<int>{0, 2, 5, 8, 10, 12, 15, 18, 20};
    // Curve 1 leaves the bounds at once; t is still that of the last pass.
    QTest::newRow("0.5, nothing in bounds") << 1e5 << 0.5 << QList<int>{0, 0, 1, 2, 2, 2, 3, 4, 4};
}

void CurveGeneratorTest::tRoundsHalfToEven() {
    QFETCH(double, VALa);
    QFETCH(double, VALe);
    QFETCH(QList<int>, A2);
    for (int last = 0; last < A2.size(); ++last) {
        GeneratorRun run;
        // n = last + 0.5 ends the run at ALFA = last.
        run(constantsOf(VALa, 55, last + 0.5, VALe));
        QVERIFY(!run.message);
        QCOMPARE(int(run.plot.A2), A2[last]);
    }
}

void CurveGeneratorTest::curveTwoTurnsByTheRoundedT_data() {
    QTest::addColumn<double>("VALe");
    QTest::addColumn<int>("onTheAxis");
    QTest::newRow("1") << 1.0 << 1;
    QTest::newRow("0.5") << 0.5 << 2;
    QTest::newRow("0.25") << 0.25 << 3;
    QTest::newRow("0") << 0.0 << 91;
}

void CurveGeneratorTest::curveTwoTurnsByTheRoundedT() {
    QFETCH(double, VALe);
    QFETCH(int, onTheAxis);
    GeneratorRun run;
    run(constantsOf(86, 55, 90, VALe));
    const std::vector<Operation> curveTwo = run.dotsIn(2);
    QCOMPARE(curveTwo.size(), std::size_t{91});
    // While t rounds to 0 curve 2 walks along X; the first t of 1 degree lifts it.
    for (std::size_t pass = 0; pass < std::size_t(onTheAxis); ++pass)
        QVERIFY2(curveTwo[pass].y1 == float(run.cy()), QByteArray::number(pass));
    if (onTheAxis < 91)
        QVERIFY(curveTwo[std::size_t(onTheAxis)].y1 < run.cy() - 0.01);
}

void CurveGeneratorTest::tAtTheSixteenBitLimits_data() {
    QTest::addColumn<double>("VALc");
    QTest::addColumn<TaggedValue>("VALe");
    QTest::addColumn<int>("A2");
    QTest::addColumn<int>("dots");
    QTest::newRow("32767") << 1.0 << number(32767) << 32767 << 4;
    QTest::newRow("-32768") << 1.0 << number(-32768) << -32768 << 4;
    QTest::newRow("32766.5 to even") << 1.0 << number(32766.5) << 32766 << 4;
    QTest::newRow("16383.5 × 2") << 2.0 << number(16383.5) << 32767 << 6;
    // Without a pass the increment is never needed as a number.
    QTest::newRow("no pass, VALe bad") << -1.0 << failureMarker() << untouchedA2 << 0;
}

void CurveGeneratorTest::tAtTheSixteenBitLimits() {
    QFETCH(double, VALc);
    QFETCH(TaggedValue, VALe);
    QFETCH(int, A2);
    QFETCH(int, dots);
    GeneratorRun run;
    run({number(86), number(55), number(VALc), VALe});
    QVERIFY2(!run.message, qPrintable(run.message.value_or(QString())));
    QCOMPARE(int(run.plot.A2), A2);
    QCOMPARE(run.shape(), QString(dots, u'd'));
}

void CurveGeneratorTest::colourCycle_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("firstPair");
    QTest::addColumn<int>("later");
    QTest::newRow("0") << 0 << 1 << 1;
    QTest::newRow("12") << 12 << 13 << 13;
    // The run that reaches 14 draws one pair in 14 and 15, then goes back to 1.
    QTest::newRow("13") << 13 << 14 << 1;
    QTest::newRow("32767 starts again at 0") << 32767 << 0 << 0;
}

void CurveGeneratorTest::colourCycle() {
    QFETCH(int, before);
    QFETCH(int, firstPair);
    QFETCH(int, later);
    GeneratorRun run;
    run.Miocolor = std::int16_t(before);
    run(defaults(), LinkingLines::On);
    const std::vector<Operation>& operations = run.surface.operations;
    QCOMPARE(operations.size(), std::size_t{182 + 18});
    QCOMPARE(colourOf(operations[0]), paletteColor(firstPair));
    QCOMPARE(colourOf(operations[1]), paletteColor(firstPair + 1));
    std::size_t curveOneDots = 0;
    std::size_t curveTwoDotsAndLines = 0;
    for (std::size_t index = 2; index < operations.size(); ++index) {
        const QRgb colour = colourOf(operations[index]);
        curveOneDots += colour == paletteColor(later) ? 1 : 0;
        curveTwoDotsAndLines += colour == paletteColor(later + 1) ? 1 : 0;
    }
    QCOMPARE(curveOneDots, std::size_t{90});
    QCOMPARE(curveTwoDotsAndLines, std::size_t{90 + 18});
    for (const Operation& line : run.surface.of(Kind::Line))
        QCOMPARE(colourOf(line), paletteColor(later + 1));
    QCOMPARE(int(run.Miocolor), later);
}

void CurveGeneratorTest::cursorAfterRun_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<double>("VALc");
    QTest::addColumn<int>("after");
    // Only a completed pair brings 14 back to 1, and only 14.
    QTest::newRow("14, no pass") << 14 << -1.0 << 15;
    QTest::newRow("14, pairs drawn") << 14 << 90.0 << 15;
    QTest::newRow("14, n = 0") << 14 << 0.0 << 15;
    QTest::newRow("13, no pass") << 13 << -1.0 << 14;
    QTest::newRow("32767, no pass") << 32767 << -1.0 << 0;
}

void CurveGeneratorTest::cursorAfterRun() {
    QFETCH(int, before);
    QFETCH(double, VALc);
    QFETCH(int, after);
    GeneratorRun run;
    run.Miocolor = std::int16_t(before);
    run(constantsOf(86, 55, VALc, 1));
    QCOMPARE(int(run.Miocolor), after);
}

// OA points left along X while curve 2 first goes right, then up past a low CY, then back:
// its candidate at ALFA 5 (t = 150) is out of bounds while curve 1 is still drawn.
void CurveGeneratorTest::skippedCurveTwoKeepsThePairCount() {
    GeneratorRun run;
    run.plot.CY = TaggedValue::fromSingle(20.0f);
    run(constantsOf(190, 180, 19, 30), LinkingLines::On);
    const std::vector<Operation> curveOne = run.dotsIn(1);
    const std::vector<Operation> curveTwo = run.dotsIn(2);
    QCOMPARE(curveOne.size(), std::size_t{20});
    QCOMPARE(curveTwo.size(), std::size_t{19});
    // Pairs 5, 10 and 15 are completed at ALFA 4, 10 and 15; curve 1 is at x = -10 (ALFA + 1).
    const std::vector<Operation> lines = run.surface.of(Kind::Line);
    QCOMPARE(lines.size(), std::size_t{3});
    const float lineStart[] = {210, 150, 100};
    for (std::size_t index = 0; index < lines.size(); ++index) {
        QVERIFY(near(lines[index].x1, lineStart[index]));
        QVERIFY(near(lines[index].y1, 20.0));
    }
    // After the skip curve 2 goes on from its ALFA-4 point, one step along X (t = 180).
    const double pi = std::numbers::pi;
    const double lifted = std::sin(pi * std::sin(60 * degree));
    const double back = std::cos(pi * std::sin(60 * degree));
    const double x = 10.0 * (1 + 0 + back - 1 + back + 1);
    const double y = 10.0 * (1 + lifted + 0 + lifted);
    QVERIFY2(near(curveTwo[5].x1, 260.0 + x) && near(curveTwo[5].y1, 20.0 - y),
             pointText(curveTwo[5].x1, curveTwo[5].y1));
}

// OA stands straight up in a tall window and the first step of curve 2, along X, is past
// CX; at ALFA 1 (t = 90) curve 2 turns up from O and completes the first pair.
void CurveGeneratorTest::skippedCurveTwoLeavesTheCursorAt14() {
    GeneratorRun run;
    run.plot.CY = TaggedValue::fromSingle(600.0f);
    run.Miocolor = 13;
    run(constantsOf(540, 90, 2, 90));
    QCOMPARE(run.shape(), QStringLiteral("ddd"));
    const std::vector<Operation>& operations = run.surface.operations;
    QVERIFY(near(operations[0].x1, 260.0) && near(operations[0].y1, 330.0));
    QVERIFY(near(operations[1].x1, 260.0) && near(operations[1].y1, 60.0));
    QVERIFY(near(operations[2].x1, 260.0) && near(operations[2].y1, 330.0));
    QCOMPARE(colourOf(operations[0]), paletteColor(14));
    QCOMPARE(colourOf(operations[1]), paletteColor(14));
    QCOMPARE(colourOf(operations[2]), paletteColor(15));
    QCOMPARE(int(run.Miocolor), 1);
}

void CurveGeneratorTest::runLeavesTheLastCandidate_data() {
    QTest::addColumn<double>("VALa");
    QTest::addColumn<double>("VALb");
    QTest::addColumn<double>("VALc");
    QTest::addColumn<int>("candidates");
    QTest::addColumn<int>("A2");
    QTest::newRow("defaults") << 86.0 << 55.0 << 90.0 << 91 << 90;
    // The fifth candidate, 300, is skipped but stays in X1.
    QTest::newRow("300 is past CX") << 600.0 << 0.0 << 10.0 << 5 << 10;
    QTest::newRow("one pass") << 86.0 << 55.0 << 0.5 << 1 << 0;
    QTest::newRow("steep") << 86.0 << 89.0 << 7.0 << 8 << 7;
}

void CurveGeneratorTest::runLeavesTheLastCandidate() {
    QFETCH(double, VALa);
    QFETCH(double, VALb);
    QFETCH(double, VALc);
    QFETCH(int, candidates);
    QFETCH(int, A2);
    GeneratorRun run;
    run(constantsOf(VALa, VALb, VALc, 1));
    const double epsilon = VALa / VALc;
    const double beta1 = VALb * double(P1);
    QCOMPARE(run.plot.X1, number(walkOfCurveOne(epsilon, beta1, candidates, cosine)));
    QCOMPARE(run.plot.Y1, number(walkOfCurveOne(epsilon, beta1, candidates, sine)));
    QCOMPARE(int(run.plot.A2), A2);
    QCOMPARE(run.surface.DrawWidth(), 3);
}

void CurveGeneratorTest::singleProductOfTAndP1_data() {
    QTest::addColumn<double>("VALe");
    // For these t the single product t × P1 moves the second curve-2 dot by one single step
    // against the double product.
    QTest::newRow("30") << 30.0;
    QTest::newRow("74") << 74.0;
    QTest::newRow("127") << 127.0;
}

void CurveGeneratorTest::singleProductOfTAndP1() {
    QFETCH(double, VALe);
    GeneratorRun run;
    run(constantsOf(86, 55, 1, VALe));
    QCOMPARE(run.shape(), QStringLiteral("dddd"));
    const double cx = 260.0;
    const double cy = 187.5;
    const double epsilon = 86.0;
    const double beta1 = 55.0 * double(P1);
    const double x1 = epsilon * std::cos(beta1) + epsilon * std::cos(beta1);
    const double y1 = epsilon * std::sin(beta1) + epsilon * std::sin(beta1);
    const Operation& curveOne = run.surface.operations[2];
    QVERIFY2(samePoint(curveOne, float(cx + x1), float(cy - y1)),
             pointText(curveOne.x1, curveOne.y1));
    const auto curveTwoAt = [&](double t) {
        const double direction = beta1 * std::sin(t);
        return std::pair{float(cx + (epsilon * std::cos(direction) + epsilon)),
                         float(cy - (epsilon * std::sin(direction) + 0.0))};
    };
    const std::int16_t A2 = std::int16_t(VALe);
    const auto single = curveTwoAt(double(float(A2) * P1));
    const auto wide = curveTwoAt(double(A2) * double(P1));
    QVERIFY2(single != wide, "this t does not tell the two products apart");
    const Operation& curveTwo = run.surface.operations[3];
    QVERIFY2(samePoint(curveTwo, single.first, single.second),
             pointText(curveTwo.x1, curveTwo.y1) + " instead of " +
                 pointText(single.first, single.second));
}

void CurveGeneratorTest::stepsTooLargeToHoldDrawNothing_data() {
    QTest::addColumn<double>("VALa");
    QTest::addColumn<double>("VALb");
    QTest::addColumn<double>("VALc");
    QTest::newRow("OA / n overflows") << 1e308 << 55.0 << 1e-300;
    QTest::newRow("OA / n overflows, negative") << -1e308 << 45.0 << 0.5;
    QTest::newRow("huge but finite step") << 1e308 << 45.0 << 1.0;
    QTest::newRow("huge along X") << 1e308 << 0.0 << 3.0;
}

void CurveGeneratorTest::stepsTooLargeToHoldDrawNothing() {
    QFETCH(double, VALa);
    QFETCH(double, VALb);
    QFETCH(double, VALc);
    GeneratorRun run;
    run(constantsOf(VALa, VALb, VALc, 1), LinkingLines::On);
    for (const Operation& operation : run.surface.operations)
        QVERIFY(std::isfinite(operation.x1) && std::isfinite(operation.y1));
    QCOMPARE(run.shape(), QString());
    QCOMPARE(int(run.Miocolor), 1);
}

void CurveGeneratorTest::cosineWatchAsksWhereTheCosineMayBeZero_data() {
    QTest::addColumn<float>("factor");
    QTest::addColumn<qint64>("from");
    // A factor that meets an odd multiple of pi/2 every `passes` passes, to within its
    // rounding.
    const auto quarterTurnIn = [](double passes) {
        return static_cast<float>(std::numbers::pi / 2.0 / passes);
    };
    QTest::newRow("degrees") << P1 << qint64{0};
    // Past 32767 the product is a double one.
    QTest::newRow("past 16 bits") << quarterTurnIn(11000) << qint64{30000};
    QTest::newRow("the smallest watched step") << quarterTurnIn(15700) << qint64{0};
    QTest::newRow("the largest watched step") << quarterTurnIn(16) << qint64{0};
    QTest::newRow("a step asked about at every pass") << quarterTurnIn(3) << qint64{0};
}

// The watch must ask at every pass where the plain test could find the cosine zero. It may
// start at any pass.
void CurveGeneratorTest::cosineWatchAsksWhereTheCosineMayBeZero() {
    QFETCH(float, factor);
    QFETCH(qint64, from);
    CosineWatch watch(factor);
    int nearZero = 0;
    for (std::int64_t alfa = from; alfa < from + 200000; ++alfa) {
        const bool watched = watch.mayBeZero(alfa);
        const bool plain = cosineMayBeZero(alfaTimesP1(alfa, factor));
        nearZero += plain ? 1 : 0;
        QVERIFY2(watched == plain, qPrintable(QString::number(alfa)));
    }
    QVERIFY(nearZero > 0);
}

QTEST_GUILESS_MAIN(CurveGeneratorTest)
#include "tst_curve_generator.moc"
