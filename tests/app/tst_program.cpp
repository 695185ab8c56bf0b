#include "app/program.h"
#include "core/palette.h"
#include "recording_platform.h"
#include "surface/plot_surface.h"
#include "test_windows.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"
#include "windows/plot/form4.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>
#include <memory>

// Start-up, navigation between the windows, ending the program and the activation rule.
class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<ProgramWindow*>(); }
    void init();
    void cleanup();
    void startsWithTheIntroWindowOnly();
    void windowsAreMadeOnceOnFirstReference();
    void walksThroughTheWindowsWithTheirButtons();
    void showActivatesOnlyAWindowThatIsNotActive();
    void clickIntoAnotherWindowActivatesItOnce();
    void platformActivationCountsOnlyForANewWindow();
    void lateAnswersOfTheWindowManagerRunNothing();
    void focusHandedBackAfterADialogRunsNothing();
    void wheelOverAnInactiveWindowChangesNothing();
    void linesButtonOnAnInactivePlotWindowRunsSetUpFirst();
    void exitButtonsEndTheProgramAtOnce_data();
    void exitButtonsEndTheProgramAtOnce();
    void closedWindowKeepsItsStateAndComesBack();

private:
    // Form1 -> Form2 -> Form3 -> Form4 through the buttons, calibrated above the threshold.
    void walkToPlotWindow();
    QPushButton* button(ProgramWindow& window, const char* name) {
        return window.control<QPushButton>(QString::fromLatin1(name));
    }
    QList<ProgramWindow*> activations() const;

    std::unique_ptr<RecordingPlatform> platform_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<QSignalSpy> activated_;
};

void ProgramTest::init() {
    QLocale::setDefault(QLocale::c());
    platform_ = std::make_unique<RecordingPlatform>();
    program_ = std::make_unique<Program>(*platform_);
    activated_ = std::make_unique<QSignalSpy>(program_.get(), &Program::windowActivated);
}

void ProgramTest::cleanup() {
    activated_.reset();
    program_.reset();
    platform_.reset();
}

QList<ProgramWindow*> ProgramTest::activations() const {
    QList<ProgramWindow*> windows;
    for (const QList<QVariant>& arguments : *activated_)
        windows << arguments.at(0).value<ProgramWindow*>();
    return windows;
}

void ProgramTest::walkToPlotWindow() {
    program_->start();
    button(program_->form1(), "Command1")->click();
    program_->form2().control<QScrollBar>(QStringLiteral("HScroll1"))->setValue(2);
    button(program_->form2(), "Command1")->click();
    button(program_->form3(), "Command2")->click();
    QVERIFY(program_->existingForm4());
}

void ProgramTest::startsWithTheIntroWindowOnly() {
    program_->start();
    QVERIFY(program_->existingForm1());
    QVERIFY(program_->form1().isVisible());
    QVERIFY(!program_->existingForm2());
    QVERIFY(!program_->existingForm3());
    QVERIFY(!program_->existingForm4());
    QCOMPARE(program_->activeWindow(), &program_->form1());
}

void ProgramTest::windowsAreMadeOnceOnFirstReference() {
    program_->start();
    button(program_->form1(), "Command1")->click();
    Form2* calibration = program_->existingForm2();
    QVERIFY(calibration);
    button(program_->form1(), "Command1")->click();
    QCOMPARE(program_->existingForm2(), calibration);
    QVERIFY(!program_->existingForm3());
    // Touching a variable makes the window, without showing it.
    program_->form3().Miocolor = 7;
    QVERIFY(program_->existingForm3());
    QVERIFY(!program_->form3().isVisible());
}

void ProgramTest::walksThroughTheWindowsWithTheirButtons() {
    walkToPlotWindow();
    for (ProgramWindow* window : std::initializer_list<ProgramWindow*>{
             &program_->form1(), &program_->form2(), &program_->form3(), &program_->form4()})
        QVERIFY2(window->isVisible(), qPrintable(window->objectName()));
    QCOMPARE(program_->activeWindow(), &program_->form4());
    QCOMPARE(program_->form3().Miocolor, std::int16_t{1}); // the plot window's first run
    button(program_->form4(), "Command1")->click();
    QCOMPARE(program_->activeWindow(), &program_->form3());
    QVERIFY(program_->form4().isVisible());
    QVERIFY(platform_->messages.isEmpty());
}

void ProgramTest::showActivatesOnlyAWindowThatIsNotActive() {
    program_->start();
    program_->Show(program_->form2());
    program_->Show(program_->form2());
    QCOMPARE(activations(), (QList<ProgramWindow*>{&program_->form1(), &program_->form2()}));
    program_->Show(program_->form1());
    program_->Show(program_->form2());
    QCOMPARE(activations().size(), 4);
    QCOMPARE(activations().last(), &program_->form2());
}

void ProgramTest::clickIntoAnotherWindowActivatesItOnce() {
    walkToPlotWindow();
    activated_->clear();
    QWidget* calibrationArea = &program_->form2().surface();
    QTest::mouseClick(calibrationArea, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(calibrationArea, Qt::LeftButton, {}, QPoint(6, 6));
    QCOMPARE(program_->activeWindow(), &program_->form2());
    QCoreApplication::sendPostedEvents(); // the handler runs right after the press
    QCOMPARE(activations(), QList<ProgramWindow*>{&program_->form2()});
    QCOMPARE(program_->form2().Incr, TaggedValue::fromDouble(0.51));
    // The intro window has no handler, but clicking it makes it the active one.
    QTest::mouseClick(program_->form1().control<QWidget>(QStringLiteral("OLE1")), Qt::LeftButton);
    QCOMPARE(program_->activeWindow(), &program_->form1());
}

void ProgramTest::platformActivationCountsOnlyForANewWindow() {
    walkToPlotWindow();
    activated_->clear();
    const std::int16_t colour = program_->form3().Miocolor;
    // Back from another application, or a message box closing: the same window again.
    QEvent again(QEvent::WindowActivate);
    QApplication::sendEvent(&program_->form4(), &again);
    QCOMPARE(activated_->size(), 0);
    QCOMPARE(program_->form3().Miocolor, colour);
    // The window manager activates another of the program's windows.
    QEvent other(QEvent::WindowActivate);
    QApplication::sendEvent(&program_->form3(), &other);
    QCOMPARE(program_->activeWindow(), &program_->form3());
    // Its handler runs once the events already queued are through.
    QCOMPARE(activated_->size(), 0);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(activations(), QList<ProgramWindow*>{&program_->form3()});
}

// Holds back the platform's activation events, to hand them over later as a window manager
// on a loaded machine does.
class LateActivations : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::WindowActivate || !holding_)
            return false;
        held << qobject_cast<QWidget*>(watched);
        return true;
    }
    void handOver() {
        holding_ = false;
        for (const QPointer<QWidget>& window : std::exchange(held, {})) {
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(window, &activate);
        }
        QCoreApplication::sendPostedEvents();
    }
    QList<QPointer<QWidget>> held;

private:
    bool holding_ = true;
};

void ProgramTest::lateAnswersOfTheWindowManagerRunNothing() {
    LateActivations late;
    for (ProgramWindow* window : std::initializer_list<ProgramWindow*>{
             &program_->form1(), &program_->form2(), &program_->form3(), &program_->form4()})
        window->installEventFilter(&late);
    program_->start();
    program_->Show(program_->form2());
    program_->Show(program_->form3());
    program_->Show(program_->form4());
    const QList<ProgramWindow*> shown = activations();
    QTRY_COMPARE(late.held.size(), 4);
    // The answers to the Shows arrive in order after Form4 was shown, one of them never:
    // no switch of the user's.
    late.held.removeAt(1);
    late.handOver();
    QCOMPARE(activations(), shown);
    QCOMPARE(program_->activeWindow(), &program_->form4());
    // Once the answers are in, the window manager's own switch counts again.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&program_->form2(), &activate);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(activations().size(), shown.size() + 1);
    QCOMPARE(activations().last(), &program_->form2());
}

void ProgramTest::focusHandedBackAfterADialogRunsNothing() {
    walkToPlotWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form4());
    activated_->clear();
    QDialog message(&program_->form4());
    message.show();
    message.hide();
    // The window manager gives the focus back to the constants window, not the plot window.
    QEvent handBack(QEvent::WindowActivate);
    QApplication::sendEvent(&program_->form3(), &handBack);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(activated_->size(), 0);
    QCOMPARE(program_->activeWindow(), &program_->form4());
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form4()); // asked for again
    // The next switch is the user's.
    QEvent user(QEvent::WindowActivate);
    QApplication::sendEvent(&program_->form3(), &user);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(activations(), QList<ProgramWindow*>{&program_->form3()});
}

void ProgramTest::wheelOverAnInactiveWindowChangesNothing() {
    walkToPlotWindow();
    auto* bar = program_->form2().control<QScrollBar>(QStringLiteral("HScroll1"));
    const int value = bar->value();
    const TaggedValue incr = program_->form2().Incr;
    const QPointF at(bar->width() / 2.0, bar->height() / 2.0);
    QWheelEvent wheel(at, bar->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    QCOMPARE(bar->value(), value);
    QCOMPARE(program_->form2().Incr, incr);
    QCOMPARE(program_->activeWindow(), &program_->form4());
}

void ProgramTest::linesButtonOnAnInactivePlotWindowRunsSetUpFirst() {
    walkToPlotWindow();
    program_->Show(program_->form3());
    activated_->clear();
    QList<QString> order;
    connect(program_.get(), &Program::windowActivated, this,
            [&order](ProgramWindow* window) { order << "activate " + window->objectName(); });
    QPushButton* lines = button(program_->form4(), "Command4");
    connect(lines, &QPushButton::clicked, this, [&order] { order << "click"; });
    const std::int16_t colour = program_->form3().Miocolor;
    QTest::mouseClick(lines, Qt::LeftButton);
    QCOMPARE(order, (QList<QString>{"activate Form4", "click"}));
    QCOMPARE(program_->form3().Miocolor, static_cast<std::int16_t>(colour + 2));
    QCOMPARE(program_->form4().Command4Value(), LinkingLines::Off);
}

void ProgramTest::exitButtonsEndTheProgramAtOnce_data() {
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("buttonName");
    QTest::newRow("calibration") << 2 << "Command3";
    QTest::newRow("constants") << 3 << "Command1";
    QTest::newRow("plot") << 4 << "Command3";
}

void ProgramTest::exitButtonsEndTheProgramAtOnce() {
    QFETCH(int, window);
    QFETCH(QString, buttonName);
    walkToPlotWindow();
    ProgramWindow* windows[] = {nullptr, nullptr, &program_->form2(), &program_->form3(),
                                &program_->form4()};
    QCOMPARE(windows[window]->control<QPushButton>(buttonName)->text(), QStringLiteral("ESCI"));
    windows[window]->control<QPushButton>(buttonName)->click();
    QCOMPARE(platform_->endings, 1);
    QVERIFY(program_->ended());
    // No handler runs afterwards: neither a click nor an activation.
    const std::int16_t colour = program_->form3().Miocolor;
    activated_->clear();
    button(program_->form4(), "Command4")->click();
    program_->Show(program_->form2());
    QCOMPARE(program_->form3().Miocolor, colour);
    QCOMPARE(activated_->size(), 0);
    QCOMPARE(platform_->endings, 1);
}

void ProgramTest::closedWindowKeepsItsStateAndComesBack() {
    walkToPlotWindow();
    Form4& plot = program_->form4();
    const TaggedValue x1 = plot.X1;
    QVERIFY(plot.close());
    QVERIFY(!plot.isVisible());
    QCOMPARE(program_->existingForm4(), &plot);
    QCOMPARE(plot.X1, x1);
    // Back through "AVANTI" with a shorter OA: the same window, with the first curve's far
    // end still in its own colour beside the new pair.
    program_->Show(program_->form3());
    program_->form3().control<QLineEdit>(QStringLiteral("Text1"))->setText(QStringLiteral("40"));
    button(program_->form3(), "Command2")->click();
    QVERIFY(plot.isVisible());
    const QImage drawing = plot.surface().snapshot();
    QVERIFY(pixelsOf(drawing, paletteColor(1)) > 0);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{2});
}

QTEST_MAIN(ProgramTest)
#include "tst_program.moc"
