#include "../../support/recording_platform.h"
#include "../../support/test_windows.h"
#include "../../support/user_steps.h"

#include "core/number_text.h"
#include "figure/session_file.h"
#include "surface/plot_surface.h"
#include "windows/explore/candidate_frame.h"
#include "windows/explore/explore_window.h"

#include <QAccessible>
#include <QAction>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

// The explorer shows what "AVANTI" would draw, and adding it is typing it into the
// constants window: the same state and picture.
class ExploreTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addingIsTypingIntoTheConstants_data();
    void addingIsTypingIntoTheConstants();
    void exploringChangesNothing();
    void badRangesAreRefusedInPlace_data();
    void badRangesAreRefusedInPlace();
    void aRefusedCandidateDrawsNothingNew_data();
    void aRefusedCandidateDrawsNothingNew();
    void theLatestLongCandidateWins();

private:
    struct Run {
        std::unique_ptr<RecordingPlatform> platform = std::make_unique<RecordingPlatform>();
        std::unique_ptr<Program> program = std::make_unique<Program>(*platform);
    };
    static void play(Program& program, const QString& actions);
    static ExploreWindow& openExplorer(Program& program);
    static void explore(ExploreWindow& explorer, const QString& values);
    static QImage plainPicture(Program& program, const std::optional<CurveConstants>& candidate);

    std::unique_ptr<Run> run_;
};

namespace {

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray recipeOf(Program& program) {
    const Session& session = program.session();
    return encodeSession(session.controls(), session.history());
}

} // namespace

void ExploreTest::init() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    run_ = std::make_unique<Run>();
}

void ExploreTest::cleanup() {
    run_.reset();
    QLocale::setDefault(QLocale::c());
}

// The user's steps, as user_steps.h plays them.
void ExploreTest::play(Program& program, const QString& actions) {
    playUserSteps(program, actions);
}

// Through the plot window's own shortcut.
ExploreWindow& ExploreTest::openExplorer(Program& program) {
    for (QAction* action : program.form4().actions())
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_E))
            action->trigger();
    ExploreWindow* explorer = program.existingExploreWindow();
    Q_ASSERT(explorer && explorer->isVisible());
    return *explorer;
}

// "A;B;N;E" into the four boxes, as the user types them.
void ExploreTest::explore(ExploreWindow& explorer, const QString& values) {
    const QStringList texts = values.split(QLatin1Char(';'));
    for (int index = 0; index < 4; ++index)
        explorer.valueBox(Constant(index)).setValue(QLocale().toDouble(texts.at(index)));
}

// The journal drawn plainly, with the set-up of the next run and the candidate.
QImage ExploreTest::plainPicture(Program& program, const std::optional<CurveConstants>& candidate) {
    const Session& session = program.session();
    PlotJournal journal = session.journal();
    journal.recordSetUp(session.Incr);
    if (candidate)
        journal.recordRun(PlotRun{*candidate, LinkingLines::Off,
                                  Explorer::colourBeforeRun(session.Miocolor), std::nullopt, {}});
    return rgb(renderFigureImage(journal, plotWindowLook(), program.form4().devicePixelRatioF()));
}

void ExploreTest::addingIsTypingIntoTheConstants_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("after");
    QTest::newRow("the first texts") << "" << "86;55;90;1" << "";
    QTest::newRow("other values") << "" << "120;30;60;2" << "";
    QTest::newRow("fractions, lines before") << "lines" << "50,5;80;150;0,5" << "";
    QTest::newRow("lines after") << "" << "30;100;170;1,5" << "lines";
    QTest::newRow("the colour cursor past 14") << "colour=14 run=86;55;90;1" << "60;20;40;2" << "lines";
}

void ExploreTest::addingIsTypingIntoTheConstants() {
    QFETCH(QString, before);
    QFETCH(QString, values);
    QFETCH(QString, after);
    const QString start = QStringLiteral("incr=0,75 run=86;55;90;1 ") + before;
    play(*run_->program, start);
    ExploreWindow& explorer = openExplorer(*run_->program);
    explore(explorer, values);
    const QImage shown = rgb(explorer.picture());
    QCOMPARE(shown, plainPicture(*run_->program, explorer.explorer().candidate()));
    explorer.addButton().click();
    // What the candidate showed is what the plot window drew.
    QCOMPARE(rgb(run_->program->form4().surface().snapshot()), shown);
    play(*run_->program, after);
    Run typed;
    play(*typed.program, start + QStringLiteral(" run=") + values + QLatin1Char(' ') + after);
    QCOMPARE(recipeOf(*run_->program), recipeOf(*typed.program));
    QCOMPARE(rgb(run_->program->form4().surface().snapshot()),
             rgb(typed.program->form4().surface().snapshot()));
    QCOMPARE(run_->platform->messages, typed.platform->messages);
}

void ExploreTest::exploringChangesNothing() {
    Program& program = *run_->program;
    play(program, QStringLiteral("incr=0,75 run=86;55;90;1 lines"));
    const QByteArray recipe = recipeOf(program);
    const QImage plot = rgb(program.form4().surface().snapshot());
    QSignalSpy activations(&program, &ProgramShell::windowActivated);
    ExploreWindow& explorer = openExplorer(program);
    QTest::mouseClick(&explorer.slider(Constant::N), Qt::LeftButton);
    QTest::keyClick(&explorer.slider(Constant::OA), Qt::Key_PageUp);
    QTest::keyClick(&explorer.valueBox(Constant::Angle), Qt::Key_Up);
    explorer.rangeField(Constant::Increment, RangeEnd::Step).setText(QStringLiteral("0,01"));
    emit explorer.rangeField(Constant::Increment, RangeEnd::Step).editingFinished();
    explorer.slider(Constant::Increment).setValue(150);
    QCOMPARE(explorer.explorer().value(Constant::OA), 96.0);   // ten steps of 1
    QCOMPARE(explorer.explorer().value(Constant::Angle), 56.0);
    QCOMPARE(explorer.explorer().value(Constant::Increment), 1.5);
    QCOMPARE(recipeOf(program), recipe);
    QCOMPARE(rgb(program.form4().surface().snapshot()), plot);
    QCOMPARE(program.activeWindow(), &program.form4());
    QCOMPARE(activations.count(), 0);
    QVERIFY(run_->platform->messages.isEmpty());
    QVERIFY(explorer.view().accessibleDescription().contains(QStringLiteral("incremento di t 1,5")));
    // Every control the keyboard reaches is named.
    for (QWidget* control : explorer.findChildren<QWidget*>())
        if ((control->focusPolicy() & Qt::TabFocus) && control->isEnabled() &&
            !qobject_cast<QAbstractSpinBox*>(control->parentWidget()))
            QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                     qPrintable(control->metaObject()->className()));
}

void ExploreTest::badRangesAreRefusedInPlace_data() {
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("word");
    QTest::newRow("minimum above maximum") << "10;5;1" << "minimo oltre il massimo";
    QTest::newRow("a step of 0") << "0;10;0" << "passo nullo";
    QTest::newRow("a negative step") << "0;10;-1" << "passo negativo";
    QTest::newRow("not a number") << "0;dieci;1" << "non è un numero";
    QTest::newRow("a sound range") << "10;500;5" << "";
}

void ExploreTest::badRangesAreRefusedInPlace() {
    QFETCH(QString, range);
    QFETCH(QString, word);
    play(*run_->program, QStringLiteral("incr=0,75 run=86;55;90;1"));
    ExploreWindow& explorer = openExplorer(*run_->program);
    const QStringList texts = range.split(QLatin1Char(';'));
    for (int end = 0; end < 3; ++end)
        explorer.rangeField(Constant::N, RangeEnd(end)).setText(texts.at(end));
    emit explorer.rangeField(Constant::N, RangeEnd::Step).editingFinished();
    QCOMPARE(explorer.faultLabel(Constant::N).text(), word);
    QVERIFY(run_->platform->messages.isEmpty());
    const SliderRange expected = word.isEmpty() ? SliderRange{10, 500, 5} : SliderRange{0, 180, 1};
    QCOMPARE(explorer.explorer().range(Constant::N).maximum, expected.maximum);
    QCOMPARE(explorer.slider(Constant::N).maximum(), explorer.explorer().positions(Constant::N));
    QCOMPARE(explorer.valueBox(Constant::N).maximum(), expected.maximum);
}

void ExploreTest::aRefusedCandidateDrawsNothingNew_data() {
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("message");
    QTest::newRow("n = 0") << "86;55;0;1" << segmentIsNullMessage;
    QTest::newRow("ALFA × increment past 32767") << "86;55;180;200" << incrementTooLargeMessage;
}

void ExploreTest::aRefusedCandidateDrawsNothingNew() {
    QFETCH(QString, values);
    QFETCH(QString, message);
    play(*run_->program, QStringLiteral("incr=0,75 run=86;55;90;1"));
    ExploreWindow& explorer = openExplorer(*run_->program);
    explorer.rangeField(Constant::Increment, RangeEnd::Maximum).setText(QStringLiteral("300"));
    emit explorer.rangeField(Constant::Increment, RangeEnd::Maximum).editingFinished();
    explore(explorer, values);
    QCOMPARE(explorer.refusalLabel().text(), message);
    QCOMPARE(rgb(explorer.picture()), plainPicture(*run_->program, std::nullopt));
    QVERIFY(run_->platform->messages.isEmpty());
}

// Long candidates go to the worker; a newer one stops the older, and the picture is the newest.
void ExploreTest::theLatestLongCandidateWins() {
    play(*run_->program, QStringLiteral("incr=0,75 run=86;55;90;1"));
    ExploreWindow& explorer = openExplorer(*run_->program);
    explorer.rangeField(Constant::N, RangeEnd::Maximum).setText(QStringLiteral("1000000"));
    explorer.rangeField(Constant::N, RangeEnd::Step).setText(QStringLiteral("1000"));
    emit explorer.rangeField(Constant::N, RangeEnd::Step).editingFinished();
    explorer.rangeField(Constant::Increment, RangeEnd::Step).setText(QStringLiteral("0,001"));
    emit explorer.rangeField(Constant::Increment, RangeEnd::Step).editingFinished();
    explore(explorer, QStringLiteral("86;55;900000;0,03"));
    QSignalSpy pictures(&explorer.frames(), &LatestFrame::pictureChanged);
    explore(explorer, QStringLiteral("86;55;400000;0,05"));
    QVERIFY(explorer.frames().drawing());
    QVERIFY(pictures.wait(60000));
    QVERIFY(!explorer.frames().drawing());
    QCOMPARE(pictures.count(), 1);
    QCOMPARE(rgb(explorer.picture()), plainPicture(*run_->program, explorer.explorer().candidate()));
}

QTEST_MAIN(ExploreTest)
#include "tst_explore.moc"
