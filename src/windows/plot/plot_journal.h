#pragma once

#include "core/curve_generator.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

class PlotSurface;

// What a set-up of the plot window was given: the calibration factor it scaled by.
struct PlotSetUp {
    TaggedValue Incr;
};

// What a run of the generator was given, and for a run the user stopped, how far it got.
struct PlotRun {
    CurveConstants constants;
    LinkingLines lines = LinkingLines::Off;
    std::int16_t startColour = 0; // the colour cursor before the run
    std::optional<std::int64_t> passesMade;
};

// The drawing on screen is pixels; a sharp or vector copy needs what made them. The
// generator is a pure function of its constants, the colour cursor, the scale and the lines
// flag, so this short list of set-ups and runs since the last clear is enough to draw the
// same picture again on any surface.
class PlotJournal {
public:
    using Entry = std::variant<PlotSetUp, PlotRun>;

    void recordSetUp(const TaggedValue& Incr) { entries_.push_back(PlotSetUp{Incr}); }
    void recordRun(const PlotRun& run) { entries_.push_back(run); }
    void clear() { entries_.clear(); }

    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<PlotRun> runs() const;

    // The runs it holds, for a screen reader: "2 tracciati: OA 86, angolo 55°, n 90,
    // incremento 1; …", numbers as the constants window shows them.
    QString summary() const;

private:
    std::vector<Entry> entries_;
};

// The plot window's set-up, recorded.
void setUpAndRecord(PlotJournal& journal, DrawingSurface& surface, PlotVariables& plot,
                    const TaggedValue& Incr);

// One run of the generator, recorded with the colour cursor before it and, when its progress
// stopped it, the passes it made. A refused run draws nothing and is not recorded.
std::optional<QString> runAndRecord(PlotJournal& journal, const CurveConstants& constants,
                                    LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
                                    DrawingSurface& surface, ProgressReport* progress = nullptr);

// The same on the plot window's own surface, where a long run goes to a worker thread.
std::optional<QString> runOnPlotAndRecord(PlotJournal& journal, const CurveConstants& constants,
                                          LinkingLines lines, std::int16_t& Miocolor,
                                          PlotVariables& plot, PlotSurface& surface,
                                          ProgressReport* progress);

// How far a replay went.
enum class Replay { Whole, Stopped };

// About how many passes replaying the journal makes: those of each run's n, or as many as a
// stopped run made.
std::int64_t passesToReplay(const PlotJournal& journal);

// Draws what the journal holds onto a fresh surface, through the plot window's own set-up
// and the same generator. The progress, when given, hears of the passes of the whole journal
// and may stop the replay where it is.
Replay replayJournal(const PlotJournal& journal, DrawingSurface& surface,
                     ProgressReport* progress = nullptr);
