#pragma once

#include "figure/dot_index.h"
#include "windows/lens/lens_dialogs.h"
#include "windows/lens/lens_model.h"

#include <memory>

#include <QWidget>

class LatestLens;
class ProgramShell;
class QLabel;
class QPushButton;

// "Lente": the figure as it stands, drawn again through a view that zooms and pans, sharp at
// any zoom. The wheel zooms at the cursor, a drag pans, a drag with Shift zooms into its box;
// + and − zoom by 2, 0 shows the whole area again, Alt+Left and Alt+Right walk back and
// forth through the views. The line under the view gives the cursor's place from O in OA's
// units and names the dot near it; Up and Down trace that dot's curve. It reads the session
// and changes nothing in it. "Salva vista…" writes what it shows to a file.
class LensWindow : public QWidget {
    Q_OBJECT
public:
    explicit LensWindow(ProgramShell& program);
    ~LensWindow() override;

    const LensModel& model() const { return model_; }
    QWidget& view() const { return *view_; }
    QLabel& statusLabel() const { return *status_; }
    QLabel& zoomLabel() const { return *zoomText_; }
    QPushButton& zoomInButton() const { return *zoomIn_; }
    QPushButton& zoomOutButton() const { return *zoomOut_; }
    QPushButton& fitButton() const { return *fit_; }
    QPushButton& backButton() const { return *back_; }
    QPushButton& forwardButton() const { return *forward_; }
    QPushButton& saveButton() const { return *save_; }
    LatestLens& frames() const { return *frames_; }

    // What the view's gestures do, in the view's logical pixels.
    void zoomAt(QPointF shown, double factor);
    void panBy(QPointF shownDelta, ViewStep step);
    void zoomToBox(const QRectF& shownBox);
    void zoomBy(double factor);
    void zoomIn() { zoomBy(LensModel::zoomStep); }
    void zoomOut() { zoomBy(1 / LensModel::zoomStep); }
    void fitToDrawing();
    void reset();
    // A view recalled by a figure saved from the lens.
    void showView(const LensView& view);
    void back();
    void forward();
    // "Salva vista…" (Ctrl+S): what the lens shows, at its size, in a file of the figure
    // formats, carrying the session and the view.
    void saveView();
    void setDialogs(LensDialogs& dialogs) { dialogs_ = &dialogs; }
    // The cursor's place, shown in the status line; the place in the figure from O.
    void pointAt(QPointF shown);
    QPointF placeFromOrigin(QPointF shown) const;
    // The dot drawn nearest the cursor, within a few pixels; none for a figure too long to
    // list its dots.
    std::optional<NamedDot> dotNear(QPointF shown);
    // Up and Down: the dot before or after the one named, along its curve; it is kept in
    // view. Nothing past either end of the curve, nor when no dot is named.
    void trace(DotIndex::Trace direction);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeButtons();
    QPushButton* addButton(QWidget& row, const QString& text, const QString& name,
                           void (LensWindow::*run)());
    // The view changed, or the drawing under it.
    void refresh();
    void drawingChanged();
    const DotIndex* listedDots();
    void nameDot(std::size_t index);

    ProgramShell& program_;
    FigureLook look_;
    LensModel model_;
    QWidget* view_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* zoomText_ = nullptr;
    QPushButton* zoomIn_ = nullptr;
    QPushButton* zoomOut_ = nullptr;
    QPushButton* fit_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    QPushButton* save_ = nullptr;
    LatestLens* frames_ = nullptr;
    DesktopLensDialogs desktopDialogs_;
    LensDialogs* dialogs_ = &desktopDialogs_;
    // The journal's dots, listed when first asked for after the drawing changed.
    std::unique_ptr<DotIndex> dots_;
    enum class Listed { No, Yes };
    Listed listed_ = Listed::No;
    // The dot the status line names, which Up and Down trace from.
    std::optional<std::size_t> named_;
};
