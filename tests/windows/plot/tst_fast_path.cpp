#include "core/cosine_watch.h"
#include "core/curve_generator.h"
#include "core/degrees.h"
#include "core/palette.h"
#include "core/raster.h"
#include "plain_curve_run.h"
#include "surface/plot_surface.h"
#include "windows/plot/curve_run.h"

#include <QtTest>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <thread>

Q_DECLARE_METATYPE(TaggedValue)
Q_DECLARE_METATYPE(LinkingLines)

namespace {

// What a row of the run table is there for, checked on the plain reading before the runs are
// compared: the cases the image surface's own walk could get wrong.
enum class Situation {
    Any,
    LineBetweenRunsOnAnAnchor, // a curve's dot, a line, its next dot on the same anchor
    ColourChangeOnAnAnchor,    // a curve's next dot on the same anchor in another colour
    EndsAtAWatchZonesFirstPass,
    EndsAtAWatchZonesLastPass,
    A2ChangesAtTheLastPass,
};

// The surface's own walk goes through the run tables once in each kind of lanes: the program
// walks vector ones where it has them, and plain ones elsewhere.
using PassLanes = PlotSurface::PassLanes;
constexpr std::array bothLanes{PassLanes::Vector, PassLanes::Plain};
// A row of a run table, named and filled in for the lanes it walks.
QTestData& laneRow(PassLanes lanes, const char* name) {
    return QTest::addRow("%s (%s lanes)", name, lanes == PassLanes::Vector ? "vector" : "plain")
           << lanes;
}

// The plot window's client area at 96 DPI.
const QSize plotClientArea(707, 452);

// A window whose whole client area is a plotting surface.
struct Host {
    explicit Host(PlotSurface::Drawing drawing, QSize size = plotClientArea) {
        window.resize(size);
        surface = new PlotSurface(&window);
        surface->setDrawing(drawing);
        window.show();
    }
    QWidget window;
    PlotSurface* surface = nullptr;
};

// Equal kind and payload, a double to the last bit.
bool sameBits(const TaggedValue& left, const TaggedValue& right) {
    if (left.kind() != right.kind())
        return false;
    if (left.kind() == TaggedValue::Kind::Double)
        return std::bit_cast<quint64>(left.real()) == std::bit_cast<quint64>(right.real());
    return left == right;
}

QByteArray describe(const TaggedValue& value) {
    return QByteArray::number(static_cast<int>(value.kind())) + ":" +
           QByteArray::number(value.toDouble().valueOr(0.0), 'g', 17);
}

// Empty when the two pictures agree; otherwise how many pixels differ and the first one.
QByteArray differences(const QImage& fast, const QImage& plain) {
    if (fast.size() != plain.size())
        return "sizes differ";
    qsizetype count = 0;
    QByteArray first;
    for (int y = 0; y < fast.height(); ++y) {
        for (int x = 0; x < fast.width(); ++x) {
            if (fast.pixel(x, y) == plain.pixel(x, y))
                continue;
            if (count++ == 0)
                first = QByteArray::number(x) + "," + QByteArray::number(y) + ": " +
                        QByteArray::number(fast.pixel(x, y), 16) + " instead of " +
                        QByteArray::number(plain.pixel(x, y), 16);
        }
    }
    return count == 0 ? QByteArray() : QByteArray::number(count) + " pixels differ, " + first;
}

TaggedValue number(double value) {
    return TaggedValue::fromDouble(value);
}

// One surface operation of a drawing script.
struct Step {
    enum Kind { Dot, Line, Width, ScaleWidth, Clear, Resize, Compare, Block } kind = Dot;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int colour = 0;
};
using Script = QList<Step>;

Step dot(float x, float y, int colour) {
    return {Step::Dot, x, y, 0, 0, colour};
}
Step line(float x1, float y1, float x2, float y2, int colour) {
    return {Step::Line, x1, y1, x2, y2, colour};
}
Step width(int pixels) {
    return {Step::Width, 0, 0, 0, 0, pixels};
}
Step compare() {
    return {Step::Compare};
}
// A block of dots of that width as a run hands them over: two curves from (x, y) that
// advance by `step` every other pass, so most dots repeat the dot two before, and a line
// between their dots every fifth pair of the first `linedPasses`, most of them over the line
// before.
Step block(float x, float y, float step, int dotWidth, int linedPasses = 400) {
    return {Step::Block, x, y, step, static_cast<float>(linedPasses), dotWidth};
}

DotBlock blockOf(const Step& step) {
    DotBlock block;
    block.dotWidth = step.colour;
    for (int pass = 0; pass < 400; ++pass) {
        const float advance = step.x2 * static_cast<float>(pass / 2);
        const float x1 = step.x1 + advance, y1 = step.y1 + advance / 3;
        const float x2 = step.x1 + advance / 2, y2 = step.y1 + 20 - advance / 4;
        block.addDot(x1, y1, paletteColor(1 + pass / 150));
        block.addDot(x2, y2, paletteColor(2 + pass / 150));
        if (pass % 5 == 4 && pass < static_cast<int>(step.y2))
            block.addLine(x1, y1, x2, y2, paletteColor(2));
    }
    return block;
}

void apply(const Step& step, Host& host) {
    PlotSurface& surface = *host.surface;
    switch (step.kind) {
    case Step::Dot:
        surface.PSet(step.x1, step.y1, paletteColor(step.colour));
        break;
    case Step::Line:
        surface.Line(step.x1, step.y1, step.x2, step.y2, paletteColor(step.colour));
        break;
    case Step::Width:
        surface.setDrawWidth(step.colour);
        break;
    case Step::ScaleWidth:
        surface.setScaleWidth(step.x1);
        break;
    case Step::Clear:
        surface.Cls();
        break;
    case Step::Resize:
        host.window.resize(static_cast<int>(step.x1), static_cast<int>(step.y1));
        break;
    case Step::Block:
        surface.drawBlock(blockOf(step));
        break;
    case Step::Compare:
        break;
    }
}

// What a run left: its drawing, its variables and the colour cursor.
struct RunOutcome {
    PlotSurface* surface = nullptr;
    const PlotVariables* plot = nullptr;
    std::int16_t Miocolor = 0;
};

void verifySameRun(const RunOutcome& fast, const RunOutcome& plain) {
    const QByteArray pixels = differences(fast.surface->snapshot(), plain.surface->snapshot());
    QVERIFY2(pixels.isEmpty(), pixels);
    QCOMPARE(fast.Miocolor, plain.Miocolor);
    QCOMPARE(fast.plot->A2, plain.plot->A2);
    QCOMPARE(fast.surface->DrawWidth(), plain.surface->DrawWidth());
    for (const auto member : {&PlotVariables::OA, &PlotVariables::BETA1, &PlotVariables::Ve,
                              &PlotVariables::X1, &PlotVariables::Y1})
        QVERIFY2(sameBits(fast.plot->*member, plain.plot->*member),
                 describe(fast.plot->*member) + " against " + describe(plain.plot->*member));
}

// A progress that any thread may call: it says to stop at the given report.
struct WorkerProgress : ProgressReport {
    explicit WorkerProgress(int stopAt) : stopAtReport(stopAt) {}
    bool update(std::int64_t, std::int64_t) override {
        calledFrom = std::this_thread::get_id();
        return ++reports != stopAtReport;
    }
    Caller caller() const override { return Caller::AnyThread; }

    int stopAtReport = -1;
    int reports = 0;
    std::thread::id calledFrom;
};

} // namespace

Q_DECLARE_METATYPE(Script)
Q_DECLARE_METATYPE(Situation)
Q_DECLARE_METATYPE(PassLanes)

namespace {

// The plain reading's dots as the anchors the surface behind gives them, and its lines among
// them. The curves' dots alternate: the rows that look at them keep both curves inside.
class OperationRecorder : public StandInSurface {
public:
    OperationRecorder(DrawingSurface& behind, double ratio)
        : StandInSurface(behind), ratio_(ratio) {}
    struct Operation {
        bool line = false;
        std::int64_t anchor = 0;
        QRgb colour = 0;
    };
    void PSet(float x, float y, QRgb colour) override {
        const int pen = std::max(1, static_cast<int>(std::lround(DrawWidth() * ratio_)));
        const auto at = [&](float position, double unit) {
            return raster::anchorFor(position * unit, pen);
        };
        operations.push_back({false,
                              std::int64_t{at(y, userToDevice().m22())} << 32 |
                                  static_cast<std::uint32_t>(at(x, userToDevice().m11())),
                              colour});
        behind().PSet(x, y, colour);
    }
    void Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) override {
        operations.push_back({true, 0, 0});
        behind().Line(x1, y1, x2, y2, colour);
    }
    // Whether a curve's dot is followed by its next one on the same anchor, with a line
    // between them or in another colour.
    bool nextDotOnTheSameAnchor(bool lineBetween, bool otherColour) const {
        for (int curve = 0; curve < 2; ++curve) {
            std::optional<Operation> before;
            bool line = false;
            int dots = 0;
            for (const Operation& operation : operations) {
                if (operation.line) {
                    line = true;
                    continue;
                }
                if (dots++ % 2 != curve)
                    continue;
                if (before && before->anchor == operation.anchor &&
                    (before->colour != operation.colour) == otherColour && line == lineBetween)
                    return true;
                before = operation;
                line = false;
            }
        }
        return false;
    }
    QList<Operation> operations;

private:
    double ratio_ = 1.0;
};

// The situation of the row occurs in the plain reading of its run.
bool situationOccurs(Situation situation, const OperationRecorder& plain, std::int64_t lastAlfa,
                     const CurveConstants& constants) {
    switch (situation) {
    case Situation::Any:
        return true;
    case Situation::LineBetweenRunsOnAnAnchor:
        return plain.nextDotOnTheSameAnchor(true, false);
    case Situation::ColourChangeOnAnAnchor:
        return plain.nextDotOnTheSameAnchor(false, true);
    case Situation::EndsAtAWatchZonesFirstPass: {
        CosineWatch watch(degreeToRadianSingle);
        return watch.nextZero(0, lastAlfa - 1) == lastAlfa && watch.clearBefore() == lastAlfa;
    }
    case Situation::EndsAtAWatchZonesLastPass: {
        // The zone holds the last pass and the two before; asking about the last plans the
        // next zone.
        CosineWatch watch(degreeToRadianSingle);
        if (watch.nextZero(0, lastAlfa - 1) != lastAlfa || watch.clearBefore() != lastAlfa - 2)
            return false;
        watch.nextZero(lastAlfa, lastAlfa);
        return watch.clearBefore() > lastAlfa;
    }
    case Situation::A2ChangesAtTheLastPass: {
        // The plain reading leaves the A2 of the last pass it made.
        const auto A2after = [&](std::int64_t passes) {
            DrawingSurface nowhere;
            PlotVariables plot;
            setUpPlotWindow(nowhere, plot, TaggedValue::fromDouble(0.63));
            std::int16_t colour = 0;
            plain_curve_run::run(constants, LinkingLines::Off, colour, plot, nowhere, passes);
            return plot.A2;
        };
        return A2after(lastAlfa) != A2after(lastAlfa + 1);
    }
    }
    return false;
}

// Runs drawn from a fixed seed, the same ones on every machine (the engine's sequence is the
// standard's): OA from a pixel to far past the area, any angle, t fast and slow, and both
// curves crossing every edge of the area, where a dot's anchor falls below 0.
void addSeededRunRows(PassLanes lanes) {
    std::mt19937_64 engine(20261208);
    const auto between = [&engine](double low, double high) {
        return low + (high - low) * static_cast<double>(engine() >> 11) * 0x1.0p-53;
    };
    for (int index = 1; index <= 12; ++index) {
        const double oa = std::exp(between(0.0, std::log(2000.0)));
        const double angle = between(-360, 360);
        const double increment = std::exp(between(std::log(0.005), std::log(20.0)));
        // t = n × the increment stays within its 16-bit limit.
        const double n = between(1, std::min(3000.0, 30000.0 / increment));
        const LinkingLines lines = engine() % 2 == 0 ? LinkingLines::On : LinkingLines::Off;
        const int colour = static_cast<int>(engine() % 16);
        const int runs = 1 + static_cast<int>(engine() % 2);
        const double incr = between(0.05, 2);
        const QByteArray name = QStringLiteral("seeded run %1: %2, %3, %4, %5")
                                    .arg(index)
                                    .arg(oa)
                                    .arg(angle)
                                    .arg(n)
                                    .arg(increment)
                                    .toLatin1();
        laneRow(lanes, name.constData())
            << CurveConstants{number(oa), number(angle), number(n), number(increment)} << lines
            << colour << runs << incr << Situation::Any;
    }
}

// The rows of the run table walked in these lanes.
void addRunRows(PassLanes lanes) {
    const auto row = [lanes](const char* name) -> QTestData& { return laneRow(lanes, name); };
    const auto constants = [](double a, double b, double c, const TaggedValue& e) {
        return CurveConstants{number(a), number(b), number(c), e};
    };
    const CurveConstants defaults = constants(86, 55, 90, number(1));
    row("defaults") << defaults << LinkingLines::Off << 0 << 1 << 0.63 << Situation::Any;
    row("defaults, lines") << defaults << LinkingLines::On << 0 << 1 << 0.63 << Situation::Any;
    // The first pair in 14 and 15, the rest in 1 and 2: dots over dots of another colour.
    row("across the colour wrap") << defaults << LinkingLines::On << 13 << 2 << 0.63
                                  << Situation::Any;
    row("runs over runs") << constants(120, 30, 400, number(3)) << LinkingLines::On << 4 << 3
                          << 0.55 << Situation::Any;
    // A hundred thousand passes: ALFA outgrows 16 bits, t stays for 100 passes at a time,
    // and most dots and lines fall on the pixels of the ones before.
    row("a long run with lines") << constants(200, 45, 1e5, number(0.01)) << LinkingLines::On << 0
                                 << 1 << 0.63 << Situation::Any;
    row("a single increment") << constants(150, 70, 40000, TaggedValue::fromSingle(0.3f))
                              << LinkingLines::On << 2 << 1 << 0.75 << Situation::Any;
    // Curve 1 leaves the bounds after a quarter of the run, for good; t still changes at
    // the last pass.
    row("an early end") << constants(600, 45, 40001, number(0.75)) << LinkingLines::Off << 0 << 1
                        << 0.63 << Situation::Any;
    // The same end walked slowly, with lines: a dot keeps its anchor for passes on end while
    // curve 1 closes in on the bounds, so the passes that write nothing meet them too.
    row("a slow early end with lines") << constants(600, 45, 1e5, number(0.01)) << LinkingLines::On
                                       << 0 << 1 << 0.63 << Situation::Any;
    // Curve 2 swings back over curve 1 and out of the low bounds and in again.
    row("curve 2 out and in") << constants(190, 180, 400, number(30)) << LinkingLines::On << 0 << 1
                              << 0.08 << Situation::Any;
    row("a fractional n") << constants(86, 55, 90.5, number(0.5)) << LinkingLines::On << 0 << 1
                          << 0.63 << Situation::Any;
    // The image surface writes only the last dot of a run on one anchor, and hands a line on
    // only once the dots before it are settled. A slow run: curve 1 keeps its anchor for about
    // seventy passes, a line every five.
    const CurveConstants slow = constants(20, 45, 2000, number(0.01));
    row("runs on one anchor with a line between")
        << slow << LinkingLines::On << 0 << 1 << 0.63 << Situation::LineBetweenRunsOnAnAnchor;
    // The first pair in 14 and 15, the next in 1 and 2 on the same anchors.
    row("a colour change within a run on one anchor")
        << slow << LinkingLines::On << 13 << 1 << 0.63 << Situation::ColourChangeOnAnAnchor;
    // The passes next to a zero of cos(ALFA × P1) are found ahead: runs that end at the first
    // and at the last of those passes.
    const std::int64_t zone = CosineWatch(degreeToRadianSingle).clearBefore();
    row("the run ends at a watch zone's first pass")
        << constants(20, 45, static_cast<double>(zone), number(0.01)) << LinkingLines::On << 0 << 1
        << 0.63 << Situation::EndsAtAWatchZonesFirstPass;
    row("the run ends at a watch zone's last pass")
        << constants(20, 45, static_cast<double>(zone + 2), number(0.01)) << LinkingLines::On << 0
        << 1 << 0.63 << Situation::EndsAtAWatchZonesLastPass;
    // ALFA × 0.01 reaches 1.5 at the last pass: t changes for that pass alone.
    row("A2 changes at the run's last pass")
        << constants(20, 45, 150, number(0.01)) << LinkingLines::On << 0 << 1 << 0.63
        << Situation::A2ChangesAtTheLastPass;
    addSeededRunRows(lanes);
}

} // namespace

// The fast paths against the plain reading: the generator's shortcuts (t's trigonometry
// kept while t stays, no cosine where it cannot be zero, the early end) and the surface's
// economies (batched dots, dots and lines left out when a later one covers them, one
// repaint) must give the very pixels and variables of the plain reading.
class FastPathTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QLocale::setDefault(QLocale::c()); }
    void runsMatchThePlainReading_data();
    void runsMatchThePlainReading();
    void runsOnAWorkerMatchThePlainReading_data();
    void runsOnAWorkerMatchThePlainReading();
    void economicalDrawingMatchesDirectDrawing_data();
    void economicalDrawingMatchesDirectDrawing();
    void aBurstOfDrawingIsRepaintedOnce();
};

void FastPathTest::initTestCase() {
    // The second run of this test is the HiDPI one: make sure it is.
    Host host(PlotSurface::Drawing::Economical);
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    const double expected = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                : 1.0;
    QCOMPARE(host.surface->devicePixelRatioF(), expected);
}

void FastPathTest::runsMatchThePlainReading_data() {
    QTest::addColumn<PassLanes>("passLanes");
    QTest::addColumn<CurveConstants>("constants");
    QTest::addColumn<LinkingLines>("lines");
    QTest::addColumn<int>("Miocolor");
    QTest::addColumn<int>("runs");
    QTest::addColumn<double>("Incr");
    QTest::addColumn<Situation>("situation");
    for (const PassLanes lanes : bothLanes)
        addRunRows(lanes);
}

void FastPathTest::runsMatchThePlainReading() {
    QFETCH(PassLanes, passLanes);
    QFETCH(CurveConstants, constants);
    QFETCH(LinkingLines, lines);
    QFETCH(int, Miocolor);
    QFETCH(int, runs);
    QFETCH(double, Incr);
    QFETCH(Situation, situation);
    Host fastHost(PlotSurface::Drawing::Economical);
    fastHost.surface->setPassLanes(passLanes);
    Host plainHost(PlotSurface::Drawing::Direct);
    PlotVariables fast;
    PlotVariables plain;
    setUpPlotWindow(*fastHost.surface, fast, TaggedValue::fromDouble(Incr));
    setUpPlotWindow(*plainHost.surface, plain, TaggedValue::fromDouble(Incr));
    OperationRecorder plainRecorder(*plainHost.surface, plainHost.surface->devicePixelRatioF());
    auto fastColour = static_cast<std::int16_t>(Miocolor);
    auto plainColour = static_cast<std::int16_t>(Miocolor);
    for (int count = 0; count < runs; ++count) {
        const LinkingLines thisRun = count % 2 == 0 ? lines : LinkingLines::Off;
        const auto fastMessage =
            runCurveGenerator(constants, thisRun, fastColour, fast, *fastHost.surface);
        const auto plainMessage =
            plain_curve_run::run(constants, thisRun, plainColour, plain, plainRecorder);
        QVERIFY(!fastMessage && !plainMessage);
    }
    QVERIFY(situationOccurs(situation, plainRecorder,
                            static_cast<std::int64_t>(constants.VALc.toDouble().value()),
                            constants));
    verifySameRun({fastHost.surface, &fast, fastColour}, {plainHost.surface, &plain, plainColour});
}

void FastPathTest::runsOnAWorkerMatchThePlainReading_data() {
    QTest::addColumn<PassLanes>("passLanes");
    QTest::addColumn<LinkingLines>("lines");
    QTest::addColumn<int>("stopAtReport");
    for (const PassLanes lanes : bothLanes) {
        laneRow(lanes, "dots") << LinkingLines::Off << -1;
        laneRow(lanes, "lines") << LinkingLines::On << -1;
        laneRow(lanes, "dots, stopped") << LinkingLines::Off << 40;
        laneRow(lanes, "lines, stopped") << LinkingLines::On << 61;
    }
}

// A long run on a worker thread, stopped or not, against the plain reading of the passes it
// made.
void FastPathTest::runsOnAWorkerMatchThePlainReading() {
    QFETCH(PassLanes, passLanes);
    QFETCH(LinkingLines, lines);
    QFETCH(int, stopAtReport);
    constexpr double passes = 4e5;
    const CurveConstants constants{number(200), number(45), number(passes - 1), number(0.07)};
    Host fastHost(PlotSurface::Drawing::Economical);
    fastHost.surface->setPassLanes(passLanes);
    Host plainHost(PlotSurface::Drawing::Direct);
    PlotVariables fast;
    PlotVariables plain;
    setUpPlotWindow(*fastHost.surface, fast, TaggedValue::fromDouble(0.63));
    setUpPlotWindow(*plainHost.surface, plain, TaggedValue::fromDouble(0.63));
    std::int16_t fastColour = 3;
    std::int16_t plainColour = 3;
    WorkerProgress progress(stopAtReport);
    const CurveRunResult result =
        runCurveGeneratorOn(*fastHost.surface, constants, lines, fastColour, fast, &progress);
    QVERIFY(progress.calledFrom != std::this_thread::get_id());
    const std::int64_t passesMade =
        stopAtReport > 0 ? std::int64_t{stopAtReport} * 4096 : std::int64_t(passes);
    QCOMPARE(result.stoppedAfter.value_or(std::int64_t(passes)), passesMade);
    QVERIFY(!result.message && !plain_curve_run::run(constants, lines, plainColour, plain,
                                                     *plainHost.surface, passesMade));
    verifySameRun({fastHost.surface, &fast, fastColour}, {plainHost.surface, &plain, plainColour});
}

void FastPathTest::economicalDrawingMatchesDirectDrawing_data() {
    QTest::addColumn<Script>("script");
    // One user unit a logical pixel on a 200 by 100 surface.
    Script repeated{width(3), dot(20, 20, 1), dot(80, 60, 2)};
    for (int count = 0; count < 6; ++count)
        repeated << width(1) << line(20, 20, 80, 60, 2) << width(3) << dot(20, 20, 1)
                 << dot(80, 60, 2) << dot(50.3f, 40.2f, 4);
    QTest::newRow("a line again and again, dots on it between") << repeated;
    Script manyDots{width(1), line(10, 50, 190, 50, 3), width(2)};
    for (int count = 0; count < 150; ++count)
        manyDots << dot(10.0f + static_cast<float>(count), 50, 1 + count % 5);
    manyDots << width(1) << line(10, 50, 190, 50, 3) << compare() << dot(60, 50, 9);
    QTest::newRow("more dots after a line than are kept") << manyDots;
    QTest::newRow("a dot again after another covered it") << Script{
        width(3),       dot(30, 30, 4), dot(31, 31, 1),          dot(30, 30, 4), compare(),
        dot(31, 31, 1), width(1),       line(0, 30, 100, 30, 2), width(3),       dot(30, 30, 4)};
    QTest::newRow("a new scale between dots")
        << Script{width(2),  dot(40, 40, 5),          {Step::ScaleWidth, 100}, dot(40, 40, 6),
                  compare(), {Step::ScaleWidth, 400}, dot(40, 40, 5)};
    QTest::newRow("a new size between dots")
        << Script{width(3),         dot(150, 80, 12),         {Step::Resize, 120, 60},
                  dot(150, 80, 13), {Step::Resize, 300, 150}, dot(150, 80, 12),
                  compare()};
    QTest::newRow("a clear between")
        << Script{width(1),      line(0, 0, 200, 100, 1), dot(5, 5, 2),
                  {Step::Clear}, line(0, 0, 200, 100, 1), dot(6, 6, 2)};
    QTest::newRow("even, empty, far and broken lines")
        << Script{width(2),
                  line(3, 97, 197, 4, 10),
                  line(50, 50, 50, 50, 11),
                  line(-1e9f, 20, 1e9f, 21, 12),
                  line(100, -3e7f, 101, 3e7f, 13),
                  line(std::numeric_limits<float>::quiet_NaN(), 1, 2, 3, 14),
                  dot(std::numeric_limits<float>::infinity(), 5, 1),
                  width(4),
                  dot(199, 99, 14),
                  line(7, 7, 40, 95, 9),
                  line(-20, -20, -20, -20, 3),
                  line(250, 50, 250, 50, 3)};
    QTest::newRow("blocks after a waiting line and between dots") << Script{width(1),
                                                                            line(0, 10, 200, 90, 5),
                                                                            block(20, 30, 0.3f, 3),
                                                                            dot(40, 36, 7),
                                                                            compare(),
                                                                            block(30, 40, 0.7f, 2),
                                                                            width(3),
                                                                            dot(60, 50, 1),
                                                                            block(-5, 95, 0.4f, 1),
                                                                            line(5, 5, 9, 9, 3)};
    QTest::newRow("a block of wide dots at the edges") << Script{block(190, 1, 0.2f, 6)};
    QTest::newRow("blocks ending in more dots after a line than are kept")
        << Script{width(1),
                  line(20, 30, 80, 50, 5),
                  block(20, 30, 0.3f, 3, 0),
                  compare(),
                  line(20, 30, 80, 50, 6),
                  block(20, 30, 0.3f, 3, 300),
                  block(20, 30, 0.2f, 2, 396),
                  block(20, 30, 0.3f, 3),
                  compare()};
    // Rows of a wide dot are narrower at its top and bottom: some of them lie off the image
    // while others reach into it.
    QTest::newRow("wide dots at the edges") << Script{width(6),
                                                      dot(-2.3f, 50, 3),
                                                      dot(202.4f, 50, 4),
                                                      dot(100, -2.3f, 5),
                                                      dot(100, 102.4f, 6),
                                                      width(9),
                                                      dot(-3.6f, -3.6f, 7),
                                                      compare(),
                                                      dot(-3.6f, -3.6f, 8)};
}

void FastPathTest::economicalDrawingMatchesDirectDrawing() {
    QFETCH(Script, script);
    Host economical(PlotSurface::Drawing::Economical, QSize(200, 100));
    Host direct(PlotSurface::Drawing::Direct, QSize(200, 100));
    for (Host* host : {&economical, &direct}) {
        QVERIFY(QTest::qWaitForWindowExposed(&host->window));
        host->surface->setScaleWidth(200);
        host->surface->setScaleHeight(100);
    }
    for (const Step& step : script) {
        apply(step, economical);
        apply(step, direct);
        if (step.kind == Step::Compare) {
            const QByteArray midway =
                differences(economical.surface->snapshot(), direct.surface->snapshot());
            QVERIFY2(midway.isEmpty(), midway);
        }
    }
    const QImage expected = direct.surface->snapshot();
    QByteArray end = differences(economical.surface->snapshot(), expected);
    QVERIFY2(end.isEmpty(), end);
    // What the window shows is the same picture.
    const QImage shown = economical.surface->grab().toImage().convertToFormat(expected.format());
    end = differences(shown, expected);
    QVERIFY2(end.isEmpty(), end);
}

void FastPathTest::aBurstOfDrawingIsRepaintedOnce() {
    Host host(PlotSurface::Drawing::Economical);
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    QCoreApplication::processEvents();
    int paints = 0;
    struct PaintCounter : QObject {
        explicit PaintCounter(int& count) : count_(count) {}
        bool eventFilter(QObject*, QEvent* event) override {
            count_ += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
        int& count_;
    } counter(paints);
    host.surface->installEventFilter(&counter);
    PlotVariables plot;
    setUpPlotWindow(*host.surface, plot, TaggedValue::fromDouble(0.63));
    std::int16_t Miocolor = 0;
    const CurveConstants constants{number(200), number(45), number(2e4), number(0.05)};
    QVERIFY(!runCurveGenerator(constants, LinkingLines::On, Miocolor, plot, *host.surface));
    QCOMPARE(paints, 0);
    QTRY_COMPARE(paints, 1);
    // Nothing more is waiting: whatever the burst posted has been delivered by now.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(paints, 1);
}

QTEST_MAIN(FastPathTest)
#include "tst_fast_path.moc"
