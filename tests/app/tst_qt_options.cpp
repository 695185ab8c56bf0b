#include <QLibraryInfo>
#include <QProcess>
#include <QTranslator>
#include <QtTest>

// Qt's own options start the windows, as in every Qt program, and reach Qt; Qt's own texts
// follow the user's language. The program here is a copy that reports how its interface
// started once its first window shows, then ends.
class QtOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void optionsReachTheInterface_data();
    void optionsReachTheInterface();
};

namespace {

// What Qt's Cancel reads in Italian, from the catalogue itself.
QString italianCancel() {
    QTranslator catalogue;
    if (!catalogue.load(QStringLiteral("qtbase_it"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return {};
    return catalogue.translate("QPlatformTheme", "Cancel");
}

} // namespace

void QtOptionsTest::optionsReachTheInterface_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("reported"); // a word of the report
    const QStringList offscreen{"QT_QPA_PLATFORM=offscreen", "LANG=C"};
    QTest::newRow("no arguments") << QStringList() << offscreen << "direction=ltr";
    QTest::newRow("C user") << QStringList() << offscreen << "cancel=Cancel";
    QTest::newRow("-platform, no display")
        << QStringList{"-platform", "offscreen"} << QStringList{"LANG=C"} << "platform=offscreen";
    QTest::newRow("-style") << QStringList{"-style", "windows"} << offscreen << "style=windows";
    QTest::newRow("--style=") << QStringList{"--style=windows"} << offscreen << "style=windows";
    QTest::newRow("-reverse") << QStringList{"-reverse"} << offscreen << "direction=rtl";
    QTest::newRow("-qwindowgeometry")
        << QStringList{"-qwindowgeometry", "320x200+40+30"} << offscreen << "position=40,30";
    QTest::newRow("Italian user") << QStringList()
                                  << QStringList{"QT_QPA_PLATFORM=offscreen", "LANG=it_IT.UTF-8"}
                                  << "cancel=" + italianCancel();
}

void QtOptionsTest::optionsReachTheInterface() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(QString, reported);
    if (reported == QLatin1String("cancel="))
        QSKIP(
            "qt6-translations-l10n is not installed (no qtbase_it.qm); scripts/setup installs it");
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR",
                             "LANG", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        variables.remove(QLatin1String(name));
    for (const QString& variable : environment)
        variables.insert(variable.section(QLatin1Char('='), 0, 0),
                         variable.section(QLatin1Char('='), 1));
    QProcess process;
    process.setProcessEnvironment(variables);
    process.start(QStringLiteral(ZORPUN_INTERFACE_PROBE), arguments);
    QVERIFY(process.waitForFinished(60000));
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, qPrintable(errors));
    const QStringList report =
        QString::fromUtf8(process.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    QVERIFY2(report.contains(QLatin1String("window=Form1")), qPrintable(report.join(' ')));
    QVERIFY2(report.contains(reported), qPrintable(report.join(' ')));
}

QTEST_GUILESS_MAIN(QtOptionsTest)
#include "tst_qt_options.moc"
