#pragma once

#include "shell/program_window.h"
#include "core/curve_generator.h"
#include "core/plot_journal.h"

#include <QImage>
#include <optional>

class PlotMenu;
class PlotSurface;

// The plot window: on each activation it sets its scale from the calibration factor, draws
// the axes through O and runs the curve generator once; its buttons go back to the
// constants, clear and plot again, end the program, or plot once more with linking lines.
// Its public variables (P1, CX, CY, Ve, X1, Y1, A2, OA, BETA1) are those of PlotVariables.
class Form4 : public ProgramWindow, public PlotVariables {
    Q_OBJECT
public:
    explicit Form4(ProgramShell& program);

    // One run of the curve generator on the constants of the constants window.
    void CALCOLA();

    PlotSurface& surface() const { return *surface_; }
    // Command4's pressed state: On only while its click is being handled, so that run draws
    // the linking lines.
    LinkingLines Command4Value() const { return command4Value_; }

    // What the drawing holds since the last clear, so that it can be drawn again elsewhere.
    const PlotJournal& journal() const;
    // Opens a session file, or a figure that carries one: the state becomes the session's and
    // the drawing its picture, as if the user had walked there. On a fault, a refused run or
    // a cancel it says why (not for a cancel) and changes nothing. True once opened.
    bool openSession(const QString& path);

    // The context menu and shortcuts that save, copy and print the drawing.
    PlotMenu& figureMenu() const { return *figureMenu_; }

protected:
    void Form_Activate() override;

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void restFocusOnTheDrawing();
    // The drawing's description for screen readers, with the runs it holds.
    void describePlot();
    // Undo, redo or an opened session changed the journal: the drawing is made again from it.
    void redrawFromJournal();
    // A journal drawn aside, with the plot variables it leaves; none when the user stopped it.
    struct DrawnAside {
        QImage picture;
        PlotVariables variables;
    };
    std::optional<DrawnAside> drawAside(const PlotJournal& journal);
    void showDrawn(const PlotJournal& journal, const DrawnAside& drawn);

    PlotSurface* surface_ = nullptr;
    PlotMenu* figureMenu_ = nullptr;
    // The undo step the drawing on screen shows: a redraw the user stops goes back to it.
    int stepShown_ = 0;
    bool returningToShownStep_ = false;
    LinkingLines command4Value_ = LinkingLines::Off;
};
