#pragma once

#include "app/program_window.h"
#include "core/tagged_value.h"

class DrawingSurface;
class PlotSurface;
class QLineEdit;
class QScrollBar;

// The calibration window: the user moves the scroll bar until the red figure looks like a
// circle, which fixes the height-to-width factor Incr that the plot window scales by.
class Form2 : public ProgramWindow {
    Q_OBJECT
public:
    explicit Form2(Program& program);

    TaggedValue P1;   // degree-to-radian factor, a single
    TaggedValue Incr; // the calibration factor, a double
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

    PlotSurface* surface_ = nullptr;
    DrawingSurface* drawing_ = nullptr;
    QLineEdit* Text1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
};
