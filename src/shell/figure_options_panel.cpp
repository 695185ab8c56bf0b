#include "shell/figure_options_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

FigureOptionsPanel::FigureOptionsPanel(const FigureOptions& options, QWidget* parent)
    : QWidget(parent), width_(new QDoubleSpinBox(this)), unit_(new QComboBox(this)),
      dpi_(new QSpinBox(this)), background_(new QComboBox(this)), colours_(new QComboBox(this)),
      legend_(new QCheckBox(QStringLiteral("&Legenda dei tracciati"), this)),
      fit_(new QCheckBox(QStringLiteral("&Adatta al disegno"), this)),
      legendFont_(options.legendFont) {
    setAccessibleName(QStringLiteral("Opzioni della figura"));
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    // 0 stands for the window's own size and DPI.
    width_->setRange(0, widestFigure); // a PNG too large is refused on saving
    width_->setDecimals(2);
    width_->setSpecialValueText(QStringLiteral("come la finestra"));
    width_->setValue(options.width ? options.width->amount : 0);
    unit_->addItems({QStringLiteral("cm"), QStringLiteral("pollici")});
    unit_->setCurrentIndex(options.width && options.width->unit == LengthUnit::Inch ? 1 : 0);
    unit_->setAccessibleName(QStringLiteral("Unità della larghezza"));
    addRow(QStringLiteral("La&rghezza:"), width_, unit_);
    dpi_->setRange(0, mostPngDpi);
    dpi_->setSpecialValueText(QStringLiteral("come lo schermo"));
    dpi_->setValue(options.dpi ? qRound(*options.dpi) : 0);
    addRow(QStringLiteral("&DPI (PNG):"), dpi_);
    background_->addItems({QStringLiteral("come la finestra"), QStringLiteral("bianco"),
                           QStringLiteral("trasparente")});
    background_->setCurrentIndex(static_cast<int>(options.background));
    addRow(QStringLiteral("&Sfondo:"), background_);
    colours_->addItems(
        {QStringLiteral("come lo schermo"), QStringLiteral("un colore per tracciato (Okabe–Ito)")});
    colours_->setCurrentIndex(static_cast<int>(options.colours));
    addRow(QStringLiteral("&Colori:"), colours_);
    legend_->setChecked(options.legend == FigureLegend::On);
    fit_->setChecked(options.fit == FigureFit::Drawing);
    form->addRow(legend_);
    form->addRow(fit_);
}

void FigureOptionsPanel::addRow(const QString& label, QWidget* control, QWidget* beside) {
    auto* text = new QLabel(label, this);
    text->setBuddy(control); // a screen reader also learns which label it is
    control->setAccessibleName(QString(label).remove(QLatin1Char('&')).chopped(1));
    auto* form = static_cast<QFormLayout*>(layout());
    if (!beside) {
        form->addRow(text, control);
        return;
    }
    auto* row = new QHBoxLayout;
    row->addWidget(control, 1);
    row->addWidget(beside);
    form->addRow(text, row);
}

FigureOptions FigureOptionsPanel::options() const {
    FigureOptions options;
    options.legendFont = legendFont_;
    if (width_->value() > 0)
        options.width =
            PhysicalWidth{width_->value(),
                          unit_->currentIndex() == 1 ? LengthUnit::Inch : LengthUnit::Centimetre};
    if (dpi_->isEnabled() && dpi_->value() > 0)
        options.dpi = dpi_->value();
    options.background = static_cast<FigureBackground>(background_->currentIndex());
    options.colours = static_cast<RunColours>(colours_->currentIndex());
    options.legend = legend_->isChecked() ? FigureLegend::On : FigureLegend::Off;
    options.fit = fit_->isChecked() ? FigureFit::Drawing : FigureFit::Window;
    return options;
}

void FigureOptionsPanel::setFormat(FigureFormat format) {
    dpi_->setEnabled(format == FigureFormat::Png);
}
