#include "app/platform.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

void DesktopPlatform::messageBox(QWidget* owner, const QString& prompt) {
    QMessageBox box(QMessageBox::NoIcon, programTitle, prompt, QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void DesktopPlatform::endProgram() {
    // Hide everything at once; the event loop ends as soon as control returns to it.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}
