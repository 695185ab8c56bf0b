#include "app/program.h"
#include "recording_figure_dialogs.h"
#include "recording_platform.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "figure/figure_module.h"
#include "windows/plot/form4.h"
#include "windows/plot/plot_menu.h"

#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QtTest>

// SVG files and printing live in a module loaded on first use. Without it they say why in a
// message box and write nothing; PNG and PDF need no module and still save.
class FigureModuleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void unloadableModulesGiveTheirReason_data();
    void unloadableModulesGiveTheirReason();
    void withoutTheModuleSvgAndPrintSayWhy();

private:
    QString file(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
};

void FigureModuleTest::initTestCase() {
    // Before anything asks for the module: the program then looks only here.
    qputenv("ZORPUN_FIGURES_MODULE", file(QStringLiteral("gone/figures.so")).toLocal8Bit());
    QFile text(file(QStringLiteral("text.so")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a library\n");
}

void FigureModuleTest::unloadableModulesGiveTheirReason_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason"); // a part of it
    QTest::newRow("no such file") << file(QStringLiteral("gone/figures.so"))
                                  << QStringLiteral("gone/figures.so non si trova");
    QTest::newRow("not a library") << file(QStringLiteral("text.so")) << QStringLiteral("text.so");
    // A library that the process holds already, without the module's entry.
    QTest::newRow("another library")
        << QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Test.so.6")
        << QStringLiteral("libQt6Test.so.6 non è il modulo per SVG e stampa");
}

void FigureModuleTest::unloadableModulesGiveTheirReason() {
    QFETCH(QString, path);
    QFETCH(QString, reason);
    if (path.contains(QLatin1String("libQt6Test")) && !QFileInfo::exists(path))
        QSKIP("Qt Test is not where Qt keeps its libraries");
    const auto loaded = loadFigureModule({path});
    const QString* failure = std::get_if<QString>(&loaded);
    QVERIFY(failure);
    QVERIFY2(
        failure->startsWith(QStringLiteral("il modulo per SVG e stampa non si può caricare: ")),
        qPrintable(*failure));
    QVERIFY2(failure->contains(reason), qPrintable(*failure));
}

void FigureModuleTest::withoutTheModuleSvgAndPrintSayWhy() {
    RecordingPlatform platform;
    Program program(platform);
    program.form2().Incr = TaggedValue::fromDouble(0.75);
    Form3& constants = program.form3();
    constants.VALa = TaggedValue::fromDouble(86);
    constants.VALb = TaggedValue::fromDouble(55);
    constants.VALc = TaggedValue::fromDouble(90);
    constants.VALe = TaggedValue::fromDouble(1);
    program.Show(constants);
    program.Show(program.form4());
    PlotMenu& menu = program.form4().figureMenu();
    RecordingFigureDialogs dialogs;
    menu.setDialogs(dialogs);
    const QString reason =
        QStringLiteral("il modulo per SVG e stampa non si può caricare: il file "
                       "%1 non si trova")
            .arg(QDir::toNativeSeparators(file(QStringLiteral("gone/figures.so"))));
    for (const char* name : {"a.svg", "a.png", "a.pdf"}) {
        dialogs.saveAnswer =
            FigureDialogs::SaveChoice{file(QLatin1String(name)), FigureFormat::Png, 1};
        menu.saveImage();
    }
    QCOMPARE(platform.messages.join('\n'),
             QStringList{QStringLiteral("Impossibile salvare il file «%1»: %2.")
                             .arg(QDir::toNativeSeparators(file(QStringLiteral("a.svg"))), reason)}
                 .join('\n'));
    QVERIFY(!QFileInfo::exists(file(QStringLiteral("a.svg"))));
    QVERIFY(QFileInfo(file(QStringLiteral("a.png"))).size() > 0);
    QVERIFY(QFileInfo(file(QStringLiteral("a.pdf"))).size() > 0);
    // The desktop's print dialog is not shown at all: the message comes first.
    DesktopFigureDialogs desktop;
    menu.setDialogs(desktop);
    platform.messages.clear();
    menu.printImage();
    QCOMPARE(platform.messages,
             QStringList{QStringLiteral("Impossibile stampare: %1.").arg(reason)});
}

QTEST_MAIN(FigureModuleTest)
#include "tst_figure_module.moc"
