#pragma once

#include "figure/figure_export.h"
#include "figure/figure_module.h"
#include "figure/save_memory.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

// The dialogs through which the plot window's drawing leaves the program. Tests put a
// recorder in their place, so they never block on a dialog.
class FigureDialogs {
public:
    // What the save dialog was left with, the options under its list included.
    using SaveChoice = ::SaveChoice;
    // The dialog opens again, with the same name, after a save that failed.
    enum class SaveAsk { First, Again };

    virtual ~FigureDialogs() = default;
    // The dialog set to proposed; nothing when the user cancelled.
    virtual std::optional<SaveChoice> chooseSaveFile(QWidget* owner, const SaveChoice& proposed,
                                                     SaveAsk ask) = 0;
    // The print dialog with a preview; paint draws the picture on each page, for the
    // preview and for the print, as setUp stands. Returns the reason, in Italian, when
    // printing is not possible at all.
    virtual std::optional<QString> print(QWidget* owner, const PagePainting& paint,
                                         PrintSetUp& setUp) = 0;
    // The file a session is saved to, or opened from (a session or a figure that carries
    // one); nothing when the user cancelled.
    enum class SessionFile { Save, Open };
    virtual std::optional<QString> chooseSessionFile(QWidget* owner, SessionFile purpose) = 0;
};

class DesktopFigureDialogs : public FigureDialogs {
public:
    std::optional<SaveChoice> chooseSaveFile(QWidget* owner, const SaveChoice& proposed,
                                             SaveAsk ask) override;
    std::optional<QString> print(QWidget* owner, const PagePainting& paint,
                                 PrintSetUp& setUp) override;
    std::optional<QString> chooseSessionFile(QWidget* owner, SessionFile purpose) override;
};
