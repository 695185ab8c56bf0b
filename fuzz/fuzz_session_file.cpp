// libFuzzer target for the session file reader and the recipe a figure carries.
//
// The bytes are read as a session file's text, and as a figure whose recipe is found and read.
// A text that reads is written again and read again: the second reading must be the first,
// field by field, and writing it once more must give the same text. Every property that fails
// aborts, so libFuzzer keeps the input as a crash.

#include "figure/session_file.h"

#include <QByteArray>
#include <QLocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* property) {
    if (condition)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

bool sameRun(const PlotRun& left, const PlotRun& right) {
    return left.constants.VALa == right.constants.VALa &&
           left.constants.VALb == right.constants.VALb &&
           left.constants.VALc == right.constants.VALc &&
           left.constants.VALe == right.constants.VALe && left.lines == right.lines &&
           left.startColour == right.startColour && left.passesMade == right.passesMade &&
           left.typed == right.typed;
}

bool sameEntry(const SessionEntry& left, const SessionEntry& right) {
    if (left.index() != right.index())
        return false;
    if (const auto* setUp = std::get_if<PlotSetUp>(&left))
        return setUp->Incr == std::get<PlotSetUp>(right).Incr;
    if (const auto* run = std::get_if<PlotRun>(&left))
        return sameRun(*run, std::get<PlotRun>(right));
    return true; // a clear carries nothing
}

void checkSameRecord(const SessionRecord& first, const SessionRecord& second) {
    const SessionControls& a = first.controls;
    const SessionControls& b = second.controls;
    require(a.calibrationBar == b.calibrationBar, "calibration bar kept");
    require(a.Incr == b.Incr, "Incr kept");
    require(a.constantTexts == b.constantTexts, "constant texts kept");
    require(a.constants == b.constants, "constants as read kept");
    require(a.Miocolor == b.Miocolor, "colour cursor kept");
    require(first.history.size() == second.history.size(), "history length kept");
    for (std::size_t index = 0; index < first.history.size(); ++index)
        require(sameEntry(first.history[index], second.history[index]), "history entry kept");
}

// A session that reads is written and read again, unchanged.
void checkRoundTrip(const QByteArray& text) {
    const auto first = decodeSession(text);
    const auto* record = std::get_if<SessionRecord>(&first);
    if (!record)
        return;
    const QByteArray written = encodeSession(record->controls, record->history, record->animation);
    const auto second = decodeSession(written);
    const auto* again = std::get_if<SessionRecord>(&second);
    require(again != nullptr, "a written session reads");
    checkSameRecord(*record, *again);
    require(encodeSession(again->controls, again->history, again->animation) == written, "writing is stable");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The program's own locale, as the windows read and show numbers.
    static const int once = (QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)), 0);
    (void)once;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRoundTrip(bytes);
    if (const std::optional<QByteArray> recipe = findRecipe(bytes))
        checkRoundTrip(*recipe);
    // Any bytes at all survive being carried by a figure.
    const std::optional<QByteArray> carried = findRecipe("<svg>" + recipeMetadataXml(bytes));
    require(carried && *carried == bytes, "a carried recipe is found unchanged");
    return 0;
}
