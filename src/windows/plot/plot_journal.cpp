#include "windows/plot/plot_journal.h"

#include <QStringList>

namespace {

QString describeRun(const PlotRun& run) {
    const CurveConstants& constants = run.constants;
    QString text = QStringLiteral("OA %1, angolo %2°, n %3, incremento %4")
                       .arg(constants.VALa.toText(), constants.VALb.toText(),
                            constants.VALc.toText(), constants.VALe.toText());
    if (run.lines == LinkingLines::On)
        text += QStringLiteral(", con le linee");
    if (run.passesMade)
        text += QStringLiteral(", interrotto dopo %1 passi").arg(*run.passesMade);
    return text;
}

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

} // namespace

std::vector<PlotRun> PlotJournal::runs() const {
    std::vector<PlotRun> found;
    for (const Entry& entry : entries_)
        if (const auto* run = std::get_if<PlotRun>(&entry))
            found.push_back(*run);
    return found;
}

QString PlotJournal::summary() const {
    const std::vector<PlotRun> all = runs();
    if (all.empty())
        return QStringLiteral("Nessun tracciato");
    QStringList described;
    for (const PlotRun& run : all)
        described << describeRun(run);
    const QString count = all.size() == 1 ? QStringLiteral("1 tracciato")
                                          : QStringLiteral("%1 tracciati").arg(all.size());
    return count + QStringLiteral(": ") + described.join(QStringLiteral("; "));
}

void setUpAndRecord(PlotJournal& journal, DrawingSurface& surface, PlotVariables& plot,
                    const TaggedValue& Incr) {
    journal.recordSetUp(Incr);
    setUpPlotWindow(surface, plot, Incr);
}

std::optional<QString> runAndRecord(PlotJournal& journal, const CurveConstants& constants,
                                    LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
                                    DrawingSurface& surface, ProgressReport* progress) {
    PlotRun run{constants, lines, Miocolor, std::nullopt};
    StopRecorder recorder(progress);
    std::optional<QString> message =
        runCurveGenerator(constants, lines, Miocolor, plot, surface, &recorder);
    if (message)
        return message;
    run.passesMade = recorder.stoppedAfter;
    journal.recordRun(run);
    return std::nullopt;
}

void replayJournal(const PlotJournal& journal, DrawingSurface& surface) {
    PlotVariables plot;
    for (const PlotJournal::Entry& entry : journal.entries()) {
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry)) {
            setUpPlotWindow(surface, plot, setUp->Incr);
            continue;
        }
        const PlotRun& run = std::get<PlotRun>(entry);
        std::int16_t colour = run.startColour;
        StopAfterPasses stop(run.passesMade.value_or(0));
        runCurveGenerator(run.constants, run.lines, colour, plot, surface,
                          run.passesMade ? &stop : nullptr);
    }
}
