#include "windows/plot/plot_menu.h"

#include "figure/session_file.h"
#include "shell/layout.h"
#include "shell/platform.h"
#include "shell/program_shell.h"
#include "shell/program_window.h"
#include "surface/plot_surface.h"
#include "windows/plot/curve_run.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QUndoStack>

PlotMenu::PlotMenu(ProgramWindow& window, PlotSurface& surface, const PlotJournal& journal)
    : QObject(&window), window_(window), surface_(surface), journal_(journal),
      menu_(new QMenu(&window)) {
    menu_->setAccessibleName(QStringLiteral("Menu del grafico"));
    addEntry(QStringLiteral("&Salva immagine…"), {QKeySequence(Qt::CTRL | Qt::Key_S)},
             &PlotMenu::saveImage);
    addEntry(QStringLiteral("&Copia immagine"), {QKeySequence(Qt::CTRL | Qt::Key_C)},
             &PlotMenu::copyImage);
    addEntry(QStringLiteral("S&tampa…"), {QKeySequence(Qt::CTRL | Qt::Key_P)},
             &PlotMenu::printImage);
    addSessionEntries();
    addExplorerEntry();
    surface_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&surface_, &QWidget::customContextMenuRequested, this, &PlotMenu::popUp);
    // The keyboard's ways to the menu, wherever the focus is in the window.
    auto* opener = new QAction(this);
    opener->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    opener->setShortcutContext(Qt::WindowShortcut);
    connect(opener, &QAction::triggered, this, [this] { popUp(surface_.rect().center()); });
    window_.addAction(opener);
}

QAction* PlotMenu::addEntry(const QString& text, const QList<QKeySequence>& shortcuts,
                            void (PlotMenu::*run)()) {
    QAction* action = menu_->addAction(text);
    action->setShortcuts(shortcuts);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, run);
    window_.addAction(action);
    return action;
}

// Undo and the session files, after the figure's entries.
void PlotMenu::addSessionEntries() {
    QUndoStack& steps = window_.program().session().undoStack();
    menu_->addSeparator();
    QAction* undo = addEntry(QStringLiteral("&Annulla tracciato"),
                             {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &PlotMenu::undoRun);
    QAction* redo = addEntry(
        QStringLiteral("&Ripristina tracciato"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        &PlotMenu::redoRun);
    undo->setEnabled(steps.canUndo());
    redo->setEnabled(steps.canRedo());
    connect(&steps, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&steps, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    menu_->addSeparator();
    addEntry(QStringLiteral("Salva s&essione…"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
             &PlotMenu::saveSession);
    addEntry(QStringLiteral("A&pri sessione…"), {QKeySequence(Qt::CTRL | Qt::Key_O)},
             &PlotMenu::openSession);
    addEntry(QStringLiteral("Riapri l'&ultima sessione"), {}, &PlotMenu::reopenLastSession);
}

// The explorer and the lens open from their own entries, after the session's.
void PlotMenu::addExplorerEntry() {
    menu_->addSeparator();
    addEntry(QStringLiteral("&Esplora i parametri…"), {QKeySequence(Qt::CTRL | Qt::Key_E)},
             &PlotMenu::exploreParameters);
    addEntry(QStringLiteral("&Ingrandisci…"), {QKeySequence(Qt::CTRL | Qt::Key_L)},
             &PlotMenu::openLens);
}

bool PlotMenu::available() const {
    const ProgramShell& program = window_.program();
    return !program.busy() && !program.ended();
}

void PlotMenu::popUp(QPoint surfacePoint) {
    if (!available())
        return;
    menu_->popup(surface_.mapToGlobal(surfacePoint));
    menu_->setActiveAction(menu_->actions().constFirst());
}

FigureLook PlotMenu::look() const {
    return {surface_.size(), QPointF(surface_.logicalDpiX(), surface_.logicalDpiY()),
            surface_.palette().color(QPalette::WindowText).rgb(),
            surface_.palette().color(QPalette::Window).rgb()};
}

// The dialog opens at the last choice, remembered across starts; after a failed save it opens
// again with the same name, so that only what was wrong needs mending.
void PlotMenu::saveImage() {
    if (!available())
        return;
    SaveChoice proposed = rememberedSaveChoice();
    FigureDialogs::SaveAsk ask = FigureDialogs::SaveAsk::First;
    while (const std::optional<SaveChoice> choice =
               dialogs_->chooseSaveFile(&window_, proposed, ask)) {
        if (choice->path.isEmpty())
            return;
        proposed = *choice;
        completePath(proposed);
        rememberSaveChoice(proposed);
        const std::optional<QString> failure = saveAs(proposed);
        if (!failure)
            return;
        window_.program().platform().messageBox(&window_, *failure);
        ask = FigureDialogs::SaveAsk::Again;
    }
}

std::optional<QString> PlotMenu::saveAs(const SaveChoice& choice) {
    FigureOptions options = choice.options;
    options.legendFont = plotWindowFont();
    const QImage screen = surface_.snapshot();
    // A long copy shows its progress as a long run does; "Annulla" leaves no file.
    const ProgramShell::BusyScope busy(window_.program());
    const std::unique_ptr<ProgressReport> progress =
        window_.program().platform().beginCopyProgress(&window_);
    return writeFigureFile(journal_, look(), choice.path, writtenScale(choice), &screen,
                           progress.get(), recipe(), options);
}

void PlotMenu::copyImage() {
    if (!available())
        return;
    QImage image = surface_.snapshot();
    image.setText(recipeKey, QString::fromUtf8(recipe()));
    QGuiApplication::clipboard()->setImage(image);
}

// Printed on white by default, to save ink, and on a page turned as the figure is; the
// preview's buttons give the window's background and the legend.
void PlotMenu::printImage() {
    if (!available())
        return;
    const FigureLook figure = look();
    // A long figure is drawn once, before the dialog, with its progress: the preview paints its
    // page again and again, and a print that "Annulla" stopped half-way must not go out. It is
    // drawn with a clear background, so that the page's background can be chosen.
    std::optional<QPicture> recorded;
    if (double(passesToReplay(journal_)) >= passesForWorker) {
        const ProgramShell::BusyScope busy(window_.program());
        const std::unique_ptr<ProgressReport> progress =
            window_.program().platform().beginCopyProgress(&window_);
        runCopy(journal_, progress.get(), [&](ProgressReport* reports) {
            recorded = recordFigure(journal_, withClearBackground(figure), reports);
        });
        if (!recorded)
            return;
    }
    PrintSetUp setUp;
    setUp.turn = figure.logicalSize.width() > figure.logicalSize.height() ? PageTurn::Landscape
                                                                          : PageTurn::Portrait;
    FigureOptions options;
    options.legendFont = plotWindowFont();
    const std::optional<QString> failure = dialogs_->print(
        &window_,
        [&](QPainter& painter, const QRectF& page, double unitsPerInch) {
            options.background = setUp.background;
            options.legend = setUp.legend;
            paintFigurePage(journal_, figure, options, recorded ? &*recorded : nullptr, painter,
                            fittedFigure(figure, page), unitsPerInch);
        },
        setUp);
    if (failure)
        window_.program().platform().messageBox(&window_, *failure);
}

Recipe PlotMenu::recipe() const {
    const Session& session = window_.program().session();
    return encodeSession(session.controls(), session.history());
}

void PlotMenu::undoRun() {
    if (available())
        window_.program().session().undo();
}

void PlotMenu::redoRun() {
    if (available())
        window_.program().session().redo();
}

void PlotMenu::saveSession() {
    if (!available())
        return;
    const std::optional<QString> chosen =
        dialogs_->chooseSessionFile(&window_, FigureDialogs::SessionFile::Save);
    if (!chosen || chosen->isEmpty())
        return;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + sessionSuffix;
    if (const std::optional<QString> failure = writeSessionFile(path, recipe()))
        window_.program().platform().messageBox(&window_, *failure);
}

void PlotMenu::openSession() {
    if (!available() || !openSessionFile_)
        return;
    const std::optional<QString> chosen =
        dialogs_->chooseSessionFile(&window_, FigureDialogs::SessionFile::Open);
    if (chosen && !chosen->isEmpty())
        openSessionFile_(*chosen);
}

void PlotMenu::reopenLastSession() {
    if (!available() || !openSessionFile_)
        return;
    const QString kept = window_.program().keptSessionPath();
    if (kept.isEmpty() || !QFileInfo::exists(kept)) {
        window_.program().platform().messageBox(
            &window_, QStringLiteral("Non c'è una sessione precedente da riaprire."));
        return;
    }
    openSessionFile_(kept);
}

void PlotMenu::exploreParameters() {
    if (available())
        window_.program().showTool(ToolWindow::Explore);
}

void PlotMenu::openLens() {
    if (available())
        window_.program().showTool(ToolWindow::Lens);
}
