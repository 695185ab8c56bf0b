#include "windows/plot/figure_dialogs.h"

#include "shell/figure_options_panel.h"
#include "shell/platform.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

namespace {

const FigureFormatRow& filterNamed(const QString& text) {
    for (const FigureFormatRow& row : figureFormats())
        if (text == QString::fromUtf8(row.filterText))
            return row;
    return figureFormats().front();
}

} // namespace

std::unique_ptr<QFileDialog> saveImageDialog(QWidget* owner, const SaveChoice& proposed) {
    auto dialog = std::make_unique<QFileDialog>(owner, QStringLiteral("Salva immagine"));
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
        shown->setDefaultSuffix(QString::fromLatin1(filterNamed(name).suffix));
    });
    dialog->selectNameFilter(chosenFilter);
    dialog->setDefaultSuffix(QString::fromLatin1(filterNamed(chosenFilter).suffix));
    const QFileInfo file(proposed.path.isEmpty() ? QStringLiteral("curve.png") : proposed.path);
    if (file.isAbsolute())
        dialog->setDirectory(file.absolutePath());
    dialog->selectFile(file.fileName());
    return dialog;
}

std::optional<FigureDialogs::SaveChoice>
DesktopFigureDialogs::chooseSaveFile(QWidget* owner, const SaveChoice& proposed, SaveAsk) {
    const std::unique_ptr<QFileDialog> dialog = saveImageDialog(owner, proposed);
    auto* options = new FigureOptionsPanel(proposed.options, dialog.get());
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
        grid->addWidget(options, grid->rowCount(), 0, 1, grid->columnCount());
    const auto formatShown = [options](const QString& name) {
        options->setFormat(filterNamed(name).format);
    };
    QObject::connect(dialog.get(), &QFileDialog::filterSelected, options, formatShown);
    formatShown(dialog->selectedNameFilter());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    const FigureFormatRow& filter = filterNamed(dialog->selectedNameFilter());
    return SaveChoice{dialog->selectedFiles().constFirst(), filter.format, filter.scale,
                      options->options()};
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
