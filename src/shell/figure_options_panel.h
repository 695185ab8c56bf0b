#pragma once

#include "figure/figure_options.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

// The options of a figure file, under the save dialog's file list: its width on paper, a
// PNG's DPI, its background, its colours, a legend and fitting to the drawing. The window's
// own size and DPI read as "come la finestra", so the defaults make the files of old.
class FigureOptionsPanel : public QWidget {
    Q_OBJECT
public:
    explicit FigureOptionsPanel(const FigureOptions& options, QWidget* parent = nullptr);

    FigureOptions options() const;
    // The DPI is a PNG's only.
    void setFormat(FigureFormat format);

    QDoubleSpinBox& widthBox() const { return *width_; }
    QComboBox& unitBox() const { return *unit_; }
    QSpinBox& dpiBox() const { return *dpi_; }
    QComboBox& backgroundBox() const { return *background_; }
    QComboBox& coloursBox() const { return *colours_; }
    QCheckBox& legendBox() const { return *legend_; }
    QCheckBox& fitBox() const { return *fit_; }

private:
    void addRow(const QString& label, QWidget* control, QWidget* beside = nullptr);

    QDoubleSpinBox* width_ = nullptr;
    QComboBox* unit_ = nullptr;
    QSpinBox* dpi_ = nullptr;
    QComboBox* background_ = nullptr;
    QComboBox* colours_ = nullptr;
    QCheckBox* legend_ = nullptr;
    QCheckBox* fit_ = nullptr;
    QFont legendFont_;
};
