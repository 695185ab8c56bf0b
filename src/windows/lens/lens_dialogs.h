#pragma once

#include "figure/figure_formats.h"

#include <QString>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

// What the dialog of "Salva vista…" was left with: the file, and the format and PNG scale of
// the filter chosen, for a name without an extension.
struct ViewFileChoice {
    QString path;
    FigureFormat filterFormat = FigureFormat::Png;
    int scale = 1;
};

// The dialog through which the lens's view leaves the program. Tests put a recorder in its
// place, so they never block on a dialog.
class LensDialogs {
public:
    virtual ~LensDialogs() = default;
    // Nothing when the user cancelled.
    virtual std::optional<ViewFileChoice> chooseViewFile(QWidget* owner) = 0;
};

// The dialog "Salva vista…" opens, set up and not yet shown: the figure formats' filters.
std::unique_ptr<QFileDialog> saveViewDialog(QWidget* owner);

class DesktopLensDialogs : public LensDialogs {
public:
    std::optional<ViewFileChoice> chooseViewFile(QWidget* owner) override;
};
