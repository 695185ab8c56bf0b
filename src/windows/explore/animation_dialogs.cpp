#include "windows/explore/animation_dialogs.h"

#include <QFileDialog>
#include <array>

namespace {

constexpr std::array<AnimationFilter, 3> filters{{
    {"GIF animata (*.gif)", "gif", 1},
    {"GIF animata, 2 volte (*.gif)", "gif", 2},
    {"Sequenza di immagini PNG (*.png)", "png", 1},
}};

const AnimationFilter& filterNamed(const QString& text) {
    for (const AnimationFilter& filter : filters)
        if (text == QString::fromUtf8(filter.text))
            return filter;
    return filters.front();
}

} // namespace

std::span<const AnimationFilter> animationFilters() {
    return filters;
}

std::unique_ptr<QFileDialog> exportAnimationDialog(QWidget* owner) {
    auto dialog = std::make_unique<QFileDialog>(owner, QStringLiteral("Esporta animazione"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    QStringList names;
    for (const AnimationFilter& filter : filters)
        names << QString::fromUtf8(filter.text);
    dialog->setNameFilters(names);
    dialog->setDefaultSuffix(QStringLiteral("gif"));
    // A name typed without an extension takes the chosen filter's.
    QFileDialog* shown = dialog.get();
    QObject::connect(shown, &QFileDialog::filterSelected, shown, [shown](const QString& name) {
        shown->setDefaultSuffix(QString::fromLatin1(filterNamed(name).suffix));
    });
    dialog->selectFile(QStringLiteral("animazione.gif"));
    return dialog;
}

std::optional<AnimationFileChoice> DesktopAnimationDialogs::chooseAnimationFile(QWidget* owner) {
    const std::unique_ptr<QFileDialog> dialog = exportAnimationDialog(owner);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    const AnimationFilter& filter = filterNamed(dialog->selectedNameFilter());
    return AnimationFileChoice{dialog->selectedFiles().constFirst(), filter.scale,
                               QString::fromLatin1(filter.suffix)};
}
