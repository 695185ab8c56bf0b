#include "windows/plot/figure_dialogs.h"

#include "shell/figure_save_dialog.h"
#include "shell/platform.h"

#include <QFileDialog>

std::optional<FigureDialogs::SaveChoice>
DesktopFigureDialogs::chooseSaveFile(QWidget* owner, const SaveChoice& proposed, SaveAsk) {
    return askFigureFile(owner, QStringLiteral("Salva immagine"), proposed);
}

std::optional<QString> DesktopFigureDialogs::print(QWidget* owner, const PagePainting& paint,
                                                   PrintSetUp& setUp) {
    const auto module = figureModule();
    if (const QString* failure = std::get_if<QString>(&module))
        return QStringLiteral("Impossibile stampare: %1.").arg(*failure);
    std::get<const FigureModuleEntries*>(module)->showPrintPreview(owner, programTitle, paint,
                                                                   setUp);
    return std::nullopt;
}

std::optional<QString> DesktopFigureDialogs::chooseSessionFile(QWidget* owner,
                                                               SessionFile purpose) {
    const QString sessions = QStringLiteral("Sessione di CURVE ZOR-PUN (*.zorpun)");
    const QString path =
        purpose == SessionFile::Save
            ? QFileDialog::getSaveFileName(owner, QStringLiteral("Salva sessione"),
                                           QStringLiteral("sessione.zorpun"), sessions)
            : QFileDialog::getOpenFileName(
                  owner, QStringLiteral("Apri sessione"), QString(),
                  QStringLiteral("Sessioni e figure (*.zorpun *.png *.svg *.pdf);;") + sessions +
                      QStringLiteral(";;Tutti i file (*)"));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}
