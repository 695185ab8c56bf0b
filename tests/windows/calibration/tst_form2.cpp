#include "app/program.h"
#include "core/palette.h"
#include "recording_platform.h"
#include "recording_surface.h"
#include "surface/plot_surface.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <cmath>
#include <memory>

char* toString(const TaggedValue& value) {
    static const char* const kinds[] = {"Empty", "Int16", "Int32", "Single", "Double", "Text"};
    QByteArray payload;
    if (value.kind() == TaggedValue::Kind::Double)
        payload = QByteArray::number(value.real(), 'g', 17);
    else if (value.kind() == TaggedValue::Kind::Single)
        payload = QByteArray::number(double(value.single()), 'g', 9);
    else
        payload = value.toText().toUtf8();
    return qstrdup((kinds[static_cast<int>(value.kind())] + ("(" + payload + ")")).constData());
}

// QCOMPARE on floating point forgives small differences; these values must match exactly.
#define COMPARE_EXACTLY(actual, expected)                                                          \
    QVERIFY2(double(actual) == double(expected),                                                   \
             qPrintable(QStringLiteral("%1 != %2")                                                 \
                            .arg(double(actual), 0, 'g', 17)                                       \
                            .arg(double(expected), 0, 'g', 17)))

namespace {

enum class Locale { Italian, C };
enum class OkResult { Refused, ShowsForm3 };
enum class Between { Nothing, Reactivation };
enum class Clearing { Kept, Erased };
enum class Action { PressCommand2, EditText1 };

void useLocale(Locale locale) {
    QLocale::setDefault(locale == Locale::Italian ? QLocale(QLocale::Italian, QLocale::Italy)
                                                  : QLocale::c());
}

constexpr float surfaceWidth = 146367.359375f;
constexpr double radius = 36367.36328125;
// The single-precision pi over 180, worked out in double and rounded once.
const float degreeToRadian = static_cast<float>(double(3.1415927f) / 180.0);

const QString refusal = QStringLiteral("Impostare la risoluzione SCHERMO");

int redPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == paletteColor(4);
    return count;
}

// Red pixels of the first image that are no longer red in the second, leaving out the bands
// around the axes: the axes of every factor fall on the same pixels and cover the old dots.
int redPixelsLostAwayFromAxes(const QImage& before, const QImage& after) {
    const double axisX = (surfaceWidth / 2 + 20000) / double(surfaceWidth);
    const int axisColumn = static_cast<int>(before.width() * axisX);
    const int axisRow = before.height() / 2;
    int lost = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (std::abs(x - axisColumn) <= 2 || std::abs(y - axisRow) <= 2)
                continue;
            lost += before.pixel(x, y) == paletteColor(4) && after.pixel(x, y) != paletteColor(4);
        }
    }
    return lost;
}

} // namespace

Q_DECLARE_METATYPE(Locale)
Q_DECLARE_METATYPE(OkResult)
Q_DECLARE_METATYPE(Between)
Q_DECLARE_METATYPE(Clearing)
Q_DECLARE_METATYPE(Action)

class TestForm2 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstActivation_data();
    void firstActivation();
    void activationDrawsAxesAndFigure();
    void barSetsIncr_data();
    void barSetsIncr();
    void okContinuaThreshold_data();
    void okContinuaThreshold();
    void erasesOnlyWhenFactorGoesDown_data();
    void erasesOnlyWhenFactorGoesDown();
    void lowerFactorLeavesOnlyNewPicture();
    void tracciaSetsFullTurnShortOfLastPoint();
    void reactivationResetsIncrButNotBar();
    void esciEndsProgram();
    void inertControlsChangeNothing_data();
    void inertControlsChangeNothing();

private:
    Form2& form() { return program->form2(); }
    QScrollBar& bar() { return *form().control<QScrollBar>("HScroll1"); }
    QLineEdit& text1() { return *form().control<QLineEdit>("Text1"); }
    void press(const char* button) { form().control<QPushButton>(button)->click(); }

    std::unique_ptr<RecordingPlatform> platform;
    std::unique_ptr<Program> program;
};

void TestForm2::init() {
    platform = std::make_unique<RecordingPlatform>();
    program = std::make_unique<Program>(*platform);
    // The pixel checks need the same client area every time.
    form().resize(640, 400);
}

void TestForm2::cleanup() {
    program.reset();
    platform.reset();
}

void TestForm2::firstActivation_data() {
    QTest::addColumn<Locale>("locale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Italian") << Locale::Italian << QStringLiteral("0,51");
    QTest::newRow("C") << Locale::C << QStringLiteral("0.51");
}

void TestForm2::firstActivation() {
    QFETCH(Locale, locale);
    QFETCH(QString, shown);
    useLocale(locale);
    QCOMPARE(text1().text(), QStringLiteral("Text1"));
    program->Show(form());
    QCOMPARE(form().P1, TaggedValue::fromSingle(degreeToRadian));
    QCOMPARE(form().Incr, TaggedValue::fromDouble(0.51));
    QCOMPARE(text1().text(), shown);
    QCOMPARE(form().CX, TaggedValue::fromSingle(surfaceWidth / 2 + 20000));
    const float height = static_cast<float>(double(surfaceWidth) * 0.51);
    QCOMPARE(form().CY, TaggedValue::fromSingle(height / 2));
    QCOMPARE(bar().value(), 1);
    QVERIFY(platform->messages.isEmpty());
}

void TestForm2::activationDrawsAxesAndFigure() {
    useLocale(Locale::C);
    RecordingSurface recorder;
    form().drawOn(recorder);
    program->Show(form());
    const float height = static_cast<float>(double(surfaceWidth) * 0.51);
    COMPARE_EXACTLY(recorder.ScaleWidth(), surfaceWidth);
    COMPARE_EXACTLY(recorder.ScaleHeight(), height);
    const auto lines = recorder.of(RecordingSurface::Kind::Line);
    QCOMPARE(lines.size(), std::size_t(2));
    const float cx = form().CX.single();
    const float cy = form().CY.single();
    QCOMPARE(lines[0].colour, std::optional<QRgb>());
    QVERIFY(lines[0].x1 == cx && lines[0].y1 == 0 && lines[0].x2 == cx && lines[0].y2 == height);
    QVERIFY(lines[1].x1 == 0 && lines[1].y1 == cy && lines[1].x2 == surfaceWidth &&
            lines[1].y2 == cy);
    QCOMPARE(lines[1].width, 1);
    // COORDINATE ends with TRACCIA and the handler runs TRACCIA again.
    const auto dots = recorder.of(RecordingSurface::Kind::Dot);
    QCOMPARE(dots.size(), std::size_t(7200));
    QVERIFY(recorder.of(RecordingSurface::Kind::Clear).empty());
    for (const auto& dot : dots) {
        QVERIFY(dot.x1 >= 0 && dot.x1 <= surfaceWidth);
        QVERIFY(dot.y1 >= 0 && dot.y1 <= height);
    }
}

void TestForm2::barSetsIncr_data() {
    QTest::addColumn<Locale>("locale");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("incr");
    QTest::addColumn<QString>("shown");
    const Locale it = Locale::Italian;
    QTest::newRow("it 1: the threshold") << it << 1 << 0.53 << "0,53";
    QTest::newRow("it 2") << it << 2 << 0.55 << "0,55";
    QTest::newRow("it 3: a hair above") << it << 3 << 0.5700000000000001 << "0,57";
    QTest::newRow("it 30: a hair below") << it << 30 << 1.1099999999999999 << "1,11";
    QTest::newRow("C 3") << Locale::C << 3 << 0.5700000000000001 << "0.57";
    QTest::newRow("C 30") << Locale::C << 30 << 1.1099999999999999 << "1.11";
}

void TestForm2::barSetsIncr() {
    QFETCH(Locale, locale);
    QFETCH(int, value);
    QFETCH(double, incr);
    QFETCH(QString, shown);
    useLocale(locale);
    program->Show(form());
    // The bar starts at 1, so reaching 1 needs a move away first.
    if (value == 1)
        bar().setValue(2);
    bar().setValue(value);
    QCOMPARE(form().Incr.kind(), TaggedValue::Kind::Double);
    COMPARE_EXACTLY(form().Incr.real(), incr);
    QCOMPARE(text1().text(), shown);
}

void TestForm2::okContinuaThreshold_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<OkResult>("result");
    QTest::newRow("untouched, 0.51") << 0 << OkResult::Refused;
    QTest::newRow("1, exactly 0.53") << 1 << OkResult::Refused;
    QTest::newRow("2, 0.55") << 2 << OkResult::ShowsForm3;
    QTest::newRow("30") << 30 << OkResult::ShowsForm3;
}

void TestForm2::okContinuaThreshold() {
    QFETCH(int, value);
    QFETCH(OkResult, result);
    useLocale(Locale::Italian);
    program->Show(form());
    if (value == 1)
        bar().setValue(2);
    if (value > 0)
        bar().setValue(value);
    press("Command1");
    if (result == OkResult::Refused) {
        QCOMPARE(platform->messages, QStringList{refusal});
        QVERIFY(!program->existingForm3());
        QCOMPARE(program->activeWindow(), &form());
        return;
    }
    QVERIFY(platform->messages.isEmpty());
    QVERIFY(program->existingForm3());
    QCOMPARE(program->activeWindow(), program->existingForm3());
    QVERIFY(form().isVisible());
}

void TestForm2::erasesOnlyWhenFactorGoesDown_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<Between>("between");
    QTest::addColumn<int>("to");
    QTest::addColumn<Clearing>("clearing");
    QTest::newRow("2 to 3") << 2 << Between::Nothing << 3 << Clearing::Kept;
    QTest::newRow("1 to 30") << 1 << Between::Nothing << 30 << Clearing::Kept;
    QTest::newRow("3 to 2") << 3 << Between::Nothing << 2 << Clearing::Erased;
    QTest::newRow("30 to 1") << 30 << Between::Nothing << 1 << Clearing::Erased;
    QTest::newRow("3, activation, 2") << 3 << Between::Reactivation << 2 << Clearing::Kept;
}

void TestForm2::erasesOnlyWhenFactorGoesDown() {
    QFETCH(int, from);
    QFETCH(Between, between);
    QFETCH(int, to);
    QFETCH(Clearing, clearing);
    useLocale(Locale::C);
    program->Show(form());
    bar().setValue(from);
    if (between == Between::Reactivation) {
        program->Show(program->form1());
        program->Show(form());
    }
    RecordingSurface recorder;
    form().drawOn(recorder);
    bar().setValue(to);
    const auto clears = recorder.of(RecordingSurface::Kind::Clear);
    QCOMPARE(clears.size(), std::size_t(clearing == Clearing::Erased ? 1 : 0));
    if (clearing == Clearing::Erased)
        QCOMPARE(recorder.operations.front().kind, RecordingSurface::Kind::Clear);
    QCOMPARE(recorder.of(RecordingSurface::Kind::Dot).size(), std::size_t(7200));
}

void TestForm2::lowerFactorLeavesOnlyNewPicture() {
    useLocale(Locale::C);
    program->Show(form());
    bar().setValue(3);
    bar().setValue(2);
    const QImage figure2 = form().surface().snapshot();
    QVERIFY(redPixels(figure2) > 100);

    bar().setValue(3);
    const QImage both = form().surface().snapshot();
    QCOMPARE(redPixelsLostAwayFromAxes(figure2, both), 0);
    QVERIFY(redPixels(both) > redPixels(figure2));

    bar().setValue(2);
    QVERIFY(form().surface().snapshot() == figure2);
}

void TestForm2::tracciaSetsFullTurnShortOfLastPoint() {
    useLocale(Locale::C);
    program->Show(form());
    RecordingSurface recorder;
    form().drawOn(recorder);
    form().TRACCIA();
    const auto dots = recorder.of(RecordingSurface::Kind::Dot);
    QCOMPARE(recorder.operations.size(), std::size_t(3600));
    QCOMPARE(dots.size(), std::size_t(3600));
    for (const auto& dot : dots) {
        QCOMPARE(dot.colour, std::optional<QRgb>(paletteColor(4)));
        QCOMPARE(dot.width, 1);
    }
    double angle = 0;
    for (int step = 0; step < 3599; ++step)
        angle += 0.1;
    // The sum drifts above the exact tenths, so one more step passes 360.
    QVERIFY(angle < 360 && angle + 0.1 > 360);
    const double radians = angle * double(degreeToRadian);
    const double xr = std::cos(radians) * radius;
    const double yr = std::sin(radians) * radius;
    QCOMPARE(form().XR, TaggedValue::fromDouble(xr));
    QCOMPARE(form().YR, TaggedValue::fromDouble(yr));
    const double cx = form().CX.single();
    const double cy = form().CY.single();
    COMPARE_EXACTLY(dots.front().x1, static_cast<float>(cx + radius));
    COMPARE_EXACTLY(dots.front().y1, static_cast<float>(cy));
    COMPARE_EXACTLY(dots.back().x1, static_cast<float>(cx + xr));
    COMPARE_EXACTLY(dots.back().y1, static_cast<float>(cy + yr));
    // y grows downwards: the second point lies below the first, so the turn is clockwise.
    QVERIFY(dots[1].y1 > dots[0].y1);
}

void TestForm2::reactivationResetsIncrButNotBar() {
    useLocale(Locale::Italian);
    program->Show(form());
    bar().setValue(4);
    program->Show(program->form3());
    RecordingSurface recorder;
    form().drawOn(recorder);
    program->Show(form());
    QCOMPARE(form().Incr, TaggedValue::fromDouble(0.51));
    QCOMPARE(text1().text(), QStringLiteral("0,51"));
    QCOMPARE(bar().value(), 4);
    QVERIFY(recorder.of(RecordingSurface::Kind::Clear).empty());
    COMPARE_EXACTLY(recorder.ScaleHeight(), static_cast<float>(double(surfaceWidth) * 0.51));
}

void TestForm2::esciEndsProgram() {
    useLocale(Locale::Italian);
    program->Show(form());
    press("Command3");
    QCOMPARE(platform->endings, 1);
    bar().setValue(5);
    press("Command1");
    QCOMPARE(form().Incr, TaggedValue::fromDouble(0.51));
    QCOMPARE(text1().text(), QStringLiteral("0,51"));
    QVERIFY(platform->messages.isEmpty());
    QVERIFY(!program->existingForm3());
}

void TestForm2::inertControlsChangeNothing_data() {
    QTest::addColumn<Action>("action");
    QTest::newRow("Command2 pressed") << Action::PressCommand2;
    QTest::newRow("Text1 edited") << Action::EditText1;
}

void TestForm2::inertControlsChangeNothing() {
    QFETCH(Action, action);
    useLocale(Locale::Italian);
    program->Show(form());
    bar().setValue(2);
    const QImage before = form().surface().snapshot();
    RecordingSurface recorder;
    form().drawOn(recorder);
    if (action == Action::PressCommand2) {
        press("Command2");
    } else {
        text1().selectAll();
        QTest::keyClicks(&text1(), QStringLiteral("0,9"));
        QTest::keyClick(&text1(), Qt::Key_Return);
        QCOMPARE(text1().text(), QStringLiteral("0,9"));
    }
    QCOMPARE(form().Incr, TaggedValue::fromDouble(0.55));
    QVERIFY(recorder.operations.empty());
    QVERIFY(form().surface().snapshot() == before);
    QVERIFY(platform->messages.isEmpty());
    QVERIFY(!program->existingForm3());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
