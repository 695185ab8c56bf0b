#include "app/platform.h"
#include "app/program.h"
#include "surface/plot_surface.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"
#include "windows/plot/form4.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

// The real message box; the test presses its OK button once it is on screen.
class AnsweringPlatform : public DesktopPlatform {
public:
    void messageBox(QWidget* owner, const QString& prompt) override {
        prompts << prompt;
        QTimer::singleShot(0, [] { answerWhenShown(); });
        DesktopPlatform::messageBox(owner, prompt);
    }
    void endProgram() override { ++endings; }

    QStringList prompts;
    int endings = 0;

private:
    static void answerWhenShown() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isActiveWindow())
            box->button(QMessageBox::Ok)->click();
        else
            QTimer::singleShot(20, [] { answerWhenShown(); });
    }
};

} // namespace

// The windows on a real display with a real window manager: each switch between the
// program's windows, by its buttons or by the user's clicks, runs one activation.
class WindowManagerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void eachSwitchActivatesOnce();
    void firstLongRunShowsItsProgressOverThePlot();
    void cleanupTestCase() {
        delete activated_;
        delete program_;
    }

private:
    // A real pointer click through the X server, as the user makes it.
    static void clickAt(QWidget* widget, QPoint local);
    static void clickOn(QWidget* widget) { clickAt(widget, widget->rect().center()); }
    void walkToPlotWindow();
    void activateByClickingCalibration();
    void linesOnInactivePlotWindow();
    void comingBackFromAnotherWindow();
    void messageBoxClosing();
    void messageFromActivationKeepsTheClick();
    int activationsOf(ProgramWindow* window) const;

    AnsweringPlatform platform_;
    Program* program_ = nullptr;
    QSignalSpy* activated_ = nullptr;
    QStringList order_;
};

void WindowManagerTest::initTestCase() {
    qRegisterMetaType<ProgramWindow*>();
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
             "runs on an X display; see run-under-xvfb");
    program_ = new Program(platform_);
    activated_ = new QSignalSpy(program_, &Program::windowActivated);
    connect(program_, &Program::windowActivated, this,
            [this](ProgramWindow* window) { order_ << "activate " + window->objectName(); });
}

void WindowManagerTest::clickAt(QWidget* widget, QPoint local) {
    const QPoint global = widget->mapToGlobal(local);
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                               {QStringLiteral("mousemove"), QString::number(global.x()),
                                QString::number(global.y()), QStringLiteral("click"),
                                QStringLiteral("1")}),
             0);
}

int WindowManagerTest::activationsOf(ProgramWindow* window) const {
    int count = 0;
    for (const QList<QVariant>& arguments : *activated_)
        count += arguments.at(0).value<ProgramWindow*>() == window ? 1 : 0;
    return count;
}

void WindowManagerTest::walkToPlotWindow() {
    program_->start();
    // Whether a window mapped at start-up gets the focus is the window manager's policy;
    // the user's first click settles it.
    QVERIFY(QTest::qWaitForWindowExposed(&program_->form1()));
    clickOn(program_->form1().control<QWidget>(QStringLiteral("OLE1")));
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form1());
    clickOn(program_->form1().control<QWidget>(QStringLiteral("Command1")));
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form2());
    program_->form2().move(800, 0);
    program_->form2().control<QScrollBar>(QStringLiteral("HScroll1"))->setValue(2);
    clickOn(program_->form2().control<QWidget>(QStringLiteral("Command1")));
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form3());
    program_->form3().move(0, 560);
    clickOn(program_->form3().control<QWidget>(QStringLiteral("Command2")));
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form4());
    program_->form4().move(800, 560);
    QTest::qWait(300); // let the window manager's own focus traffic arrive
    QCOMPARE(activationsOf(&program_->form2()), 1);
    QCOMPARE(activationsOf(&program_->form3()), 1);
    QCOMPARE(activationsOf(&program_->form4()), 1);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{1});
}

void WindowManagerTest::activateByClickingCalibration() {
    QTRY_VERIFY(program_->form2().pos().x() >= 700);
    clickAt(&program_->form2().surface(), QPoint(600, 400));
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form2());
    QTest::qWait(300);
    QCOMPARE(activationsOf(&program_->form2()), 2);
    QCOMPARE(program_->form2().Incr, TaggedValue::fromDouble(0.51));
    QCOMPARE(activationsOf(&program_->form4()), 1);
}

void WindowManagerTest::linesOnInactivePlotWindow() {
    auto* lines = program_->form4().control<QPushButton>(QStringLiteral("Command4"));
    connect(lines, &QPushButton::clicked, this, [this] { order_ << "click"; });
    order_.clear();
    clickOn(lines);
    QTRY_COMPARE(order_.size(), 2);
    QTest::qWait(300);
    QCOMPARE(order_, (QStringList{"activate Form4", "click"}));
    QCOMPARE(program_->form3().Miocolor, std::int16_t{3});
}

void WindowManagerTest::comingBackFromAnotherWindow() {
    QWidget other;
    other.setWindowTitle(QStringLiteral("another application"));
    other.setGeometry(100, 100, 300, 200);
    other.show();
    other.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &other);
    clickAt(&program_->form4().surface(), QPoint(600, 400));
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form4());
    QTest::qWait(300);
    QCOMPARE(activationsOf(&program_->form4()), 2);
}

void WindowManagerTest::messageBoxClosing() {
    program_->form3().VALc = TaggedValue::fromDouble(0);
    clickOn(program_->form4().control<QWidget>(QStringLiteral("Command4")));
    QTRY_COMPARE(platform_.prompts.size(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form4());
    QTest::qWait(300);
    QCOMPARE(platform_.prompts.first(), QStringLiteral(" Il segmento Vn è nullo "));
    QCOMPARE(activationsOf(&program_->form4()), 2);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{4});
}

void WindowManagerTest::messageFromActivationKeepsTheClick() {
    // A click on "ESCI" of the inactive plot window: its set-up runs first, and the message
    // box that the set-up's run opens must not swallow the click, which ends the program.
    clickAt(&program_->form2().surface(), QPoint(600, 400));
    QTRY_COMPARE(QApplication::activeWindow(), &program_->form2());
    clickOn(program_->form4().control<QWidget>(QStringLiteral("Command3")));
    QTRY_COMPARE(platform_.prompts.size(), 2);
    QTRY_COMPARE(platform_.endings, 1);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{5});
}

void WindowManagerTest::eachSwitchActivatesOnce() {
    // Each step needs the one before it.
    for (void (WindowManagerTest::*step)() :
         {&WindowManagerTest::walkToPlotWindow, &WindowManagerTest::activateByClickingCalibration,
          &WindowManagerTest::linesOnInactivePlotWindow,
          &WindowManagerTest::comingBackFromAnotherWindow, &WindowManagerTest::messageBoxClosing,
          &WindowManagerTest::messageFromActivationKeepsTheClick}) {
        (this->*step)();
        if (QTest::currentTestFailed())
            return;
    }
    // Form1, Form2 three times, Form3, Form4 three times.
    QCOMPARE(activated_->size(), 8);
}

// The plot window of a fresh program is placed by the window manager while its first run
// already holds the thread; the run's progress dialog must still come up over it.
void WindowManagerTest::firstLongRunShowsItsProgressOverThePlot() {
    delete activated_;
    activated_ = nullptr;
    delete program_;
    program_ = new Program(platform_);
    Form3& constants = program_->form3();
    program_->form1().move(0, 0);
    program_->form2().move(0, 0); // where a dialog placed by stale geometry would land
    program_->Show(program_->form2());
    program_->Show(constants);
    // A short OA keeps every dot inside, so the long run goes on until "Annulla".
    constants.control<QLineEdit>(QStringLiteral("Text1"))->setText(QStringLiteral("1"));
    constants.control<QLineEdit>(QStringLiteral("Text3"))->setText(QStringLiteral("100000000"));
    // t grows slowly enough to stay within its 16-bit limit.
    constants.control<QLineEdit>(QStringLiteral("Text5"))->setText(QLocale().toString(0.0001));
    QRect dialogFrame;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto* dialog = program_->form4().findChild<QProgressDialog*>();
        if (!dialog || !dialog->isVisible())
            return;
        watcher.stop();
        QTest::qWait(200); // the frame as the window manager draws it
        dialogFrame = dialog->frameGeometry();
        dialog->cancel();
    });
    watcher.start(20);
    constants.control<QPushButton>(QStringLiteral("Command2"))->click();
    QVERIFY(!dialogFrame.isEmpty());
    const QRect plotFrame = program_->form4().frameGeometry();
    QVERIFY2(plotFrame.contains(dialogFrame.center()),
             qPrintable(QStringLiteral("dialog at %1,%2; plot window %3,%4 %5x%6")
                            .arg(dialogFrame.center().x())
                            .arg(dialogFrame.center().y())
                            .arg(plotFrame.x())
                            .arg(plotFrame.y())
                            .arg(plotFrame.width())
                            .arg(plotFrame.height())));
}

QTEST_MAIN(WindowManagerTest)
#include "tst_window_manager.moc"
