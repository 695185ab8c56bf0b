#pragma once

// The state the program's windows share, and its history. No widgets: the windows read
// and write it through the operations below, and a session file is a copy of it.

#include "core/plot_journal.h"

#include <QObject>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <vector>

// One step of the history: a set-up, a run or a clear, in the order they happened.
using SessionEntry = std::variant<PlotSetUp, PlotRun, PlotClear>;

// What the windows show of the session, apart from the drawing.
struct SessionControls {
    int calibrationBar = 0;                      // the calibration window's scroll bar
    TaggedValue Incr;                            // the calibration factor
    std::array<QString, 4> constantTexts;        // the constants window's four boxes
    std::array<TaggedValue, 4> constants;        // VALa, VALb, VALc, VALe as last read
    std::int16_t Miocolor = 0;                   // the colour cursor
};

// The calibration factor, the four constants, the colour cursor and the plot's history
// with its undo. The drawing on screen is the journal: the history since its last clear.
// Every run and every clear is one step that undo takes off; the set-ups just before a run
// belong to its step.
class Session : public QObject {
    Q_OBJECT
public:
    Session();
    ~Session() override;

    // The windows' own variables live here; the windows refer to them by their names.
    TaggedValue Incr;            // the calibration factor
    TaggedValue VALa;            // length of OA
    TaggedValue VALb;            // angle of OA with the X axis, degrees
    TaggedValue VALc;            // n, the last ALFA
    TaggedValue VALe;            // increment of t per ALFA
    std::int16_t Miocolor = 0;   // palette index of the next curve pair
    TaggedValue Contr;           // 1 once the constants window wrote its default texts

    // The four constants as a run reads them, and as the user typed them.
    CurveConstants constants() const { return {VALa, VALb, VALc, VALe}; }
    void noteTypedConstant(int index, const QString& text);
    std::array<QString, 4> typedConstants() const;

    // What the windows' controls hold, kept up to date by the windows.
    void setCalibrationBar(int value) { calibrationBar_ = value; }
    int calibrationBar() const { return calibrationBar_; }
    void setConstantText(int index, const QString& text);
    const std::array<QString, 4>& constantTexts() const { return constantTexts_; }

    // The drawing since the last clear, and the whole history.
    const PlotJournal& journal() const { return journal_; }
    const std::vector<SessionEntry>& history() const { return history_; }

    void recordSetUp(const TaggedValue& factor);
    // A run or a clear ends a step.
    void recordRun(const PlotRun& run);
    void recordClear();

    QUndoStack& undoStack() { return undoStack_; }
    // Takes the last step off, or puts it back; the colour cursor follows.
    void undo() { undoStack_.undo(); }
    void redo() { undoStack_.redo(); }

    // Everything at once, as a session file holds it: the history replaces this one's, with
    // no step to undo.
    void restore(const SessionControls& controls, const std::vector<SessionEntry>& history);
    SessionControls controls() const;

signals:
    // Undo or redo changed the journal: the drawing must be made again from it.
    void journalReplaced();
    // A run or a clear was recorded.
    void stepRecorded();
    // restore() replaced everything: the windows show the controls again.
    void restored();

private:
    class Step;
    void pushStep();
    // Back to exactly this many entries of history, with the colour cursor given.
    void truncate(std::size_t size, std::int16_t colour);
    void append(const std::vector<SessionEntry>& entries, std::int16_t colour);
    void rebuildJournal();

    std::vector<SessionEntry> history_;
    PlotJournal journal_;
    // Where the step being made began, and the colour cursor then.
    std::size_t stepBegin_ = 0;
    std::int16_t colourAtStepBegin_ = 0;
    std::array<QString, 4> typed_;
    std::array<QString, 4> constantTexts_;
    int calibrationBar_ = 0;
    QUndoStack undoStack_;
    // Undo or redo replaced the journal; said once the stack's index has moved.
    bool replaced_ = false;
};
