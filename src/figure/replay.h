#pragma once

// Drawing a journal again, and recording runs made off the screen. No widgets.

#include "core/session.h"

#include <cstdint>
#include <functional>
#include <optional>

// The plot window's set-up, recorded.
void setUpAndRecord(PlotJournal& journal, DrawingSurface& surface, PlotVariables& plot,
                    const TaggedValue& Incr);

// One run of the generator, recorded with the colour cursor before it and, when its progress
// stopped it, the passes it made. A refused run draws nothing and is not recorded.
std::optional<QString> runAndRecord(PlotJournal& journal, const CurveConstants& constants,
                                    LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
                                    DrawingSurface& surface, ProgressReport* progress = nullptr);

// How far a replay went.
enum class Replay { Whole, Stopped };

// About how many passes replaying the journal makes: those of each run's n, or as many as a
// stopped run made.
std::int64_t passesToReplay(const PlotJournal& journal);

// Draws what the journal holds onto a fresh surface, through the plot window's own set-up
// and the same generator. The progress, when given, hears of the passes of the whole journal
// and may stop the replay where it is. The plot variables, when given, are left as the plot
// window's would be after the same steps. Each run, when asked, is told of before it is drawn,
// and each set-up with none.
using RunStarting = std::function<void(const PlotRun*)>;
Replay replayJournal(const PlotJournal& journal, DrawingSurface& surface,
                     ProgressReport* progress = nullptr, PlotVariables* variables = nullptr,
                     const RunStarting& starting = {});

// The drawing a history leaves: its entries since the last clear.
PlotJournal journalOf(const std::vector<SessionEntry>& history);

// The first run of a history that the plot window would refuse, with the message it would
// show; none when every run would start.
std::optional<QString> firstRefusal(const std::vector<SessionEntry>& history);
