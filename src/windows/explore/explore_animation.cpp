// The explorer's animation: its controls, playing it in the view and writing it out.

#include "windows/explore/explore_window.h"

#include "core/number_text.h"
#include "core/worker.h"
#include "figure/animation_export.h"
#include "shell/layout.h"
#include "shell/platform.h"
#include "shell/program_shell.h"
#include "windows/explore/animation_player.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

namespace {

// The choices of the animated constant, in the order of the constants.
const std::array<QString, constantCount> animatedNames{
    QStringLiteral("OA"), QStringLiteral("angolo"), QStringLiteral("n"),
    QStringLiteral("incremento di t")};

constexpr int firstFramesPerSecond = 10;

QLabel* labelFor(QWidget* control, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    control->setAccessibleName(text);
    return label;
}

} // namespace

QWidget* ExploreWindow::makeAnimationControls() {
    auto* controls = new QWidget(this);
    auto* line = new QHBoxLayout(controls);
    line->setContentsMargins(0, 0, 0, 0);
    animated_ = new QComboBox(controls);
    for (const QString& name : animatedNames)
        animated_->addItem(name);
    line->addWidget(labelFor(animated_, QStringLiteral("Parametro da animare"), controls));
    line->addWidget(animated_);
    rate_ = new QSpinBox(controls);
    rate_->setRange(1, mostFramesPerSecond);
    rate_->setValue(firstFramesPerSecond);
    line->addWidget(labelFor(rate_, QStringLiteral("Fotogrammi al secondo"), controls));
    line->addWidget(rate_);
    repeat_ = new QCheckBox(QStringLiteral("ripeti"), controls);
    repeat_->setAccessibleName(QStringLiteral("Ripeti l'animazione"));
    accumulate_ = new QCheckBox(QStringLiteral("accumula"), controls);
    accumulate_->setAccessibleName(QStringLiteral("Accumula i tracciati"));
    line->addWidget(repeat_);
    line->addWidget(accumulate_);
    animationWord_ = new QLabel(controls);
    animationWord_->setAccessibleName(QStringLiteral("Animazione"));
    line->addWidget(animationWord_, 1);
    return controls;
}

// Space pauses and resumes only while there is an animation: otherwise it presses buttons.
void ExploreWindow::connectPlayer() {
    pause_ = new QShortcut(QKeySequence(Qt::Key_Space), this);
    pause_->setEnabled(false);
    connect(pause_, &QShortcut::activated, player_, &AnimationPlayer::togglePause);
    connect(player_, &AnimationPlayer::frameShown, this, &ExploreWindow::showPlayed);
    connect(rate_, &QSpinBox::valueChanged, player_, &AnimationPlayer::setFramesPerSecond);
    connect(player_, &AnimationPlayer::stateChanged, this, [this] {
        pause_->setEnabled(player_->state() != PlayerState::Stopped);
        showPlayed();
    });
}

void ExploreWindow::showPlayed() {
    view_->update();
    if (player_->state() == PlayerState::Stopped) {
        animationWord_->clear();
        return;
    }
    const Animation& animation = player_->job().animation;
    QString text = QStringLiteral("fotogramma %1 di %2: %3 = %4")
                       .arg(player_->frame() + 1)
                       .arg(player_->frameCount())
                       .arg(animatedNames[std::size_t(animation.constant)],
                            formatDouble(frameValue(animation, player_->frame())));
    if (player_->state() == PlayerState::Paused)
        text += QStringLiteral(" (in pausa)");
    animationWord_->setText(text);
}

std::variant<AnimationJob, QString> ExploreWindow::animationJob(int scale) {
    const auto index = static_cast<std::size_t>(animated_->currentIndex());
    std::array<double, 3> numbers{};
    for (std::size_t end = 0; end < numbers.size(); ++end) {
        const std::optional<double> number = parseNumber(rows_[index].range[end]->text());
        if (!number)
            return faultWord(RangeFault::NotANumber);
        numbers[end] = *number;
    }
    const Animation animation{AnimatedConstant(index), numbers[0], numbers[1], numbers[2],
                              rate_->value(),
                              accumulate_->isChecked() ? Accumulation::On : Accumulation::Off,
                              LinkingLines::Off};
    if (const std::optional<QString> fault = animationFault(animation))
        return *fault;
    // The runs start from the colour the next "AVANTI" would take.
    const Session& session = program_.session();
    SessionControls controls = session.controls();
    controls.Miocolor = Explorer::colourBeforeRun(controls.Miocolor);
    AnimationJob job{controls, session.history(), explorer_.candidate(), animation,
                     plotWindowLook(), scale};
    if (const std::optional<QString> refused = firstRefusedFrame(job))
        return *refused;
    return job;
}

void ExploreWindow::animate() {
    if (program_.busy() || program_.ended())
        return;
    const auto scale = std::max(1L, std::lround(devicePixelRatioF()));
    const std::variant<AnimationJob, QString> made = animationJob(int(scale));
    player_->stop();
    if (const QString* fault = std::get_if<QString>(&made)) {
        animationWord_->setText(*fault);
        return;
    }
    player_->play(std::get<AnimationJob>(made),
                  repeat_->isChecked() ? Repeat::Loop : Repeat::Once);
}

void ExploreWindow::exportAnimation() {
    if (program_.busy() || program_.ended())
        return;
    std::variant<AnimationJob, QString> made = animationJob(1);
    if (const QString* fault = std::get_if<QString>(&made)) {
        player_->stop();
        animationWord_->setText(*fault);
        return;
    }
    if (player_->state() == PlayerState::Playing)
        player_->togglePause();
    const std::optional<AnimationFileChoice> choice = dialogs_->chooseAnimationFile(this);
    if (!choice || choice->path.isEmpty())
        return;
    QString path = choice->path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + choice->suffix;
    AnimationJob& job = std::get<AnimationJob>(made);
    job.scale = choice->scale;
    if (const std::optional<QString> failure = writeOut(job, path))
        program_.platform().messageBox(this, *failure);
}

// An animation is many drawings: it goes to a worker whenever the progress may be called
// from there, and "Annulla" leaves no file.
std::optional<QString> ExploreWindow::writeOut(const AnimationJob& job, const QString& path) {
    const ProgramShell::BusyScope busy(program_);
    const std::unique_ptr<ProgressReport> progress = program_.platform().beginCopyProgress(this);
    std::optional<QString> failure;
    const auto task = [&](ProgressReport& reports) { failure = writeAnimation(job, path, &reports); };
    if (progress->caller() == ProgressReport::Caller::AnyThread)
        runOnWorker(*progress, task);
    else
        task(*progress);
    return failure;
}
