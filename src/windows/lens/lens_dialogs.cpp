#include "windows/lens/lens_dialogs.h"

#include "shell/figure_save_dialog.h"

std::optional<SaveChoice> DesktopLensDialogs::chooseViewFile(QWidget* owner,
                                                             const SaveChoice& proposed) {
    return askFigureFile(owner, QStringLiteral("Salva vista"), proposed);
}
