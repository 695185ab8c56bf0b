#include "shell/platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <algorithm>
#include <atomic>

namespace {

constexpr qint64 showAfterMilliseconds = 500;
constexpr int steps = 1000;

// The run calls update() from its worker thread; the interface thread shows the dialog from
// refresh(), and "Annulla" stops the run at its next report.
class DesktopProgress : public ProgressReport {
public:
    DesktopProgress(QWidget* owner, const QString& label) : owner_(owner), label_(label) {
        clock_.start();
    }
    ~DesktopProgress() override {
        if (dialog_)
            QApplication::restoreOverrideCursor();
    }

    bool update(std::int64_t done, std::int64_t total) override {
        done_.store(done, std::memory_order_relaxed);
        total_.store(total, std::memory_order_relaxed);
        return !stopped_.load(std::memory_order_relaxed);
    }
    Caller caller() const override { return Caller::AnyThread; }

    Events refresh() override {
        if (!dialog_ && clock_.elapsed() < showAfterMilliseconds)
            return Events::AllButUserInput;
        if (!dialog_)
            show();
        const std::int64_t total = total_.load(std::memory_order_relaxed);
        const double share = total > 0
                                 ? static_cast<double>(done_.load(std::memory_order_relaxed)) /
                                       static_cast<double>(total)
                                 : 0;
        dialog_->setValue(static_cast<int>(share * steps));
        if (dialog_->wasCanceled())
            stopped_.store(true, std::memory_order_relaxed);
        // The dialog is application-modal, so only painting and its own button get through.
        return Events::All;
    }

private:
    void show() {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        dialog_ =
            std::make_unique<QProgressDialog>(label_, QStringLiteral("Annulla"), 0, steps, owner_);
        dialog_->setWindowTitle(programTitle);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumWidth(std::max(dialog_->sizeHint().width(), widthForTitle(*dialog_)));
        placeOverOwner();
        dialog_->setMinimumDuration(0);
        dialog_->setValue(0);
        QObject::connect(dialog_.get(), &QProgressDialog::canceled,
                         [this] { stopped_.store(true, std::memory_order_relaxed); });
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
    QString label_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
    std::atomic<std::int64_t> done_{0};
    std::atomic<std::int64_t> total_{0};
    std::atomic<bool> stopped_{false};
};

} // namespace

std::unique_ptr<ProgressReport> DesktopPlatform::beginProgress(QWidget* owner) {
    return std::make_unique<DesktopProgress>(owner,
                                             QStringLiteral("Calcolo delle curve in corso..."));
}

std::unique_ptr<ProgressReport> DesktopPlatform::beginCopyProgress(QWidget* owner) {
    return std::make_unique<DesktopProgress>(
        owner, QStringLiteral("Preparazione dell'immagine in corso..."));
}
