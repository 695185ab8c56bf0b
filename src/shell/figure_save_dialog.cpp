#include "shell/figure_save_dialog.h"

#include "shell/figure_options_panel.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

std::unique_ptr<QFileDialog> figureSaveDialog(QWidget* owner, const QString& title,
                                              const SaveChoice& proposed) {
    auto dialog = std::make_unique<QFileDialog>(owner, title);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // The options go under the list, which only Qt's own dialog can take.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    QStringList names;
    QString chosenFilter = QString::fromUtf8(figureFormats().front().filterText);
    for (const FigureFormatRow& row : figureFormats()) {
        names << QString::fromUtf8(row.filterText);
        if (row.format == proposed.filterFormat && row.scale == proposed.scale)
            chosenFilter = names.constLast();
    }
    dialog->setNameFilters(names);
    // A name typed without an extension takes the chosen filter's.
    QFileDialog* shown = dialog.get();
    QObject::connect(shown, &QFileDialog::filterSelected, shown, [shown](const QString& name) {
        shown->setDefaultSuffix(QString::fromLatin1(figureFormatFiltered(name).suffix));
    });
    dialog->selectNameFilter(chosenFilter);
    dialog->setDefaultSuffix(QString::fromLatin1(figureFormatFiltered(chosenFilter).suffix));
    const QFileInfo file(proposed.path.isEmpty() ? QStringLiteral("curve.png") : proposed.path);
    if (file.isAbsolute())
        dialog->setDirectory(file.absolutePath());
    dialog->selectFile(file.fileName());
    return dialog;
}

std::optional<SaveChoice> askFigureFile(QWidget* owner, const QString& title,
                                        const SaveChoice& proposed) {
    const std::unique_ptr<QFileDialog> dialog = figureSaveDialog(owner, title, proposed);
    auto* options = new FigureOptionsPanel(proposed.options, dialog.get());
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
        grid->addWidget(options, grid->rowCount(), 0, 1, grid->columnCount());
    const auto formatShown = [options](const QString& name) {
        options->setFormat(figureFormatFiltered(name).format);
    };
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, options, formatShown);
    formatShown(dialog->selectedNameFilter());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    const FigureFormatRow& filter = figureFormatFiltered(dialog->selectedNameFilter());
    return SaveChoice{dialog->selectedFiles().constFirst(), filter.format, filter.scale,
                      options->options()};
}
