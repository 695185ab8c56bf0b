#include "core/number_text.h"
#include "figure/session_file.h"

#include <QTemporaryDir>
#include <QtTest>

// A session file keeps the whole session and reads back as it was; a damaged, foreign or
// hostile file is refused with a reason that names what is wrong.
class SessionFileTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void writtenSessionReadsBack_data();
    void writtenSessionReadsBack();
    void hostileTextIsRefused_data();
    void hostileTextIsRefused();
    void oversizedFileIsRefusedUnread();
    void figureCarriesItsRecipe_data();
    void figureCarriesItsRecipe();
};

namespace {

constexpr auto number = &TaggedValue::fromDouble;

PlotRun run(const std::array<QString, 4>& typed, LinkingLines lines, std::int16_t colour,
            std::optional<std::int64_t> passes = std::nullopt) {
    PlotRun made{{}, lines, colour, passes, typed};
    const auto read = [&](std::size_t index) { return number(*parseNumber(typed[index])); };
    made.constants = {read(0), read(1), read(2), read(3)};
    return made;
}

// Set-ups with different factors, runs with and without lines, a stopped run, a clear, the
// colour cursor past the palette, a constant that failed to read and one never read.
SessionRecord sampleSession(const QString& oa) {
    SessionRecord session;
    session.controls = {150,
                        number(1.5),
                        {"86", oa, "abc", ""},
                        {number(86), number(2.5), TaggedValue::fromText({}), {}},
                        17};
    session.history = {PlotSetUp{number(1)},
                       run({"86", "55", "90", "1"}, LinkingLines::Off, 0),
                       PlotSetUp{number(0.25)},
                       run({oa, "-30", "90", "1"}, LinkingLines::On, 15, 4321),
                       PlotClear{},
                       run({"86", "55", "90", "1"}, LinkingLines::Off, 16, 0)};
    return session;
}

// Why a session was refused; nothing when it was read.
QString refusal(const std::variant<SessionRecord, QString>& read) {
    const QString* reason = std::get_if<QString>(&read);
    return reason ? *reason : QString();
}

QByteArray encoded(const SessionRecord& session) {
    return encodeSession(session.controls, session.history);
}

auto tied(const SessionControls& c) {
    return std::tie(c.calibrationBar, c.Incr, c.constantTexts, c.constants, c.Miocolor);
}
auto tied(const PlotRun& r) {
    const CurveConstants& k = r.constants;
    return std::tie(k.VALa, k.VALb, k.VALc, k.VALe, r.lines, r.startColour, r.passesMade, r.typed);
}
bool same(const SessionEntry& x, const SessionEntry& y) {
    if (x.index() != y.index())
        return false;
    if (const auto* r = std::get_if<PlotRun>(&x))
        return tied(*r) == tied(std::get<PlotRun>(y));
    if (const auto* u = std::get_if<PlotSetUp>(&x))
        return u->Incr == std::get<PlotSetUp>(y).Incr;
    return true; // a clear carries nothing
}

// The first difference between two sessions, or nothing.
QString difference(const SessionRecord& read, const SessionRecord& expected) {
    if (tied(read.controls) != tied(expected.controls))
        return QStringLiteral("controls");
    if (read.history.size() != expected.history.size())
        return QStringLiteral("history length");
    for (std::size_t index = 0; index < read.history.size(); ++index)
        if (!same(read.history[index], expected.history[index]))
            return QStringLiteral("history[%1]").arg(index);
    return {};
}

} // namespace

void SessionFileTest::writtenSessionReadsBack_data() {
    QTest::addColumn<QString>("writer"); // the locale the file was written in
    QTest::addColumn<QString>("reader"); // the locale of the program reading it
    QTest::addColumn<QString>("typed");  // OA of the second run as typed: 2.5 there
    QTest::addColumn<QString>("readAs"); // and as the reader's locale would type it
    // clang-format off
    QTest::newRow("italian") << "it_IT" << "it_IT" << "2,5" << "2,5";
    QTest::newRow("english") << "en_US" << "en_US" << "2.5" << "2.5";
    QTest::newRow("english file, italian reader") << "en_US" << "it_IT" << "2.500" << "2,5";
    QTest::newRow("italian file, english reader") << "it_IT" << "en_US" << "2,5" << "2.5";
    // clang-format on
}

void SessionFileTest::writtenSessionReadsBack() {
    QFETCH(QString, writer);
    QFETCH(QString, reader);
    QFETCH(QString, typed);
    QFETCH(QString, readAs);
    QLocale::setDefault(QLocale(writer));
    SessionRecord expected = sampleSession(typed);
    const QByteArray text = encoded(expected);
    QLocale::setDefault(QLocale(reader));
    const auto read = decodeSession(text);
    QCOMPARE(refusal(read), QString());
    std::get<PlotRun>(expected.history[3]).typed[0] = readAs;
    QCOMPARE(difference(std::get<SessionRecord>(read), expected), QString());
}

void SessionFileTest::hostileTextIsRefused_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason"); // a part of it
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QByteArray valid = encoded(sampleSession(QStringLiteral("2,5")));
    const auto with = [&](const char* from, const char* to) {
        QByteArray text = valid;
        return text.replace(from, to);
    };
    const QByteArray clears =
        QByteArray("{\"clear\": {}}, ").repeated(qsizetype(mostSessionEntries));
    QTest::newRow("not JSON") << QByteArray("CURVE ZOR-PUN") << "non è un testo JSON valido";
    QTest::newRow("truncated at half") << valid.left(valid.size() / 2) << "troncato";
    QTest::newRow("truncated in a word") << valid.left(valid.indexOf("false") + 3) << "troncato";
    QTest::newRow("newer version")
        << with("\"version\": 1", "\"version\": 2") << "versione più recente";
    QTest::newRow("wrong format") << with("-session\"", "-figure\"") << "non è una sessione";
    QTest::newRow("missing field")
        << with("\"colourCursor\"", "\"colour\"") << "manca il campo «colourCursor»";
    QTest::newRow("unknown field") << with("\"lines\": true", "\"lines\": true, \"speed\": 2")
                                   << "«history[3].run.speed» è sconosciuto";
    QTest::newRow("wrong type") << with("\"lines\": true", "\"lines\": \"sì\"")
                                << "«history[3].run.lines» non è del tipo atteso";
    QTest::newRow("run constant not a number")
        << with("\"-30\"", "\"abc\"") << "«abc» di «history[3].run.constants[1]»";
    QTest::newRow("colour before -1") << with("\"colourBefore\": 0", "\"colourBefore\": -1")
                                      << "«history[1].run.colourBefore» è fuori dai limiti";
    QTest::newRow("negative Incr") << with("\"Incr\": 0.25", "\"Incr\": -0.25")
                                   << "«history[2].setUp.Incr» è fuori dai limiti";
    QTest::newRow("a view zoomed past the lens's limit")
        << with("\"colourCursor\"",
                "\"view\": {\"zoom\": 2e6, \"centreX\": 1, \"centreY\": 2}, \"colourCursor\"")
        << "«view» è fuori dai limiti";
    QTest::newRow("a view with a field it has not")
        << with("\"colourCursor\"", "\"view\": {\"zoom\": 2, \"centreX\": 1, \"centreY\": 2, "
                                    "\"angle\": 0}, \"colourCursor\"")
        << "«view.angle» è sconosciuto";
    QTest::newRow("too many entries")
        << with("\"history\": [", "\"history\": [" + clears) << "troppi passi";
    QTest::newRow("deep nesting") << QByteArray(100000, '[') + QByteArray(100000, ']')
                                  << "annidato";
}

void SessionFileTest::hostileTextIsRefused() {
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const auto read = decodeSession(text);
    QVERIFY2(refusal(read).contains(reason), qPrintable(refusal(read)));
}

void SessionFileTest::oversizedFileIsRefusedUnread() {
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("grande.zorpun")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(largestSessionFile + 1)); // sparse: nothing written
    file.close();
    const auto read = readSessionFile(file.fileName());
    QVERIFY2(refusal(read).contains(QStringLiteral("troppo grande")), qPrintable(refusal(read)));
}

void SessionFileTest::figureCarriesItsRecipe_data() {
    QTest::addColumn<QByteArray>("figure");
    QTest::addColumn<QByteArray>("session"); // empty when none is found
    const QByteArray session = "{\"format\": \"curve-zor-pun-session\"}";
    const QByteArray recipe = recipeMetadataXml(session);
    QTest::newRow("in an SVG") << "<svg><metadata>" + recipe + "</metadata></svg>" << session;
    QTest::newRow("in a PDF") << "%PDF-1.4\nstream\n" + recipe + "\nendstream\n%%EOF" << session;
    QByteArray damaged = recipe;
    damaged[damaged.indexOf("\">") + 2] = '!';
    QTest::newRow("damaged") << damaged << QByteArray();
    QTest::newRow("never closed") << recipe.left(recipe.size() - 3) << QByteArray();
}

void SessionFileTest::figureCarriesItsRecipe() {
    QFETCH(QByteArray, figure);
    QFETCH(QByteArray, session);
    QCOMPARE(findRecipe(figure).value_or(QByteArray()), session);
}

QTEST_GUILESS_MAIN(SessionFileTest)
#include "tst_session_file.moc"
