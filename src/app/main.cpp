#include "app/platform.h"
#include "app/program.h"

#include <QApplication>
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

} // namespace

int main(int argc, char* argv[]) {
    if (!displayAvailable()) {
        std::fputs("curve-zor-pun: nessuno schermo disponibile (no display: DISPLAY and "
                   "WAYLAND_DISPLAY are not set). Start it from a desktop session.\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CURVE ZOR-PUN"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    DesktopPlatform platform;
    Program program(platform);
    program.start();
    return QApplication::exec();
}
