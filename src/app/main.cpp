#include "shell/accessibility.h"
#include "app/command_line.h"
#include "shell/platform.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "app/render_figure.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QLocale>
#include <QPixmap>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would abort; say so plainly instead. A platform or display named
// among Qt's options is left to Qt.
bool displayAvailable(const std::vector<QtOption>& qtOptions) {
    for (const QtOption& option : qtOptions)
        if (option.name == QLatin1String("platform") || option.name == QLatin1String("display"))
            return true;
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
// icon theme); every window shows it. Each size is decoded at start-up, so no more. The
// images are read as the PNGs they are: an icon given file names asks every image format
// plugin to recognise them, which loads all of those plugins (and Qt SVG) at every start.
QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QImageReader reader(QStringLiteral(":/icons/curve-zor-pun-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

// The usage, the version, a refusal or a figure: the program answers on the terminal and
// opens no window. The usage and the version need no display, and a figure is drawn on the
// offscreen platform; Qt's options, meant for the windows, are not handed on.
int answerOnTerminal(const CommandLine& command, char* programPath) {
    switch (command.action) {
    case CommandLine::Action::Help:
        std::fputs(qUtf8Printable(commandLineHelp()), stdout);
        return exitSuccess;
    case CommandLine::Action::Version:
        std::fputs(qUtf8Printable(versionText + '\n'), stdout);
        return exitSuccess;
    case CommandLine::Action::Refuse:
        std::fputs(qUtf8Printable(command.refusal + '\n'), stderr);
        return exitBadArguments;
    case CommandLine::Action::StartWindows:
    case CommandLine::Action::Render:
        break;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The terminal gets the program's own lines only, not Qt's notes about the session.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fputs(qUtf8Printable(text + '\n'), stderr);
    });
    int argumentCount = 1;
    char* programOnly[] = {programPath, nullptr};
    QApplication application(argumentCount, programOnly);
    return renderFigure(command.render, stderr);
}

// Where the session is kept after every step: the user's state folder for the program.
QString keptSessionFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/ultima-sessione.zorpun");
}

// The four windows. The application object takes Qt's own options out of the arguments.
int startWindows(int argc, char* argv[], const CommandLine& command) {
    if (!displayAvailable(command.qtOptions)) {
        std::fputs("curve-zor-pun: nessuno schermo disponibile (no display: DISPLAY and "
                   "WAYLAND_DISPLAY are not set). Start it from a desktop session.\n",
                   stderr);
        return 1;
    }
    // Before the application exists, so even its first report to a screen reader is right.
    installAccessibility();
    QApplication application(argc, argv);
    installQtTranslations(application, QLocale::system());
    QApplication::setApplicationName(QStringLiteral("CURVE ZOR-PUN"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    // The product name "CURVE  ZOR-PUN" is deliberately not the display name: Qt would append
    // it to every window title, and the titles must read "Form1", "Form2", " ", "Form4".
    // The desktop entry and the metainfo carry it instead.
    QGuiApplication::setDesktopFileName(QStringLiteral(ZORPUN_APP_ID));
    QApplication::setWindowIcon(programIcon());
    DesktopPlatform platform;
    Program program(platform);
    const QString kept = keptSessionFile();
    program.keepSessionAt(kept);
    const QString opened = command.restore ? kept : command.openFile;
    // A session that does not open, with its message, leaves the program as it starts.
    if (opened.isEmpty() || !program.openSession(opened))
        program.start();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    CommandLine command;
    if (argc > 1) {
        QStringList arguments;
        for (int index = 0; index < argc; ++index)
            arguments << QString::fromLocal8Bit(argv[index]);
        command = parseCommandLine(arguments);
        if (command.action != CommandLine::Action::StartWindows)
            return answerOnTerminal(command, argv[0]);
    }
    return startWindows(argc, argv, command);
}
