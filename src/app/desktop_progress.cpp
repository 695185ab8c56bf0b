#include "app/platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <algorithm>

namespace {

constexpr qint64 showAfterMilliseconds = 500;
constexpr qint64 refreshEveryMilliseconds = 50;
constexpr int steps = 1000;

class DesktopProgress : public ProgressReport {
public:
    explicit DesktopProgress(QWidget* owner) : owner_(owner) { clock_.start(); }
    ~DesktopProgress() override {
        if (dialog_)
            QApplication::restoreOverrideCursor();
    }

    bool update(std::int64_t done, std::int64_t total) override {
        if (clock_.elapsed() < showAfterMilliseconds)
            return true;
        if (!dialog_)
            show();
        if (sinceRefresh_.elapsed() >= refreshEveryMilliseconds) {
            // The dialog is application-modal, so only painting and the dialog's own
            // button get through while the run goes on.
            const double share =
                total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0;
            dialog_->setValue(static_cast<int>(share * steps));
            // Show the drawing as far as it has got; a queued update would wait for the
            // window system's next frame, which does not come while the run holds the thread.
            if (owner_)
                owner_->repaint();
            QCoreApplication::processEvents();
            sinceRefresh_.restart();
        }
        return !dialog_->wasCanceled();
    }

private:
    void show() {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        dialog_ =
            std::make_unique<QProgressDialog>(QStringLiteral("Calcolo delle curve in corso..."),
                                              QStringLiteral("Annulla"), 0, steps, owner_);
        dialog_->setWindowTitle(programTitle);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumWidth(std::max(dialog_->sizeHint().width(), widthForTitle(*dialog_)));
        placeOverOwner();
        dialog_->setMinimumDuration(0);
        dialog_->setValue(0);
        sinceRefresh_.start();
    }

    // Centred over the window that draws, where it was placed by now: a window shown just
    // before the run is placed by the window manager only once its events are read.
    void placeOverOwner() {
        if (!owner_)
            return;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        dialog_->adjustSize();
        const QRect over = owner_->window()->geometry();
        QRect placed(QPoint(), dialog_->size());
        placed.moveCenter(over.center());
        dialog_->move(placed.topLeft());
    }

    QWidget* owner_ = nullptr;
    QElapsedTimer clock_;
    QElapsedTimer sinceRefresh_;
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace

std::unique_ptr<ProgressReport> DesktopPlatform::beginProgress(QWidget* owner) {
    return std::make_unique<DesktopProgress>(owner);
}
