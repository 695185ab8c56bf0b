#include "windows/calibration/form2.h"

#include "shell/focus_frame.h"
#include "shell/platform.h"
#include "shell/program_shell.h"
#include "core/degrees.h"
#include "core/palette.h"
#include "surface/plot_surface.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <bit>
#include <cmath>

namespace {

constexpr float surfaceWidth = 146367.359375f;
constexpr double figureRadius = 36367.36328125;
constexpr float centreOffset = 20000.0f;
constexpr double incrAtActivation = 0.51;
constexpr double incrPerStep = 0.02;
constexpr double incrThreshold = 0.53;
constexpr int figureColour = 4; // red
constexpr std::size_t figurePoints = 3601; // t = 0, 0.1, ... until past 360

} // namespace

Form2::Form2(ProgramShell& program)
    : ProgramWindow(program, form2Layout()), Incr(program.session().Incr) {
    surface_ = new PlotSurface(this);
    describeDrawing(*surface_, QStringLiteral("Figura di calibrazione"),
                    QStringLiteral("Due assi e una figura rossa, che risulta una circonferenza "
                                   "quando il fattore Incr è quello giusto per lo schermo"));
    drawing_ = surface_;
    Text1 = control<QLineEdit>(QStringLiteral("Text1"));
    HScroll1 = control<QScrollBar>(QStringLiteral("HScroll1"));
    HScroll1->setAccessibleDescription(
        QStringLiteral("Ogni passo verso destra aumenta Incr di 0,02, da 0,53 a 1,11"));
    new FocusFrame(*HScroll1, FocusFrame::Placement::Outside);
    onClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
    onClick(QStringLiteral("Command3"), [this] { Command3_Click(); });
    connect(HScroll1, &QScrollBar::valueChanged, this,
            [this] { handleUserEvent([this] { HScroll1_Change(); }); });
    connect(HScroll1, &QScrollBar::valueChanged, this,
            [this](int value) { this->program().session().setCalibrationBar(value); });
    connect(&program.session(), &Session::restored, this, &Form2::showRestored);
    // Made after a session was opened: its factor and bar stand.
    if (!Incr.isEmpty())
        showRestored();
}

// An opened session's bar and factor, without drawing: the next activation draws.
void Form2::showRestored() {
    const QSignalBlocker quiet(HScroll1);
    HScroll1->setValue(program().session().calibrationBar());
    showIncr();
}

void Form2::Form_Activate() {
    P1 = TaggedValue::fromSingle(degreeToRadianSingle);
    Incr = TaggedValue::fromDouble(incrAtActivation);
    showIncr();
    COORDINATE();
    TRACCIA();
}

void Form2::COORDINATE() {
    DrawingSurface& surface = *drawing_;
    surface.setScaleMode(ScaleMode::User);
    surface.setDrawWidth(1);
    surface.setScaleWidth(surfaceWidth);
    surface.setScaleHeight(static_cast<float>(surface.ScaleWidth() * Incr.toDouble().valueOr(0.0)));
    CX = TaggedValue::fromSingle(surface.ScaleWidth() / 2 + centreOffset);
    CY = TaggedValue::fromSingle(surface.ScaleHeight() / 2);
    const float cx = CX.single();
    const float cy = CY.single();
    surface.Line(cx, 0, cx, surface.ScaleHeight());
    surface.Line(0, cy, surface.ScaleWidth(), cy);
    TRACCIA();
}

void Form2::TRACCIA() {
    const std::array<double, 3> scale{P1.toDouble().valueOr(0.0), CX.toDouble().valueOr(0.0),
                                      CY.toDouble().valueOr(0.0)};
    const std::array<std::uint64_t, 3> bits{std::bit_cast<std::uint64_t>(scale[0]),
                                            std::bit_cast<std::uint64_t>(scale[1]),
                                            std::bit_cast<std::uint64_t>(scale[2])};
    if (!traced_ || traced_->scaleBits != bits)
        traceFigure(scale);
    for (const DotBlock& block : traced_->blocks)
        drawing_->drawBlock(block);
    XR = TaggedValue::fromDouble(traced_->xr);
    YR = TaggedValue::fromDouble(traced_->yr);
}

// Every dot is set with a pen one pixel wide.
void Form2::traceFigure(const std::array<double, 3>& scale) {
    const auto [p1, cx, cy] = scale;
    TracedFigure figure;
    figure.scaleBits = {std::bit_cast<std::uint64_t>(p1), std::bit_cast<std::uint64_t>(cx),
                        std::bit_cast<std::uint64_t>(cy)};
    const QRgb colour = paletteColor(figureColour);
    figure.blocks.reserve(figurePoints / DotBlock::capacity + 1);
    // The angle grows by repeated addition: 3600 points, the last a tenth short of 360.
    for (double t = 0.0; t <= 360.0; t += 0.1) {
        const double angle = t * p1;
        figure.xr = std::cos(angle) * figureRadius;
        figure.yr = std::sin(angle) * figureRadius;
        if (figure.blocks.empty() || figure.blocks.back().full()) {
            figure.blocks.emplace_back();
            figure.blocks.back().dotWidth = 1;
        }
        figure.blocks.back().addDot(static_cast<float>(cx + figure.xr),
                                    static_cast<float>(cy + figure.yr), colour);
    }
    traced_ = std::move(figure);
}

void Form2::HScroll1_Change() {
    const double factor = HScroll1->value() * incrPerStep + incrAtActivation;
    const Outcome<int> comparison = compareNumber(Incr, factor);
    if (comparison && comparison.value() > 0)
        drawing_->Cls(); // the factor went down: start from a clean surface
    Incr = TaggedValue::fromDouble(factor);
    showIncr();
    COORDINATE();
    TRACCIA();
}

void Form2::Command1_Click() {
    const Outcome<int> comparison = compareNumber(Incr, incrThreshold);
    if (comparison && comparison.value() > 0)
        program().Show(WindowName::Constants);
    else
        program().platform().messageBox(this, QStringLiteral("Impostare la risoluzione SCHERMO"));
}

void Form2::Command3_Click() {
    program().End();
}

void Form2::showIncr() {
    Text1->setText(Incr.toText());
}
