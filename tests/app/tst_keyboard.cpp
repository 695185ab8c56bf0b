#include "shell/focus_frame.h"
#include "shell/platform.h"
#include "app/program.h"
#include "recording_platform.h"
#include "core/palette.h"
#include "surface/plot_surface.h"
#include "test_windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <memory>

// The program walked with the keyboard alone, as a user without a mouse walks it: from the
// intro to a plot and out through "ESCI", the focus always shown.
class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void walkFromTheIntroToAPlotAndOut();
    void scrollBarKeys_data();
    void scrollBarKeys();
    void enterClosesAMessageBox();

private:
    // Presses a key where the focus is, and checks that the focus is then still shown.
    void press(Qt::Key key, int times = 1);
    QWidget* focused() const { return QApplication::focusWidget(); }

    RecordingPlatform platform;
    std::unique_ptr<Program> program;
};

namespace {

// Buttons and text boxes show their focus themselves; any other control has a focus frame
// on it while it holds the focus.
bool focusShown(QWidget* focus) {
    if (!focus)
        return false;
    if (qobject_cast<QAbstractButton*>(focus) || qobject_cast<QLineEdit*>(focus))
        return true;
    for (const FocusFrame* frame : focus->parentWidget()->findChildren<FocusFrame*>()) {
        if (frame->isVisible() && frame->geometry().contains(focus->geometry()))
            return true;
    }
    return false;
}

} // namespace

void KeyboardTest::init() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    program = std::make_unique<Program>(platform);
}

void KeyboardTest::cleanup() {
    program.reset();
    platform = RecordingPlatform();
}

void KeyboardTest::press(Qt::Key key, int times) {
    for (int count = 0; count < times; ++count) {
        QVERIFY(focused());
        QTest::keyClick(focused(), key);
        QVERIFY2(focusShown(focused()), focused() ? qPrintable(focused()->objectName()) : "none");
    }
}

void KeyboardTest::walkFromTheIntroToAPlotAndOut() {
    program->start();
    QVERIFY(QTest::qWaitForWindowActive(&program->form1()));
    QVERIFY(focusShown(focused())); // the intro document, framed at start
    press(Qt::Key_Tab);
    press(Qt::Key_Return); // AVANTI
    Form2& calibration = program->form2();
    QVERIFY(QTest::qWaitForWindowActive(&calibration));
    QVERIFY(focusShown(focused()));
    press(Qt::Key_Right, 3);
    QCOMPARE(calibration.Incr.toText(), QStringLiteral("0,59"));
    press(Qt::Key_Tab, 2);
    press(Qt::Key_Space); // OK - continua
    Form3& constants = program->form3();
    QVERIFY(QTest::qWaitForWindowActive(&constants));
    // A refused entry: the emptied box takes the focus, the correction goes there.
    QTest::keyClicks(focused(), QStringLiteral("x"));
    press(Qt::Key_Tab, 3);
    press(Qt::Key_Return); // AVANTI
    QCOMPARE(platform.messages, QStringList{"VALa non è un numero"});
    QCOMPARE(focused(), constants.control<QLineEdit>("Text1"));
    QTest::keyClicks(focused(), QStringLiteral("86"));
    press(Qt::Key_Tab, 3);
    press(Qt::Key_Return);
    Form4& plot = program->form4();
    QVERIFY(QTest::qWaitForWindowActive(&plot));
    QCOMPARE(constants.Miocolor, 1); // one run drawn
    QVERIFY(pixelsOf(plot.surface().grab().toImage(), paletteColor(1)) > 0);
    // One Return too many lands on the drawing and ends nothing.
    QCOMPARE(focused(), &plot.surface());
    press(Qt::Key_Return);
    QCOMPARE(platform.endings, 0);
    press(Qt::Key_Tab);
    QCOMPARE(focused(), plot.control<QWidget>("Command3"));
    press(Qt::Key_Return); // ESCI
    QCOMPARE(platform.endings, 1);
}

void KeyboardTest::scrollBarKeys_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("value");

    // Value 1 is at the left end, 30 at the right end.
    QTest::newRow("Right raises") << 5 << Qt::Key_Right << 6;
    QTest::newRow("Left lowers") << 5 << Qt::Key_Left << 4;
    QTest::newRow("Home to the left end") << 5 << Qt::Key_Home << 1;
    QTest::newRow("End to the right end") << 5 << Qt::Key_End << 30;
    QTest::newRow("Right stops at the end") << 30 << Qt::Key_Right << 30;
}

void KeyboardTest::scrollBarKeys() {
    QFETCH(int, start);
    QFETCH(Qt::Key, key);
    QFETCH(int, value);
    Form2& calibration = program->form2();
    program->Show(calibration);
    QVERIFY(QTest::qWaitForWindowActive(&calibration));
    auto* bar = calibration.control<QScrollBar>("HScroll1");
    bar->setValue(start);
    QCOMPARE(focused(), bar);
    QCOMPARE(bar->invertedAppearance(), false); // 1 is drawn at the left
    QTest::keyClick(bar, key);
    QCOMPARE(bar->value(), value);
}

// The desktop's message box answers Return, so a keyboard user gets past every message.
void KeyboardTest::enterClosesAMessageBox() {
    DesktopPlatform desktop;
    ProgramWindow& owner = program->form3();
    program->Show(owner);
    QVERIFY(QTest::qWaitForWindowActive(&owner));
    bool closedByReturn = false;
    QTimer presser;
    connect(&presser, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        presser.stop();
        QTest::keyClick(box, Qt::Key_Return);
        closedByReturn = !box->isVisible();
        box->reject(); // if Return did not close it, the test goes on and fails below
    });
    presser.start(10);
    desktop.messageBox(&owner, QStringLiteral("VALa non è un numero"));
    QVERIFY(closedByReturn);
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
