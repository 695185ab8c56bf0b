#include "app/program.h"
#include "core/palette.h"
#include "recording_figure_dialogs.h"
#include "recording_platform.h"
#include "shell/figure_options_panel.h"
#include "surface/plot_surface.h"
#include "test_windows.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/plot/form4.h"
#include "windows/plot/plot_menu.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

// The plot window's drawing leaves the program: replayed from its journal it is the screen's
// buffer again, and the menu saves, copies and prints it without touching the window.
class PlotExportTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void replayGivesTheScreensPixels_data();
    void replayGivesTheScreensPixels();
    void savesEachFormat_data();
    void savesEachFormat();
    void svgLooksLikeTheScreen_data();
    void svgLooksLikeTheScreen();
    void copyAndPrint();
    void saveDialogKeepsTheChoice();
    void optionsPanelReadsBack_data();
    void optionsPanelReadsBack();
    void printsOnWhiteUnlessAsked_data();
    void printsOnWhiteUnlessAsked();
    void failedSavesLeaveNothingBehind_data();
    void failedSavesLeaveNothingBehind();
    void menuLeavesTheWindowAsItWas();
    void menuIsReadAndReachedByKeyboard();
    void nothingWhileALongRunShowsItsProgress();
    void longCopiesReportAndStop_data();
    void longCopiesReportAndStop();
    void descriptionSaysWhatThePlotHolds();

private:
    // Plays a sequence of the user's actions on the plot window, one word each:
    // "show" (an activation through the constants window), "lines", "clear", "incr=F",
    // "run=A,B,N,E" (the constants), "colour=K", "cancel=N" (stop the next long run at the
    // Nth progress report).
    void play(const QString& actions);
    Form4& plot() { return program_->form4(); }
    PlotMenu& menu() { return plot().figureMenu(); }
    QString save(const QString& name, FigureFormat filter, int scale = 1);

    std::unique_ptr<RecordingPlatform> platform_;
    std::unique_ptr<Program> program_;
    RecordingFigureDialogs dialogs_;
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<QTemporaryDir> settings_;
};

namespace {

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// The share of pixels in which two pictures of one size differ.
double differingShare(const QImage& first, const QImage& second) {
    const QImage a = rgb(first);
    const QImage b = rgb(second);
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return double(differing) / (double(a.width()) * a.height());
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void PlotExportTest::init() {
    QLocale::setDefault(QLocale::c());
    platform_ = std::make_unique<RecordingPlatform>();
    program_ = std::make_unique<Program>(*platform_);
    program_->form2().Incr = TaggedValue::fromDouble(0.75);
    play(QStringLiteral("run=86,55,90,1"));
    menu().setDialogs(dialogs_);
    dialogs_.saveAnswer.reset();
    dialogs_.againAnswer.reset();
    dialogs_.proposals.clear();
    dialogs_.onPrint = nullptr;
    // The save dialog's memory goes to a folder of this test's own, on every system.
    settings_ = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_->path());
    dialogs_.printTo.clear();
    dialogs_.saveAsked = 0;
    dialogs_.printAsked = 0;
    folder_ = std::make_unique<QTemporaryDir>();
}

void PlotExportTest::cleanup() {
    program_.reset();
    platform_.reset();
    folder_.reset();
}

void PlotExportTest::play(const QString& actions) {
    Form3& constants = program_->form3();
    for (const QString& action : actions.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString value = action.section(QLatin1Char('='), 1);
        if (action == QLatin1String("show")) {
            program_->Show(constants);
            program_->Show(plot());
        } else if (action == QLatin1String("lines") || action == QLatin1String("clear")) {
            plot()
                .control<QPushButton>(action == QLatin1String("lines") ? "Command4" : "Command2")
                ->click();
        } else if (action.startsWith(QLatin1String("incr="))) {
            program_->form2().Incr = TaggedValue::fromDouble(value.toDouble());
        } else if (action.startsWith(QLatin1String("colour="))) {
            constants.Miocolor = static_cast<std::int16_t>(value.toInt());
        } else if (action.startsWith(QLatin1String("cancel="))) {
            platform_->progressUpdates = 0;
            platform_->lastDone = 0;
            platform_->progressWentBack = false;
            platform_->cancelAfterUpdates = value.toInt();
        } else if (action.startsWith(QLatin1String("run="))) {
            const QStringList numbers = value.split(QLatin1Char(','));
            constants.VALa = TaggedValue::fromDouble(numbers.at(0).toDouble());
            constants.VALb = TaggedValue::fromDouble(numbers.at(1).toDouble());
            constants.VALc = TaggedValue::fromDouble(numbers.at(2).toDouble());
            constants.VALe = TaggedValue::fromDouble(numbers.at(3).toDouble());
        }
    }
}

QString PlotExportTest::save(const QString& name, FigureFormat filter, int scale) {
    const QString path = folder_->filePath(name);
    dialogs_.saveAnswer = FigureDialogs::SaveChoice{path, filter, scale};
    menu().saveImage();
    return path;
}

void PlotExportTest::replayGivesTheScreensPixels_data() {
    QTest::addColumn<QString>("actions");
    QTest::newRow("the default run") << "show";
    QTest::newRow("a run with lines") << "show lines";
    QTest::newRow("a clear") << "show lines clear";
    QTest::newRow("runs of other factors and constants")
        << "show incr=0.51 run=120,30,60,2 show run=300,80,200,0.5 lines incr=1.11 show";
    QTest::newRow("a long run stopped") << "show run=200,45,1e6,0.01 cancel=3 show";
    QTest::newRow("the colour cursor passing 14") << "colour=13 show lines show";
    QTest::newRow("refused runs") << "show run=1,2,0,1 show lines run=86,55,90,1 show";
}

void PlotExportTest::replayGivesTheScreensPixels() {
    QFETCH(QString, actions);
    play(actions);
    const PlotSurface& surface = plot().surface();
    const QImage replayed =
        renderFigureImage(plot().journal(), menu().look(), surface.devicePixelRatioF());
    QCOMPARE(replayed.size(), surface.snapshot().size());
    QVERIFY(rgb(replayed) == rgb(surface.snapshot()));
}

void PlotExportTest::savesEachFormat_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("written"); // "" when it is the name given
    QTest::newRow("PNG 1x") << "a.png" << int(FigureFormat::Png) << 1 << "";
    QTest::newRow("PNG 4x") << "a.PNG" << int(FigureFormat::Png) << 4 << "";
    QTest::newRow("extension over filter") << "a.svg" << int(FigureFormat::Pdf) << 1 << "";
    QTest::newRow("filter without extension") << "a" << int(FigureFormat::Pdf) << 1 << "a.pdf";
    QTest::newRow("PNG name, SVG filter") << "a.png" << int(FigureFormat::Svg) << 4 << "";
}

void PlotExportTest::savesEachFormat() {
    QFETCH(QString, name);
    QFETCH(int, filter);
    QFETCH(int, scale);
    QFETCH(QString, written);
    play(QStringLiteral("show"));
    const QString path = save(name, FigureFormat(filter), scale);
    QVERIFY2(platform_->messages.isEmpty(), qPrintable(platform_->messages.join('\n')));
    const QString file = written.isEmpty() ? path : folder_->filePath(written);
    const QSize window = plot().surface().size();
    switch (*formatForFile(file)) {
    case FigureFormat::Png: {
        const QImage image(file);
        const QImage screen = plot().surface().snapshot();
        if (FigureFormat(filter) != FigureFormat::Png || scale == 1) {
            QVERIFY(rgb(image) == rgb(screen)); // the screen's buffer, at its own ratio
            break;
        }
        // Drawn afresh, its dots as wide for their picture as on screen.
        QCOMPARE(image.size(), window * scale);
        const double shareOnScreen =
            double(pixelsOf(rgb(screen), paletteColor(1))) / (screen.width() * screen.height());
        const double share =
            double(pixelsOf(rgb(image), paletteColor(1))) / (image.width() * image.height());
        QVERIFY2(std::abs(share / shareOnScreen - 1) < 0.25, qPrintable(QString::number(share)));
        break;
    }
    case FigureFormat::Svg:
        QVERIFY(QSvgRenderer(file).isValid());
        break;
    case FigureFormat::Pdf: {
        // One page, the window's size at its DPI.
        const QByteArray pdf = contentOf(file);
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
        const QRegularExpressionMatch box =
            QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                .match(QString::fromLatin1(pdf));
        QVERIFY(box.hasMatch());
        QVERIFY(std::abs(box.captured(1).toDouble() - window.width() * 72.0 / 96) < 1);
        QVERIFY(std::abs(box.captured(2).toDouble() - window.height() * 72.0 / 96) < 1);
        break;
    }
    }
}

void PlotExportTest::svgLooksLikeTheScreen_data() {
    QTest::addColumn<bool>("recorded");
    QTest::addColumn<double>("mostDiffering"); // share of the pixels
    QTest::newRow("the SVG") << false << 0.02;
    // Drawn here without smoothing: it differs only where a grid place rounds another way.
    QTest::newRow("the figure recorded for a long print") << true << 0.005;
}

void PlotExportTest::svgLooksLikeTheScreen() {
    QFETCH(bool, recorded);
    QFETCH(double, mostDiffering);
    play(QStringLiteral("show lines incr=0.6 run=200,45,1e5,0.01 show"));
    const QImage screen = plot().surface().snapshot();
    QImage drawn(screen.size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    if (recorded) {
        const std::optional<QPicture> picture = recordFigure(plot().journal(), menu().look());
        QVERIFY(picture);
        paintRecordedFigure(*picture, menu().look(), painter, QRectF(drawn.rect()));
    } else {
        QSvgRenderer(save(QStringLiteral("a.svg"), FigureFormat::Svg)).render(&painter);
    }
    painter.end();
    // The screen puts each dot on its own pixel grid, the file on a grid of 600 per inch
    // and smooths the edges: the two differ only along the edges of the curves.
    const double share = differingShare(drawn, screen);
    QVERIFY2(share < mostDiffering, qPrintable(QString::number(share)));
}

void PlotExportTest::copyAndPrint() {
    play(QStringLiteral("show lines"));
    menu().copyImage();
    QVERIFY(rgb(QGuiApplication::clipboard()->image()) == rgb(plot().surface().snapshot()));
    dialogs_.printTo = folder_->filePath(QStringLiteral("print.pdf"));
    menu().printImage();
    QCOMPARE(dialogs_.printAsked, 1);
    const QByteArray pdf = contentOf(dialogs_.printTo);
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
}

// The dialog opens at the last choice, options included, even one whose save failed, and
// then opens again at once with that name; the options reach the file as the figure
// library writes it.
void PlotExportTest::saveDialogKeepsTheChoice() {
    FigureOptions options;
    options.width = PhysicalWidth{8, LengthUnit::Centimetre};
    options.dpi = 300;
    options.legend = FigureLegend::On;
    const QString missing = folder_->filePath(QStringLiteral("missing/fig"));
    dialogs_.saveAnswer = SaveChoice{missing, FigureFormat::Png, 2, options};
    const QString mended = folder_->filePath(QStringLiteral("fig.png"));
    dialogs_.againAnswer = SaveChoice{mended, FigureFormat::Png, 2, options};
    menu().saveImage();
    dialogs_.saveAnswer.reset();
    menu().saveImage(); // cancelled
    QVERIFY2(platform_->messages.size() == 1, qPrintable(platform_->messages.join('\n')));
    QCOMPARE(dialogs_.proposals.size(), size_t(3));
    QCOMPARE(dialogs_.proposals[0].path, QStringLiteral("curve.png"));
    QCOMPARE(dialogs_.proposals[1].path, missing + QStringLiteral(".png"));
    const SaveChoice& kept = dialogs_.proposals[2];
    QCOMPARE(kept.path, mended);
    QCOMPARE(kept.scale, 2);
    QVERIFY(kept.options.width && kept.options.width->amount == 8 && kept.options.dpi == 300.0);
    QCOMPARE(kept.options.legend, FigureLegend::On);
    const QString direct = folder_->filePath(QStringLiteral("direct.png"));
    options.legendFont = plotWindowFont();
    QVERIFY(!writeFigureFile(program_->session().journal(), menu().look(), direct, 2, nullptr,
                             nullptr, menu().recipe(), options));
    QCOMPARE(contentOf(mended), contentOf(direct));
}

void PlotExportTest::optionsPanelReadsBack_data() {
    QTest::addColumn<FigureOptions>("options");
    QTest::addColumn<FigureFormat>("format");
    QTest::newRow("as the window") << FigureOptions{} << FigureFormat::Png;
    FigureOptions paper;
    paper.width = PhysicalWidth{3.5, LengthUnit::Inch};
    paper.dpi = 600;
    paper.background = FigureBackground::Transparent;
    paper.colours = RunColours::Distinct;
    paper.legend = FigureLegend::On;
    paper.fit = FigureFit::Drawing;
    QTest::newRow("for a paper") << paper << FigureFormat::Png;
    paper.dpi.reset(); // a vector figure has no DPI
    paper.background = FigureBackground::White;
    QTest::newRow("for a paper, SVG") << paper << FigureFormat::Svg;
}

void PlotExportTest::optionsPanelReadsBack() {
    QFETCH(FigureOptions, options);
    QFETCH(FigureFormat, format);
    FigureOptions shown = options;
    shown.dpi = 300; // left over from a PNG, not given to a vector figure
    FigureOptionsPanel panel(format == FigureFormat::Png ? options : shown);
    panel.setFormat(format);
    const FigureOptions read = panel.options();
    QCOMPARE(read.width.has_value(), options.width.has_value());
    if (options.width)
        QVERIFY(read.width->amount == options.width->amount &&
                read.width->unit == options.width->unit);
    QCOMPARE(read.dpi, options.dpi);
    QCOMPARE(read.background, options.background);
    QCOMPARE(read.colours, options.colours);
    QCOMPARE(read.legend, options.legend);
    QCOMPARE(read.fit, options.fit);
}

void PlotExportTest::printsOnWhiteUnlessAsked_data() {
    QTest::addColumn<FigureBackground>("background");
    QTest::addColumn<bool>("longFigure"); // recorded before the dialog
    for (const bool longFigure : {false, true}) {
        const char* length = longFigure ? ", a long figure" : "";
        QTest::addRow("white%s", length) << FigureBackground::White << longFigure;
        QTest::addRow("the window's%s", length) << FigureBackground::Window << longFigure;
    }
}

// The page is the screen's picture but for its background, and the legend adds a box to it;
// the plot window being wider than tall, it is printed across the page.
void PlotExportTest::printsOnWhiteUnlessAsked() {
    QFETCH(FigureBackground, background);
    QFETCH(bool, longFigure);
    play(longFigure ? QStringLiteral("show lines incr=0.6 run=200,45,1e5,0.01 show")
                    : QStringLiteral("show lines"));
    const QImage screen = rgb(plot().surface().snapshot());
    QImage page(screen.size(), QImage::Format_RGB32);
    QImage withLegend = page;
    dialogs_.onPrint = [&](const PagePainting& paint, PrintSetUp& setUp) {
        QCOMPARE(setUp.background, FigureBackground::White);
        setUp.background = background; // as the preview's buttons would
        for (QImage* painted : {&page, &withLegend}) {
            setUp.legend = painted == &page ? FigureLegend::Off : FigureLegend::On;
            painted->fill(Qt::black);
            QPainter painter(painted);
            paint(painter, QRectF(painted->rect()), screen.logicalDpiX());
        }
    };
    menu().printImage();
    QCOMPARE(dialogs_.printSetUp->turn, PageTurn::Landscape);
    const QRgb grey = plot().surface().palette().color(QPalette::Window).rgb();
    QImage expected = screen;
    if (background == FigureBackground::White)
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                if (expected.pixel(x, y) == grey)
                    expected.setPixel(x, y, qRgb(255, 255, 255));
    // The vector dots' smoothed edges differ a little from the screen's.
    const double share = differingShare(page, expected);
    QVERIFY2(share < 0.02, qPrintable(QString::number(share)));
    QRect legend;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != withLegend.pixel(x, y))
                legend |= QRect(x, y, 1, 1);
    QVERIFY(!legend.isEmpty());
    QVERIFY2(legend.width() * legend.height() < page.width() * page.height() / 4,
             qPrintable(QStringLiteral("%1×%2").arg(legend.width()).arg(legend.height())));
}

void PlotExportTest::failedSavesLeaveNothingBehind_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QString>("reason"); // in Italian, the system's own included
    QTest::newRow("a folder that does not exist")
        << "missing/a.png" << false << "la cartella non esiste";
    QTest::newRow("a file for a folder") << "old.png/a.png" << false << "non è una cartella";
    QTest::newRow("a folder for a file") << "folder.png" << false << "è il nome di una cartella";
    QTest::newRow("an unknown extension") << "a.bmp" << false << "non finisce in .png";
    // The file size limit stands in for the full disk: the system says the file is too large.
    QTest::newRow("a full disk, PNG over an old file") << "old.png" << true << "file troppo grande";
    QTest::newRow("a full disk, SVG") << "old.svg" << true << "file troppo grande";
    QTest::newRow("a full disk, PDF") << "old.pdf" << true << "file troppo grande";
}

void PlotExportTest::failedSavesLeaveNothingBehind() {
    QFETCH(QString, name);
    QFETCH(bool, diskFull);
    QFETCH(QString, reason);
    for (const char* old : {"old.png", "old.svg", "old.pdf"}) {
        QFile file(folder_->filePath(QLatin1String(old)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("folder.png")));
    const QStringList before = QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden);
    play(QStringLiteral("show lines"));
    // A file may grow no larger than a few bytes: as when the disk fills up.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    if (diskFull) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    save(name, FigureFormat::Png, 4);
    setrlimit(RLIMIT_FSIZE, &saved);
    QCOMPARE(platform_->messages.size(), 1);
    QVERIFY2(platform_->messages.first().contains(QFileInfo(name).fileName()),
             qPrintable(platform_->messages.first()));
    QVERIFY(platform_->messages.first().startsWith(QLatin1String("Impossibile salvare")));
    QVERIFY2(platform_->messages.first().contains(reason), qPrintable(platform_->messages.first()));
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden), before);
    QCOMPARE(contentOf(folder_->filePath(QStringLiteral("old.png"))), QByteArray("old"));
    QCOMPARE(contentOf(folder_->filePath(QStringLiteral("old.svg"))), QByteArray("old"));
}

void PlotExportTest::menuLeavesTheWindowAsItWas() {
    play(QStringLiteral("show lines"));
    const QImage drawing = plot().surface().snapshot();
    QSignalSpy activations(program_.get(), &Program::windowActivated);
    menu().popUp(QPoint(10, 10));
    QVERIFY(menu().menu().isVisible());
    menu().menu().hide();
    menu().saveImage(); // cancelled
    QCOMPARE(dialogs_.saveAsked, 1);
    dialogs_.printTo.clear();
    menu().printImage(); // cancelled
    save(QStringLiteral("a.png"), FigureFormat::Png, 2);
    menu().copyImage();
    QCoreApplication::processEvents();
    QCOMPARE(activations.count(), 0);
    QCOMPARE(program_->form3().Miocolor, std::int16_t{2});
    QVERIFY(plot().surface().snapshot() == drawing);
    QVERIFY(platform_->messages.isEmpty());
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.png"});
}

void PlotExportTest::menuIsReadAndReachedByKeyboard() {
    QList<QAction*> entries = menu().menu().actions();
    entries.removeIf([](const QAction* action) { return action->isSeparator(); });
    const QStringList names{"Salva immagine…",   "Copia immagine",           "Stampa…",
                            "Annulla tracciato", "Ripristina tracciato",     "Salva sessione…",
                            "Apri sessione…",    "Riapri l'ultima sessione", "Esplora i parametri…",
                            "Ingrandisci…"};
    const QList<QKeySequence> keys{
        QKeySequence::fromString("Ctrl+S"), QKeySequence::fromString("Ctrl+C"),
        QKeySequence::fromString("Ctrl+P"), QKeySequence::fromString("Ctrl+Z"),
        QKeySequence::fromString("Ctrl+Y"), QKeySequence::fromString("Ctrl+Shift+S"),
        QKeySequence::fromString("Ctrl+O"), QKeySequence(),
        QKeySequence::fromString("Ctrl+E"), QKeySequence::fromString("Ctrl+L")};
    QCOMPARE(entries.size(), names.size());
    QAccessibleInterface* menuReader = QAccessible::queryAccessibleInterface(&menu().menu());
    QVERIFY(menuReader);
    for (int index = 0; index < entries.size(); ++index) {
        const int place = int(menu().menu().actions().indexOf(entries.at(index)));
        QCOMPARE(menuReader->child(place)->text(QAccessible::Name), names.at(index));
        QCOMPARE(entries.at(index)->shortcut(), keys.at(index));
        QVERIFY(plot().actions().contains(entries.at(index))); // the window's own shortcuts
    }
    // The Menu key and Shift+F10 open it anywhere in the window, its first entry chosen.
    for (const QKeySequence& opener :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        bool found = false;
        for (QAction* action : plot().actions())
            found = found || action->shortcuts().contains(opener);
        QVERIFY(found);
    }
    // The right button asks for it too.
    QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(5, 5),
                            plot().surface().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&plot().surface(), &press);
    QVERIFY(menu().menu().isVisible());
    QCOMPARE(menu().menu().activeAction(), entries.first());
    QTest::keyClick(&menu().menu(), Qt::Key_Down);
    QCOMPARE(menu().menu().activeAction(), entries.at(1));
    QTest::keyClick(&menu().menu(), Qt::Key_Return);
    QVERIFY(!menu().menu().isVisible());
    QVERIFY(rgb(QGuiApplication::clipboard()->image()) == rgb(plot().surface().snapshot()));
    // Ctrl+P on the window itself prints.
    play(QStringLiteral("show"));
    QVERIFY(QTest::qWaitForWindowActive(&plot()));
    QTest::keySequence(&plot(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(dialogs_.printAsked, 1);
}

void PlotExportTest::nothingWhileALongRunShowsItsProgress() {
    play(QStringLiteral("run=200,45,1e5,0.01"));
    int reports = 0;
    platform_->onProgress = [&] {
        ++reports;
        menu().saveImage();
        menu().printImage();
        menu().popUp(QPoint(5, 5));
    };
    play(QStringLiteral("show"));
    QVERIFY(reports > 0);
    QCOMPARE(dialogs_.saveAsked + dialogs_.printAsked, 0);
    QVERIFY(!menu().menu().isVisible());
}

void PlotExportTest::longCopiesReportAndStop_data() {
    QTest::addColumn<QString>("name"); // "" for a print
    QTest::addColumn<bool>("onWorker");
    QTest::addColumn<int>("cancelAfterUpdates");
    for (const char* name : {"a.png", "a.svg", "a.pdf", ""}) {
        for (const bool onWorker : {false, true}) {
            for (const int cancel : {-1, 3}) {
                QTest::addRow("%s%s%s", *name ? name : "print", onWorker ? ", on a worker" : "",
                              cancel > 0 ? ", stopped" : "")
                    << QString::fromLatin1(name) << onWorker << cancel;
            }
        }
    }
}

// A copy of two long runs reports its progress, as a long run does; stopped, it leaves no
// file (an earlier one of that name as it was) and prints nothing; not stopped, it is the copy
// made without a progress. Meanwhile the menu does nothing.
void PlotExportTest::longCopiesReportAndStop() {
    QFETCH(QString, name);
    QFETCH(bool, onWorker);
    QFETCH(int, cancelAfterUpdates);
    play(QStringLiteral("run=200,45,1e6,0.01 show lines"));
    const QString path = folder_->filePath(name.isEmpty() ? QStringLiteral("print.pdf") : name);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    platform_->progressFromAnyThread = onWorker;
    play(QStringLiteral("cancel=%1").arg(cancelAfterUpdates));
    int refreshes = 0;
    platform_->onProgress = [&] {
        ++refreshes;
        menu().saveImage();
        menu().printImage();
    };
    if (name.isEmpty()) {
        dialogs_.printTo = path;
        menu().printImage();
    } else {
        save(name, FigureFormat::Png, 4);
    }
    platform_->onProgress = nullptr;
    QVERIFY(refreshes > 0);
    QCOMPARE(dialogs_.saveAsked + dialogs_.printAsked,
             cancelAfterUpdates > 0 ? int(!name.isEmpty()) : 1);
    QVERIFY(platform_->messages.isEmpty());
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(path).fileName()});
    if (cancelAfterUpdates > 0) {
        QCOMPARE(contentOf(path), QByteArray("old"));
        return;
    }
    // One progress over both runs.
    QVERIFY(!platform_->progressWentBack);
    QVERIFY(platform_->lastDone <= platform_->lastTotal);
    QVERIFY(platform_->lastTotal > 2000000);
    QByteArray copy = contentOf(path);
    if (name.isEmpty()) {
        QCOMPARE(copy.count("/Type /Page\n") + copy.count("/Type /Page "), 1);
        return;
    }
    const QString reference = folder_->filePath(QStringLiteral("reference/") + name);
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("reference")));
    QVERIFY(!writeFigureFile(plot().journal(), menu().look(), reference, 4, nullptr, nullptr,
                             menu().recipe()));
    QByteArray expected = contentOf(reference);
    // A PDF says when it was made.
    const QRegularExpression madeAt(QStringLiteral("/CreationDate \\([^)]*\\)"));
    QCOMPARE(QString::fromLatin1(copy).remove(madeAt),
             QString::fromLatin1(expected).remove(madeAt));
}

void PlotExportTest::descriptionSaysWhatThePlotHolds() {
    play(QStringLiteral("show lines run=100,30.5,60,2 show"));
    const QString description = plot().surface().accessibleDescription();
    QVERIFY(description.startsWith(QLatin1String("Gli assi per l'origine O")));
    QVERIFY2(description.endsWith(QStringLiteral(
                 "3 tracciati: OA 86, angolo 55°, n 90, incremento 1; OA 86, angolo 55°, n 90, "
                 "incremento 1, con le linee; OA 100, angolo 30.5°, n 60, incremento 2")),
             qPrintable(description));
    play(QStringLiteral("clear"));
    QVERIFY(plot().surface().accessibleDescription().endsWith(
        QStringLiteral("1 tracciato: OA 100, angolo 30.5°, n 60, incremento 2")));
}

QTEST_MAIN(PlotExportTest)
#include "tst_plot_export.moc"
