#pragma once

#include "figure/animation.h"
#include "windows/explore/animation_dialogs.h"
#include "windows/explore/explorer.h"

#include <QWidget>
#include <array>
#include <optional>
#include <variant>

class AnimationPlayer;
class LatestFrame;
class ProgramShell;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;
class QSlider;
class QSpinBox;

// The three fields of a slider's range.
enum class RangeEnd { Minimum, Maximum, Step };

// "Esplora i parametri": a slider and a box for each constant, the figure as it stands with
// the candidate run drawn over it as the values move, and "Aggiungi al grafico", which types
// the values into the constants window and presses "AVANTI". A window of its own beside the
// four: it reads the session and changes nothing in it until the candidate is added.
// "Anima" plays one constant over its row's range in the view, and "Esporta animazione…"
// writes the same frames to a file; neither changes the session.
class ExploreWindow : public QWidget {
    Q_OBJECT
public:
    explicit ExploreWindow(ProgramShell& program);
    ~ExploreWindow() override;

    const Explorer& explorer() const { return explorer_; }
    QSlider& slider(Constant constant) const { return *row(constant).slider; }
    QDoubleSpinBox& valueBox(Constant constant) const { return *row(constant).box; }
    QLineEdit& rangeField(Constant constant, RangeEnd end) const;
    // The word beside a refused range, empty while the range holds.
    QLabel& faultLabel(Constant constant) const { return *row(constant).fault; }
    // Why the candidate draws nothing, empty while it draws.
    QLabel& refusalLabel() const { return *refusal_; }
    QWidget& view() const { return *view_; }
    QPushButton& addButton() const { return *add_; }
    // The drawing with the candidate over it, or the animation's frame, as the view shows it.
    const QImage& picture() const;
    LatestFrame& frames() const { return *frames_; }

    // The animation's controls: the constant it sweeps, frames a second, "ripeti",
    // "accumula", the two buttons, and the word on a refused animation or the frame shown.
    QComboBox& animatedBox() const { return *animated_; }
    QSpinBox& rateBox() const { return *rate_; }
    QCheckBox& repeatBox() const { return *repeat_; }
    QCheckBox& accumulateBox() const { return *accumulate_; }
    QPushButton& animateButton() const { return *animate_; }
    QPushButton& exportButton() const { return *export_; }
    QLabel& animationLabel() const { return *animationWord_; }
    AnimationPlayer& player() const { return *player_; }
    void setDialogs(AnimationDialogs& dialogs) { dialogs_ = &dialogs; }

    // Adds the candidate to the plot, as the user would by typing it into the constants window.
    void addToPlot();
    // Plays the animation the controls describe, or says in place why not.
    void animate();
    // Asks for a file and writes the animation to it.
    void exportAnimation();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Row {
        QSlider* slider = nullptr;
        QDoubleSpinBox* box = nullptr;
        std::array<QLineEdit*, 3> range{};
        QLabel* fault = nullptr;
    };
    const Row& row(Constant constant) const { return rows_[static_cast<std::size_t>(constant)]; }
    void addRow(QGridLayout& grid, Constant constant);
    void connectRow(Constant constant);
    QWidget* makeButtons();
    QWidget* makeAnimationControls();
    void connectPlayer();
    // The animation over the session with the candidate, at that scale, or why there is none.
    std::variant<AnimationJob, QString> animationJob(int scale);
    std::optional<QString> writeOut(const AnimationJob& job, const QString& path);
    void showPlayed();
    void showRange(Constant constant);
    void showRangeFields(Constant constant);
    void readRange(Constant constant);
    void valueTyped(Constant constant, double value);
    void sliderMoved(Constant constant, int position);
    // The candidate changed, or what it is drawn over.
    void refresh();
    void drawingChanged();

    ProgramShell& program_;
    Explorer explorer_;
    std::array<Row, constantCount> rows_{};
    QLabel* refusal_ = nullptr;
    QWidget* view_ = nullptr;
    QPushButton* add_ = nullptr;
    LatestFrame* frames_ = nullptr;
    QComboBox* animated_ = nullptr;
    QSpinBox* rate_ = nullptr;
    QCheckBox* repeat_ = nullptr;
    QCheckBox* accumulate_ = nullptr;
    QPushButton* animate_ = nullptr;
    QPushButton* export_ = nullptr;
    QLabel* animationWord_ = nullptr;
    QShortcut* pause_ = nullptr;
    AnimationPlayer* player_ = nullptr;
    DesktopAnimationDialogs desktopDialogs_;
    AnimationDialogs* dialogs_ = &desktopDialogs_;
    // The factor the kept drawing was set up with.
    std::optional<QString> drawnIncr_;
};
