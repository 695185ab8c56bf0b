#include "windows/lens/lens_dialogs.h"

#include <QFileDialog>

std::unique_ptr<QFileDialog> saveViewDialog(QWidget* owner) {
    auto dialog = std::make_unique<QFileDialog>(owner, QStringLiteral("Salva vista"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList names;
    for (const FigureFormatRow& row : figureFormats())
        names << QString::fromUtf8(row.filterText);
    dialog->setNameFilters(names);
    dialog->setDefaultSuffix(QString::fromLatin1(figureFormats().front().suffix));
    // A name typed without an extension takes the chosen filter's.
    QFileDialog* shown = dialog.get();
    QObject::connect(shown, &QFileDialog::filterSelected, shown, [shown](const QString& name) {
        shown->setDefaultSuffix(QString::fromLatin1(figureFormatFiltered(name).suffix));
    });
    dialog->selectFile(QStringLiteral("vista.png"));
    return dialog;
}

std::optional<ViewFileChoice> DesktopLensDialogs::chooseViewFile(QWidget* owner) {
    const std::unique_ptr<QFileDialog> dialog = saveViewDialog(owner);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    const FigureFormatRow& filter = figureFormatFiltered(dialog->selectedNameFilter());
    return ViewFileChoice{dialog->selectedFiles().constFirst(), filter.format, filter.scale};
}
