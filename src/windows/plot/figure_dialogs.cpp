#include "windows/plot/figure_dialogs.h"

#include "shell/platform.h"

#include <QFileDialog>

namespace {

const FigureFormatRow& filterNamed(const QString& text) {
    for (const FigureFormatRow& row : figureFormats())
        if (text == QString::fromUtf8(row.filterText))
            return row;
    return figureFormats().front();
}

} // namespace

std::unique_ptr<QFileDialog> saveImageDialog(QWidget* owner) {
    auto dialog = std::make_unique<QFileDialog>(owner, QStringLiteral("Salva immagine"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList names;
    for (const FigureFormatRow& row : figureFormats())
        names << QString::fromUtf8(row.filterText);
    dialog->setNameFilters(names);
    dialog->setDefaultSuffix(QStringLiteral("png"));
    // A name typed without an extension takes the chosen filter's.
    QFileDialog* shown = dialog.get();
    QObject::connect(shown, &QFileDialog::filterSelected, shown, [shown](const QString& name) {
        shown->setDefaultSuffix(QString::fromLatin1(filterNamed(name).suffix));
    });
    dialog->selectFile(QStringLiteral("curve.png"));
    return dialog;
}

std::optional<FigureDialogs::SaveChoice> DesktopFigureDialogs::chooseSaveFile(QWidget* owner) {
    const std::unique_ptr<QFileDialog> dialog = saveImageDialog(owner);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    const FigureFormatRow& filter = filterNamed(dialog->selectedNameFilter());
    return SaveChoice{dialog->selectedFiles().constFirst(), filter.format, filter.scale};
}

std::optional<QString> DesktopFigureDialogs::print(QWidget* owner, const PagePainting& paint) {
    const auto module = figureModule();
    if (const QString* failure = std::get_if<QString>(&module))
        return QStringLiteral("Impossibile stampare: %1.").arg(*failure);
    std::get<const FigureModuleEntries*>(module)->showPrintPreview(owner, programTitle, paint);
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
