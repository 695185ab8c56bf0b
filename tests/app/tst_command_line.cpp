#include "app/command_line.h"

#include <QtTest>

// Reading the command line: what each set of arguments asks for, and one clear line for
// every wrong one.
class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void withoutArgumentsTheWindowsStart();
    void refusesBadArguments_data();
    void refusesBadArguments();
    void stepsFollowTheOrderOfTheOptions();
    void readsTheRenderOptions();
    void familiesAndAnimationsTakeTheirRun();
    void helpListsEveryOptionInItalian();
    void qtOptionsAreLeftToQt();
};

namespace {

CommandLine parsed(const QStringList& arguments) {
    return parseCommandLine(QStringList{QStringLiteral("curve-zor-pun")} + arguments);
}

} // namespace

void CommandLineTest::withoutArgumentsTheWindowsStart() {
    QCOMPARE(parsed({}).action, CommandLine::Action::StartWindows);
    QCOMPARE(parsed({"--help"}).action, CommandLine::Action::Help);
    QCOMPARE(parsed({"-h"}).action, CommandLine::Action::Help);
    QCOMPARE(parsed({"--version"}).action, CommandLine::Action::Version);
}

void CommandLineTest::refusesBadArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named"); // what the one line must name
    // The commonest wrong values are run through the program itself (tst_render_command).
    const QString file = QStringLiteral("figura.png");
    QTest::newRow("a comma decimal")
        << QStringList{"--render", file, "--run", "1,2,3,0,5"} << "--run";
    QTest::newRow("zero factor") << QStringList{"--render", file, "--incr=0"} << "--incr";
    QTest::newRow("scale of an SVG")
        << QStringList{"--render", "f.svg", "--scale", "2"} << "--scale";
    QTest::newRow("no extension") << QStringList{"--render", "figura"} << "--render";
    QTest::newRow("unknown option") << QStringList{"--colour", "3"} << "--colour";
    QTest::newRow("unknown short option") << QStringList{"-x"} << "-x";
    QTest::newRow("missing value") << QStringList{"--render", file, "--run"} << "--run";
    QTest::newRow("value of a flag") << QStringList{"--render", file, "--lines=1"} << "--lines";
    QTest::newRow("a stray word") << QStringList{"--render", file, "extra"} << "extra";
    QTest::newRow("render twice") << QStringList{"--render", file, "--render", file} << "--render";
    QTest::newRow("runs without a file") << QStringList{"--run", "1,2,3,4"} << "--render";
    QTest::newRow("colour past 16 bits")
        << QStringList{"--render", file, "--start-colour", "40000"} << "--start-colour";
    QTest::newRow("a Qt option without its value") << QStringList{"-style"} << "-style";
    QTest::newRow("a Qt option in a form Qt does not read") << QStringList{"-platform=xcb"} << "-p";
    QTest::newRow("an animated SVG")
        << QStringList{"--render", "f.svg", "--animate", "oa=1:5:1"} << "--render";
    QTest::newRow("a GIF at 4x")
        << QStringList{"--render", "f.gif", "--animate", "oa=1:5:1", "--scale", "4"} << "--scale";
    QTest::newRow("a range without its step")
        << QStringList{"--render", "f.gif", "--animate", "oa=1:5"} << "--animate";
    QTest::newRow("accumulate alone") << QStringList{"--render", file, "--accumulate"} << "--accumulate";
    QTest::newRow("animate twice") << QStringList{"--render", "f.gif", "--animate", "oa=1:5:1",
                                                  "--animate", "n=1:5:1"} << "--animate";
    QTest::newRow("clear with no run after it")
        << QStringList{"--render", file, "--run", "1,2,3,4", "--clear"} << "--clear";
}

void CommandLineTest::refusesBadArguments() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    const CommandLine result = parsed(arguments);
    QCOMPARE(result.action, CommandLine::Action::Refuse);
    QVERIFY2(result.refusal.contains(named), qPrintable(result.refusal));
    QVERIFY(!result.refusal.contains(QLatin1Char('\n')));
}

void CommandLineTest::stepsFollowTheOrderOfTheOptions() {
    const CommandLine result = parsed({"--run", "86,55,90,1", "--render", "f.svg", "--lines",
                                       "--run=100,30,50,2.5", "--clear", "--run", "1e2,-5,7,0.25"});
    QCOMPARE(result.action, CommandLine::Action::Render);
    using Kind = FigureStep::Kind;
    const std::vector<FigureStep>& steps = result.render.steps;
    QCOMPARE(steps.size(), std::size_t{4});
    QCOMPARE(steps[0].kind, Kind::Run);
    QCOMPARE(steps[0].lines, LinkingLines::Off);
    QCOMPARE(steps[1].lines, LinkingLines::On);
    QCOMPARE(steps[1].constants.VALe, TaggedValue::fromDouble(2.5));
    QCOMPARE(steps[2].kind, Kind::Clear);
    QCOMPARE(steps[3].lines, LinkingLines::On); // --lines holds for every later run
    QCOMPARE(steps[3].constants.VALa, TaggedValue::fromDouble(100));
    QCOMPARE(steps[3].constants.VALb, TaggedValue::fromDouble(-5));
    QCOMPARE(steps[3].constants.VALc, TaggedValue::fromDouble(7));
}

void CommandLineTest::readsTheRenderOptions() {
    const CommandLine plain = parsed({"--render", "Figura.PNG"});
    QCOMPARE(plain.render.format, FigureFormat::Png);
    QCOMPARE(plain.render.incr, 0.55);
    QCOMPARE(plain.render.scale, 1);
    QCOMPARE(plain.render.startColour, std::int16_t{0});
    // Without a run, the constants window's defaults.
    QCOMPARE(plain.render.steps.size(), std::size_t{1});
    QCOMPARE(plain.render.steps[0].constants.VALc, TaggedValue::fromDouble(90));
    const CommandLine chosen = parsed(
        {"--render=out/f.pdf", "--incr", "0.51", "--start-colour", "13", "--run", "0,0,0,0"});
    QCOMPARE(chosen.render.file, QStringLiteral("out/f.pdf"));
    QCOMPARE(chosen.render.format, FigureFormat::Pdf);
    QCOMPARE(chosen.render.incr, 0.51);
    QCOMPARE(chosen.render.startColour, std::int16_t{13});
    QCOMPARE(parsed({"--render", "f.png", "--scale", "4"}).render.scale, 4);
}

void CommandLineTest::familiesAndAnimationsTakeTheirRun() {
    const CommandLine family = parsed({"--render", "f.png", "--run", "1,2,3,4", "--lines",
                                       "--run", "5,6,7,8", "--no-lines", "--family", "n=10:12:1"});
    const std::vector<FigureStep>& steps = family.render.steps;
    QCOMPARE(steps.size(), std::size_t{4}); // the run before the family gives way to it
    QCOMPARE(steps[1].constants.VALa, TaggedValue::fromDouble(5));
    QCOMPARE(steps[3].constants.VALc, TaggedValue::fromDouble(12));
    QCOMPARE(steps[3].lines, LinkingLines::Off);
    QCOMPARE(steps[3].setUp, FigureStep::SetUp::Always);
    const CommandLine animation = parsed({"--render", "f.gif", "--run", "1,2,3,4", "--lines",
                                          "--run", "5,6,7,8", "--animate", "oa=1:3:1"});
    QCOMPARE(animation.render.steps.size(), std::size_t{1});
    QVERIFY(animation.render.animation.has_value());
    QCOMPARE(animation.render.animation->run.VALb, TaggedValue::fromDouble(6));
    QCOMPARE(animation.render.animation->animation.lines, LinkingLines::On);
    QCOMPARE(animation.render.animation->animation.framesPerSecond, 10);
    QCOMPARE(animation.render.animationFormat, AnimationFormat::Gif);
    // Without a run: the default one, over nothing.
    const CommandLine alone = parsed({"--render", "f.png", "--animate", "n=1:3:1", "--fps", "25"});
    QCOMPARE(alone.render.steps.size(), std::size_t{0});
    QCOMPARE(alone.render.animation->run.VALa, TaggedValue::fromDouble(86));
    QCOMPARE(alone.render.animation->animation.framesPerSecond, 25);
    QCOMPARE(alone.render.animationFormat, AnimationFormat::PngSequence);
}

void CommandLineTest::helpListsEveryOptionInItalian() {
    const QString help = commandLineHelp();
    for (const char* option : {"--render", "--incr", "--run", "--lines", "--clear", "--scale",
                               "--start-colour", "--help", "--version", "--no-lines", "--family",
                               "--animate", "--fps", "--accumulate"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
    QVERIFY(help.startsWith(QLatin1String("Uso: curve-zor-pun")));
}

void CommandLineTest::qtOptionsAreLeftToQt() {
    const CommandLine windows = parsed({"-style", "fusion", "-reverse", "--platform", "xcb",
                                        "-stylesheet=a.qss", "-qwindowgeometry", "100x100+0+0"});
    QCOMPARE(windows.action, CommandLine::Action::StartWindows);
    QStringList given;
    for (const QtOption& option : windows.qtOptions)
        given << option.name + '=' + option.value;
    QCOMPARE(given, (QStringList{"style=fusion", "reverse=", "platform=xcb", "stylesheet=a.qss",
                                 "qwindowgeometry=100x100+0+0"}));
    // With the program's own options they change nothing, and a value is never taken for one.
    const CommandLine render = parsed({"--render", "f.png", "-style", "--run", "--run", "1,2,3,4"});
    QCOMPARE(render.action, CommandLine::Action::Render);
    QCOMPARE(render.render.steps.size(), std::size_t{1});
    QCOMPARE(render.qtOptions.front().value, QStringLiteral("--run"));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
