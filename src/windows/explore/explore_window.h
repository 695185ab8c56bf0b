#pragma once

#include "windows/explore/explorer.h"

#include <QWidget>
#include <array>
#include <optional>

class LatestFrame;
class ProgramShell;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The three fields of a slider's range.
enum class RangeEnd { Minimum, Maximum, Step };

// "Esplora i parametri": a slider and a box for each constant, the figure as it stands with
// the candidate run drawn over it as the values move, and "Aggiungi al grafico", which types
// the values into the constants window and presses "AVANTI". A window of its own beside the
// four: it reads the session and changes nothing in it until the candidate is added.
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
    // The drawing with the candidate over it, as the view shows it.
    const QImage& picture() const;
    LatestFrame& frames() const { return *frames_; }

    // Adds the candidate to the plot, as the user would by typing it into the constants window.
    void addToPlot();

protected:
    void showEvent(QShowEvent* event) override;

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
    // The factor the kept drawing was set up with.
    std::optional<QString> drawnIncr_;
};
