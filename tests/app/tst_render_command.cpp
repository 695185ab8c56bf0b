#include "app/program.h"
#include "figure/session_file.h"
#include "recording_platform.h"
#include "surface/plot_surface.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/plot/form4.h"

#include <QProcess>
#include <QPushButton>
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

QTEST_MAIN(RenderCommandTest)
#include "tst_render_command.moc"
