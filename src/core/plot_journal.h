#pragma once

// The plot's journal: what the drawing was made of. Data only; it draws nothing.

#include "core/curve_generator.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

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
    // The four constants as the user typed them, in the order OA, angle, n, increment; a
    // session file keeps these, and reading them again gives the constants back.
    std::array<QString, 4> typed;
};

// The constants as texts the user could have typed in the user's locale: the shortest that
// read back as exactly these values.
std::array<QString, 4> typedTextsFor(const CurveConstants& constants);

// The plot window's "CANCELLA": the drawing starts afresh.
struct PlotClear {};

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
