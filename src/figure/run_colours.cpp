#include "figure/run_colours.h"

#include "core/curve_generator.h"
#include "core/palette.h"

#include <QColor>

namespace {

// Okabe and Ito's colours for all eyes, without black, which the axes have.
constexpr std::array<QRgb, 7> distinctHues{0xffe69f00, 0xff56b4e9, 0xff009e73, 0xfff0e442,
                                           0xff0072b2, 0xffd55e00, 0xffcc79a7};
constexpr int darkerShade = 160; // percent, as QColor::darker takes it

} // namespace

std::array<QRgb, 2> runCurveColours(const PlotRun& run, std::size_t index, RunColours colours) {
    if (colours == RunColours::Original) {
        const int first = advanceCursor(run.startColour);
        return {paletteColor(first), paletteColor(first + 1)};
    }
    const QRgb hue = distinctHues[index % distinctHues.size()];
    return {hue, QColor::fromRgb(hue).darker(darkerShade).rgb()};
}

void Recolouring::beginRun(const PlotRun* run) {
    if (!run) {
        from_.reset();
        return;
    }
    from_ = runCurveColours(*run, runs_, RunColours::Original);
    to_ = runCurveColours(*run, runs_, RunColours::Distinct);
    ++runs_;
}

QRgb Recolouring::mapped(QRgb colour) const {
    if (!from_)
        return colour;
    if (colour == (*from_)[0])
        return to_[0];
    return colour == (*from_)[1] ? to_[1] : colour;
}

void Recolouring::PSet(float x, float y, QRgb colour) {
    behind().PSet(x, y, mapped(colour));
}

void Recolouring::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    behind().Line(x1, y1, x2, y2, colour ? std::optional(mapped(*colour)) : std::nullopt);
}

void Recolouring::Cls() {
    behind().Cls();
}

void Recolouring::drawBlock(const DotBlock& block) {
    block_ = block;
    for (std::size_t index = 0; index < block_.dotCount; ++index)
        block_.colour[index] = mapped(block_.colour[index]);
    for (std::size_t index = 0; index < block_.lineCount; ++index)
        block_.lines[index].colour = mapped(block_.lines[index].colour);
    behind().drawBlock(block_);
    followBehind();
}
