#include "app/program.h"
#include "figure/figure_legend.h"
#include "figure/replay.h"
#include "figure/session_file.h"
#include "recording_platform.h"
#include "surface/plot_surface.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/plot/form4.h"

#include <QProcess>
#include <QPushButton>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

// The program started with arguments: it answers on the terminal, and "--render" draws the
// figure the plot window would show after the same steps, with no window and no display.
class RenderCommandTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<QTemporaryDir>(); }
    void helpAndVersionNeedNoDisplay();
    void qtOptionsChangeNothingHere_data();
    void qtOptionsChangeNothingHere();
    void renderIsThePlotWindowsBuffer_data();
    void renderIsThePlotWindowsBuffer();
    void writesVectorFiles();
    void badArgumentsWriteNothing_data();
    void badArgumentsWriteNothing();
    void refusedRunsGiveTheirMessage_data();
    void refusedRunsGiveTheirMessage();
    void unwritableFileLeavesNothing();
    void sessionsAreDrawnAgain();
    void animationFramesAreTheirRecipes();
    void aFamilyIsTheLastFrameOfItsAnimation();
    void figureSizesOnPaper_data();
    void figureSizesOnPaper();
    void plainOptionsChangeNoByte_data();
    void plainOptionsChangeNoByte();
    void transparentLeavesOnlyTheDrawing();
    void legendListsTheRunsInTheirColours();
    void distinctColoursAHueARun();
    void fitZoomsToTheRuns_data();
    void fitZoomsToTheRuns();

private:
    struct Outcome {
        int status = -1;
        QString out;
        QString errors;
    };
    // The program with those arguments, without a display or a platform set.
    Outcome run(const QStringList& arguments) const;
    QString file(const QString& name) const { return folder_->filePath(name); }

    std::unique_ptr<QTemporaryDir> folder_;
};

RenderCommandTest::Outcome RenderCommandTest::run(const QStringList& arguments) const {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR"})
        environment.remove(QLatin1String(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZORPUN_PROGRAM), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void RenderCommandTest::helpAndVersionNeedNoDisplay() {
    const Outcome version = run({"--version"});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out, QStringLiteral("CURVE ZOR-PUN 1.00\n"));
    const Outcome help = run({"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains(QLatin1String("--render")));
    QVERIFY(help.errors.isEmpty());
}

void RenderCommandTest::qtOptionsChangeNothingHere_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // a part of the output
    QTest::addColumn<QString>("errors");
    QTest::newRow("version") << QStringList{"-reverse", "--version"} << 0 << "CURVE ZOR-PUN 1.00\n"
                             << "";
    QTest::newRow("help") << QStringList{"--help", "-style", "fusion"} << 0 << "--render"
                          << "";
    // Still no display: Qt's platform is for the windows.
    QTest::newRow("render") << QStringList{"-platform", "xcb", "--render", "f.png"} << 0 << ""
                            << "";
    QTest::newRow("a Qt option without its value")
        << QStringList{"--render", "f.png", "-qwindowgeometry"} << 2 << ""
        << "curve-zor-pun: -qwindowgeometry: manca il valore\n";
}

void RenderCommandTest::qtOptionsChangeNothingHere() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, errors);
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^f\\.png$")), file("f.png"));
    const Outcome outcome = run(arguments);
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.out.contains(out), qPrintable(outcome.out));
    QCOMPARE(outcome.errors, errors);
    QCOMPARE(QFileInfo::exists(file("f.png")), arguments.contains(file("f.png")) && status == 0);
}

void RenderCommandTest::renderIsThePlotWindowsBuffer_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("linesPressed"); // in the window: Command4 after the activation
    QTest::newRow("the default run") << QStringList{"--run", "86,55,90,1"} << false;
    QTest::newRow("then a run with lines")
        << QStringList{"--run", "86,55,90,1", "--lines", "--run", "86,55,90,1"} << true;
}

void RenderCommandTest::renderIsThePlotWindowsBuffer() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, linesPressed);
    const Outcome outcome =
        run(QStringList{"--render", file("f.png"), "--incr", "0.55"} + arguments);
    QCOMPARE(outcome.status, 0);
    QVERIFY(outcome.errors.isEmpty());
    QLocale::setDefault(QLocale::c());
    RecordingPlatform platform;
    Program program(platform);
    program.form2().Incr = TaggedValue::fromDouble(0.55);
    Form3& constants = program.form3();
    constants.VALa = TaggedValue::fromDouble(86);
    constants.VALb = TaggedValue::fromDouble(55);
    constants.VALc = TaggedValue::fromDouble(90);
    constants.VALe = TaggedValue::fromDouble(1);
    program.Show(program.form4());
    if (linesPressed)
        program.form4().control<QPushButton>(QStringLiteral("Command4"))->click();
    const QImage screen = program.form4().surface().snapshot();
    const QImage rendered(file("f.png"));
    QCOMPARE(rendered.size(), screen.size());
    QVERIFY(rendered.convertToFormat(QImage::Format_RGB32) ==
            screen.convertToFormat(QImage::Format_RGB32));
}

void RenderCommandTest::writesVectorFiles() {
    // The family of the intro's figure: OA at several angles, one over the other.
    QStringList family{"--render", file("family.svg"), "--incr", "0.55"};
    for (const char* angle : {"15", "30", "45", "60", "75"})
        family << "--run" << QStringLiteral("150,%1,200,1").arg(QLatin1String(angle));
    QCOMPARE(run(family).status, 0);
    QVERIFY(QSvgRenderer(file("family.svg")).isValid());
    QCOMPARE(run({"--render", file("f.pdf"), "--clear", "--run", "86,55,90,1"}).status, 0);
    QVERIFY(QFileInfo(file("f.pdf")).size() > 0);
    QCOMPARE(run({"--render", file("big.png"), "--scale", "4"}).status, 0);
    QCOMPARE(run({"--render", file("small.png")}).status, 0);
    QCOMPARE(QImage(file("big.png")).size(), QImage(file("small.png")).size() * 4);
}

void RenderCommandTest::badArgumentsWriteNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("three constants") << QStringList{"--run", "1,2,3"};
    QTest::newRow("letters") << QStringList{"--run", "a,b,c,d"};
    QTest::newRow("negative factor") << QStringList{"--incr", "-1"};
    QTest::newRow("scale 3") << QStringList{"--scale", "3"};
    QTest::newRow("unknown option") << QStringList{"--colours"};
    QTest::newRow("a session with runs") << QStringList{"--session", "s.zorpun", "--run", "1,2,3,4"};
    QTest::newRow("start past the end") << QStringList{"--animate", "oa=5:1:1"};
    QTest::newRow("unknown constant") << QStringList{"--animate", "size=1:5:1"};
    QTest::newRow("step 0") << QStringList{"--family", "angle=1:5:0"};
    QTest::newRow("negative step") << QStringList{"--family", "n=1:5:-1"};
    QTest::newRow("too many frames") << QStringList{"--animate", "oa=0:100000:1"};
    QTest::newRow("fps without an animation") << QStringList{"--fps", "5"};
    QTest::newRow("fps past 50") << QStringList{"--fps", "60", "--animate", "oa=1:5:1"};
    QTest::newRow("size 0") << QStringList{"--size", "0cm"};
    QTest::newRow("negative size") << QStringList{"--size", "-3cm"};
    QTest::newRow("size without a unit") << QStringList{"--size", "8"};
    QTest::newRow("size in letters") << QStringList{"--size", "tre cm"};
    QTest::newRow("dpi 0") << QStringList{"--dpi", "0"};
    QTest::newRow("negative dpi") << QStringList{"--dpi", "-96"};
    QTest::newRow("dpi in letters") << QStringList{"--dpi", "alto"};
    QTest::newRow("a PNG past 20000 pixels") << QStringList{"--size", "30cm", "--dpi", "2000"};
    QTest::newRow("dpi past 20000 pixels") << QStringList{"--dpi", "100000"};
    QTest::newRow("unknown background") << QStringList{"--background", "red"};
    QTest::newRow("legend twice") << QStringList{"--legend", "--legend"};
    QTest::newRow("unknown colours") << QStringList{"--colours", "rainbow"};
    QTest::newRow("the American spelling") << QStringList{"--colors", "distinct"};
}

void RenderCommandTest::badArgumentsWriteNothing() {
    QFETCH(QStringList, arguments);
    const Outcome outcome = run(QStringList{"--render", file("f.png")} + arguments);
    QCOMPARE(outcome.status, 2);
    QCOMPARE(outcome.errors.count(QLatin1Char('\n')), 1);
    QVERIFY(outcome.errors.contains(arguments.first()));
    const Outcome extension = run({"--render", file("f.gif")});
    QCOMPARE(extension.status, 2);
    QVERIFY(extension.errors.contains(QLatin1String("f.gif")));
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void RenderCommandTest::refusedRunsGiveTheirMessage_data() {
    QTest::addColumn<QString>("constants");
    QTest::addColumn<QString>("message");
    QTest::newRow("n = 0") << "86,55,0,1" << segmentIsNullMessage.trimmed();
    QTest::newRow("t past 16 bits") << "86,55,40000,1" << incrementTooLargeMessage;
}

void RenderCommandTest::refusedRunsGiveTheirMessage() {
    QFETCH(QString, constants);
    QFETCH(QString, message);
    const Outcome outcome = run({"--render", file("f.png"), "--run", constants});
    QCOMPARE(outcome.status, 1);
    QCOMPARE(outcome.errors, QStringLiteral("curve-zor-pun: %1\n").arg(message));
}

void RenderCommandTest::unwritableFileLeavesNothing() {
    const QString path = file("missing/f.svg");
    const Outcome outcome = run({"--render", path});
    QCOMPARE(outcome.status, 1);
    QCOMPARE(outcome.errors.count(QLatin1Char('\n')), 1);
    QVERIFY2(outcome.errors.contains(path), qPrintable(outcome.errors));
    QCOMPARE(QDir(folder_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

// The picture's pixels of a PNG, without its text chunks.
static QImage pixelsOf(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// "--save-session" keeps what the runs describe, and "--session" draws it again at any format,
// from the session file or from any figure that carries it.
void RenderCommandTest::sessionsAreDrawnAgain() {
    const QStringList runs{"--run", "86,55,90,1", "--lines", "--run", "50,30,60,2.5",
                           "--clear", "--run", "70,20,90,1.5", "--start-colour", "13"};
    QCOMPARE(run(QStringList{"--render", file("a.png"), "--save-session", file("a.zorpun")} + runs)
                 .status,
             0);
    const auto kept = readSessionFile(file("a.zorpun"));
    QVERIFY(std::holds_alternative<SessionRecord>(kept));
    const SessionRecord& session = std::get<SessionRecord>(kept);
    for (const char* from : {"a.zorpun", "a.png"}) {
        for (const char* to : {"b.svg", "b.pdf", "b.png"}) {
            QCOMPARE(run({"--render", file(to), "--session", file(from)}).status, 0);
            const auto carried = readSessionFile(file(to));
            QVERIFY(std::holds_alternative<SessionRecord>(carried));
            const SessionRecord& again = std::get<SessionRecord>(carried);
            QCOMPARE(encodeSession(again.controls, again.history),
                     encodeSession(session.controls, session.history));
        }
        QVERIFY(pixelsOf(file("b.png")) == pixelsOf(file("a.png")));
    }
    const Outcome missing = run({"--render", file("c.png"), "--session", file("nessuna.zorpun")});
    QCOMPARE(missing.status, 1);
    QVERIFY(missing.errors.contains(QLatin1String("nessuna.zorpun")));
    QVERIFY(!QFile::exists(file("c.png")));
}

// Each PNG of an animation is "--render --session" of its own recipe, and the GIF carries
// the whole animation.
void RenderCommandTest::animationFramesAreTheirRecipes() {
    const QStringList animation{"--run", "50,30,60,2.5", "--lines", "--run", "86,55,90,1",
                                "--animate", "angle=20:60:20", "--accumulate", "--fps", "5"};
    QCOMPARE(run(QStringList{"--render", file("f.png")} + animation).status, 0);
    QCOMPARE(run(QStringList{"--render", file("f.gif")} + animation).status, 0);
    for (const char* frame : {"f_00001.png", "f_00002.png", "f_00003.png"}) {
        QCOMPARE(run({"--render", file("again.png"), "--session", file(frame)}).status, 0);
        QVERIFY(pixelsOf(file("again.png")) == pixelsOf(file(frame)));
    }
    const auto carried = readSessionFile(file("f.gif"));
    QVERIFY(std::holds_alternative<SessionRecord>(carried));
    const std::optional<Animation> read = std::get<SessionRecord>(carried).animation;
    QCOMPARE(read, std::optional(Animation{AnimatedConstant::Angle, 20, 60, 20, 5,
                                           Accumulation::On, LinkingLines::On}));
}

// "--family" draws what successive runs draw, and what its accumulating animation ends on.
void RenderCommandTest::aFamilyIsTheLastFrameOfItsAnimation() {
    const QStringList base{"--run", "50,30,60,2.5", "--run", "86,55,90,1"};
    QCOMPARE(run(QStringList{"--render", file("f.png")} + base + QStringList{"--family", "angle=20:60:20"})
                 .status,
             0);
    QCOMPARE(run(QStringList{"--render", file("a.png"), "--animate", "angle=20:60:20",
                             "--accumulate"} + base)
                 .status,
             0);
    QCOMPARE(run({"--render", file("r.png"), "--run", "50,30,60,2.5", "--run", "86,20,90,1",
                  "--run", "86,40,90,1", "--run", "86,60,90,1"})
                 .status,
             0);
    QVERIFY(pixelsOf(file("f.png")) == pixelsOf(file("a_00003.png")));
    QVERIFY(pixelsOf(file("f.png")) == pixelsOf(file("r.png")));
}

// The root element's or the page's size of a vector file, in millimetres.
static QSizeF paperSizeOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLatin1(file.readAll());
    static const QRegularExpression svg(QStringLiteral("<svg[^>]*\\bwidth=\"([0-9.]+)mm\"[^>]*\\bheight=\"([0-9.]+)mm\""));
    if (const QRegularExpressionMatch root = svg.match(text); root.hasMatch())
        return {root.captured(1).toDouble(), root.captured(2).toDouble()};
    static const QRegularExpression pdf(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const QRegularExpressionMatch page = pdf.match(text);
    const double millimetresPerPoint = 25.4 / 72.0;
    return {page.captured(1).toDouble() * millimetresPerPoint,
            page.captured(2).toDouble() * millimetresPerPoint};
}

void RenderCommandTest::figureSizesOnPaper_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("pixelWidth");      // a PNG's; 0 for the window's times dpi / 96
    QTest::addColumn<double>("dpi");          // a PNG's pHYs
    QTest::addColumn<double>("millimetres"); // a vector file's width; 0 for a PNG
    QTest::newRow("10 cm at 300 DPI") << "f.png" << QStringList{"--size", "10cm", "--dpi", "300"}
                                      << 1181 << 300.0 << 0.0;
    QTest::newRow("2 in at the window's DPI") << "f.png" << QStringList{"--size", "2in"} << 192
                                              << 96.0 << 0.0;
    QTest::newRow("2 in at twice the window's DPI")
        << "f.png" << QStringList{"--size", "2in", "--scale", "2"} << 384 << 192.0 << 0.0;
    QTest::newRow("the window's width at 200 DPI") << "f.png" << QStringList{"--dpi", "200"} << 0
                                                    << 200.0 << 0.0;
    QTest::newRow("an SVG 8 cm wide") << "f.svg" << QStringList{"--size", "8cm"} << 0 << 0.0
                                      << 80.0;
    QTest::newRow("a PDF 3.5 in wide") << "f.pdf" << QStringList{"--size", "3.5in"} << 0 << 0.0
                                       << 88.9;
}

// "--size" and "--dpi" set a PNG's pixels and its pHYs, a vector file's size on paper; the
// height follows the window's proportions.
void RenderCommandTest::figureSizesOnPaper() {
    QFETCH(QString, name);
    QFETCH(QStringList, options);
    QFETCH(int, pixelWidth);
    QFETCH(double, dpi);
    QFETCH(double, millimetres);
    QCOMPARE(run(QStringList{"--render", file("w.png")}).status, 0);
    const QSize window = QImage(file("w.png")).size();
    const Outcome outcome = run(QStringList{"--render", file(name)} + options);
    QCOMPARE(outcome.status, 0);
    QVERIFY2(outcome.errors.isEmpty(), qPrintable(outcome.errors));
    if (millimetres > 0) {
        const QSizeF paper = paperSizeOf(file(name));
        QVERIFY2(qAbs(paper.width() - millimetres) < 0.05, qPrintable(QString::number(paper.width())));
        QVERIFY(qAbs(paper.height() - millimetres * window.height() / window.width()) < 0.05);
        return;
    }
    const QImage image(file(name));
    const int width = pixelWidth > 0 ? pixelWidth : qRound(window.width() * dpi / 96.0);
    QCOMPARE(image.width(), width);
    QCOMPARE(image.height(), qRound(double(window.height()) * width / window.width()));
    QCOMPARE(image.dotsPerMeterX(), qRound(dpi / 0.0254));
    QCOMPARE(image.dotsPerMeterY(), qRound(dpi / 0.0254));
}

void RenderCommandTest::plainOptionsChangeNoByte_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("PNG") << "f.png";
    QTest::newRow("SVG") << "f.svg";
}

// The window's background asked for by name makes the same file as no option.
void RenderCommandTest::plainOptionsChangeNoByte() {
    QFETCH(QString, name);
    const QStringList runs{"--run", "86,55,90,1", "--lines", "--run", "50,30,60,2.5"};
    QCOMPARE(run(QStringList{"--render", file("plain-" + name)} + runs).status, 0);
    QCOMPARE(run(QStringList{"--render", file(name), "--background", "window"} + runs).status, 0);
    QFile plain(file("plain-" + name));
    QFile optioned(file(name));
    QVERIFY(plain.open(QIODevice::ReadOnly) && optioned.open(QIODevice::ReadOnly));
    QCOMPARE(optioned.readAll(), plain.readAll());
}

// A transparent PNG is the window's picture with its background cleared, and nothing else.
void RenderCommandTest::transparentLeavesOnlyTheDrawing() {
    QCOMPARE(run({"--render", file("w.png")}).status, 0);
    QCOMPARE(run({"--render", file("t.png"), "--background", "transparent"}).status, 0);
    const QImage window = pixelsOf(file("w.png"));
    const QImage clear = QImage(file("t.png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(clear.size(), window.size());
    const QRgb background = window.pixel(0, 0);
    int cleared = 0;
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            const QRgb expected = window.pixel(x, y) == background ? 0u : window.pixel(x, y);
            QCOMPARE(clear.pixel(x, y), expected);
            cleared += expected == 0u ? 1 : 0;
        }
    }
    QVERIFY(cleared > window.width() * window.height() / 2);
}

// The legend lists each run of the journal, in order, in its colour, in a box in a corner;
// the rest of the figure is as without it.
void RenderCommandTest::legendListsTheRunsInTheirColours() {
    const QStringList runs{"--run", "86,55,90,1", "--lines", "--run", "50,30,60,2.5"};
    QCOMPARE(run(QStringList{"--render", file("a.png"), "--save-session", file("a.zorpun")} + runs)
                 .status,
             0);
    QCOMPARE(run(QStringList{"--render", file("l.png"), "--legend"} + runs).status, 0);
    const auto kept = readSessionFile(file("a.zorpun"));
    QVERIFY(std::holds_alternative<SessionRecord>(kept));
    const std::vector<LegendLine> lines =
        legendLines(journalOf(std::get<SessionRecord>(kept).history));
    QCOMPARE(lines.size(), std::size_t(2));
    QCOMPARE(lines[0].text, QStringLiteral("OA 86, angolo 55°, n 90, incremento 1"));
    QCOMPARE(lines[1].text, QStringLiteral("OA 50, angolo 30°, n 60, incremento %1, linee")
                                .arg(TaggedValue::fromDouble(2.5).toText()));
    QVERIFY(lines[0].colour != lines[1].colour);
    const QImage plain = pixelsOf(file("a.png"));
    const QImage legend = pixelsOf(file("l.png"));
    QCOMPARE(legend.size(), plain.size());
    QRect changed;
    std::array<int, 2> firstRow{-1, -1};
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            if (legend.pixel(x, y) == plain.pixel(x, y))
                continue;
            changed |= QRect(x, y, 1, 1);
            for (std::size_t line = 0; line < 2; ++line)
                if (legend.pixel(x, y) == lines[line].colour && firstRow[line] < 0)
                    firstRow[line] = y;
        }
    }
    // In a corner, and the runs one under the other in order.
    QVERIFY(changed.left() < 10 || changed.right() > plain.width() - 10);
    QVERIFY(changed.top() < 10 || changed.bottom() > plain.height() - 10);
    QVERIFY(changed.width() < plain.width() && changed.height() < plain.height() / 2);
    QVERIFY2(firstRow[0] >= 0 && firstRow[1] > firstRow[0],
             qPrintable(QStringLiteral("%1 %2").arg(firstRow[0]).arg(firstRow[1])));
    // An SVG's legend is its text, the same lines in the same order.
    QCOMPARE(run(QStringList{"--render", file("l.svg"), "--legend"} + runs).status, 0);
    QFile svg(file("l.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(svg.readAll());
    QStringList written;
    static const QRegularExpression textElement(QStringLiteral(">(OA [^<]*)<"));
    for (const QRegularExpressionMatch& match : textElement.globalMatch(text))
        written << match.captured(1);
    QCOMPARE(written, (QStringList{lines[0].text, lines[1].text}));
}

// The colours a picture has, with how many pixels each.
static QHash<QRgb, int> coloursOf(const QImage& image) {
    QHash<QRgb, int> counted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counted[image.pixel(x, y)];
    return counted;
}

// "--colours distinct" draws each run's two curves in a hue of its own and a darker shade of
// it, where the palette's colours were, and the legend follows; the rest stays as it was.
void RenderCommandTest::distinctColoursAHueARun() {
    const QStringList runs{"--run", "86,55,90,1", "--run", "50,30,60,2.5", "--save-session",
                           file("a.zorpun")};
    QCOMPARE(run(QStringList{"--render", file("o.png")} + runs).status, 0);
    QCOMPARE(run(QStringList{"--render", file("d.png"), "--colours", "distinct"} + runs).status, 0);
    const auto kept = readSessionFile(file("a.zorpun"));
    QVERIFY(std::holds_alternative<SessionRecord>(kept));
    const std::vector<PlotRun> played = journalOf(std::get<SessionRecord>(kept).history).runs();
    QCOMPARE(played.size(), std::size_t(2));
    const QHash<QRgb, int> original = coloursOf(pixelsOf(file("o.png")));
    const QHash<QRgb, int> distinct = coloursOf(pixelsOf(file("d.png")));
    QSet<QRgb> palette;
    QSet<QRgb> hues;
    for (std::size_t index = 0; index < played.size(); ++index) {
        for (const QRgb colour : runCurveColours(played[index], index, RunColours::Original))
            palette << colour;
        for (const QRgb colour : runCurveColours(played[index], index, RunColours::Distinct)) {
            QVERIFY2(distinct.value(colour) > 0, qPrintable(QString::number(colour, 16)));
            hues << colour;
        }
    }
    QCOMPARE(hues.size(), 4);
    int drawn = 0;
    for (auto colour = original.begin(); colour != original.end(); ++colour) {
        if (palette.contains(colour.key())) {
            QCOMPARE(distinct.value(colour.key()), 0);
            drawn += colour.value();
        } else {
            QCOMPARE(distinct.value(colour.key()), colour.value());
        }
    }
    int drawnInHues = 0;
    for (const QRgb hue : hues)
        drawnInHues += distinct.value(hue);
    QCOMPARE(drawnInHues, drawn);
    const std::vector<LegendLine> lines =
        legendLines(journalOf(std::get<SessionRecord>(kept).history), RunColours::Distinct);
    QCOMPARE(lines[0].colour, runCurveColours(played[0], 0, RunColours::Distinct)[0]);
    QCOMPARE(lines[1].colour, runCurveColours(played[1], 1, RunColours::Distinct)[0]);
}

// The bounds of a picture's pixels in any of those colours.
static QRect boundsOf(const QImage& image, const QSet<QRgb>& colours) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (colours.contains(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The picture of a figure file at the window's size in pixels.
static QImage pictureOf(const QString& path, const QSize& size) {
    if (!path.endsWith(QLatin1String(".svg")))
        return pixelsOf(path);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QSvgRenderer(path).render(&painter);
    return image;
}

void RenderCommandTest::fitZoomsToTheRuns_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("PNG") << "f.png";
    QTest::newRow("SVG") << "f.svg";
}

// "--fit" shows what the runs drew, zoomed to fill the figure with a margin left around it.
void RenderCommandTest::fitZoomsToTheRuns() {
    QFETCH(QString, name);
    const QStringList runs{"--run", "86,55,90,1", "--run", "50,30,60,2.5", "--save-session",
                           file("a.zorpun")};
    QCOMPARE(run(QStringList{"--render", file("w.png")} + runs).status, 0);
    QCOMPARE(run(QStringList{"--render", file(name), "--fit"} + runs).status, 0);
    const auto kept = readSessionFile(file("a.zorpun"));
    QVERIFY(std::holds_alternative<SessionRecord>(kept));
    QSet<QRgb> colours;
    const std::vector<PlotRun> played = journalOf(std::get<SessionRecord>(kept).history).runs();
    for (std::size_t index = 0; index < played.size(); ++index)
        for (const QRgb colour : runCurveColours(played[index], index, RunColours::Original))
            colours << colour;
    const QImage window = pixelsOf(file("w.png"));
    const QImage fitted = pictureOf(file(name), window.size());
    QCOMPARE(fitted.size(), window.size());
    const QRect before = boundsOf(window, colours);
    const QRect after = boundsOf(fitted, colours);
    QVERIFY2(after.height() >= 2 * before.height(),
             qPrintable(QStringLiteral("%1 → %2").arg(before.height()).arg(after.height())));
    QVERIFY(after.width() >= 2 * before.width());
    QVERIFY(fitted.rect().adjusted(1, 1, -1, -1).contains(after));
}

QTEST_MAIN(RenderCommandTest)
#include "tst_render_command.moc"
