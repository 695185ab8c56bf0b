#include "windows/explore/explore_window.h"

#include "core/number_text.h"
#include "shell/focus_frame.h"
#include "shell/layout.h"
#include "shell/program_shell.h"
#include "windows/explore/animation_player.h"
#include "windows/explore/candidate_frame.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// How each constant is called beside its controls and by a screen reader.
const std::array<QString, constantCount> constantNames{
    QStringLiteral("OA"), QStringLiteral("Angolo di OA (gradi)"), QStringLiteral("n"),
    QStringLiteral("Incremento di t (gradi)")};
const std::array<QString, 3> rangeNames{QStringLiteral("Minimo"), QStringLiteral("Massimo"),
                                        QStringLiteral("Passo")};

// Numbers read and shown as the constants window reads them, in the user's locale.
class ConstantBox : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;
    QString textFromValue(double value) const override { return formatDouble(value); }
    double valueFromText(const QString& text) const override {
        return parseNumber(text).value_or(value());
    }
    QValidator::State validate(QString& text, int&) const override {
        return parseNumber(text) ? QValidator::Acceptable : QValidator::Intermediate;
    }
};

// The window's picture, as large as the view allows at the plot window's proportions.
class CandidateView : public QWidget {
public:
    CandidateView(const ExploreWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
        setMinimumSize(360, 300);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QImage& picture = window_.picture();
        if (picture.isNull())
            return;
        const QSizeF size = QSizeF(picture.size()).scaled(QSizeF(this->size()), Qt::KeepAspectRatio);
        const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, picture);
    }

private:
    const ExploreWindow& window_;
};

QString numberText(double value) {
    return formatDouble(value);
}

} // namespace

ExploreWindow::ExploreWindow(ProgramShell& program)
    : program_(program), explorer_(Explorer::startingValues(program.session())) {
    setWindowTitle(QStringLiteral("Esplora i parametri"));
    setAccessibleName(windowTitle());
    frames_ = new LatestFrame(this);
    player_ = new AnimationPlayer(this);
    auto* grid = new QGridLayout;
    for (std::size_t end = 0; end < rangeNames.size(); ++end)
        grid->addWidget(new QLabel(rangeNames[end], this), 0, int(end) + 3);
    for (std::size_t index = 0; index < constantCount; ++index)
        addRow(*grid, Constant(index));
    view_ = new CandidateView(*this, this);
    view_->setAccessibleName(QStringLiteral("Anteprima del grafico"));
    new FocusFrame(*view_, FocusFrame::Placement::Inside);
    refusal_ = new QLabel(this);
    refusal_->setAccessibleName(QStringLiteral("Motivo del rifiuto"));
    refusal_->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(view_, 1);
    column->addWidget(refusal_);
    column->addWidget(makeAnimationControls());
    column->addWidget(makeButtons());
    connect(frames_, &LatestFrame::pictureChanged, view_, qOverload<>(&QWidget::update));
    for (auto signal : {&Session::stepRecorded, &Session::journalReplaced, &Session::restored})
        connect(&program.session(), signal, this, &ExploreWindow::drawingChanged);
    for (std::size_t index = 0; index < constantCount; ++index)
        connectRow(Constant(index));
    connectPlayer();
}

ExploreWindow::~ExploreWindow() = default;

void ExploreWindow::addRow(QGridLayout& grid, Constant constant) {
    Row& made = rows_[static_cast<std::size_t>(constant)];
    const QString& name = constantNames[static_cast<std::size_t>(constant)];
    const int line = int(constant) + 1;
    auto* label = new QLabel(name, this);
    made.slider = new QSlider(Qt::Horizontal, this);
    made.slider->setFocusPolicy(Qt::StrongFocus);
    made.slider->setAccessibleName(QStringLiteral("Cursore di ") + name);
    made.box = new ConstantBox(this);
    made.box->setDecimals(10);
    made.box->setAccessibleName(QStringLiteral("Valore di ") + name);
    label->setBuddy(made.box);
    grid.addWidget(label, line, 0);
    grid.addWidget(made.slider, line, 1);
    grid.addWidget(made.box, line, 2);
    for (std::size_t end = 0; end < made.range.size(); ++end) {
        made.range[end] = new QLineEdit(this);
        made.range[end]->setMaximumWidth(90);
        made.range[end]->setAccessibleName(rangeNames[end] + QStringLiteral(" di ") + name);
        grid.addWidget(made.range[end], line, int(end) + 3);
    }
    made.fault = new QLabel(this);
    made.fault->setAccessibleName(QStringLiteral("Intervallo di ") + name);
    grid.addWidget(made.fault, line, 6);
    showRangeFields(constant);
    showRange(constant);
}

void ExploreWindow::connectRow(Constant constant) {
    const Row& made = row(constant);
    connect(made.box, &QDoubleSpinBox::valueChanged, this,
            [this, constant](double value) { valueTyped(constant, value); });
    connect(made.slider, &QSlider::valueChanged, this,
            [this, constant](int position) { sliderMoved(constant, position); });
    for (QLineEdit* field : made.range)
        connect(field, &QLineEdit::editingFinished, this, [this, constant] { readRange(constant); });
}

QWidget* ExploreWindow::makeButtons() {
    auto* buttons = new QWidget(this);
    auto* line = new QHBoxLayout(buttons);
    line->setContentsMargins(0, 0, 0, 0);
    add_ = new QPushButton(QStringLiteral("Aggiungi al grafico"), buttons);
    connect(add_, &QPushButton::clicked, this, &ExploreWindow::addToPlot);
    line->addWidget(add_);
    animate_ = new QPushButton(QStringLiteral("Anima"), buttons);
    connect(animate_, &QPushButton::clicked, this, &ExploreWindow::animate);
    line->addWidget(animate_);
    export_ = new QPushButton(QStringLiteral("Esporta animazione…"), buttons);
    connect(export_, &QPushButton::clicked, this, &ExploreWindow::exportAnimation);
    line->addWidget(export_);
    line->addStretch();
    auto* closer = new QPushButton(QStringLiteral("Chiudi"), buttons);
    connect(closer, &QPushButton::clicked, this, &QWidget::close);
    line->addWidget(closer);
    return buttons;
}

QLineEdit& ExploreWindow::rangeField(Constant constant, RangeEnd end) const {
    return *row(constant).range[static_cast<std::size_t>(end)];
}

const QImage& ExploreWindow::picture() const {
    return player_->state() == PlayerState::Stopped ? frames_->picture() : player_->picture();
}

void ExploreWindow::showRangeFields(Constant constant) {
    const SliderRange& range = explorer_.range(constant);
    const Row& shown = row(constant);
    shown.range[0]->setText(numberText(range.minimum));
    shown.range[1]->setText(numberText(range.maximum));
    shown.range[2]->setText(numberText(range.step));
}

// The slider and the box take the model's range and value, without answering back.
void ExploreWindow::showRange(Constant constant) {
    const SliderRange& range = explorer_.range(constant);
    const Row& shown = row(constant);
    const QSignalBlocker quietSlider(shown.slider);
    const QSignalBlocker quietBox(shown.box);
    shown.slider->setRange(0, explorer_.positions(constant));
    shown.slider->setPageStep(10);
    shown.box->setRange(range.minimum, range.maximum);
    shown.box->setSingleStep(range.step);
    shown.box->setValue(explorer_.value(constant));
    shown.slider->setValue(explorer_.position(constant));
}

void ExploreWindow::readRange(Constant constant) {
    const Row& read = row(constant);
    std::array<std::optional<double>, 3> numbers;
    for (std::size_t end = 0; end < numbers.size(); ++end)
        numbers[end] = parseNumber(read.range[end]->text());
    RangeFault fault = RangeFault::NotANumber;
    if (numbers[0] && numbers[1] && numbers[2])
        fault = explorer_.setRange(constant, {*numbers[0], *numbers[1], *numbers[2]});
    read.fault->setText(faultWord(fault));
    if (fault != RangeFault::None)
        return;
    showRange(constant);
    refresh();
}

void ExploreWindow::valueTyped(Constant constant, double value) {
    explorer_.setValue(constant, value);
    const QSignalBlocker quiet(row(constant).slider);
    row(constant).slider->setValue(explorer_.position(constant));
    refresh();
}

// The model takes the box's value, so what is shown is what is added.
void ExploreWindow::sliderMoved(Constant constant, int position) {
    explorer_.setPosition(constant, position);
    const QSignalBlocker quiet(row(constant).box);
    row(constant).box->setValue(explorer_.value(constant));
    explorer_.setValue(constant, row(constant).box->value());
    refresh();
}

// An animation shows what the values were: it gives way to the new candidate.
void ExploreWindow::refresh() {
    player_->stop();
    const Session& session = program_.session();
    if (drawnIncr_ != session.Incr.toText())
        frames_->forgetDrawing();
    drawnIncr_ = session.Incr.toText();
    const std::optional<QString> refusal = explorer_.refusal(session.Incr);
    refusal_->setText(refusal.value_or(QString()));
    view_->setAccessibleDescription(explorer_.description() +
                                    (refusal ? QStringLiteral(". Rifiutato: ") + *refusal : QString()));
    FrameRequest request{session.journal(), session.Incr, plotWindowLook(), devicePixelRatioF(),
                         std::nullopt, Explorer::colourBeforeRun(session.Miocolor), {}};
    if (!refusal)
        request.candidate = explorer_.candidate();
    frames_->draw(std::move(request));
}

void ExploreWindow::drawingChanged() {
    frames_->forgetDrawing();
    if (isVisible())
        refresh();
}

void ExploreWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void ExploreWindow::hideEvent(QHideEvent* event) {
    player_->stop();
    QWidget::hideEvent(event);
}

void ExploreWindow::addToPlot() {
    if (program_.busy() || program_.ended())
        return;
    program_.typeConstantsAndGo(explorer_.typedTexts());
}
