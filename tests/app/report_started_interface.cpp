#include <QApplication>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <cstdio>

// Linked into a copy of the program for the tests only. Once the event loop runs and the
// first window is on screen, prints one line of what the interface started with and ends
// the program.
namespace {

void reportWhenShown() {
    const QWidget* shown = nullptr;
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            shown = window;
    if (!shown) {
        QTimer::singleShot(0, reportWhenShown);
        return;
    }
    // Where the frame is: Qt places the first window by -qwindowgeometry, but keeps the size
    // a widget has.
    const QPoint position = shown->frameGeometry().topLeft();
    const QString line =
        QStringLiteral("window=%1 platform=%2 style=%3 direction=%4 position=%5,%6 cancel=%7")
            .arg(shown->windowTitle(), QGuiApplication::platformName(),
                 QApplication::style()->name(),
                 QGuiApplication::isRightToLeft() ? QStringLiteral("rtl") : QStringLiteral("ltr"))
            .arg(position.x())
            .arg(position.y())
            .arg(QCoreApplication::translate("QPlatformTheme", "Cancel"));
    std::printf("%s\n", qUtf8Printable(line));
    std::fflush(stdout);
    QCoreApplication::quit();
}

// Runs as the application object is made, before main() goes on to show its window.
void reportOnceShown() {
    QTimer::singleShot(0, reportWhenShown);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(reportOnceShown)
