#include "figure/replay.h"

#include <algorithm>
#include <cmath>

namespace {

// Passes a run's progress on, and remembers where it was stopped.
class StopRecorder : public ProgressReport {
public:
    explicit StopRecorder(ProgressReport* progress) : progress_(progress) {}
    bool update(std::int64_t passesDone, std::int64_t passesInAll) override {
        const bool goOn = !progress_ || progress_->update(passesDone, passesInAll);
        if (!goOn)
            stoppedAfter = passesDone;
        return goOn;
    }
    std::optional<std::int64_t> stoppedAfter;

private:
    ProgressReport* progress_ = nullptr;
};

std::int64_t passesOf(const PlotRun& run) {
    if (run.passesMade)
        return *run.passesMade;
    // More than any run makes in months; the sum over a journal stays far inside 64 bits.
    constexpr double mostPasses = 1e15;
    const double n = run.constants.VALc.toDouble().valueOr(-1.0);
    return n >= 0 ? static_cast<std::int64_t>(std::floor(std::min(n, mostPasses))) + 1 : 0;
}

// The progress of one run of a replay: it stops the run where a stopped run stopped, and
// tells the journal's progress of the passes made in all.
class ReplayProgress : public ProgressReport {
public:
    ReplayProgress(const PlotRun& run, std::int64_t passesBefore, std::int64_t passesInAll,
                   ProgressReport* progress)
        : stopAt_(run.passesMade), before_(passesBefore), all_(passesInAll), progress_(progress) {}

    bool update(std::int64_t passesDone, std::int64_t) override {
        if (stopAt_ && passesDone >= *stopAt_)
            return false; // where the run was stopped
        if (progress_ && !progress_->update(before_ + passesDone, all_)) {
            replay = Replay::Stopped;
            return false;
        }
        return true;
    }

    Replay replay = Replay::Whole;

private:
    std::optional<std::int64_t> stopAt_;
    std::int64_t before_ = 0;
    std::int64_t all_ = 0;
    ProgressReport* progress_ = nullptr;
};

} // namespace

void setUpAndRecord(PlotJournal& journal, DrawingSurface& surface, PlotVariables& plot,
                    const TaggedValue& Incr) {
    journal.recordSetUp(Incr);
    setUpPlotWindow(surface, plot, Incr);
}

std::optional<QString> runAndRecord(PlotJournal& journal, const CurveConstants& constants,
                                    LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
                                    DrawingSurface& surface, ProgressReport* progress) {
    PlotRun run{constants, lines, Miocolor, std::nullopt, typedTextsFor(constants)};
    StopRecorder recorder(progress);
    std::optional<QString> message =
        runCurveGenerator(constants, lines, Miocolor, plot, surface, &recorder);
    if (message)
        return message;
    run.passesMade = recorder.stoppedAfter;
    journal.recordRun(run);
    return std::nullopt;
}

std::int64_t passesToReplay(const PlotJournal& journal) {
    std::int64_t passes = 0;
    for (const PlotRun& run : journal.runs())
        passes += passesOf(run);
    return passes;
}

Replay replayJournal(const PlotJournal& journal, DrawingSurface& surface,
                     ProgressReport* progress, PlotVariables* variables,
                     const RunStarting& starting) {
    const std::int64_t passesInAll = progress ? passesToReplay(journal) : 0;
    std::int64_t passesBefore = 0;
    PlotVariables own;
    PlotVariables& plot = variables ? *variables : own;
    for (const PlotJournal::Entry& entry : journal.entries()) {
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry)) {
            if (starting)
                starting(nullptr);
            setUpPlotWindow(surface, plot, setUp->Incr);
            continue;
        }
        const PlotRun& run = std::get<PlotRun>(entry);
        if (starting)
            starting(&run);
        std::int16_t colour = run.startColour;
        ReplayProgress reports(run, passesBefore, passesInAll, progress);
        ProgressReport* const reportsTo = run.passesMade || progress ? &reports : nullptr;
        runCurveGenerator(run.constants, run.lines, colour, plot, surface, reportsTo);
        if (reports.replay == Replay::Stopped)
            return Replay::Stopped;
        passesBefore += passesOf(run);
    }
    return Replay::Whole;
}

PlotJournal journalOf(const std::vector<SessionEntry>& history) {
    PlotJournal journal;
    for (const SessionEntry& entry : history) {
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry))
            journal.recordSetUp(setUp->Incr);
        else if (const auto* run = std::get_if<PlotRun>(&entry))
            journal.recordRun(*run);
        else
            journal.clear();
    }
    return journal;
}

namespace {

// Stops a run at its first report: by then it has started, or said why it would not.
class StopAtOnce : public ProgressReport {
public:
    bool update(std::int64_t, std::int64_t) override { return false; }
};

} // namespace

std::optional<QString> firstRefusal(const std::vector<SessionEntry>& history) {
    DrawingSurface nowhere;
    PlotVariables plot;
    StopAtOnce stop;
    for (const SessionEntry& entry : history) {
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry)) {
            setUpPlotWindow(nowhere, plot, setUp->Incr);
        } else if (const auto* run = std::get_if<PlotRun>(&entry)) {
            std::int16_t colour = run->startColour;
            if (std::optional<QString> message =
                    runCurveGenerator(run->constants, run->lines, colour, plot, nowhere, &stop))
                return message;
        }
    }
    return std::nullopt;
}
