#include "shell/platform.h"
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
    // A real pointer click through the X server, as the user makes it; returns once the
    // program has received the release.
    void clickAt(QWidget* widget, QPoint local);
    void clickOn(QWidget* widget) { clickAt(widget, widget->rect().center()); }
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Whether the window manager made the window its active one and the program heard of it,
    // so that no focus traffic of that switch is still on its way.
    static bool settledOn(QWidget* window);
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
    int releases_ = 0;
};

// Long enough for a loaded machine; only a failure waits this long.
constexpr int patience = 60000;

void WindowManagerTest::initTestCase() {
    qRegisterMetaType<ProgramWindow*>();
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
             "runs on an X display; see run-under-xvfb");
    program_ = new Program(platform_);
    activated_ = new QSignalSpy(program_, &Program::windowActivated);
    qApp->installEventFilter(this);
    connect(program_, &Program::windowActivated, this,
            [this](ProgramWindow* window) { order_ << "activate " + window->objectName(); });
}

void WindowManagerTest::clickAt(QWidget* widget, QPoint local) {
    QWidget* window = widget->window();
    QVERIFY(QTest::qWaitForWindowExposed(window, patience));
    // Relative to where the window is on the display, which Qt's own idea of its position
    // may run ahead of while the window manager places it.
    const QPoint at = widget->mapTo(window, local);
    const int released = releases_;
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                               {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                                QStringLiteral("--window"), QString::number(window->winId()),
                                QString::number(at.x()), QString::number(at.y()),
                                QStringLiteral("click"), QStringLiteral("1")}),
             0);
    QTRY_VERIFY_WITH_TIMEOUT(releases_ > released, patience);
}

bool WindowManagerTest::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType())
        ++releases_;
    return QObject::eventFilter(watched, event);
}

bool WindowManagerTest::settledOn(QWidget* window) {
    const bool settled = QTest::qWaitFor(
        [window] {
            QProcess xdotool;
            xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
            xdotool.waitForFinished();
            const bool managerSaysSo =
                xdotool.readAllStandardOutput().trimmed().toULongLong() == window->winId();
            return managerSaysSo && QApplication::activeWindow() == window;
        },
        patience);
    QCoreApplication::sendPostedEvents(); // what the last focus events queued
    return settled;
}

int WindowManagerTest::activationsOf(ProgramWindow* window) const {
    int count = 0;
    for (const QList<QVariant>& arguments : *activated_)
        count += arguments.at(0).value<ProgramWindow*>() == window ? 1 : 0;
    return count;
}

void WindowManagerTest::walkToPlotWindow() {
    // Placed before they are first shown, so the window manager maps them there and moves
    // nothing later: no window covers the one a click is meant for.
    program_->form2().move(800, 0);
    program_->form3().move(0, 560);
    program_->form4().move(800, 560);
    program_->start();
    // Whether a window mapped at start-up gets the focus is the window manager's policy;
    // the user's first click settles it.
    clickOn(program_->form1().control<QWidget>(QStringLiteral("OLE1")));
    QVERIFY(settledOn(&program_->form1()));
    clickOn(program_->form1().control<QWidget>(QStringLiteral("Command1")));
    QVERIFY(settledOn(&program_->form2()));
    program_->form2().control<QScrollBar>(QStringLiteral("HScroll1"))->setValue(2);
    clickOn(program_->form2().control<QWidget>(QStringLiteral("Command1")));
    QVERIFY(settledOn(&program_->form3()));
    clickOn(program_->form3().control<QWidget>(QStringLiteral("Command2")));
    QVERIFY(settledOn(&program_->form4()));
    QCOMPARE(activationsOf(&program_->form2()), 1);
    QCOMPARE(activationsOf(&program_->form3()), 1);
    QCOMPARE(activationsOf(&program_->form4()), 1);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{1});
}

void WindowManagerTest::activateByClickingCalibration() {
    clickAt(&program_->form2().surface(), QPoint(600, 400));
    QTRY_COMPARE_WITH_TIMEOUT(activationsOf(&program_->form2()), 2, patience);
    QVERIFY(settledOn(&program_->form2()));
    QCOMPARE(activationsOf(&program_->form2()), 2);
    QCOMPARE(program_->form2().Incr, TaggedValue::fromDouble(0.51));
    QCOMPARE(activationsOf(&program_->form4()), 1);
}

void WindowManagerTest::linesOnInactivePlotWindow() {
    auto* lines = program_->form4().control<QPushButton>(QStringLiteral("Command4"));
    connect(lines, &QPushButton::clicked, this, [this] { order_ << "click"; });
    order_.clear();
    clickOn(lines);
    QTRY_COMPARE_WITH_TIMEOUT(order_.size(), 2, patience);
    QVERIFY(settledOn(&program_->form4()));
    QCOMPARE(order_, (QStringList{"activate Form4", "click"}));
    QCOMPARE(program_->form3().Miocolor, std::int16_t{3});
}

void WindowManagerTest::comingBackFromAnotherWindow() {
    QWidget other;
    other.setWindowTitle(QStringLiteral("another application"));
    other.setGeometry(100, 100, 300, 200);
    other.show();
    other.activateWindow();
    QVERIFY(settledOn(&other));
    clickAt(&program_->form4().surface(), QPoint(600, 400));
    QVERIFY(settledOn(&program_->form4()));
    QCOMPARE(activationsOf(&program_->form4()), 2);
}

void WindowManagerTest::messageBoxClosing() {
    program_->form3().VALc = TaggedValue::fromDouble(0);
    clickOn(program_->form4().control<QWidget>(QStringLiteral("Command4")));
    QTRY_COMPARE_WITH_TIMEOUT(platform_.prompts.size(), 1, patience);
    QVERIFY(settledOn(&program_->form4()));
    QCOMPARE(platform_.prompts.first(), QStringLiteral(" Il segmento Vn è nullo "));
    QCOMPARE(activationsOf(&program_->form4()), 2);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{4});
}

void WindowManagerTest::messageFromActivationKeepsTheClick() {
    // A click on "ESCI" of the inactive plot window: its set-up runs first, and the message
    // box that the set-up's run opens must not swallow the click, which ends the program.
    clickAt(&program_->form2().surface(), QPoint(600, 400));
    QVERIFY(settledOn(&program_->form2()));
    clickOn(program_->form4().control<QWidget>(QStringLiteral("Command3")));
    QTRY_COMPARE_WITH_TIMEOUT(platform_.prompts.size(), 2, patience);
    QTRY_COMPARE_WITH_TIMEOUT(platform_.endings, 1, patience);
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
    // 10^9 passes: far longer than the half second before the progress shows.
    constants.control<QLineEdit>(QStringLiteral("Text3"))->setText(QStringLiteral("1000000000"));
    // t grows slowly enough to stay within its 16-bit limit.
    constants.control<QLineEdit>(QStringLiteral("Text5"))
        ->setText(QLocale().toString(0.00001, 'f', 5));
    QRect dialogFrame;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto* dialog = program_->form4().findChild<QProgressDialog*>();
        if (!dialog || !dialog->isVisible())
            return;
        watcher.stop();
        // Mapped in the frame the window manager gave it.
        if (QTest::qWaitForWindowExposed(dialog, patience))
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
