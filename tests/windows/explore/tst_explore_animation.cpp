#include "../../support/recording_platform.h"
#include "../../support/test_windows.h"

#include "figure/animation_export.h"
#include "figure/session_file.h"
#include "shell/layout.h"
#include "surface/plot_surface.h"
#include "windows/explore/animation_player.h"
#include "windows/explore/explore_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

// The explorer's animation plays, and writes, the frames of the figure library's animation
// over the session with the candidate; it changes nothing in the session.
class ExploreAnimationTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void playsTheExportedFrames_data();
    void playsTheExportedFrames();
    void spacePausesAndResumes();
    void exportCarriesTheRecipe_data();
    void exportCarriesTheRecipe();
    void aStoppedOrFailedExportLeavesNoFile_data();
    void aStoppedOrFailedExportLeavesNoFile();
    void badAnimationsAreRefusedInPlace_data();
    void badAnimationsAreRefusedInPlace();

private:
    // The explorer over "incr=0,75, AVANTI with 86;55;90;1", animating that constant.
    // The explorer opened after a run of the constants typed ("86;55;90;1" by default), with the
    // range of the constant animated.
    ExploreWindow& explorer(Constant constant, const QString& range, Accumulation accumulation,
                            const QString& typed = QStringLiteral("86;55;90;1"));
    // The animation the explorer's controls describe, made here from the session.
    AnimationJob expectedJob(Constant constant, const QString& range, Accumulation accumulation,
                             int scale);
    QByteArray recipe() const;

    // Answers the save dialog at once with the choice given.
    struct RecordingDialogs : AnimationDialogs {
        std::optional<AnimationFileChoice> chooseAnimationFile(QWidget*) override {
            ++asked;
            return answer;
        }
        std::optional<AnimationFileChoice> answer;
        int asked = 0;
    };
    std::unique_ptr<RecordingPlatform> platform_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<RecordingDialogs> dialogs_;
    std::unique_ptr<QTemporaryDir> folder_;
};

namespace {

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage framePicture(const AnimationJob& job, std::int64_t frame) {
    return rgb(renderFigureImage(journalOf(frameSession(job, frame).history), job.look, job.scale));
}

} // namespace

void ExploreAnimationTest::init() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    platform_ = std::make_unique<RecordingPlatform>();
    program_ = std::make_unique<Program>(*platform_);
    dialogs_ = std::make_unique<RecordingDialogs>();
    folder_ = std::make_unique<QTemporaryDir>();
}

void ExploreAnimationTest::cleanup() {
    program_.reset();
    platform_.reset();
    QLocale::setDefault(QLocale::c());
}

ExploreWindow& ExploreAnimationTest::explorer(Constant constant, const QString& range,
                                              Accumulation accumulation, const QString& typed) {
    program_->form2().Incr = TaggedValue::fromDouble(0.75);
    program_->Show(program_->form3());
    const QStringList first = typed.split(QLatin1Char(';'));
    for (int index = 0; index < 4; ++index)
        program_->form3()
            .control<QLineEdit>(QStringLiteral("Text%1").arg("1235"[index]))
            ->setText(first[index]);
    program_->form3().control<QPushButton>("Command2")->click();
    program_->showTool(ToolWindow::Explore);
    ExploreWindow& window = *program_->existingExploreWindow();
    window.setDialogs(*dialogs_);
    const QStringList ends = range.split(QLatin1Char(';'));
    for (int end = 0; end < 3; ++end)
        window.rangeField(constant, RangeEnd(end)).setText(ends.at(end));
    emit window.rangeField(constant, RangeEnd::Step).editingFinished();
    window.animatedBox().setCurrentIndex(int(constant));
    window.accumulateBox().setChecked(accumulation == Accumulation::On);
    return window;
}

AnimationJob ExploreAnimationTest::expectedJob(Constant constant, const QString& range,
                                               Accumulation accumulation, int scale) {
    const Session& session = program_->session();
    const QStringList ends = range.split(QLatin1Char(';'));
    const Animation animation{AnimatedConstant(constant),
                              QLocale().toDouble(ends.at(0)),
                              QLocale().toDouble(ends.at(1)),
                              QLocale().toDouble(ends.at(2)),
                              10,
                              accumulation,
                              LinkingLines::Off};
    SessionControls controls = session.controls();
    controls.Miocolor = Explorer::colourBeforeRun(controls.Miocolor);
    return {controls,  session.history(), program_->existingExploreWindow()->explorer().candidate(),
            animation, plotWindowLook(),  scale};
}

QByteArray ExploreAnimationTest::recipe() const {
    const Session& session = program_->session();
    return encodeSession(session.controls(), session.history());
}

void ExploreAnimationTest::playsTheExportedFrames_data() {
    QTest::addColumn<int>("constant");
    QTest::addColumn<QString>("range");
    QTest::addColumn<int>("accumulation");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QString>("typed");
    const QString plain = QStringLiteral("86;55;90;1");
    QTest::newRow("OA, once") << int(Constant::OA) << "60;100;20" << int(Accumulation::Off) << 0
                              << plain;
    QTest::newRow("angle, accumulating")
        << int(Constant::Angle) << "20;80;30" << int(Accumulation::On) << 0 << plain;
    QTest::newRow("n, accumulating, looping")
        << int(Constant::N) << "60;120;30" << int(Accumulation::On) << 1 << plain;
    QTest::newRow("increment, looping")
        << int(Constant::Increment) << "0,5;1,5;0,5" << int(Accumulation::Off) << 1 << plain;
    // Frames long enough for the worker, shown as they come.
    QTest::newRow("n, long frames, looping") << int(Constant::N) << "300000;600000;150000"
                                             << int(Accumulation::Off) << 1 << "86;55;90;0,05";
}

void ExploreAnimationTest::playsTheExportedFrames() {
    QFETCH(int, constant);
    QFETCH(QString, range);
    QFETCH(int, accumulation);
    QFETCH(int, repeat);
    QFETCH(QString, typed);
    ExploreWindow& window = explorer(Constant(constant), range, Accumulation(accumulation), typed);
    window.repeatBox().setChecked(repeat != 0);
    const QByteArray before = recipe();
    const QImage plot = rgb(program_->form4().surface().snapshot());
    const AnimationJob job = expectedJob(Constant(constant), range, Accumulation(accumulation), 1);
    // Short frames are shown at once, in order; a long one comes later, while the player's own
    // ticks may already have moved on.
    const bool shownAtOnce = typed == QLatin1String("86;55;90;1");
    QSignalSpy shown(&window.player(), &AnimationPlayer::frameShown);
    for (std::int64_t frame = 0; frame < 3 + repeat; ++frame) {
        const qsizetype shownBefore = shown.size();
        if (frame == 0)
            window.animateButton().click();
        else
            window.player().step();
        QCOMPARE(window.player().frameCount(), std::int64_t(3));
        QTRY_VERIFY_WITH_TIMEOUT(shown.size() > shownBefore, 60000);
        const std::int64_t at = window.player().frame();
        if (shownAtOnce)
            QCOMPARE(at, frame % 3);
        QCOMPARE(rgb(window.picture()), framePicture(job, at));
    }
    QCOMPARE(window.player().state(), repeat ? PlayerState::Playing : PlayerState::Ended);
    QCOMPARE(recipe(), before);
    QCOMPARE(rgb(program_->form4().surface().snapshot()), plot);
    QVERIFY(platform_->messages.isEmpty());
}

void ExploreAnimationTest::spacePausesAndResumes() {
    ExploreWindow& window = explorer(Constant::OA, QStringLiteral("60;100;10"), Accumulation::Off);
    window.rateBox().setValue(25);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.animateButton().click();
    QCOMPARE(window.player().timer().interval(), 40);
    QTest::keyClick(&window.animateButton(), Qt::Key_Space);
    QCOMPARE(window.player().state(), PlayerState::Paused);
    window.player().step();
    QCOMPARE(window.player().frame(), std::int64_t(0));
    QTest::keyClick(&window.animateButton(), Qt::Key_Space);
    window.player().step();
    QCOMPARE(window.player().frame(), std::int64_t(1));
    QCOMPARE(window.animationLabel().text(), QStringLiteral("fotogramma 2 di 5: OA = 70"));
    window.rateBox().setValue(50);
    QCOMPARE(window.player().timer().interval(), 20);
}

void ExploreAnimationTest::exportCarriesTheRecipe_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("accumulation");
    QTest::newRow("GIF") << "a.gif" << 1 << int(Accumulation::Off);
    QTest::newRow("GIF, 2x, accumulating") << "a.gif" << 2 << int(Accumulation::On);
    QTest::newRow("PNG files") << "a.png" << 1 << int(Accumulation::On);
}

void ExploreAnimationTest::exportCarriesTheRecipe() {
    QFETCH(QString, name);
    QFETCH(int, scale);
    QFETCH(int, accumulation);
    const QString range = QStringLiteral("40;60;10");
    ExploreWindow& window = explorer(Constant::N, range, Accumulation(accumulation));
    const QByteArray before = recipe();
    const QString path = folder_->filePath(name);
    dialogs_->answer = AnimationFileChoice{path, scale, QStringLiteral("gif")};
    window.exportButton().click();
    QCOMPARE(platform_->messages, QStringList());
    const AnimationJob job = expectedJob(Constant::N, range, Accumulation(accumulation), scale);
    QCOMPARE(recipe(), before);
    if (name.endsWith(QLatin1String(".gif"))) {
        const auto read = readSessionFile(path);
        QVERIFY(std::holds_alternative<SessionRecord>(read));
        const SessionRecord& record = std::get<SessionRecord>(read);
        QCOMPARE(encodeSession(record.controls, record.history, record.animation),
                 animationRecipe(job));
        QCOMPARE(QImageReader(path).imageCount(), 3);
        QCOMPARE(QImageReader(path).size(), framePicture(job, 0).size());
        return;
    }
    for (std::int64_t frame = 0; frame < 3; ++frame) {
        const auto read = readSessionFile(sequenceFileName(path, frame, 3));
        QVERIFY(std::holds_alternative<SessionRecord>(read));
        const SessionRecord& record = std::get<SessionRecord>(read);
        QCOMPARE(encodeSession(record.controls, record.history, record.animation),
                 frameRecipe(job, frame));
    }
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void ExploreAnimationTest::aStoppedOrFailedExportLeavesNoFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("worker");
    QTest::addColumn<QString>("message");
    QTest::newRow("GIF, stopped") << "a.gif" << 0 << "";
    QTest::newRow("PNG files, stopped on a worker") << "a.png" << 1 << "";
    QTest::newRow("a folder that is not there") << "no/a.gif" << 0 << "a.gif";
}

void ExploreAnimationTest::aStoppedOrFailedExportLeavesNoFile() {
    QFETCH(QString, name);
    QFETCH(int, worker);
    QFETCH(QString, message);
    ExploreWindow& window = explorer(Constant::OA, QStringLiteral("40;100;10"), Accumulation::On);
    platform_->cancelAfterUpdates = message.isEmpty() ? 2 : -1;
    platform_->progressFromAnyThread = worker != 0;
    dialogs_->answer = AnimationFileChoice{folder_->filePath(name), 1, QStringLiteral("gif")};
    window.exportButton().click();
    QCOMPARE(platform_->messages.size(), message.isEmpty() ? 0 : 1);
    QVERIFY(platform_->messages.join(QString()).contains(message));
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void ExploreAnimationTest::badAnimationsAreRefusedInPlace_data() {
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("word");
    QTest::newRow("minimum above maximum") << "100;50;1"
                                           << "l'inizio supera la fine";
    QTest::newRow("a step of 0") << "0;100;0"
                                 << "il passo è zero";
    QTest::newRow("a negative step") << "0;100;-1"
                                     << "il passo è negativo";
    QTest::newRow("too many frames") << "0;200000;1"
                                     << "troppi fotogrammi";
    QTest::newRow("not a number") << "0;cento;1"
                                  << "non è un numero";
    QTest::newRow("a frame the plot window refuses") << "0;100;50"
                                                     << "il fotogramma 1 (n = 0)";
}

void ExploreAnimationTest::badAnimationsAreRefusedInPlace() {
    QFETCH(QString, range);
    QFETCH(QString, word);
    ExploreWindow& window = explorer(Constant::N, range, Accumulation::Off);
    for (QPushButton* button : {&window.animateButton(), &window.exportButton()}) {
        button->click();
        QVERIFY2(window.animationLabel().text().contains(word),
                 qPrintable(window.animationLabel().text()));
        QCOMPARE(window.player().state(), PlayerState::Stopped);
    }
    QCOMPARE(dialogs_->asked, 0);
    QVERIFY(platform_->messages.isEmpty());
}

QTEST_MAIN(ExploreAnimationTest)
#include "tst_explore_animation.moc"
