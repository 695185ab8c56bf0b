#include "app/command_line.h"

#include "core/number_text.h"

#include <QCommandLineParser>
#include <cmath>
#include <optional>
#include <utility>

namespace {

const QString programName = QStringLiteral("curve-zor-pun");

struct Option {
    const char* name;
    const char* valueName; // nullptr for a flag
    const char* description;
};

// In the order "--help" lists them.
const Option options[] = {
    {"render", "FILE",
     "Disegna la figura nel FILE (PNG, SVG o PDF secondo l'estensione; con --animate una GIF "
     "animata o PNG numerati) ed esce, senza finestre."},
    {"incr", "F", "Il fattore di calibrazione Incr (predefinito 0.55); anche sotto 0.53."},
    {"run", "A,B,N,E",
     "Un tracciato con OA, angolo di OA (gradi), n e incremento di t (gradi), col punto "
     "decimale. Ripetuta, i tracciati si sovrappongono in ordine, come attivazioni successive. "
     "Senza --run: un tracciato coi valori predefiniti 86,55,90,1."},
    {"lines", nullptr,
     "I --run che seguono tracciano anche le linee, come \"Traccia le linee tra le curve di I° "
     "livello\"."},
    {"no-lines", nullptr, "I --run che seguono non tracciano più le linee."},
    {"clear", nullptr, "Cancella prima del --run che segue, come \"Cancella e riprendi i dati\"."},
    {"family", "NOME=DA:A:PASSO",
     "Una famiglia: un tracciato per ciascun valore DA, DA+PASSO, … fino ad A della costante "
     "NOME (oa, angle, n o incr-t), con le altre costanti del --run che la precede (o "
     "86,55,90,1), al suo posto; in ordine, come attivazioni successive."},
    {"animate", "NOME=DA:A:PASSO",
     "Un'animazione, con --render FILE.gif (GIF animata) o FILE.png (FILE_00001.png, …): un "
     "fotogramma per ciascun valore della costante NOME, con le altre costanti dell'ultimo "
     "--run (o 86,55,90,1), che non è tracciato da sé; ogni fotogramma è il disegno degli altri "
     "--run più quel tracciato. Al massimo 100000 fotogrammi."},
    {"fps", "K", "Con --animate: i fotogrammi al secondo della GIF, da 1 a 50 (predefinito 10)."},
    {"accumulate", nullptr,
     "Con --animate: ogni fotogramma tiene i tracciati di quelli prima, come attivazioni "
     "successive."},
    {"scale", "1|2|4",
     "PNG: 1, 2 o 4 volte la dimensione della finestra in pixel; GIF: 1 o 2."},
    {"size", "LARGHEZZA",
     "La larghezza della figura su carta, in cm o in (es. 8cm, 3.5in); l'altezza segue. PNG: "
     "i pixel sono la larghezza per i DPI, al massimo 20000 per lato."},
    {"dpi", "N", "PNG: i pixel per pollice, scritti nel file (predefinito 96 per --scale)."},
    {"background", "window|white|transparent",
     "Lo sfondo: quello della finestra (predefinito), bianco o trasparente."},
    {"colours", "original|distinct",
     "I colori dei tracciati: quelli della finestra (predefinito) o una tinta per tracciato "
     "(Okabe-Ito), la seconda curva più scura; la legenda li segue."},
    {"fit", nullptr,
     "La figura mostra ciò che è disegnato, con un margine, ingrandito a riempirla, invece "
     "dell'intera finestra."},
    {"legend", nullptr,
     "Una legenda in un angolo libero: ogni tracciato nel suo colore, in ordine."},
    {"start-colour", "K", "L'indice di colore Miocolor all'inizio (predefinito 0)."},
    {"session", "FILE",
     "Con --render: disegna la sessione del FILE (.zorpun, o una figura che ne porta una) "
     "invece dei --run."},
    {"save-session", "FILE", "Scrive nel FILE (.zorpun) la sessione che i --run descrivono."},
    {"restore", nullptr,
     "Apre le finestre sull'ultima sessione, che il programma conserva dopo ogni tracciato."},
};

// How a Qt option takes its value: none, the next argument, or also "-name=value".
enum class QtValue { None, Next, NextOrJoined };

struct QtOptionName {
    const char* name;
    QtValue value;
};

// The options QApplication and its platform plugins read from the arguments and remove,
// with one dash or two. The X11 ones are read on the xcb platform only.
const QtOptionName qtOptionNames[] = {
    {"platform", QtValue::Next},
    {"platformpluginpath", QtValue::Next},
    {"platformtheme", QtValue::Next},
    {"plugin", QtValue::Next},
    {"qwindowgeometry", QtValue::Next},
    {"qwindowtitle", QtValue::Next},
    {"qwindowicon", QtValue::Next},
    {"reverse", QtValue::None},
    {"session", QtValue::Next},
    {"style", QtValue::NextOrJoined},
    {"stylesheet", QtValue::NextOrJoined},
    {"widgetcount", QtValue::None},
    {"testability", QtValue::None},
    {"qmljsdebugger", QtValue::NextOrJoined},
    {"display", QtValue::Next},
    {"geometry", QtValue::Next},
    {"title", QtValue::Next},
    {"icon", QtValue::Next},
    {"name", QtValue::Next},
    {"visual", QtValue::Next},
    {"ncols", QtValue::Next},
    {"cmap", QtValue::None},
    {"nograb", QtValue::None},
    {"dograb", QtValue::None},
    {"sync", QtValue::None},
};

const QtOptionName* qtOptionNamed(const QString& name) {
    for (const QtOptionName& option : qtOptionNames)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

// The arguments split into Qt's options and the program's own, the program's name first.
struct SeparatedArguments {
    QStringList own;
    std::vector<QtOption> qt;
    QString refusal; // a Qt option without its value
};

// Whether the arguments ask for a figure or a session file rather than the windows: then
// "--session" names the program's session file, not one of the desktop's sessions for Qt.
bool drawsWithoutWindows(const QStringList& arguments) {
    for (const QString& word : arguments)
        if (word.startsWith(QLatin1String("--render")) ||
            word.startsWith(QLatin1String("--save-session")))
            return true;
    return false;
}

SeparatedArguments separateQtOptions(const QStringList& arguments) {
    SeparatedArguments separated{arguments.mid(0, 1), {}, {}};
    const bool ownSession = drawsWithoutWindows(arguments);
    for (qsizetype index = 1; index < arguments.size(); ++index) {
        const QString& word = arguments.at(index);
        const QString bare = word.mid(word.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = bare.indexOf(QLatin1Char('='));
        const bool ours = ownSession && bare.left(equals) == QLatin1String("session");
        const QtOptionName* known = word.startsWith(QLatin1Char('-')) && !ours
                                        ? qtOptionNamed(bare.left(equals))
                                        : nullptr;
        if (!known || (equals >= 0 && known->value != QtValue::NextOrJoined)) {
            separated.own << word;
        } else if (equals >= 0) {
            separated.qt.push_back({bare.left(equals), bare.mid(equals + 1)});
        } else if (known->value == QtValue::None) {
            separated.qt.push_back({bare, QString()});
        } else if (index + 1 < arguments.size()) {
            separated.qt.push_back({bare, arguments.at(++index)});
        } else {
            separated.refusal = QStringLiteral("%1: %2: manca il valore").arg(programName, word);
        }
    }
    return separated;
}

const Option* optionNamed(const QString& name) {
    for (const Option& option : options)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

void defineOptions(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setApplicationDescription(QStringLiteral(
        "CURVE ZOR-PUN: senza argomenti apre le sue quattro finestre; con un FILE solo le apre "
        "sulla sessione che il FILE contiene (.zorpun, o una figura che ne porta una). Esce con 0 se tutto va "
        "bene, 1 se un tracciato dà un messaggio o il file non si può scrivere, 2 per argomenti "
        "sbagliati. Le opzioni di Qt per le finestre (-platform, -style, -reverse, "
        "-qwindowgeometry…) sono accettate e valgono solo per le finestre."));
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QStringLiteral("Mostra questo aiuto ed esce.")});
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QStringLiteral("Mostra la versione ed esce.")});
    for (const Option& option : options) {
        QCommandLineOption defined(QString::fromLatin1(option.name),
                                   QString::fromUtf8(option.description));
        if (option.valueName)
            defined.setValueName(QString::fromLatin1(option.valueName));
        parser.addOption(defined);
    }
}

// An option as it came, in the order of the arguments.
struct Given {
    QString name;
    QString value;
    bool hasValue = false;
};

// The long options in their order, with their values; a word that is no option is kept under
// an empty name. Values come from "--name=value" or from the next argument.
std::vector<Given> optionsInOrder(const QStringList& arguments) {
    std::vector<Given> given;
    for (qsizetype index = 1; index < arguments.size(); ++index) {
        const QString& word = arguments.at(index);
        if (!word.startsWith(QLatin1Char('-')) || word == QLatin1String("--")) {
            given.push_back({QString(), word, true});
            continue;
        }
        if (!word.startsWith(QLatin1String("--"))) {
            given.push_back({word.mid(1), QString(), false}); // -h, -v: the parser knows them
            continue;
        }
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        Given option{word.mid(2, equals < 0 ? -1 : equals - 2), QString(), false};
        const Option* known = optionNamed(option.name);
        if (equals >= 0) {
            option.value = word.mid(equals + 1);
            option.hasValue = true;
        } else if (known && known->valueName && index + 1 < arguments.size()) {
            option.value = arguments.at(++index);
            option.hasValue = true;
        }
        given.push_back(option);
    }
    return given;
}

QString refusal(const QString& option, const QString& what) {
    return QStringLiteral("%1: --%2: %3").arg(programName, option, what);
}

std::optional<double> numberIn(const QString& text) {
    return parseNumber(text, QLocale::c());
}

std::optional<CurveConstants> constantsIn(const QString& text, QString& problem) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) {
        problem =
            QStringLiteral("«%1» non sono quattro numeri A,B,N,E separati da virgole").arg(text);
        return std::nullopt;
    }
    double values[4] = {};
    for (int index = 0; index < 4; ++index) {
        const std::optional<double> value = numberIn(parts.at(index));
        if (!value) {
            problem =
                QStringLiteral("«%1» non è un numero (col punto decimale)").arg(parts.at(index));
            return std::nullopt;
        }
        values[index] = *value;
    }
    return CurveConstants{TaggedValue::fromDouble(values[0]), TaggedValue::fromDouble(values[1]),
                          TaggedValue::fromDouble(values[2]), TaggedValue::fromDouble(values[3])};
}

const CurveConstants defaultRun{TaggedValue::fromDouble(86), TaggedValue::fromDouble(55),
                                TaggedValue::fromDouble(90), TaggedValue::fromDouble(1)};

// "NAME=FROM:TO:STEP": the constant and its range, checked as an animation checks it.
std::optional<Animation> rangeIn(const QString& text, QString& problem) {
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    const QStringList numbers = text.mid(equals + 1).split(QLatin1Char(':'));
    if (equals < 0 || numbers.size() != 3) {
        problem = QStringLiteral("«%1» non è NOME=DA:A:PASSO").arg(text);
        return std::nullopt;
    }
    const std::optional<AnimatedConstant> constant = animatedConstantNamed(text.left(equals));
    if (!constant) {
        problem = QStringLiteral("«%1» non è %2").arg(text.left(equals), animatedConstantNames());
        return std::nullopt;
    }
    double values[3] = {};
    for (int index = 0; index < 3; ++index) {
        const std::optional<double> value = numberIn(numbers.at(index));
        if (!value) {
            problem = QStringLiteral("«%1» non è un numero (col punto decimale)")
                          .arg(numbers.at(index));
            return std::nullopt;
        }
        values[index] = *value;
    }
    const Animation range{*constant, values[0], values[1], values[2]};
    if (const std::optional<QString> fault = animationFault(range)) {
        problem = QStringLiteral("«%1»: %2").arg(text, *fault);
        return std::nullopt;
    }
    return range;
}

std::optional<FigureBackground> backgroundNamed(const QString& name) {
    if (name == QLatin1String("window"))
        return FigureBackground::Window;
    if (name == QLatin1String("white"))
        return FigureBackground::White;
    if (name == QLatin1String("transparent"))
        return FigureBackground::Transparent;
    return std::nullopt;
}

// The steps of the command line as they are read, in order.
class StepReader {
public:
    explicit StepReader(RenderRequest& request) : request_(request) {}
    // Reads one option; what is wrong with it, if anything.
    std::optional<QString> read(const Given& option);
    std::optional<QString> finish();

private:
    std::optional<QString> readStep(const Given& option);
    std::optional<QString> readSetting(const Given& option);
    std::optional<QString> readFigureOption(const Given& option);
    void addRun(const CurveConstants& constants,
                FigureStep::SetUp setUp = FigureStep::SetUp::IfNeeded);
    std::optional<QString> addFamily(const QString& value);

    RenderRequest& request_;
    LinkingLines lines_ = LinkingLines::Off;
    bool clearPending_ = false;
    // The last "--run", and its step while no "--family" took its place.
    CurveConstants lastRun_ = defaultRun;
    std::optional<LinkingLines> lastRunLines_;
    std::optional<std::size_t> lastRunStep_;
    std::optional<Animation> animation_;
    std::optional<int> framesPerSecond_;
    std::optional<Accumulation> accumulation_;
};

void StepReader::addRun(const CurveConstants& constants, FigureStep::SetUp setUp) {
    if (std::exchange(clearPending_, false))
        request_.steps.push_back({FigureStep::Kind::Clear, {}, LinkingLines::Off});
    request_.steps.push_back({FigureStep::Kind::Run, constants, lines_, setUp});
}

// One run a value, on the other constants of the "--run" before, which they replace.
std::optional<QString> StepReader::addFamily(const QString& value) {
    QString problem;
    std::optional<Animation> range = rangeIn(value, problem);
    if (!range)
        return problem;
    if (const std::optional<std::size_t> step = std::exchange(lastRunStep_, std::nullopt))
        request_.steps.erase(request_.steps.begin() + std::ptrdiff_t(*step));
    const AnimationJob family{{}, {}, lastRun_, *range, {}, 1};
    for (std::int64_t frame = 0; frame < frameCount(*range); ++frame)
        addRun(frameConstants(family, frame), FigureStep::SetUp::Always);
    return std::nullopt;
}

std::optional<QString> StepReader::readStep(const Given& option) {
    if (option.name == QLatin1String("lines")) {
        lines_ = LinkingLines::On;
    } else if (option.name == QLatin1String("no-lines")) {
        lines_ = LinkingLines::Off;
    } else if (option.name == QLatin1String("clear")) {
        clearPending_ = true;
    } else if (option.name == QLatin1String("family")) {
        return addFamily(option.value);
    } else {
        QString problem;
        const std::optional<CurveConstants> constants = constantsIn(option.value, problem);
        if (!constants)
            return problem;
        addRun(*constants);
        lastRun_ = *constants;
        lastRunLines_ = lines_;
        lastRunStep_ = request_.steps.size() - 1;
    }
    return std::nullopt;
}

std::optional<QString> StepReader::read(const Given& option) {
    for (const char* step : {"run", "lines", "no-lines", "clear", "family"})
        if (option.name == QLatin1String(step))
            return readStep(option);
    return readSetting(option);
}

// Reads one setting of "--render" into the request; returns what is wrong with it, if anything.
std::optional<QString> StepReader::readSetting(const Given& option) {
    const QString& value = option.value;
    RenderRequest& request = request_;
    if (option.name == QLatin1String("incr")) {
        const std::optional<double> incr = numberIn(value);
        if (!incr || !(*incr > 0.0))
            return QStringLiteral("«%1» non è un fattore maggiore di 0").arg(value);
        request.incr = *incr;
    } else if (option.name == QLatin1String("scale")) {
        if (value != QLatin1String("1") && value != QLatin1String("2") &&
            value != QLatin1String("4"))
            return QStringLiteral("«%1» non è 1, 2 o 4").arg(value);
        request.scale = value.toInt();
    } else if (option.name == QLatin1String("start-colour")) {
        bool whole = false;
        const int colour = value.toInt(&whole);
        if (!whole || colour < 0 || colour > 32767)
            return QStringLiteral("«%1» non è un intero da 0 a 32767").arg(value);
        request.startColour = static_cast<std::int16_t>(colour);
    } else if (option.name == QLatin1String("session")) {
        request.sessionFile = value;
    } else if (option.name == QLatin1String("save-session")) {
        request.saveSession = value;
    } else if (option.name == QLatin1String("animate")) {
        QString problem;
        animation_ = rangeIn(value, problem);
        if (!animation_)
            return problem;
    } else if (option.name == QLatin1String("fps")) {
        bool whole = false;
        framesPerSecond_ = value.toInt(&whole);
        if (!whole || framesPerSecond_ < 1 || framesPerSecond_ > mostFramesPerSecond)
            return QStringLiteral("«%1» non è un intero da 1 a %2").arg(value).arg(mostFramesPerSecond);
    } else if (option.name == QLatin1String("accumulate")) {
        accumulation_ = Accumulation::On;
    } else {
        return readFigureOption(option);
    }
    return std::nullopt;
}

// Reads one of the figure's options into the request.
std::optional<QString> StepReader::readFigureOption(const Given& option) {
    const QString& value = option.value;
    FigureOptions& figure = request_.figure;
    if (option.name == QLatin1String("size")) {
        figure.width = physicalWidthIn(value);
        if (!figure.width)
            return QStringLiteral("«%1» non è una larghezza maggiore di 0 in cm o in (es. 8cm)")
                .arg(value);
    } else if (option.name == QLatin1String("dpi")) {
        figure.dpi = dpiIn(value);
        if (!figure.dpi)
            return QStringLiteral("«%1» non è un numero maggiore di 0").arg(value);
    } else if (option.name == QLatin1String("background")) {
        const std::optional<FigureBackground> background = backgroundNamed(value);
        if (!background)
            return QStringLiteral("«%1» non è window, white o transparent").arg(value);
        figure.background = *background;
    } else if (option.name == QLatin1String("legend")) {
        figure.legend = FigureLegend::On;
    } else if (option.name == QLatin1String("fit")) {
        figure.fit = FigureFit::Drawing;
    } else if (option.name == QLatin1String("colours")) {
        if (value != QLatin1String("original") && value != QLatin1String("distinct"))
            return QStringLiteral("«%1» non è original o distinct").arg(value);
        figure.colours =
            value == QLatin1String("distinct") ? RunColours::Distinct : RunColours::Original;
    }
    return std::nullopt;
}

// After the last option: the animation takes the last run as the one it varies.
std::optional<QString> StepReader::finish() {
    if (clearPending_)
        return refusal(QStringLiteral("clear"), QStringLiteral("nessun --run la segue"));
    if (!animation_) {
        if (framesPerSecond_ || accumulation_)
            return refusal(QLatin1String(framesPerSecond_ ? "fps" : "accumulate"),
                           QStringLiteral("vale solo con --animate"));
        if (request_.steps.empty() && request_.sessionFile.isEmpty())
            request_.steps.push_back({FigureStep::Kind::Run, defaultRun, lines_});
        return std::nullopt;
    }
    animation_->framesPerSecond = framesPerSecond_.value_or(animation_->framesPerSecond);
    animation_->accumulation = accumulation_.value_or(Accumulation::Off);
    animation_->lines = lastRunLines_.value_or(lines_);
    if (lastRunStep_)
        request_.steps.erase(request_.steps.begin() + std::ptrdiff_t(*lastRunStep_));
    request_.animation = AnimationRequest{*animation_, lastRun_};
    return std::nullopt;
}

CommandLine refused(const QString& text) {
    CommandLine result;
    result.action = CommandLine::Action::Refuse;
    result.refusal = text;
    return result;
}

// A session drawn again has its own runs and calibration; it is drawn, not written again.
std::optional<QString> sessionConflict(const std::vector<Given>& given,
                                       const RenderRequest& request) {
    if (request.sessionFile.isEmpty())
        return std::nullopt;
    if (request.file.isEmpty())
        return refusal(QStringLiteral("session"), QStringLiteral("vale solo con --render"));
    for (const Given& option : given)
        for (const char* own : {"run", "lines", "no-lines", "clear", "family", "incr",
                                "start-colour", "save-session", "animate", "fps", "accumulate"})
            if (option.name == QLatin1String(own))
                return refusal(QStringLiteral("session"),
                               QStringLiteral("non si unisce a --%1").arg(option.name));
    return std::nullopt;
}

// The first of the figure's options given, for a message.
const char* figureOptionName(const FigureOptions& figure) {
    if (figure.width)
        return "size";
    if (figure.dpi)
        return "dpi";
    if (figure.colours != RunColours::Original)
        return "colours";
    if (figure.fit == FigureFit::Drawing)
        return "fit";
    return figure.legend == FigureLegend::On ? "legend" : "background";
}

// The sizes a file of the request can have.
std::optional<QString> scaleConflict(const RenderRequest& request) {
    if (request.animation && request.animationFormat == AnimationFormat::Gif && request.scale > 2)
        return refusal(QStringLiteral("scale"), QStringLiteral("una GIF è 1 o 2 volte la finestra"));
    if (!request.animation && request.scale != 1 && request.format != FigureFormat::Png)
        return refusal(QStringLiteral("scale"), QStringLiteral("vale solo per i PNG"));
    if (request.figure.dpi && (request.animation || request.format != FigureFormat::Png))
        return refusal(QStringLiteral("dpi"), QStringLiteral("vale solo per i PNG"));
    if (request.animation && !request.figure.plain())
        return refusal(QLatin1String(figureOptionName(request.figure)),
                       QStringLiteral("non vale con --animate"));
    return std::nullopt;
}

// The options of "--render", in their order; the render option itself was read already.
CommandLine readRender(const std::vector<Given>& given, RenderRequest request) {
    StepReader steps(request);
    for (const Given& option : given) {
        if (option.name == QLatin1String("render"))
            continue;
        if (const std::optional<QString> problem = steps.read(option))
            return refused(refusal(option.name, *problem));
    }
    if (const std::optional<QString> problem = sessionConflict(given, request))
        return refused(*problem);
    if (const std::optional<QString> problem = steps.finish())
        return refused(*problem);
    if (const std::optional<QString> problem = scaleConflict(request))
        return refused(*problem);
    CommandLine result;
    result.action = CommandLine::Action::Render;
    result.render = std::move(request);
    return result;
}

// The windows opened on a session: a file given alone, or "--restore" alone.
std::optional<CommandLine> windowsOn(const std::vector<Given>& given) {
    if (given.size() != 1)
        return std::nullopt;
    CommandLine result;
    if (given.front().name.isEmpty())
        result.openFile = given.front().value;
    else if (given.front().name == QLatin1String("restore"))
        result.restore = true;
    else
        return std::nullopt;
    return result;
}

// The options that may come again: the steps.
bool repeatable(const QString& name) {
    for (const char* step : {"run", "lines", "no-lines", "clear", "family"})
        if (name == QLatin1String(step))
            return true;
    return false;
}

// A word that is no option (but a file given alone), an option without its value, or one
// given twice.
std::optional<QString> misuse(const std::vector<Given>& given) {
    QStringList seen;
    for (const Given& option : given) {
        if (option.name.isEmpty() && given.size() == 1 && option.value != QLatin1String("--"))
            continue;
        if (option.name.isEmpty())
            return QStringLiteral("%1: argomento inatteso «%2»").arg(programName, option.value);
        const Option* known = optionNamed(option.name);
        if (!known)
            continue; // help and version
        if (known->valueName && !option.hasValue)
            return refusal(
                option.name,
                QStringLiteral("manca il valore %1").arg(QLatin1String(known->valueName)));
        if (!known->valueName && option.hasValue)
            return refusal(option.name, QStringLiteral("non vuole un valore"));
        if (!repeatable(option.name) && seen.contains(option.name))
            return refusal(option.name, QStringLiteral("data più di una volta"));
        seen << option.name;
    }
    return std::nullopt;
}

// The format of the figure, or of the animation, by the file's extension.
std::optional<QString> readFileFormat(RenderRequest& request, bool animate) {
    if (animate) {
        const std::optional<AnimationFormat> format = animationFormatForFile(request.file);
        if (!format)
            return QStringLiteral("«%1» non finisce in %2 (con --animate)")
                .arg(request.file, knownAnimationSuffixes());
        request.animationFormat = *format;
        return std::nullopt;
    }
    const std::optional<FigureFormat> format = formatForFile(request.file);
    if (!format && animationFormatForFile(request.file))
        return QStringLiteral("«%1» è un'animazione: vuole --animate").arg(request.file);
    if (!format)
        return QStringLiteral("«%1» non finisce in %2").arg(request.file, knownSuffixes());
    request.format = *format;
    return std::nullopt;
}

// The program's own options, Qt's taken out.
CommandLine parseOwnArguments(const QStringList& arguments) {
    if (arguments.size() <= 1)
        return {};
    QCommandLineParser parser;
    defineOptions(parser);
    if (!parser.parse(arguments) && !parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        return refused(QStringLiteral("%1: opzione sconosciuta «%2%3»")
                           .arg(programName, name.size() == 1 ? "-" : "--", name));
    }
    const std::vector<Given> given = optionsInOrder(arguments);
    if (const std::optional<QString> problem = misuse(given))
        return refused(*problem);
    CommandLine result;
    if (parser.isSet(QStringLiteral("help"))) {
        result.action = CommandLine::Action::Help;
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.action = CommandLine::Action::Version;
        return result;
    }
    if (std::optional<CommandLine> windows = windowsOn(given))
        return *windows;
    const bool render = parser.isSet(QStringLiteral("render"));
    if (!render && !parser.isSet(QStringLiteral("save-session")))
        return refused(QStringLiteral("%1: manca --render FILE").arg(programName));
    RenderRequest request;
    if (render) {
        request.file = parser.value(QStringLiteral("render"));
        if (const std::optional<QString> problem =
                readFileFormat(request, parser.isSet(QStringLiteral("animate"))))
            return refused(refusal(QStringLiteral("render"), *problem));
    }
    return readRender(given, std::move(request));
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    SeparatedArguments separated = separateQtOptions(arguments);
    if (!separated.refusal.isEmpty())
        return refused(separated.refusal);
    CommandLine result = parseOwnArguments(separated.own);
    result.qtOptions = std::move(separated.qt);
    return result;
}

QString commandLineHelp() {
    QCommandLineParser parser;
    defineOptions(parser);
    // Qt's own headings are in English, and its usage line names the running executable.
    QString text = parser.helpText();
    text = QStringLiteral("Uso: %1 [opzioni]").arg(programName) + text.mid(text.indexOf('\n'));
    text.replace(QLatin1String("\nOptions:\n"), QLatin1String("\nOpzioni:\n"));
    return text;
}
