#include "windows/lens/lens_window.h"

#include "core/number_text.h"
#include "figure/session_file.h"
#include "shell/focus_frame.h"
#include "shell/layout.h"
#include "shell/platform.h"
#include "shell/program_shell.h"
#include "windows/lens/lens_frame.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <optional>

namespace {

// What a drag does: moves the picture, or (with Shift) marks a box to zoom into.
enum class Drag { None, Pan, Box };

// The wheel's angle, in eighths of a degree, that zooms by 2.
constexpr double wheelAngleForStep = 240.0;
// A box smaller than this, in pixels, is taken for a click.
constexpr int smallestBox = 4;

// The picture at the area's size, one pixel for a pixel; while a newer view is drawn, the
// picture of the last one moved to where that view puts it.
class LensCanvas : public QWidget {
public:
    LensCanvas(LensWindow& window, QSize size) : QWidget(&window), window_(window) {
        setFixedSize(size);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override {
        window_.zoomAt(event->position(),
                       std::pow(LensModel::zoomStep, event->angleDelta().y() / wheelAngleForStep));
        event->accept();
    }

private:
    LensWindow& window_;
    Drag drag_ = Drag::None;
    QPointF pressedAt_;
    QPointF lastAt_;
    ViewStep step_ = ViewStep::New;
};

void LensCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const LensPicture& picture = window_.frames().picture();
    if (picture.image.isNull())
        return;
    QImage image = picture.image;
    image.setDevicePixelRatio(devicePixelRatioF());
    const QSizeF area = window_.model().area();
    const LensView& shown = window_.frames().shownView();
    if (!(shown == window_.model().view()))
        painter.setTransform(lensTransform(shown, area).inverted() *
                             lensTransform(window_.model().view(), area));
    painter.drawImage(QPointF(0, 0), image);
    if (drag_ == Drag::Box) {
        painter.resetTransform();
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        painter.drawRect(QRectF(pressedAt_, lastAt_).normalized());
    }
}

void LensCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    drag_ = event->modifiers() & Qt::ShiftModifier ? Drag::Box : Drag::Pan;
    pressedAt_ = lastAt_ = event->position();
    step_ = ViewStep::New;
}

void LensCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    window_.pointAt(at);
    if (drag_ == Drag::Pan) {
        window_.panBy(at - lastAt_, step_);
        step_ = ViewStep::SameAsLast;
    }
    lastAt_ = at;
    if (drag_ == Drag::Box)
        update();
}

void LensCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QRectF box = QRectF(pressedAt_, event->position()).normalized();
    if (std::exchange(drag_, Drag::None) == Drag::Box) {
        if (box.width() >= smallestBox && box.height() >= smallestBox)
            window_.zoomToBox(box);
        update();
    }
}

// How near the cursor a dot is named, in the view's pixels, and at most in the area's.
constexpr double namingReach = 6.0;
constexpr double namingReachInArea = 32.0;
// Longer figures than this do not list their dots.
constexpr double passesToList = 5e5;

QString dotText(const NamedDot& dot) {
    const auto number = [](const TaggedValue& value) {
        return formatDouble(value.toDouble().valueOr(std::nan("")));
    };
    const CurveConstants& c = dot.constants;
    return QStringLiteral("punto del tracciato %1 (OA %2, angolo %3°, n %4, incremento di t %5), "
                          "curva %6, ALFA %7: x = %8, y = %9")
        .arg(QString::number(dot.run), number(c.VALa), number(c.VALb), number(c.VALc),
             number(c.VALe), QString::number(dot.curve), QString::number(dot.alfa),
             formatDouble(dot.place.x()), formatDouble(dot.place.y()));
}

QString placeText(QPointF place) {
    return QStringLiteral("x = %1   y = %2   (da O, in unità di OA)")
        .arg(formatDouble(place.x()), formatDouble(place.y()));
}

// The text, and the same for a screen reader, which reads the change.
void showStatus(QLabel& status, const QString& text) {
    status.setText(text);
    status.setAccessibleDescription(text);
}

QString zoomText(double zoom) {
    return QStringLiteral("Ingrandimento: ×%1").arg(formatDouble(zoom));
}

} // namespace

LensWindow::LensWindow(ProgramShell& program)
    : program_(program), look_(plotWindowLook()), model_(QSizeF(look_.logicalSize)) {
    setWindowTitle(QStringLiteral("Lente"));
    setAccessibleName(windowTitle());
    frames_ = new LatestLens(this);
    view_ = new LensCanvas(*this, look_.logicalSize);
    view_->setAccessibleName(QStringLiteral("Grafico ingrandito"));
    new FocusFrame(*view_, FocusFrame::Placement::Inside);
    status_ = new QLabel(this);
    status_->setAccessibleName(QStringLiteral("Posizione del cursore"));
    status_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    auto* column = new QVBoxLayout(this);
    column->addWidget(makeButtons());
    column->addWidget(view_, 0, Qt::AlignCenter);
    column->addWidget(status_);
    connect(frames_, &LatestLens::pictureChanged, view_, qOverload<>(&QWidget::update));
    for (auto signal : {&Session::stepRecorded, &Session::journalReplaced, &Session::restored})
        connect(&program.session(), signal, this, &LensWindow::drawingChanged);
    pointAt(QPointF(look_.logicalSize.width() / 2.0, look_.logicalSize.height() / 2.0));
}

LensWindow::~LensWindow() = default;

QPushButton* LensWindow::addButton(QWidget& row, const QString& text, const QString& name,
                                   void (LensWindow::*run)()) {
    auto* button = new QPushButton(text, &row);
    button->setAccessibleName(name);
    row.layout()->addWidget(button);
    connect(button, &QPushButton::clicked, this, run);
    return button;
}

QWidget* LensWindow::makeButtons() {
    auto* row = new QWidget(this);
    new QHBoxLayout(row);
    row->layout()->setContentsMargins(0, 0, 0, 0);
    back_ = addButton(*row, QStringLiteral("Indietro"), QStringLiteral("Vista precedente"),
                      &LensWindow::back);
    forward_ = addButton(*row, QStringLiteral("Avanti"), QStringLiteral("Vista successiva"),
                         &LensWindow::forward);
    zoomOut_ = addButton(*row, QStringLiteral("−"), QStringLiteral("Riduci"), &LensWindow::zoomOut);
    zoomIn_ =
        addButton(*row, QStringLiteral("+"), QStringLiteral("Ingrandisci"), &LensWindow::zoomIn);
    fit_ = addButton(*row, QStringLiteral("Adatta al disegno"), QStringLiteral("Adatta al disegno"),
                     &LensWindow::fitToDrawing);
    addButton(*row, QStringLiteral("Tutto"), QStringLiteral("Mostra tutto il grafico"),
              &LensWindow::reset);
    save_ = addButton(*row, QStringLiteral("Salva vista…"), QStringLiteral("Salva vista"),
                      &LensWindow::saveView);
    auto* saving = new QAction(this);
    saving->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saving->setShortcutContext(Qt::WindowShortcut);
    connect(saving, &QAction::triggered, this, &LensWindow::saveView);
    addAction(saving);
    zoomText_ = new QLabel(row);
    zoomText_->setAccessibleName(QStringLiteral("Ingrandimento"));
    row->layout()->addWidget(zoomText_);
    return row;
}

void LensWindow::zoomAt(QPointF shown, double factor) {
    model_.zoomAt(shown, factor);
    refresh();
}

void LensWindow::panBy(QPointF shownDelta, ViewStep step) {
    model_.panBy(shownDelta, step);
    refresh();
}

void LensWindow::zoomToBox(const QRectF& shownBox) {
    model_.zoomToBox(shownBox);
    refresh();
}

void LensWindow::zoomBy(double factor) {
    model_.zoomBy(factor);
    refresh();
}

void LensWindow::fitToDrawing() {
    if (const std::optional<QRectF> bounds = drawnBounds(program_.session().journal(), look_)) {
        model_.fitArea(*bounds);
        refresh();
    }
}

void LensWindow::reset() {
    model_.reset();
    refresh();
}

void LensWindow::showView(const LensView& view) {
    model_.show(view);
    refresh();
}

void LensWindow::back() {
    model_.back();
    refresh();
}

void LensWindow::forward() {
    model_.forward();
    refresh();
}

// As the plot window saves its picture: the same dialog, options, memory and messages. The
// lens's own picture is the 1× PNG when it shows the view.
void LensWindow::saveView() {
    if (program_.busy() || program_.ended())
        return;
    std::optional<SaveChoice> choice = dialogs_->chooseViewFile(this, rememberedSaveChoice());
    if (!choice || choice->path.isEmpty())
        return;
    completePath(*choice);
    rememberSaveChoice(*choice);
    const Session& session = program_.session();
    FigureLook look = look_;
    look.view = model_.view();
    FigureOptions options = choice->options;
    options.legendFont = plotWindowFont();
    const QImage shown = frames_->picture().image; // kept while the progress lets events in
    const bool current = !frames_->drawing() && frames_->shownView() == model_.view();
    std::optional<QString> failure;
    {
        const ProgramShell::BusyScope busy(program_);
        const std::unique_ptr<ProgressReport> progress =
            program_.platform().beginCopyProgress(this);
        failure = writeFigureFile(
            session.journal(), look, choice->path, writtenScale(*choice),
            current && !shown.isNull() ? &shown : nullptr, progress.get(),
            encodeSession(session.controls(), session.history(), std::nullopt, model_.view()),
            options);
    }
    if (failure)
        program_.platform().messageBox(this, *failure);
}

QPointF LensWindow::placeFromOrigin(QPointF shown) const {
    const LensPicture& picture = frames_->picture();
    const QPointF user = picture.userToLogical.inverted().map(model_.toArea(shown));
    // Curve points lie at (CX + x, CY − y): y grows upwards.
    return {user.x() - picture.origin.x(), picture.origin.y() - user.y()};
}

const DotIndex* LensWindow::listedDots() {
    if (listed_ == Listed::No) {
        const PlotJournal& journal = program_.session().journal();
        dots_.reset();
        if (double(passesToReplay(journal)) <= passesToList)
            dots_ = std::make_unique<DotIndex>(journal, look_);
        listed_ = Listed::Yes;
    }
    return dots_.get();
}

std::optional<NamedDot> LensWindow::dotNear(QPointF shown) {
    const double reach = namingReach / model_.view().zoom;
    const DotIndex* dots = reach > namingReachInArea ? nullptr : listedDots();
    named_ = dots ? dots->nearestIndex(model_.toArea(shown), reach) : std::nullopt;
    if (!named_)
        return std::nullopt;
    return dots->dot(*named_);
}

void LensWindow::pointAt(QPointF shown) {
    const QPointF place = placeFromOrigin(shown);
    QString text = placeText(place);
    if (const std::optional<NamedDot> dot = dotNear(shown))
        text += QStringLiteral(" — ") + dotText(*dot);
    showStatus(*status_, text);
}

void LensWindow::trace(DotIndex::Trace direction) {
    const DotIndex* dots = named_ ? listedDots() : nullptr;
    if (!dots)
        return;
    if (const std::optional<std::size_t> next = dots->traced(*named_, direction))
        nameDot(*next);
}

// The status line as if the cursor lay on the dot, which is brought into view when it left.
void LensWindow::nameDot(std::size_t index) {
    named_ = index;
    const NamedDot dot = dots_->dot(index);
    const QRectF seen = QRectF(QPointF(0, 0), model_.area())
                            .adjusted(namingReach, namingReach, -namingReach, -namingReach);
    if (!seen.contains(model_.toShown(dot.logical))) {
        model_.centreOn(dot.logical);
        refresh();
    }
    showStatus(*status_, placeText(dot.place) + QStringLiteral(" — ") + dotText(dot));
}

void LensWindow::refresh() {
    zoomText_->setText(zoomText(model_.view().zoom));
    back_->setEnabled(model_.canGoBack());
    forward_->setEnabled(model_.canGoForward());
    view_->update();
    if (isVisible())
        frames_->draw({program_.session().journal(), look_, devicePixelRatioF(), model_.view()});
}

void LensWindow::drawingChanged() {
    listed_ = Listed::No;
    named_.reset();
    if (isVisible())
        refresh();
}

void LensWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void LensWindow::keyPressEvent(QKeyEvent* event) {
    const bool alt = event->modifiers() & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return zoomIn();
    case Qt::Key_Minus:
        return zoomOut();
    case Qt::Key_0:
        return reset();
    case Qt::Key_Left:
        if (alt)
            return back();
        break;
    case Qt::Key_Right:
        if (alt)
            return forward();
        break;
    case Qt::Key_Up:
        return trace(DotIndex::Trace::Previous);
    case Qt::Key_Down:
        return trace(DotIndex::Trace::Next);
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}
