#include "app/program.h"
#include "core/degrees.h"
#include "core/palette.h"
#include "recording_platform.h"
#include "surface/plot_surface.h"
#include "test_windows.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/plot/form4.h"

#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <memory>

// The plot window's set-up on each activation and its four buttons.
class Form4Test : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void setUpScalesFromTheCalibration_data();
    void setUpScalesFromTheCalibration();
    void axesCrossAtTheOrigin();
    void clearButtonStartsAFreshDrawing();
    void linesButtonIsPressedOnlyDuringItsRun();
    void backButtonKeepsTheDrawing();
    void longRunCanBeStoppedKeepingItsDrawing_data();
    void longRunCanBeStoppedKeepingItsDrawing();
    void nothingStartsInTheMiddleOfARun();

private:
    // The constants window's defaults, as a good "AVANTI" leaves them.
    void enterDefaults();
    void pressButton(const char* name) {
        program_->form4().control<QPushButton>(QString::fromLatin1(name))->click();
    }

    std::unique_ptr<RecordingPlatform> platform_;
    std::unique_ptr<Program> program_;
};

void Form4Test::init() {
    QLocale::setDefault(QLocale::c());
    platform_ = std::make_unique<RecordingPlatform>();
    program_ = std::make_unique<Program>(*platform_);
    program_->form2().Incr = TaggedValue::fromDouble(0.75);
    enterDefaults();
}

void Form4Test::cleanup() {
    program_.reset();
    platform_.reset();
}

void Form4Test::enterDefaults() {
    Form3& constants = program_->form3();
    constants.VALa = TaggedValue::fromDouble(86);
    constants.VALb = TaggedValue::fromDouble(55);
    constants.VALc = TaggedValue::fromDouble(90);
    constants.VALe = TaggedValue::fromDouble(1);
}

void Form4Test::setUpScalesFromTheCalibration_data() {
    QTest::addColumn<double>("incr");
    QTest::addColumn<float>("height");
    QTest::newRow("0.75") << 0.75 << 375.0f;
    QTest::newRow("0.55, the least the calibration lets through") << 0.55 << 275.0f;
    QTest::newRow("0.51, after the calibration was activated again") << 0.51 << 255.0f;
}

void Form4Test::setUpScalesFromTheCalibration() {
    QFETCH(double, incr);
    QFETCH(float, height);
    program_->form2().Incr = TaggedValue::fromDouble(incr);
    program_->Show(program_->form4());
    const Form4& plot = program_->form4();
    QCOMPARE(plot.surface().ScaleWidth(), 500.0f);
    QCOMPARE(plot.surface().ScaleHeight(), height);
    QCOMPARE(plot.P1, TaggedValue::fromSingle(3.1415927f / 180.0f));
    QCOMPARE(plot.CX, TaggedValue::fromSingle(260.0f));
    QCOMPARE(plot.CY, TaggedValue::fromSingle(height / 2));
    // The set-up ends with one run of the generator, without lines.
    QCOMPARE(program_->form3().Miocolor, std::int16_t{1});
    QCOMPARE(plot.surface().DrawWidth(), 3);
}

void Form4Test::axesCrossAtTheOrigin() {
    program_->Show(program_->form4());
    const PlotSurface& surface = program_->form4().surface();
    const QImage image = surface.snapshot();
    const QRgb foreground = surface.palette().color(QPalette::WindowText).rgb();
    // O is 260 of 500 units across and half-way down; the curves lie up and to the right.
    const int axisX = static_cast<int>(260.0 / 500.0 * image.width());
    const int axisY = static_cast<int>(0.5 * image.height());
    const int column[] = {axisX - 1, axisX, axisX + 1};
    const int row[] = {axisY - 1, axisY, axisY + 1};
    const auto onAxis = [&](int x, int y) { return image.pixel(x, y) == foreground; };
    QVERIFY(std::any_of(std::begin(column), std::end(column),
                        [&](int x) { return onAxis(x, image.height() - 3); }));
    QVERIFY(std::any_of(std::begin(row), std::end(row), [&](int y) { return onAxis(2, y); }));
    QVERIFY(!onAxis(axisX / 2, image.height() - 3));
}

void Form4Test::clearButtonStartsAFreshDrawing() {
    program_->Show(program_->form4());
    const QImage first = program_->form4().surface().snapshot();
    QVERIFY(pixelsOf(first, paletteColor(1)) > 0);
    pressButton("Command2");
    const QImage second = program_->form4().surface().snapshot();
    QCOMPARE(pixelsOf(second, paletteColor(1)), 0);
    QVERIFY(pixelsOf(second, paletteColor(2)) > 0);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{2});
    QCOMPARE(program_->activeWindow(), &program_->form4());
}

void Form4Test::linesButtonIsPressedOnlyDuringItsRun() {
    program_->Show(program_->form4());
    QList<bool> pressed;
    platform_->onMessage = [&](const QString&) {
        pressed << (program_->form4().Command4Value() == LinkingLines::On);
    };
    program_->form3().VALc = TaggedValue::fromDouble(0); // every run then shows its message
    pressButton("Command4");
    pressButton("Command2");
    QCOMPARE(pressed, (QList<bool>{true, false}));
    QCOMPARE(platform_->messages.first(), QStringLiteral(" Il segmento Vn è nullo "));
}

void Form4Test::backButtonKeepsTheDrawing() {
    program_->Show(program_->form4());
    const QImage drawing = program_->form4().surface().snapshot();
    pressButton("Command1");
    QCOMPARE(program_->activeWindow(), &program_->form3());
    QVERIFY(program_->form4().isVisible());
    QCOMPARE(program_->form4().surface().snapshot(), drawing);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{1});
}

void Form4Test::longRunCanBeStoppedKeepingItsDrawing_data() {
    QTest::addColumn<int>("cancelAfterUpdates");
    QTest::addColumn<double>("passesMade");
    // A million passes inside the bounds; progress is reported every 4096 of them.
    QTest::newRow("stopped at the third report") << 3 << 3.0 * 4096;
    QTest::newRow("not stopped") << -1 << 1e6 + 1;
}

void Form4Test::longRunCanBeStoppedKeepingItsDrawing() {
    QFETCH(int, cancelAfterUpdates);
    QFETCH(double, passesMade);
    Form3& constants = program_->form3();
    constants.VALa = TaggedValue::fromDouble(200);
    constants.VALb = TaggedValue::fromDouble(45);
    constants.VALc = TaggedValue::fromDouble(1e6);
    constants.VALe = TaggedValue::fromDouble(0.01);
    platform_->cancelAfterUpdates = cancelAfterUpdates;
    program_->Show(program_->form4());
    QVERIFY(platform_->messages.isEmpty());
    // Curve 1 walks the ray of OA in steps of 200 / 1e6: X1 tells how far the run went.
    const double expectedX1 = passesMade * 200 / 1e6 * std::cos(45 * M_PI / 180);
    QVERIFY2(std::abs(program_->form4().X1.real() - expectedX1) < 1e-3,
             qPrintable(QString::number(program_->form4().X1.real())));
    QVERIFY(pixelsOf(program_->form4().surface().snapshot(), paletteColor(1)) > 0);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{1});
}

void Form4Test::nothingStartsInTheMiddleOfARun() {
    Form3& constants = program_->form3();
    constants.VALa = TaggedValue::fromDouble(200);
    constants.VALb = TaggedValue::fromDouble(45);
    constants.VALc = TaggedValue::fromDouble(1e5);
    constants.VALe = TaggedValue::fromDouble(0.01);
    program_->Show(program_->form3());
    // What the progress dialog lets through (a screen reader's action, say) while it shows.
    platform_->onProgress = [this] {
        platform_->onProgress = nullptr;
        for (const char* name : {"Command2", "Command4", "Command3"})
            pressButton(name);
        program_->form3().control<QPushButton>(QStringLiteral("Command1"))->click();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&program_->form2(), &activate);
        QCoreApplication::sendPostedEvents();
    };
    program_->Show(program_->form4());
    QVERIFY(platform_->progressUpdates > 1);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{1});
    QCOMPARE(platform_->endings, 0);
    QCOMPARE(program_->activeWindow(), &program_->form4());
    QCOMPARE(program_->form2().Incr, TaggedValue::fromDouble(0.75)); // not activated
}

QTEST_MAIN(Form4Test)
#include "tst_form4.moc"
