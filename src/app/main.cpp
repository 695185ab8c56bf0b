#include "app/accessibility.h"
#include "app/platform.h"
#include "app/program.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would abort; say so plainly instead.
bool displayAvailable() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

// The window icon in the sizes title bars and task bars use (menus take the installed
// icon theme); every window shows it. Each size is decoded at start-up, so no more.
QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/curve-zor-pun-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!displayAvailable()) {
        std::fputs("curve-zor-pun: nessuno schermo disponibile (no display: DISPLAY and "
                   "WAYLAND_DISPLAY are not set). Start it from a desktop session.\n",
                   stderr);
        return 1;
    }
    // Before the application exists, so even its first report to a screen reader is right.
    installAccessibility();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CURVE ZOR-PUN"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    // The product name "CURVE  ZOR-PUN" is deliberately not the display name: Qt would append
    // it to every window title, and the titles must read "Form1", "Form2", " ", "Form4".
    // The desktop entry and the metainfo carry it instead.
    QGuiApplication::setDesktopFileName(QStringLiteral(ZORPUN_APP_ID));
    QApplication::setWindowIcon(programIcon());
    DesktopPlatform platform;
    Program program(platform);
    program.start();
    return QApplication::exec();
}
