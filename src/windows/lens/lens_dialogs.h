#pragma once

#include "figure/save_memory.h"

#include <QString>
#include <optional>

class QWidget;

// The dialog through which the lens's view leaves the program. Tests put a recorder in its
// place, so they never block on a dialog.
class LensDialogs {
public:
    virtual ~LensDialogs() = default;
    // The dialog set to proposed, the figure's options under its list; nothing when the user
    // cancelled.
    virtual std::optional<SaveChoice> chooseViewFile(QWidget* owner,
                                                     const SaveChoice& proposed) = 0;
};

class DesktopLensDialogs : public LensDialogs {
public:
    std::optional<SaveChoice> chooseViewFile(QWidget* owner, const SaveChoice& proposed) override;
};
