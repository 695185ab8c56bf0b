#pragma once

#include "figure/dot_index.h"
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
// units. It reads the session and changes nothing in it.
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
    void back();
    void forward();
    // The cursor's place, shown in the status line; the place in the figure from O.
    void pointAt(QPointF shown);
    QPointF placeFromOrigin(QPointF shown) const;
    // The dot drawn nearest the cursor, within a few pixels; none for a figure too long to
    // list its dots.
    std::optional<NamedDot> dotNear(QPointF shown);

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
    LatestLens* frames_ = nullptr;
    // The journal's dots, listed when first asked for after the drawing changed.
    std::unique_ptr<DotIndex> dots_;
    enum class Listed { No, Yes };
    Listed listed_ = Listed::No;
};
