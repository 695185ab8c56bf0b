#include "figure/session_file.h"

#include "core/number_text.h"
#include "core/system_reason.h"
#include "figure/figure_export.h"
#include "figure/gif_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSaveFile>
#include <cmath>

namespace {

const QString programName = QStringLiteral("CURVE ZOR-PUN " ZORPUN_VERSION);
const QByteArray recipeClose = "</zorpun:session>";
const QByteArray recipeNamespace = "https://curvezorpun.github.io/ns/session/1";

// What is wrong with a file; the first fault found stands.
struct Fault {
    QString reason;
};

QJsonValue valueToJson(const TaggedValue& value) {
    if (value.isEmpty())
        return QJsonValue::Null;
    if (value.kind() == TaggedValue::Kind::Text)
        return value.text();
    return shortestNumberText(value.toDouble().valueOr(0.0));
}

QJsonArray textsToJson(const std::array<QString, 4>& texts) {
    QJsonArray array;
    for (const QString& text : texts)
        array.append(text);
    return array;
}

QJsonObject entryToJson(const SessionEntry& entry) {
    if (const auto* setUp = std::get_if<PlotSetUp>(&entry))
        return {{QStringLiteral("setUp"),
                 QJsonObject{{QStringLiteral("Incr"), setUp->Incr.toDouble().valueOr(0.0)}}}};
    if (std::holds_alternative<PlotClear>(entry))
        return {{QStringLiteral("clear"), QJsonObject{}}};
    const PlotRun& run = std::get<PlotRun>(entry);
    QJsonObject object{{QStringLiteral("constants"), textsToJson(run.typed)},
                       {QStringLiteral("lines"), run.lines == LinkingLines::On},
                       {QStringLiteral("colourBefore"), run.startColour}};
    if (run.passesMade)
        object.insert(QStringLiteral("passesMade"), double(*run.passesMade));
    return {{QStringLiteral("run"), object}};
}

QJsonObject animationToJson(const Animation& animation) {
    return {{QStringLiteral("constant"), nameOf(animation.constant)},
            {QStringLiteral("from"), animation.from},
            {QStringLiteral("to"), animation.to},
            {QStringLiteral("step"), animation.step},
            {QStringLiteral("framesPerSecond"), animation.framesPerSecond},
            {QStringLiteral("accumulate"), animation.accumulation == Accumulation::On},
            {QStringLiteral("lines"), animation.lines == LinkingLines::On}};
}

QJsonObject viewToJson(const LensView& view) {
    return {{QStringLiteral("zoom"), view.zoom},
            {QStringLiteral("centreX"), view.centre.x()},
            {QStringLiteral("centreY"), view.centre.y()}};
}

} // namespace

QByteArray encodeSession(const SessionControls& controls, const std::vector<SessionEntry>& history,
                         const std::optional<Animation>& animation,
                         const std::optional<LensView>& view) {
    QJsonArray read;
    for (const TaggedValue& value : controls.constants)
        read.append(valueToJson(value));
    QJsonArray entries;
    for (const SessionEntry& entry : history)
        entries.append(entryToJson(entry));
    const QJsonValue incr = controls.Incr.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                    : controls.Incr.toDouble().valueOr(0.0);
    const QJsonObject calibration{{QStringLiteral("bar"), controls.calibrationBar},
                                  {QStringLiteral("Incr"), incr}};
    const QJsonObject constants{{QStringLiteral("texts"), textsToJson(controls.constantTexts)},
                                {QStringLiteral("read"), read}};
    QJsonObject session{{QStringLiteral("program"), programName},
                        {QStringLiteral("locale"), QLocale().name()},
                        {QStringLiteral("calibration"), calibration},
                        {QStringLiteral("constants"), constants},
                        {QStringLiteral("colourCursor"), controls.Miocolor},
                        {QStringLiteral("history"), entries}};
    if (animation)
        session.insert(QStringLiteral("animation"), animationToJson(*animation));
    if (view)
        session.insert(QStringLiteral("view"), viewToJson(*view));
    // The format's name and version come first, where a file manager's magic looks: a JSON
    // object's fields are written in the order of their names otherwise.
    const QByteArray rest = QJsonDocument(session).toJson(QJsonDocument::Indented);
    return "{\n    \"format\": \"" + sessionFormatName.toUtf8() +
           "\",\n    \"version\": " + QByteArray::number(sessionFormatVersion) + ",\n" +
           rest.mid(2);
}

namespace {

// Reads the fields of one object, each once, and knows what it has not been asked for.
class Fields {
public:
    Fields(const QJsonObject& object, QString where) : object_(object), where_(std::move(where)) {}

    QJsonValue take(const QString& name, QJsonValue::Type type) {
        taken_ << name;
        const QJsonValue value = object_.value(name);
        if (value.isUndefined())
            throw Fault{QStringLiteral("manca il campo «%1»").arg(path(name))};
        if (value.type() != type)
            throw Fault{QStringLiteral("il campo «%1» non è del tipo atteso").arg(path(name))};
        return value;
    }
    QJsonValue takeOptional(const QString& name, QJsonValue::Type type) {
        if (!object_.contains(name)) {
            taken_ << name;
            return QJsonValue(QJsonValue::Undefined); // not {}: that is null
        }
        return take(name, type);
    }
    // Every field must be known.
    void finish() const {
        for (const QString& key : object_.keys())
            if (!taken_.contains(key))
                throw Fault{QStringLiteral("il campo «%1» è sconosciuto").arg(path(key))};
    }
    QString path(const QString& name) const {
        return where_.isEmpty() ? name : where_ + '.' + name;
    }

private:
    QJsonObject object_; // a copy: callers pass temporaries (toObject())
    QString where_;
    QStringList taken_;
};

qint64 wholeIn(const QJsonValue& value, double lowest, double highest, const QString& name) {
    const double number = value.toDouble();
    if (!(number >= lowest && number <= highest) || std::floor(number) != number)
        throw Fault{QStringLiteral("il valore di «%1» è fuori dai limiti").arg(name)};
    return static_cast<qint64>(number);
}

class SessionReader {
public:
    SessionRecord read(const QJsonObject& root);

private:
    void readHeader(Fields& fields);
    void readCalibration(const QJsonObject& object);
    void readConstants(const QJsonObject& object);
    TaggedValue readValue(const QJsonValue& value, const QString& name) const;
    std::array<QString, 4> readTexts(const QJsonValue& value, const QString& name,
                                     bool mustBeNumbers) const;
    SessionEntry readEntry(const QJsonValue& value, const QString& name) const;
    PlotRun readRun(const QJsonObject& object, const QString& name) const;
    TaggedValue readIncr(const QJsonValue& value, const QString& name) const;
    TaggedValue typedNumber(const QString& text, const QString& name) const;
    Animation readAnimation(const QJsonObject& object) const;
    LensView readView(const QJsonObject& object) const;

    SessionRecord record_;
    QLocale locale_;
};

SessionRecord SessionReader::read(const QJsonObject& root) {
    Fields fields(root, {});
    readHeader(fields);
    readCalibration(fields.take(QStringLiteral("calibration"), QJsonValue::Object).toObject());
    readConstants(fields.take(QStringLiteral("constants"), QJsonValue::Object).toObject());
    record_.controls.Miocolor = static_cast<std::int16_t>(
        wholeIn(fields.take(QStringLiteral("colourCursor"), QJsonValue::Double), 0, 32767,
                QStringLiteral("colourCursor")));
    const QJsonArray history = fields.take(QStringLiteral("history"), QJsonValue::Array).toArray();
    if (std::size_t(history.size()) > mostSessionEntries)
        throw Fault{QStringLiteral("contiene troppi passi (%1; al massimo %2)")
                        .arg(history.size())
                        .arg(mostSessionEntries)};
    record_.history.reserve(std::size_t(history.size()));
    for (qsizetype index = 0; index < history.size(); ++index)
        record_.history.push_back(
            readEntry(history.at(index), QStringLiteral("history[%1]").arg(index)));
    const QJsonValue animation =
        fields.takeOptional(QStringLiteral("animation"), QJsonValue::Object);
    if (!animation.isUndefined())
        record_.animation = readAnimation(animation.toObject());
    const QJsonValue view = fields.takeOptional(QStringLiteral("view"), QJsonValue::Object);
    if (!view.isUndefined())
        record_.view = readView(view.toObject());
    fields.finish();
    return std::move(record_);
}

void SessionReader::readHeader(Fields& fields) {
    if (fields.take(QStringLiteral("format"), QJsonValue::String).toString() != sessionFormatName)
        throw Fault{QStringLiteral("non è una sessione di CURVE ZOR-PUN")};
    const double version = fields.take(QStringLiteral("version"), QJsonValue::Double).toDouble();
    if (version > sessionFormatVersion)
        throw Fault{QStringLiteral("è di una versione più recente (%1) di quella che questo "
                                   "programma sa leggere (%2)")
                        .arg(version)
                        .arg(sessionFormatVersion)};
    if (version != sessionFormatVersion)
        throw Fault{QStringLiteral("la versione %1 non esiste").arg(version)};
    record_.program = fields.take(QStringLiteral("program"), QJsonValue::String).toString();
    locale_ = QLocale(fields.take(QStringLiteral("locale"), QJsonValue::String).toString());
}

void SessionReader::readCalibration(const QJsonObject& object) {
    Fields fields(object, QStringLiteral("calibration"));
    record_.controls.calibrationBar = static_cast<int>(wholeIn(
        fields.take(QStringLiteral("bar"), QJsonValue::Double), 0, 32767, fields.path("bar")));
    const QString name = fields.path(QStringLiteral("Incr"));
    // Null until the calibration window was first shown.
    if (object.value(QStringLiteral("Incr")).isNull())
        fields.take(QStringLiteral("Incr"), QJsonValue::Null);
    else
        record_.controls.Incr =
            readIncr(fields.take(QStringLiteral("Incr"), QJsonValue::Double), name);
    fields.finish();
}

void SessionReader::readConstants(const QJsonObject& object) {
    Fields fields(object, QStringLiteral("constants"));
    record_.controls.constantTexts =
        readTexts(fields.take(QStringLiteral("texts"), QJsonValue::Array),
                  fields.path(QStringLiteral("texts")), false);
    const QJsonArray read = fields.take(QStringLiteral("read"), QJsonValue::Array).toArray();
    if (read.size() != 4)
        throw Fault{QStringLiteral("il campo «constants.read» non ha quattro valori")};
    for (qsizetype index = 0; index < 4; ++index)
        record_.controls.constants[std::size_t(index)] =
            readValue(read.at(index), QStringLiteral("constants.read[%1]").arg(index));
    fields.finish();
}

// A constant as last read: never read (null), the failure marker (""), or a number.
TaggedValue SessionReader::readValue(const QJsonValue& value, const QString& name) const {
    if (value.isNull())
        return {};
    if (!value.isString())
        throw Fault{QStringLiteral("il campo «%1» non è del tipo atteso").arg(name)};
    if (value.toString().isEmpty())
        return TaggedValue::fromText(QString());
    return typedNumber(value.toString(), name);
}

TaggedValue SessionReader::typedNumber(const QString& text, const QString& name) const {
    const std::optional<double> number = parseNumber(text, locale_);
    if (!number)
        throw Fault{QStringLiteral("il valore «%1» di «%2» non è un numero").arg(text, name)};
    return TaggedValue::fromDouble(*number);
}

// A text typed in the file's locale as this program's locale reads it: kept where it reads the
// same here ("86"), the shortest text of its value otherwise ("1.5" of an English file is
// "1,5" in Italian), so that the run's texts still give its constants.
QString typedHere(const QString& text, double value) {
    if (parseNumber(text) == std::optional<double>(value))
        return text;
    return shortestNumberText(value);
}

TaggedValue SessionReader::readIncr(const QJsonValue& value, const QString& name) const {
    const double incr = value.toDouble();
    if (!(incr > 0.0) || !std::isfinite(incr))
        throw Fault{QStringLiteral("il valore di «%1» è fuori dai limiti").arg(name)};
    return TaggedValue::fromDouble(incr);
}

std::array<QString, 4> SessionReader::readTexts(const QJsonValue& value, const QString& name,
                                                bool mustBeNumbers) const {
    const QJsonArray array = value.toArray();
    if (array.size() != 4)
        throw Fault{QStringLiteral("il campo «%1» non ha quattro valori").arg(name)};
    std::array<QString, 4> texts;
    for (qsizetype index = 0; index < 4; ++index) {
        const QString where = QStringLiteral("%1[%2]").arg(name).arg(index);
        if (!array.at(index).isString())
            throw Fault{QStringLiteral("il campo «%1» non è del tipo atteso").arg(where)};
        texts[std::size_t(index)] = array.at(index).toString();
        if (mustBeNumbers)
            (void)typedNumber(texts[std::size_t(index)], where);
    }
    return texts;
}

SessionEntry SessionReader::readEntry(const QJsonValue& value, const QString& name) const {
    if (!value.isObject() || value.toObject().size() != 1)
        throw Fault{QStringLiteral("il passo «%1» non è un oggetto con un solo campo").arg(name)};
    const QJsonObject object = value.toObject();
    const QString kind = object.begin().key();
    const QJsonValue body = object.begin().value();
    if (!body.isObject())
        throw Fault{QStringLiteral("il campo «%1.%2» non è del tipo atteso").arg(name, kind)};
    const QString where = name + '.' + kind;
    if (kind == QLatin1String("setUp")) {
        Fields fields(body.toObject(), where);
        const TaggedValue incr =
            readIncr(fields.take(QStringLiteral("Incr"), QJsonValue::Double), where + ".Incr");
        fields.finish();
        return PlotSetUp{incr};
    }
    if (kind == QLatin1String("clear")) {
        Fields(body.toObject(), where).finish();
        return PlotClear{};
    }
    if (kind == QLatin1String("run"))
        return readRun(body.toObject(), where);
    throw Fault{QStringLiteral("il campo «%1» è sconosciuto").arg(where)};
}

PlotRun SessionReader::readRun(const QJsonObject& object, const QString& name) const {
    Fields fields(object, name);
    PlotRun run;
    run.typed = readTexts(fields.take(QStringLiteral("constants"), QJsonValue::Array),
                          fields.path(QStringLiteral("constants")), true);
    run.constants = {typedNumber(run.typed[0], name), typedNumber(run.typed[1], name),
                     typedNumber(run.typed[2], name), typedNumber(run.typed[3], name)};
    const std::array<const TaggedValue*, 4> values{&run.constants.VALa, &run.constants.VALb,
                                                   &run.constants.VALc, &run.constants.VALe};
    for (std::size_t index = 0; index < values.size(); ++index)
        run.typed[index] = typedHere(run.typed[index], values[index]->real());
    run.lines = fields.take(QStringLiteral("lines"), QJsonValue::Bool).toBool() ? LinkingLines::On
                                                                                : LinkingLines::Off;
    run.startColour = static_cast<std::int16_t>(
        wholeIn(fields.take(QStringLiteral("colourBefore"), QJsonValue::Double), 0, 32767,
                fields.path(QStringLiteral("colourBefore"))));
    const QJsonValue passes = fields.takeOptional(QStringLiteral("passesMade"), QJsonValue::Double);
    if (!passes.isUndefined())
        run.passesMade = wholeIn(passes, 0, 1e15, fields.path(QStringLiteral("passesMade")));
    fields.finish();
    return run;
}

// An animation's parameter, range and step, as the command line would take them.
Animation SessionReader::readAnimation(const QJsonObject& object) const {
    Fields fields(object, QStringLiteral("animation"));
    Animation animation;
    const QString name = fields.take(QStringLiteral("constant"), QJsonValue::String).toString();
    const std::optional<AnimatedConstant> constant = animatedConstantNamed(name);
    if (!constant)
        throw Fault{QStringLiteral("il valore «%1» di «animation.constant» non è %2")
                        .arg(name, animatedConstantNames())};
    animation.constant = *constant;
    animation.from = fields.take(QStringLiteral("from"), QJsonValue::Double).toDouble();
    animation.to = fields.take(QStringLiteral("to"), QJsonValue::Double).toDouble();
    animation.step = fields.take(QStringLiteral("step"), QJsonValue::Double).toDouble();
    animation.framesPerSecond = static_cast<int>(
        wholeIn(fields.take(QStringLiteral("framesPerSecond"), QJsonValue::Double), 1,
                mostFramesPerSecond, fields.path(QStringLiteral("framesPerSecond"))));
    if (fields.take(QStringLiteral("accumulate"), QJsonValue::Bool).toBool())
        animation.accumulation = Accumulation::On;
    if (fields.take(QStringLiteral("lines"), QJsonValue::Bool).toBool())
        animation.lines = LinkingLines::On;
    fields.finish();
    if (const std::optional<QString> fault = animationFault(animation))
        throw Fault{QStringLiteral("l'animazione non è valida: %1").arg(*fault)};
    return animation;
}

// The lens's zoom and centre within their limits.
LensView SessionReader::readView(const QJsonObject& object) const {
    Fields fields(object, QStringLiteral("view"));
    const double zoom = fields.take(QStringLiteral("zoom"), QJsonValue::Double).toDouble();
    const double x = fields.take(QStringLiteral("centreX"), QJsonValue::Double).toDouble();
    const double y = fields.take(QStringLiteral("centreY"), QJsonValue::Double).toDouble();
    fields.finish();
    const LensView view{zoom, QPointF(x, y)};
    if (!withinLimits(view))
        throw Fault{QStringLiteral("la vista «view» è fuori dai limiti")};
    return view;
}

// The reading stopped at the end of the text, or in a word the end cut off: Qt calls "fals" at
// the end an illegal value, and places it just past the word's first letter.
bool cutShort(const QJsonParseError& error, const QByteArray& text) {
    if (text.mid(error.offset).trimmed().isEmpty())
        return true;
    const QByteArray word = text.mid(std::max<qsizetype>(error.offset - 1, 0)).trimmed();
    return QByteArrayView("true").startsWith(word) || QByteArrayView("false").startsWith(word) ||
           QByteArrayView("null").startsWith(word);
}

} // namespace

std::variant<SessionRecord, QString> decodeSession(const QByteArray& text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error == QJsonParseError::UnterminatedObject ||
        error.error == QJsonParseError::UnterminatedArray ||
        error.error == QJsonParseError::UnterminatedString ||
        (error.error != QJsonParseError::NoError && cutShort(error, text)))
        return QStringLiteral("il file è troncato");
    if (error.error == QJsonParseError::DeepNesting)
        return QStringLiteral("il testo è annidato troppo a fondo");
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return QStringLiteral("non è un testo JSON valido (errore al byte %1)").arg(error.offset);
    try {
        SessionReader reader;
        return reader.read(document.object());
    } catch (const Fault& fault) {
        return fault.reason;
    }
}

namespace {

QString cannotOpen(const QString& path, const QString& reason) {
    return QStringLiteral("Impossibile aprire la sessione «%1»: %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

// The session a figure carries, or why there is none.
std::variant<QByteArray, QString> recipeOfFigure(const QByteArray& bytes) {
    if (bytes.startsWith(pngSignature)) {
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer, "png");
        const QString text = reader.text(recipeKey);
        if (text.isEmpty())
            return QStringLiteral("l'immagine non porta con sé una sessione");
        return text.toUtf8();
    }
    if (std::optional<QByteArray> recipe = findRecipe(bytes))
        return *recipe;
    return QStringLiteral("la figura non porta con sé una sessione");
}

bool isFigure(const QByteArray& bytes) {
    return bytes.startsWith(pngSignature) || bytes.startsWith("%PDF") ||
           bytes.left(4096).contains("<svg");
}

std::variant<SessionRecord, QString> decodeFileText(const QString& path, const QByteArray& text) {
    std::variant<SessionRecord, QString> session = decodeSession(text);
    if (const QString* fault = std::get_if<QString>(&session))
        return cannotOpen(path, *fault);
    return session;
}

// A GIF carries its recipe in a comment before its pictures, which are not read: an
// animation may be larger than any session file.
std::variant<SessionRecord, QString> readGifRecipe(const QString& path, QFile& file) {
    const std::optional<QByteArray> comments = gifComments(file, 2 * largestSessionFile);
    const std::optional<QByteArray> recipe = comments ? findRecipe(*comments) : std::nullopt;
    if (!recipe)
        return cannotOpen(path, QStringLiteral("la figura non porta con sé una sessione"));
    return decodeFileText(path, *recipe);
}

} // namespace

std::variant<SessionRecord, QString> readSessionFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotOpen(path, QFileInfo(path).isDir()
                                    ? QStringLiteral("è il nome di una cartella")
                                    : italianSystemReason(file.errorString()));
    if (file.peek(4) == "GIF8")
        return readGifRecipe(path, file);
    if (file.size() > largestSessionFile)
        return cannotOpen(path, QStringLiteral("è troppo grande (%1 MB; al massimo %2 MB)")
                                    .arg(file.size() / (1024 * 1024))
                                    .arg(largestSessionFile / (1024 * 1024)));
    const QByteArray bytes = file.read(largestSessionFile + 1);
    if (bytes.size() > largestSessionFile)
        return cannotOpen(path, QStringLiteral("è troppo grande"));
    QByteArray text = bytes;
    if (isFigure(bytes)) {
        std::variant<QByteArray, QString> recipe = recipeOfFigure(bytes);
        if (const QString* missing = std::get_if<QString>(&recipe))
            return cannotOpen(path, *missing);
        text = std::get<QByteArray>(recipe);
    }
    return decodeFileText(path, text);
}

std::optional<QString> writeSessionFile(const QString& path, const QByteArray& text) {
    return writeBytesFile(text, path);
}

QByteArray recipeMetadataXml(const QByteArray& session) {
    return "<zorpun:session xmlns:zorpun=\"" + recipeNamespace + "\">" + session.toBase64() +
           recipeClose;
}

std::optional<QByteArray> findRecipe(const QByteArray& figure) {
    const qsizetype open = figure.indexOf("<zorpun:session");
    const qsizetype start = open < 0 ? -1 : figure.indexOf('>', open);
    const qsizetype end = start < 0 ? -1 : figure.indexOf(recipeClose, start);
    if (end < 0)
        return std::nullopt;
    const QByteArray encoded = figure.mid(start + 1, end - start - 1).trimmed();
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return *decoded;
}
