#include "windows/plot/figure_dialogs.h"

#include "shell/platform.h"

#include <QFileDialog>
#include <array>

namespace {

struct Filter {
    const char* text;
    FigureFormat format;
    int scale;
    const char* suffix;
};

const std::array<Filter, 5> filters{{
    {"Immagine PNG, come la finestra (*.png)", FigureFormat::Png, 1, "png"},
    {"Immagine PNG, 2 volte la finestra (*.png)", FigureFormat::Png, 2, "png"},
    {"Immagine PNG, 4 volte la finestra (*.png)", FigureFormat::Png, 4, "png"},
    {"Disegno vettoriale SVG (*.svg)", FigureFormat::Svg, 1, "svg"},
    {"Documento PDF (*.pdf)", FigureFormat::Pdf, 1, "pdf"},
}};

const Filter& filterNamed(const QString& text) {
    for (const Filter& filter : filters)
        if (text == QString::fromUtf8(filter.text))
            return filter;
    return filters.front();
}

} // namespace

std::unique_ptr<QFileDialog> saveImageDialog(QWidget* owner) {
    auto dialog = std::make_unique<QFileDialog>(owner, QStringLiteral("Salva immagine"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList names;
    for (const Filter& filter : filters)
        names << QString::fromUtf8(filter.text);
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
    const Filter& filter = filterNamed(dialog->selectedNameFilter());
    return SaveChoice{dialog->selectedFiles().constFirst(), filter.format, filter.scale};
}

std::optional<QString> DesktopFigureDialogs::print(QWidget* owner, const PagePainting& paint) {
    const auto module = figureModule();
    if (const QString* failure = std::get_if<QString>(&module))
        return QStringLiteral("Impossibile stampare: %1.").arg(*failure);
    std::get<const FigureModuleEntries*>(module)->showPrintPreview(owner, programTitle, paint);
    return std::nullopt;
}
