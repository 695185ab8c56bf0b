#include "core/plot_journal.h"

#include "core/number_text.h"

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

} // namespace

std::array<QString, 4> typedTextsFor(const CurveConstants& constants) {
    const std::array<const TaggedValue*, 4> values{&constants.VALa, &constants.VALb,
                                                    &constants.VALc, &constants.VALe};
    std::array<QString, 4> texts;
    for (std::size_t index = 0; index < texts.size(); ++index)
        texts[index] = shortestNumberText(values[index]->toDouble().valueOr(0.0));
    return texts;
}

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
