#pragma once

#include "core/progress.h"

#include <QString>
#include <memory>

class QWidget;

// What the windows ask of the desktop beyond drawing: a message box and ending the
// program. Tests put a recorder in its place, so they never block on a dialog.
class Platform {
public:
    virtual ~Platform() = default;
    // Modal, the prompt only, one OK button, no icon, the program's title as caption.
    virtual void messageBox(QWidget* owner, const QString& prompt) = 0;
    // Closes every window at once and ends the program.
    virtual void endProgram() = 0;
    // Starts reporting a long task: a busy cursor and a modal progress dialog with
    // "Annulla" once it has lasted half a second; nothing for a short one.
    virtual std::unique_ptr<ProgressReport> beginProgress(QWidget* owner) = 0;
    // The same for a copy of the drawing that is saved or printed.
    virtual std::unique_ptr<ProgressReport> beginCopyProgress(QWidget* owner) {
        return beginProgress(owner);
    }
};

// The program's title, as its message boxes show it.
inline const QString programTitle = QStringLiteral("CURVE ZOR-PUN");

// The width a dialog needs for the window frame to show its whole title beside the frame's
// icon and buttons: window managers cut the title of a dialog as narrow as a short prompt.
int widthForTitle(const QWidget& dialog);

class DesktopPlatform : public Platform {
public:
    void messageBox(QWidget* owner, const QString& prompt) override;
    void endProgram() override;
    std::unique_ptr<ProgressReport> beginProgress(QWidget* owner) override;
    std::unique_ptr<ProgressReport> beginCopyProgress(QWidget* owner) override;
};
