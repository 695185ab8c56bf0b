#include "windows/calibration/form2.h"

#include "app/focus_frame.h"
#include "app/platform.h"
#include "app/program.h"
#include "core/degrees.h"
#include "core/palette.h"
#include "surface/plot_surface.h"
#include "windows/constants/form3.h"

#include <QLineEdit>
#include <QScrollBar>
#include <cmath>

namespace {

constexpr float surfaceWidth = 146367.359375f;
constexpr double figureRadius = 36367.36328125;
constexpr float centreOffset = 20000.0f;
constexpr double incrAtActivation = 0.51;
constexpr double incrPerStep = 0.02;
constexpr double incrThreshold = 0.53;
constexpr int figureColour = 4; // red

} // namespace

Form2::Form2(Program& program) : ProgramWindow(program, form2Layout()) {
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
    surface.setScaleMode(0);
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
    const double p1 = P1.toDouble().valueOr(0.0);
    const double cx = CX.toDouble().valueOr(0.0);
    const double cy = CY.toDouble().valueOr(0.0);
    const QRgb colour = paletteColor(figureColour);
    double xr = 0.0;
    double yr = 0.0;
    // The angle grows by repeated addition: 3600 points, the last a tenth short of 360.
    for (double t = 0.0; t <= 360.0; t += 0.1) {
        const double angle = t * p1;
        xr = std::cos(angle) * figureRadius;
        yr = std::sin(angle) * figureRadius;
        drawing_->setDrawWidth(1);
        drawing_->PSet(static_cast<float>(cx + xr), static_cast<float>(cy + yr), colour);
    }
    XR = TaggedValue::fromDouble(xr);
    YR = TaggedValue::fromDouble(yr);
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
        program().Show(program().form3());
    else
        program().platform().messageBox(this, QStringLiteral("Impostare la risoluzione SCHERMO"));
}

void Form2::Command3_Click() {
    program().End();
}

void Form2::showIncr() {
    Text1->setText(Incr.toText());
}
