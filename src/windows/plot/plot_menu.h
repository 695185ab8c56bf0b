#pragma once

#include "figure/replay.h"
#include "windows/plot/figure_dialogs.h"

#include <QObject>
#include <QPoint>
#include <functional>

class PlotSurface;
class ProgramWindow;
class QAction;
class QMenu;

// The plot window's way out for its drawing: a context menu on the surface (the right
// button, the Menu key, Shift+F10) and the window's shortcuts for its entries. Saving and
// printing draw the journal afresh; copying takes the screen's buffer. None of it draws on
// the window, moves the colour cursor or runs an activation, and while a long run shows its
// progress none of it does anything.
class PlotMenu : public QObject {
    Q_OBJECT
public:
    PlotMenu(ProgramWindow& window, PlotSurface& surface, const PlotJournal& journal);

    // Tests answer the dialogs themselves.
    void setDialogs(FigureDialogs& dialogs) { dialogs_ = &dialogs; }

    QMenu& menu() const { return *menu_; }
    // Opens the menu at a point of the surface, its first entry chosen.
    void popUp(QPoint surfacePoint);

    void saveImage();
    void copyImage();
    void printImage();
    void undoRun();
    void redoRun();
    void saveSession();
    void openSession();
    void reopenLastSession();
    void exploreParameters();
    void openLens();

    // What opens a session file into the program; the plot window hands it in.
    void setSessionOpener(std::function<bool(const QString&)> opener) {
        openSessionFile_ = std::move(opener);
    }

    // The surface as a copy must reproduce it.
    FigureLook look() const;
    // The session as a figure's recipe: what the copies carry.
    Recipe recipe() const;

private:
    QAction* addEntry(const QString& text, const QList<QKeySequence>& shortcuts,
                      void (PlotMenu::*run)());
    void addSessionEntries();
    void addExplorerEntry();
    bool available() const;
    // Writes the figure as chosen; the reason, in Italian, when it could not.
    std::optional<QString> saveAs(const SaveChoice& choice);

    ProgramWindow& window_;
    PlotSurface& surface_;
    const PlotJournal& journal_;
    DesktopFigureDialogs desktopDialogs_;
    FigureDialogs* dialogs_ = &desktopDialogs_;
    QMenu* menu_ = nullptr; // the window's child
    std::function<bool(const QString&)> openSessionFile_;
};
