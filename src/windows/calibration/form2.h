#pragma once

#include "shell/program_window.h"
#include "core/dot_block.h"
#include "core/tagged_value.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class DrawingSurface;
class PlotSurface;
class QLineEdit;
class QScrollBar;

// The calibration window: the user moves the scroll bar until the red figure looks like a
// circle, which fixes the height-to-width factor Incr that the plot window scales by.
class Form2 : public ProgramWindow {
    Q_OBJECT
public:
    explicit Form2(ProgramShell& program);

    TaggedValue P1;   // degree-to-radian factor, a single
    TaggedValue& Incr; // the calibration factor, a double: the session's
    TaggedValue CX;   // x of the vertical axis and of the figure's centre
    TaggedValue CY;   // y of the horizontal axis and of the figure's centre
    TaggedValue XR;   // offsets of the last figure point from the centre
    TaggedValue YR;

    void TRACCIA();
    void COORDINATE();

    PlotSurface& surface() const { return *surface_; }
    // Draws on another surface from now on, so a test can record every dot and line.
    void drawOn(DrawingSurface& drawing) { drawing_ = &drawing; }

protected:
    void Form_Activate() override;

private:
    void Command1_Click();
    void Command3_Click();
    void HScroll1_Change();
    void showIncr();
    void showRestored();
    void traceFigure(const std::array<double, 3>& scale);

    // The figure's dots as TRACCIA last worked them out, with the P1, CX and CY they came
    // from: a change of the bar draws the same figure twice, and the next change often at
    // the same scale again.
    struct TracedFigure {
        std::array<std::uint64_t, 3> scaleBits{};
        std::vector<DotBlock> blocks;
        double xr = 0.0;
        double yr = 0.0;
    };

    PlotSurface* surface_ = nullptr;
    DrawingSurface* drawing_ = nullptr;
    QLineEdit* Text1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    std::optional<TracedFigure> traced_;
};
