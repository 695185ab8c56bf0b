#include "shell/platform.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QWidget>

namespace {

// Room for the frame's icon and its three buttons, in lines of the dialog's font.
constexpr int frameControlsInLines = 8;

} // namespace

int widthForTitle(const QWidget& dialog) {
    QFont titleFont = dialog.font();
    titleFont.setBold(true); // title bars mostly use a bold face
    const QFontMetrics metrics(titleFont);
    return metrics.horizontalAdvance(dialog.windowTitle()) + frameControlsInLines * metrics.height();
}

void DesktopPlatform::messageBox(QWidget* owner, const QString& prompt) {
    QMessageBox box(QMessageBox::NoIcon, programTitle, prompt, QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    // A message box sizes itself from its text; a spacer across its grid widens it.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(widthForTitle(box), 0, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}

void DesktopPlatform::endProgram() {
    // Hide everything at once; the event loop ends as soon as control returns to it.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}
