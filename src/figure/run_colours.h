#pragma once

// A figure's runs each in a hue of its own, told apart also by readers who see colours
// differently: the Okabe–Ito set, the second curve of a run a darker shade of its first. The
// screen keeps the program's own colours. No widgets.

#include "core/drawing_surface.h"
#include "core/plot_journal.h"

#include <QRgb>
#include <array>
#include <cstddef>
#include <optional>

enum class RunColours { Original, Distinct };

// The colours of a run's two curves: in the palette from its colour cursor, or the run's
// own hue and its darker shade.
std::array<QRgb, 2> runCurveColours(const PlotRun& run, std::size_t index, RunColours colours);

// Stands for a surface and draws each run's curves in its distinct hue; the axes and what a
// set-up draws keep their colours.
class Recolouring : public StandInSurface {
public:
    explicit Recolouring(DrawingSurface& target) : StandInSurface(target) {}

    // The run about to be replayed, or none before a set-up.
    void beginRun(const PlotRun* run);

    void PSet(float x, float y, QRgb colour) override;
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override;
    void Cls() override;
    void drawBlock(const DotBlock& block) override;

private:
    QRgb mapped(QRgb colour) const;

    std::size_t runs_ = 0;
    // The palette's colours of the current run's curves, and the hues they become.
    std::optional<std::array<QRgb, 2>> from_;
    std::array<QRgb, 2> to_{};
    DotBlock block_;
};
