// Walks through the real windows on a real display and saves a picture of each, with its
// frame and title bar as the window manager draws them: the README's pictures.
// scripts/screenshots runs it under Xvfb at 96 DPI with openbox.
// Usage: take_screenshots OUTPUT_DIRECTORY
#include "shell/platform.h"
#include "app/program.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"
#include "windows/plot/form4.h"
#include "windows/plot/plot_menu.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <cstdio>

namespace {

// The walk shows no message box; one that appears anyway is reported, not shown.
class ScreenshotPlatform : public Platform {
public:
    void messageBox(QWidget*, const QString& prompt) override { unexpected << prompt; }
    void endProgram() override {}
    std::unique_ptr<ProgressReport> beginProgress(QWidget*) override {
        return std::make_unique<Steady>();
    }

    QStringList unexpected;

private:
    struct Steady : ProgressReport {
        bool update(std::int64_t, std::int64_t) override { return true; }
    };
};

// Where the calibration figure is a circle on square pixels: Incr = 0.51 + 0.02 x 9 = 0.69,
// close to the height-to-width ratio of the calibration window's client area.
constexpr int roundFigureStep = 9;
// Time for the window manager to finish the frame and for the window to repaint.
constexpr int settleMilliseconds = 400;

void press(ProgramWindow& window, const char* button) {
    window.control<QPushButton>(QString::fromLatin1(button))->click();
}

bool save(ProgramWindow& window, const QDir& out, const QString& name) {
    if (!QTest::qWaitForWindowActive(&window))
        return false;
    QTest::qWait(settleMilliseconds);
    const QRect frame = window.frameGeometry();
    const QPixmap picture =
        window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    return picture.save(out.filePath(name + QStringLiteral(".png")), "PNG");
}

// The plot's context menu open over the window, and the drawing saved as a PNG at 4 times the
// window's size, as "Salva immagine…" writes it.
bool saveFigureMenu(Form4& plot, const QDir& out) {
    PlotMenu& menu = plot.figureMenu();
    menu.popUp(QPoint(470, 280));
    QTest::qWait(settleMilliseconds);
    const QRect frame = plot.frameGeometry();
    const QPixmap picture =
        plot.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    menu.menu().hide();
    if (!picture.save(out.filePath(QStringLiteral("form4-menu.png")), "PNG"))
        return false;
    return !writeFigureFile(plot.journal(), menu.look(),
                            out.filePath(QStringLiteral("plot-4x.png")), 4);
}

bool walk(Program& program, const QDir& out) {
    program.start();
    if (!save(program.form1(), out, QStringLiteral("form1")))
        return false;
    press(program.form1(), "Command1");
    // One step past and back: going down clears the figures drawn on the way.
    auto* bar = program.form2().control<QScrollBar>(QStringLiteral("HScroll1"));
    bar->setValue(roundFigureStep + 1);
    bar->setValue(roundFigureStep);
    if (!save(program.form2(), out, QStringLiteral("form2")))
        return false;
    press(program.form2(), "Command1");
    if (!save(program.form3(), out, QStringLiteral("form3")))
        return false;
    press(program.form3(), "Command2");
    if (!save(program.form4(), out, QStringLiteral("form4")))
        return false;
    press(program.form4(), "Command4");
    if (!save(program.form4(), out, QStringLiteral("form4-lines")))
        return false;
    return saveFigureMenu(program.form4(), out);
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/curve-zor-pun-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: take_screenshots OUTPUT_DIRECTORY\n", stderr);
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("CURVE ZOR-PUN"));
    QApplication::setWindowIcon(programIcon());
    QApplication::setCursorFlashTime(0); // a steady text cursor, the same in every run
    // The pictures show the numbers as an Italian user sees them.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    ScreenshotPlatform platform;
    Program program(platform);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!walk(program, out) || !platform.unexpected.isEmpty()) {
        std::fprintf(stderr, "take_screenshots: the walk failed %s\n",
                     qPrintable(platform.unexpected.join(QStringLiteral("; "))));
        return 1;
    }
    return 0;
}
