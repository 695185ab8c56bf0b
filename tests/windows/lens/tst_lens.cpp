#include "../../support/plain_curve_run.h"
#include "../../support/recording_platform.h"
#include "../../support/test_windows.h"
#include "../../support/user_steps.h"

#include "core/number_text.h"
#include "figure/dot_index.h"
#include "figure/session_file.h"
#include "figure/zoomed_view.h"
#include "shell/layout.h"
#include "surface/plot_surface.h"
#include "windows/lens/lens_frame.h"
#include "windows/lens/lens_window.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

// The lens shows the plot window's drawing, drawn again through a view: at the whole area it
// is the plot window's picture, zoomed in its dots lie where the view puts them.
class LensTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void theWholeAreaIsThePlotWindow_data();
    void theWholeAreaIsThePlotWindow();
    void zoomedDotsLieWhereTheViewPutsThem_data();
    void zoomedDotsLieWhereTheViewPutsThem();
    void placesAreReadFromO_data();
    void placesAreReadFromO();
    void theHistoryOfViews_data();
    void theHistoryOfViews();
    void theZoomIsHeldWithinItsLimits_data();
    void theZoomIsHeldWithinItsLimits();
    void dragsPanAndZoomIntoABox_data();
    void dragsPanAndZoomIntoABox();
    void fittingShowsEveryDot();
    void theDotNearTheCursorIsNamed_data();
    void theDotNearTheCursorIsNamed();
    void theStatusLineNamesTheDot();
    void theDotsAreThePlainReadings_data();
    void theDotsAreThePlainReadings();
    void upAndDownTraceTheCurve_data();
    void upAndDownTraceTheCurve();
    void theSavedViewIsWhatTheLensShows_data();
    void theSavedViewIsWhatTheLensShows();
    void theLatestLongViewWins();

private:
    QTemporaryDir settings_;
    struct Run {
        std::unique_ptr<RecordingPlatform> platform = std::make_unique<RecordingPlatform>();
        std::unique_ptr<Program> program = std::make_unique<Program>(*platform);
    };
    static void play(Program& program, const QString& actions);
    static LensWindow& openLens(Program& program);
    static void press(LensWindow& lens, const QString& keys);

    std::unique_ptr<Run> run_;
};

namespace {

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

struct Dot {
    QPointF logical;
    QRgb colour = 0;
};

// The dots a journal draws, in order, at their places in the plot's area.
class DotRecorder : public DrawingSurface {
public:
    explicit DotRecorder(const FigureLook& look) {
        setLogicalArea(QSizeF(look.logicalSize), look.logicalDpi);
    }
    void PSet(float x, float y, QRgb colour) override {
        dots.push_back({userToLogical().map(QPointF(x, y)), colour});
    }
    std::vector<Dot> dots;
};

} // namespace

void LensTest::init() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    // The save dialog's memory goes to a folder of the test's own, on every system.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
    run_ = std::make_unique<Run>();
}

void LensTest::cleanup() {
    run_.reset();
    QLocale::setDefault(QLocale::c());
}

// The user's steps, as user_steps.h plays them.
void LensTest::play(Program& program, const QString& actions) {
    playUserSteps(program, actions);
}

// Through the plot window's own shortcut.
LensWindow& LensTest::openLens(Program& program) {
    for (QAction* action : program.form4().actions())
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_L))
            action->trigger();
    LensWindow* lens = program.existingLensWindow();
    Q_ASSERT(lens && lens->isVisible());
    return *lens;
}

// "+", "-", "0", "<" (Alt+Left), ">" (Alt+Right), "u" (Up) and "d" (Down), typed into the
// view.
void LensTest::press(LensWindow& lens, const QString& keys) {
    for (const QChar key : keys) {
        if (key == QLatin1Char('u') || key == QLatin1Char('d'))
            QTest::keyClick(&lens.view(), key == QLatin1Char('u') ? Qt::Key_Up : Qt::Key_Down);
        else if (key == QLatin1Char('<'))
            QTest::keyClick(&lens.view(), Qt::Key_Left, Qt::AltModifier);
        else if (key == QLatin1Char('>'))
            QTest::keyClick(&lens.view(), Qt::Key_Right, Qt::AltModifier);
        else
            QTest::keyClick(&lens.view(), key.toLatin1());
    }
}

void LensTest::theWholeAreaIsThePlotWindow_data() {
    QTest::addColumn<QString>("actions");
    QTest::newRow("one run") << "incr=1 run=86;55;90;1";
    QTest::newRow("overlapping runs, lines") << "incr=1 run=86;55;90;1 lines run=120;30;600;2";
    QTest::newRow("another factor") << "incr=0,75 run=50,5;80;150;0,5 run=30;100;170;1,5";
}

void LensTest::theWholeAreaIsThePlotWindow() {
    QFETCH(QString, actions);
    Program& program = *run_->program;
    play(program, actions);
    LensWindow& lens = openLens(program);
    QVERIFY(!lens.frames().drawing());
    QCOMPARE(lens.model().view(), wholeArea(QSizeF(plotWindowLook().logicalSize)));
    const QImage plot = rgb(program.form4().surface().snapshot());
    QVERIFY(pixelsOf(plot, plot.pixel(0, 0)) < plot.width() * plot.height() - 100);
    QCOMPARE(rgb(lens.frames().picture().image), plot);
    // Zoomed in and back, the same again.
    press(lens, QStringLiteral("++0"));
    QCOMPARE(rgb(lens.frames().picture().image), rgb(program.form4().surface().snapshot()));
}

void LensTest::zoomedDotsLieWhereTheViewPutsThem_data() {
    QTest::addColumn<int>("power");
    QTest::addColumn<int>("centre"); // the dot at the view's centre
    QTest::newRow("2^1 about the first dot") << 1 << 0;
    QTest::newRow("2^3 about another") << 3 << 40;
    QTest::newRow("2^6 about a third") << 6 << 101;
    QTest::newRow("2^12 about a dot of curve 2") << 12 << 1;
    QTest::newRow("2^19 about the last dot") << 19 << -1;
}

void LensTest::zoomedDotsLieWhereTheViewPutsThem() {
    QFETCH(int, power);
    QFETCH(int, centre);
    Program& program = *run_->program;
    play(program, QStringLiteral("incr=1 run=86;55;300;1"));
    const PlotJournal& journal = program.session().journal();
    const FigureLook look = plotWindowLook();
    const double ratio = program.form4().devicePixelRatioF();
    DotRecorder recorder(look);
    replayJournal(journal, recorder);
    const QSizeF area(look.logicalSize);
    const std::size_t middle = centre < 0 ? recorder.dots.size() - 1 : std::size_t(centre);
    const LensView view{std::ldexp(1.0, power), recorder.dots.at(middle).logical};
    const QImage image = rgb(renderLens(journal, look, ratio, view).image);
    const QTransform shown = lensTransform(view, area);
    // A dot well inside the area, with no later dot near it, is seen in its own colour.
    QStringList misplaced;
    int seen = 0;
    for (std::size_t index = 0; index < recorder.dots.size(); ++index) {
        const QPointF at = shown.map(recorder.dots[index].logical);
        if (!QRectF(QPointF(3, 3), area - QSizeF(6, 6)).contains(at))
            continue;
        bool covered = false;
        for (std::size_t later = index + 1; later < recorder.dots.size() && !covered; ++later)
            covered = QLineF(at, shown.map(recorder.dots[later].logical)).length() < 3.0;
        if (covered)
            continue;
        ++seen;
        const QPoint pixel(int(std::floor(at.x() * ratio)), int(std::floor(at.y() * ratio)));
        if (image.pixel(pixel) != (recorder.dots[index].colour | 0xff000000))
            misplaced << QStringLiteral("dot %1 at %2,%3").arg(index).arg(at.x()).arg(at.y());
    }
    QVERIFY(seen > 0);
    QCOMPARE(misplaced, QStringList());
}

void LensTest::placesAreReadFromO_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPointF>("place"); // from O, y upwards, in OA's units
    QTest::newRow("O itself") << 1.0 << QPointF(0, 0);
    QTest::newRow("right and up") << 1.0 << QPointF(100, 50);
    QTest::newRow("left and down, zoomed 8") << 8.0 << QPointF(-3.25, -7.5);
    QTest::newRow("a hair from O, zoomed 2^20") << 1048576.0 << QPointF(0.0001, -0.0002);
}

void LensTest::placesAreReadFromO() {
    QFETCH(double, zoom);
    QFETCH(QPointF, place);
    Program& program = *run_->program;
    play(program, QStringLiteral("incr=0,75 run=86;55;90;1"));
    LensWindow& lens = openLens(program);
    const LensPicture& picture = lens.frames().picture();
    const QPointF user(picture.origin.x() + place.x(), picture.origin.y() - place.y());
    const QPointF inArea = picture.userToLogical.map(user);
    // Zoomed about the place itself, which stays where it is shown.
    lens.zoomAt(lens.model().toShown(inArea), zoom);
    const QPointF at = lens.model().toShown(inArea);
    lens.pointAt(at);
    const QPointF read = lens.placeFromOrigin(at);
    QVERIFY2(std::abs(read.x() - place.x()) < 1e-6 && std::abs(read.y() - place.y()) < 1e-6,
             qPrintable(QStringLiteral("%1,%2").arg(read.x()).arg(read.y())));
    QCOMPARE(lens.statusLabel().accessibleDescription(), lens.statusLabel().text());
    QVERIFY(lens.statusLabel().text().startsWith(QStringLiteral("x = ") + formatDouble(read.x()) +
                                                 QStringLiteral("   y = ")));
}

void LensTest::theHistoryOfViews_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("forward");
    QTest::newRow("in twice") << "++" << 4.0 << true << false;
    QTest::newRow("in twice, back once") << "++<" << 2.0 << true << true;
    QTest::newRow("back to the start") << "++<<<" << 1.0 << false << true;
    QTest::newRow("back and forward") << "++<<>" << 2.0 << true << true;
    QTest::newRow("a new step drops what lay ahead") << "+++<<-" << 1.0 << true << false;
    QTest::newRow("out, then the whole area") << "--0" << 1.0 << true << false;
}

void LensTest::theHistoryOfViews() {
    QFETCH(QString, keys);
    QFETCH(double, zoom);
    QFETCH(bool, back);
    QFETCH(bool, forward);
    play(*run_->program, QStringLiteral("incr=1 run=86;55;90;1"));
    LensWindow& lens = openLens(*run_->program);
    press(lens, keys);
    QCOMPARE(lens.model().view().zoom, zoom);
    QCOMPARE(lens.backButton().isEnabled(), back);
    QCOMPARE(lens.forwardButton().isEnabled(), forward);
    QCOMPARE(lens.zoomLabel().text(), QStringLiteral("Ingrandimento: ×") + formatDouble(zoom));
    QCOMPARE(lens.frames().shownView(), lens.model().view());
}

void LensTest::theZoomIsHeldWithinItsLimits_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("wheel"); // eighths of a degree, at the view's corner
    QTest::addColumn<double>("zoom");
    QTest::newRow("in by keys") << QString(30, QLatin1Char('+')) << 0 << 1e6;
    QTest::newRow("out by keys") << QString(10, QLatin1Char('-')) << 0 << 1.0 / 64;
    QTest::newRow("in by the wheel") << "" << 240 * 40 << 1e6;
    QTest::newRow("out by the wheel") << "" << -240 * 40 << 1.0 / 64;
    QTest::newRow("out from the limit") << QString(30, QLatin1Char('+')) + "-" << 0 << 5e5;
}

void LensTest::theZoomIsHeldWithinItsLimits() {
    QFETCH(QString, keys);
    QFETCH(int, wheel);
    QFETCH(double, zoom);
    play(*run_->program, QStringLiteral("incr=1 run=86;55;90;1"));
    LensWindow& lens = openLens(*run_->program);
    press(lens, keys);
    if (wheel != 0) {
        QWheelEvent event(QPointF(10, 10), lens.view().mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, wheel), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&lens.view(), &event);
    }
    QCOMPARE(lens.model().view().zoom, zoom);
}

void LensTest::dragsPanAndZoomIntoABox_data() {
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QList<QPoint>>("path"); // pressed at the first, released at the last
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPointF>("centre"); // the area's point at the middle, from the whole's
    QTest::newRow("a drag") << false << QList<QPoint>{{100, 100}, {130, 80}} << 1.0
                            << QPointF(-30, 20);
    QTest::newRow("a drag in three moves")
        << false << QList<QPoint>{{100, 100}, {90, 100}, {120, 140}, {130, 80}} << 1.0
        << QPointF(-30, 20);
    QTest::newRow("a box") << true << QList<QPoint>{{100, 100}, {140, 120}, {200, 150}} << -1.0
                           << QPointF(150, 125);
}

void LensTest::dragsPanAndZoomIntoABox() {
    QFETCH(bool, shift);
    QFETCH(QList<QPoint>, path);
    QFETCH(double, zoom);
    QFETCH(QPointF, centre);
    play(*run_->program, QStringLiteral("incr=1 run=86;55;90;1"));
    LensWindow& lens = openLens(*run_->program);
    const QSizeF area = lens.model().area();
    const Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
    QTest::mousePress(&lens.view(), Qt::LeftButton, modifiers, path.constFirst());
    for (const QPoint& at : path.mid(1))
        QTest::mouseMove(&lens.view(), at);
    QTest::mouseRelease(&lens.view(), Qt::LeftButton, modifiers, path.constLast());
    // A box is shown as large as it fits, its middle at the middle.
    const QRectF box(path.constFirst(), path.constLast());
    const double expectedZoom =
        zoom > 0 ? zoom : std::min(area.width() / box.width(), area.height() / box.height());
    const QPointF expectedCentre = zoom > 0 ? wholeArea(area).centre + centre : centre;
    QCOMPARE(lens.model().view().zoom, expectedZoom);
    QCOMPARE(lens.model().view().centre, expectedCentre);
    // One step, however many moves.
    press(lens, QStringLiteral("<"));
    QCOMPARE(lens.model().view(), wholeArea(area));
    QVERIFY(!lens.model().canGoBack());
}

void LensTest::fittingShowsEveryDot() {
    Program& program = *run_->program;
    play(program, QStringLiteral("incr=1 run=20;55;90;1 run=30;10;120;2"));
    LensWindow& lens = openLens(program);
    lens.fitButton().click();
    DotRecorder recorder(plotWindowLook());
    replayJournal(program.session().journal(), recorder);
    QPolygonF shownDots;
    for (const Dot& dot : recorder.dots)
        shownDots << lens.model().toShown(dot.logical);
    const QRectF shown = shownDots.boundingRect();
    const QRectF area(QPointF(0, 0), lens.model().area());
    QVERIFY(area.contains(shown));
    // Its longer side, as the area holds it, with a margin of a twentieth on each side.
    const double filled = std::max(shown.width() / area.width(), shown.height() / area.height());
    QCOMPARE(std::round(filled * 1000) / 1000, std::round(1000 / 1.1) / 1000);
}

void LensTest::theLatestLongViewWins() {
    Program& program = *run_->program;
    play(program, QStringLiteral("incr=1 run=86;55;400000;0,01"));
    QTRY_VERIFY_WITH_TIMEOUT(!program.busy(), 60000);
    LensWindow& lens = openLens(program);
    QTRY_VERIFY_WITH_TIMEOUT(!lens.frames().drawing(), 60000);
    press(lens, QStringLiteral("+++-"));
    QVERIFY(lens.frames().drawing()); // on the worker, each view stopping the one before
    QTRY_VERIFY_WITH_TIMEOUT(!lens.frames().drawing(), 60000);
    QCOMPARE(lens.frames().shownView(), lens.model().view());
    QCOMPARE(rgb(lens.frames().picture().image),
             rgb(renderLens(program.session().journal(), plotWindowLook(), lens.devicePixelRatioF(),
                            lens.model().view())
                     .image));
}

namespace {

CurveConstants constants(double a, double b, double n, double e) {
    return {TaggedValue::fromDouble(a), TaggedValue::fromDouble(b), TaggedValue::fromDouble(n),
            TaggedValue::fromDouble(e)};
}

// Three runs: the second over the first, the third stopped by the user after 37 passes.
PlotJournal threeRuns() {
    PlotJournal journal;
    const std::array<PlotRun, 3> runs{
        PlotRun{constants(86, 55, 90, 1), LinkingLines::Off, 3, std::nullopt, {}},
        PlotRun{constants(86, 55, 90, 1), LinkingLines::On, 5, std::nullopt, {}},
        PlotRun{constants(40, 20, 5000, 3), LinkingLines::Off, 14, 37, {}}};
    for (const PlotRun& run : runs) {
        journal.recordSetUp(TaggedValue::fromDouble(0.75));
        journal.recordRun(run);
    }
    return journal;
}

} // namespace

void LensTest::theDotNearTheCursorIsNamed_data() {
    QTest::addColumn<int>("run"); // the dot looked for: its run, curve and pass
    QTest::addColumn<int>("curve");
    QTest::addColumn<int>("alfa");  // -1: the run's last dot
    QTest::addColumn<int>("named"); // the run named there
    QTest::newRow("curve 1 under the run over it") << 1 << 1 << 10 << 2;
    QTest::newRow("curve 2 under the run over it") << 1 << 2 << 45 << 2;
    QTest::newRow("curve 1 of the run on top") << 2 << 1 << 89 << 2;
    QTest::newRow("curve 2 past 90, of the run on top") << 2 << 2 << 90 << 2;
    QTest::newRow("the stopped run's first dot") << 3 << 1 << 0 << 3;
    QTest::newRow("the stopped run's last dot") << 3 << 2 << -1 << 3;
}

void LensTest::theDotNearTheCursorIsNamed() {
    QFETCH(int, run);
    QFETCH(int, curve);
    QFETCH(int, alfa);
    QFETCH(int, named);
    const PlotJournal journal = threeRuns();
    const DotIndex index(journal, plotWindowLook());
    std::optional<NamedDot> wanted;
    for (std::size_t at = 0; at < index.size(); ++at) {
        const NamedDot dot = index.dot(at);
        if (dot.run == std::size_t(run) && (alfa < 0 || (dot.curve == curve && dot.alfa == alfa)))
            wanted = dot;
    }
    QVERIFY(wanted);
    QCOMPARE(wanted->curve, curve);
    QCOMPARE(wanted->constants.VALb.toDouble().valueOr(0),
             journal.runs()[std::size_t(run - 1)].constants.VALb.toDouble().valueOr(0));
    // On the dot itself: it, or the one drawn last on the same place.
    const std::optional<NamedDot> found = index.nearest(wanted->logical, 2);
    QVERIFY(found);
    QCOMPARE(found->run, std::size_t(named));
    QCOMPARE(found->place, wanted->place);
    QCOMPARE(found->alfa, wanted->alfa);
    QCOMPARE(found->curve, curve);
}

void LensTest::theStatusLineNamesTheDot() {
    Program& program = *run_->program;
    play(program, QStringLiteral("incr=1 run=86;55;90;1 run=40;20;60;3"));
    LensWindow& lens = openLens(program);
    press(lens, QStringLiteral("+++"));
    const DotIndex index(program.session().journal(), plotWindowLook());
    const NamedDot last = index.dot(index.size() - 1);
    lens.pointAt(lens.model().toShown(last.logical));
    const QString expected =
        QStringLiteral("punto del tracciato 2 (OA 40, angolo 20°, n 60, incremento di t 3), "
                       "curva %1, ALFA %2: x = %3, y = %4")
            .arg(last.curve)
            .arg(last.alfa)
            .arg(formatDouble(last.place.x()), formatDouble(last.place.y()));
    QVERIFY2(lens.statusLabel().text().endsWith(expected), qPrintable(lens.statusLabel().text()));
    QCOMPARE(lens.statusLabel().accessibleDescription(), lens.statusLabel().text());
}

namespace {

// A dot as the plain reading draws it: the journal's run, the curve (the first dot of a pass
// is curve 1's), the pass, where it lies in the area and from O.
struct PlainDot {
    std::size_t run = 0;
    int curve = 1;
    std::int64_t alfa = 0;
    QPointF logical;
    QPointF place;
};

class PassNoter : public DrawingSurface {
public:
    explicit PassNoter(const FigureLook& look) {
        setLogicalArea(QSizeF(look.logicalSize), look.logicalDpi);
    }
    void PSet(float x, float y, QRgb) override {
        if (run > 0)
            dots.push_back({run, ++inPass, alfa, userToLogical().map(QPointF(x, y)),
                            QPointF(x - origin.x(), origin.y() - y)});
    }
    std::size_t run = 0; // none during a set-up
    std::int64_t alfa = 0;
    int inPass = 0;
    QPointF origin;
    std::vector<PlainDot> dots;
};

// Every dot of the journal's runs, read plainly pass by pass.
std::vector<PlainDot> plainDots(const PlotJournal& journal) {
    PassNoter noter(plotWindowLook());
    PlotVariables plot;
    std::size_t runs = 0;
    for (const PlotJournal::Entry& entry : journal.entries()) {
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry)) {
            noter.run = 0;
            setUpPlotWindow(noter, plot, setUp->Incr);
            continue;
        }
        const PlotRun& run = std::get<PlotRun>(entry);
        noter.run = ++runs;
        noter.origin = QPointF(plot.CX.single(), plot.CY.single());
        std::int16_t colour = run.startColour;
        plain_curve_run::run(run.constants, run.lines, colour, plot, noter,
                             run.passesMade.value_or(std::numeric_limits<std::int64_t>::max()),
                             [&noter](std::int64_t alfa) {
                                 noter.alfa = alfa;
                                 noter.inPass = 0;
                             });
    }
    return noter.dots;
}

// A dot as the status line ends with it, after its run's constants.
QString statusEnding(const PlainDot& dot) {
    return QStringLiteral("curva %1, ALFA %2: x = %3, y = %4")
        .arg(dot.curve)
        .arg(dot.alfa)
        .arg(formatDouble(dot.place.x()), formatDouble(dot.place.y()));
}

QString dotLine(const PlainDot& dot) {
    return QStringLiteral("run %1 at %2,%3, ")
               .arg(dot.run)
               .arg(dot.logical.x(), 0, 'g', 17)
               .arg(dot.logical.y(), 0, 'g', 17) +
           statusEnding(dot);
}

PlotJournal journalOfRuns(const std::vector<PlotRun>& runs) {
    PlotJournal journal;
    for (const PlotRun& run : runs) {
        journal.recordSetUp(TaggedValue::fromDouble(0.75));
        journal.recordRun(run);
    }
    return journal;
}

} // namespace

void LensTest::theDotsAreThePlainReadings_data() {
    QTest::addColumn<PlotJournal>("journal");
    // A run stops where its progress hears of the passes, after 4096 of them.
    QTest::newRow("runs over runs, a stopped one")
        << journalOfRuns({PlotRun{constants(86, 55, 90, 1), LinkingLines::Off, 3, std::nullopt, {}},
                          PlotRun{constants(86, 55, 90, 1), LinkingLines::On, 5, std::nullopt, {}},
                          PlotRun{constants(40, 20, 30000, 0.5), LinkingLines::Off, 14, 4096, {}}});
    QTest::newRow("a run at colour 14, going on in 1 and 2") << journalOfRuns(
        {PlotRun{constants(120, 30, 600, 2), LinkingLines::Off, 13, std::nullopt, {}}});
    QTest::newRow("curve 2 leaving the area, curve 1 going on") << journalOfRuns(
        {PlotRun{constants(300, 10, 400, 7), LinkingLines::Off, 2, std::nullopt, {}}});
    QTest::newRow("a run drawing nothing before another") << journalOfRuns(
        {PlotRun{constants(5000, 0, 1, 1), LinkingLines::Off, 0, std::nullopt, {}},
         PlotRun{constants(60, -20, 90, 2), LinkingLines::Off, 1, std::nullopt, {}}});
}

// The index counts each dot's pass itself; the plain reading says which pass drew it.
void LensTest::theDotsAreThePlainReadings() {
    QFETCH(PlotJournal, journal);
    const DotIndex index(journal, plotWindowLook());
    QStringList indexed;
    for (std::size_t at = 0; at < index.size(); ++at) {
        const NamedDot dot = index.dot(at);
        indexed << dotLine({dot.run, dot.curve, dot.alfa, dot.logical, dot.place});
    }
    QStringList plain;
    for (const PlainDot& dot : plainDots(journal))
        plain << dotLine(dot);
    QCOMPARE(indexed, plain);
}

void LensTest::upAndDownTraceTheCurve_data() {
    QTest::addColumn<QString>("actions");
    QTest::addColumn<int>("run"); // the dot named first: its run (0: none), curve and pass
    QTest::addColumn<int>("curve");
    QTest::addColumn<int>("alfa");  // -1: the curve's last dot
    QTest::addColumn<int>("power"); // zoomed 2^power about it
    QTest::addColumn<QString>("keys");
    const QString two = QStringLiteral("incr=1 run=86;55;90;1 run=40;20;60;3");
    QTest::newRow("down along curve 1") << two << 1 << 1 << 10 << 3 << "ddd";
    QTest::newRow("up along curve 2") << two << 1 << 2 << 40 << 3 << "uu";
    QTest::newRow("up and down again") << two << 2 << 1 << 30 << 2 << "ududd";
    QTest::newRow("up at the first dot stays") << two << 2 << 1 << 0 << 2 << "uu";
    QTest::newRow("down at the last dot stays") << two << 2 << 2 << -1 << 2 << "dd";
    QTest::newRow("zoomed far, the view follows") << two << 1 << 1 << 20 << 10 << "ddddd";
    // Curve 2 leaves the area three passes before curve 1 does.
    QTest::newRow("curve 2 at its end, curve 1 going on alone")
        << QStringLiteral("incr=0,75 run=300;10;400;7") << 1 << 2 << -1 << 1 << "dduuu";
    QTest::newRow("no dot named, nothing moves") << two << 0 << 1 << 0 << 0 << "ud";
}

void LensTest::upAndDownTraceTheCurve() {
    QFETCH(QString, actions);
    QFETCH(int, run);
    QFETCH(int, curve);
    QFETCH(int, alfa);
    QFETCH(int, power);
    QFETCH(QString, keys);
    Program& program = *run_->program;
    play(program, actions);
    LensWindow& lens = openLens(program);
    // The plain reading's dots of that curve, in order; the one named first, and where the
    // keys lead, held at either end.
    std::vector<PlainDot> curveDots;
    for (const PlainDot& dot : plainDots(program.session().journal()))
        if (dot.run == std::size_t(run) && dot.curve == curve)
            curveDots.push_back(dot);
    const auto first = std::find_if(curveDots.begin(), curveDots.end(),
                                    [&](const PlainDot& dot) { return dot.alfa == alfa; });
    std::ptrdiff_t at = alfa < 0 ? std::ptrdiff_t(curveDots.size()) - 1 : first - curveDots.begin();
    if (run == 0) {
        lens.pointAt(QPointF(1, 1)); // a corner with no dot
    } else {
        QVERIFY(at >= 0 && at < std::ptrdiff_t(curveDots.size()));
        const QPointF logical = curveDots[std::size_t(at)].logical;
        lens.zoomAt(lens.model().toShown(logical), std::ldexp(1.0, power));
        lens.pointAt(lens.model().toShown(logical));
    }
    const QString before = lens.statusLabel().text();
    press(lens, keys);
    if (run == 0) {
        QCOMPARE(lens.statusLabel().text(), before);
        return;
    }
    for (const QChar key : keys)
        at = std::clamp<std::ptrdiff_t>(at + (key == QLatin1Char('d') ? 1 : -1), 0,
                                        std::ptrdiff_t(curveDots.size()) - 1);
    const PlainDot& traced = curveDots[std::size_t(at)];
    const QString status = lens.statusLabel().text();
    QVERIFY2(status.contains(QStringLiteral("tracciato %1 (").arg(run)) &&
                 status.endsWith(statusEnding(traced)),
             qPrintable(status));
    QCOMPARE(lens.statusLabel().accessibleDescription(), lens.statusLabel().text());
    QVERIFY(
        QRectF(QPointF(0, 0), lens.model().area()).contains(lens.model().toShown(traced.logical)));
}

namespace {

// Answers the dialog of "Salva vista…" at once.
struct RecordingLensDialogs : LensDialogs {
    std::optional<SaveChoice> chooseViewFile(QWidget*, const SaveChoice&) override {
        return answer;
    }
    std::optional<SaveChoice> answer;
};

} // namespace

void LensTest::theSavedViewIsWhatTheLensShows_data() {
    QTest::addColumn<int>("filter");    // of the figure formats' table
    QTest::addColumn<QString>("name");  // in a fresh folder
    QTest::addColumn<QString>("file");  // what is written, none when the save fails
    QTest::addColumn<bool>("shortcut"); // Ctrl+S rather than the button
    QTest::newRow("PNG as the lens") << 0 << "vista.png"
                                     << "vista.png" << false;
    QTest::newRow("PNG as the lens, by Ctrl+S") << 0 << "vista.png"
                                                << "vista.png" << true;
    QTest::newRow("PNG twice the lens") << 1 << "vista.png"
                                        << "vista.png" << false;
    QTest::newRow("SVG") << 3 << "vista.svg"
                         << "vista.svg" << false;
    QTest::newRow("PDF, the name taking the filter's") << 4 << "vista"
                                                       << "vista.pdf" << false;
    QTest::newRow("into a folder that is not there") << 0 << "nessuna/vista.png"
                                                     << "" << false;
}

// The file carries the session and the view; a PNG is the lens's picture at its scale, and a
// file that cannot be written gives the message the plot window's save would.
void LensTest::theSavedViewIsWhatTheLensShows() {
    QFETCH(int, filter);
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(bool, shortcut);
    Program& program = *run_->program;
    play(program, QStringLiteral("incr=1 run=86;55;90;1 lines run=40;20;60;3"));
    LensWindow& lens = openLens(program);
    RecordingLensDialogs dialogs;
    lens.setDialogs(dialogs);
    lens.zoomAt(QPointF(300, 200), 4);
    const QTemporaryDir folder;
    const FigureFormatRow& row = figureFormats()[std::size_t(filter)];
    dialogs.answer = SaveChoice{folder.filePath(name), row.format, row.scale};
    if (shortcut) {
        for (QAction* action : lens.actions())
            if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_S))
                action->trigger();
    } else {
        lens.saveButton().click();
    }
    FigureLook look = plotWindowLook();
    look.view = lens.model().view();
    const PlotJournal& journal = program.session().journal();
    if (file.isEmpty()) {
        const std::optional<QString> failure =
            writeFigureFile(journal, look, folder.filePath(name), row.scale);
        QCOMPARE(run_->platform->messages, QStringList{failure.value_or(QString())});
        QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
        return;
    }
    QCOMPARE(run_->platform->messages, QStringList());
    const auto record = readSessionFile(folder.filePath(file));
    QVERIFY(std::holds_alternative<SessionRecord>(record));
    const SessionRecord& read = std::get<SessionRecord>(record);
    QCOMPARE(read.view, std::optional(lens.model().view()));
    const Session& session = program.session();
    QCOMPARE(encodeSession(read.controls, read.history),
             encodeSession(session.controls(), session.history()));
    // Opened again, the figure brings the lens back to its view.
    const LensView saved = lens.model().view();
    lens.reset();
    QVERIFY(program.openSession(folder.filePath(file)));
    QCOMPARE(lens.model().view(), saved);
    if (row.format != FigureFormat::Png)
        return;
    const QImage expected =
        row.scale == 1
            ? lens.frames().picture().image
            : renderLens(journal, plotWindowLook(), row.scale, lens.model().view()).image;
    QCOMPARE(rgb(QImage(folder.filePath(file))), rgb(expected));
}

QTEST_MAIN(LensTest)
#include "tst_lens.moc"
