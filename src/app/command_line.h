#pragma once

#include "figure/animation.h"
#include "figure/figure_export.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// One step of a figure drawn from the command line, in the order given: a run, as an
// activation of the plot window (or, with lines, as "Traccia le linee…") would draw it, or a
// clear, as "Cancella e riprendi" does before its run.
struct FigureStep {
    enum class Kind { Run, Clear };
    Kind kind = Kind::Run;
    CurveConstants constants;
    LinkingLines lines = LinkingLines::Off;
    // A run of "--family" is an activation, with its own set-up even with lines, as each frame
    // of an animation is; a run with lines otherwise follows the set-up before it.
    enum class SetUp { IfNeeded, Always };
    SetUp setUp = SetUp::IfNeeded;
};

// "--animate": the constant swept and its range, over the run it varies (the last "--run",
// or the default one), which is then not drawn itself.
struct AnimationRequest {
    Animation animation;
    CurveConstants run;
};

// What "--render" is asked to draw, and where; or the session "--save-session" writes.
struct RenderRequest {
    QString file;        // the figure; empty when only the session is written
    QString sessionFile; // "--session": drawn instead of the runs
    QString saveSession; // "--save-session": where the session of the runs goes
    FigureFormat format = FigureFormat::Png;
    std::optional<AnimationRequest> animation; // then the steps are the frames' base
    AnimationFormat animationFormat = AnimationFormat::Gif;
    double incr = 0.55;
    int scale = 1;
    FigureOptions figure; // "--size", "--dpi", "--background", "--legend"
    std::int16_t startColour = 0;
    std::vector<FigureStep> steps;
};

// One of Qt's own options for the windows (-platform, -style, -reverse, …), as given; the
// name without its dashes.
struct QtOption {
    QString name;
    QString value;
};

// What the arguments ask for. Without arguments, or with Qt's options only, the windows
// start as always; Qt's options are left to the application object, which reads them.
struct CommandLine {
    enum class Action { StartWindows, Help, Version, Render, Refuse };
    Action action = Action::StartWindows;
    RenderRequest render;
    QString refusal; // one line: the option and what is wrong with it
    QString openFile; // a session, or a figure that carries one, to open the windows on
    bool restore = false; // "--restore": open the windows on the last session kept
    std::vector<QtOption> qtOptions;
};

// Exit statuses of the command line.
inline constexpr int exitSuccess = 0;
inline constexpr int exitRunFailed = 1;
inline constexpr int exitBadArguments = 2;

inline const QString versionText = QStringLiteral("CURVE ZOR-PUN 1.00");

// Reads the arguments, the program's name first. Needs no application object.
CommandLine parseCommandLine(const QStringList& arguments);

// The usage, as "--help" prints it, in Italian.
QString commandLineHelp();
