#include "core/session.h"

#include "core/number_text.h"

#include <QUndoCommand>
#include <bit>

// A run or a clear with the set-ups just before it: undo takes them off and puts the colour
// cursor back where it stood when the step began; redo puts them back.
class Session::Step : public QUndoCommand {
public:
    Step(Session& session, std::size_t begin, std::int16_t colourBefore)
        : session_(session), begin_(begin), colourBefore_(colourBefore),
          colourAfter_(session.Miocolor),
          entries_(session.history_.begin() + static_cast<std::ptrdiff_t>(begin),
                   session.history_.end()) {
        setText(std::holds_alternative<PlotClear>(entries_.back()) ? QStringLiteral("cancella")
                                                                   : QStringLiteral("tracciato"));
    }

    void undo() override { session_.truncate(begin_, colourBefore_); }
    void redo() override {
        // Pushing the step runs this once: the step has just happened.
        if (std::exchange(fresh_, false))
            return;
        session_.truncate(begin_, colourBefore_);
        session_.append(entries_, colourAfter_);
    }

private:
    Session& session_;
    std::size_t begin_;
    std::int16_t colourBefore_;
    std::int16_t colourAfter_;
    std::vector<SessionEntry> entries_;
    bool fresh_ = true;
};

Session::Session() {
    // Undo has no limit within a session.
    undoStack_.setUndoLimit(0);
    // Heard once the stack stands at its new step, so a listener may move it again.
    connect(&undoStack_, &QUndoStack::indexChanged, this, [this] {
        if (std::exchange(replaced_, false))
            emit journalReplaced();
    });
}

Session::~Session() = default;

void Session::noteTypedConstant(int index, const QString& text) {
    typed_.at(static_cast<std::size_t>(index)) = text;
}

std::array<QString, 4> Session::typedConstants() const {
    const std::array<const TaggedValue*, 4> values{&VALa, &VALb, &VALc, &VALe};
    std::array<QString, 4> texts = typedTextsFor(constants());
    for (std::size_t index = 0; index < texts.size(); ++index) {
        const double value = values[index]->toDouble().valueOr(0.0);
        const std::optional<double> typed = parseNumber(typed_[index]);
        // The value may have been set some other way than by reading a box.
        if (typed && std::bit_cast<std::uint64_t>(*typed) == std::bit_cast<std::uint64_t>(value))
            texts[index] = typed_[index];
    }
    return texts;
}

void Session::setConstantText(int index, const QString& text) {
    constantTexts_.at(static_cast<std::size_t>(index)) = text;
}

void Session::recordSetUp(const TaggedValue& factor) {
    history_.push_back(PlotSetUp{factor});
    journal_.recordSetUp(factor);
}

void Session::recordRun(const PlotRun& run) {
    history_.push_back(run);
    journal_.recordRun(run);
    pushStep();
}

void Session::recordClear() {
    history_.push_back(PlotClear{});
    journal_.clear();
    pushStep();
}

void Session::pushStep() {
    auto* step = new Step(*this, stepBegin_, colourAtStepBegin_);
    stepBegin_ = history_.size();
    colourAtStepBegin_ = Miocolor;
    undoStack_.push(step);
    emit stepRecorded();
}

void Session::truncate(std::size_t size, std::int16_t colour) {
    history_.resize(std::min(size, history_.size()));
    Miocolor = colour;
    stepBegin_ = history_.size();
    colourAtStepBegin_ = colour;
    rebuildJournal();
    replaced_ = true;
}

void Session::append(const std::vector<SessionEntry>& entries, std::int16_t colour) {
    history_.insert(history_.end(), entries.begin(), entries.end());
    Miocolor = colour;
    stepBegin_ = history_.size();
    colourAtStepBegin_ = colour;
    rebuildJournal();
    replaced_ = true;
}

void Session::rebuildJournal() {
    journal_.clear();
    for (const SessionEntry& entry : history_) {
        if (const auto* setUp = std::get_if<PlotSetUp>(&entry))
            journal_.recordSetUp(setUp->Incr);
        else if (const auto* run = std::get_if<PlotRun>(&entry))
            journal_.recordRun(*run);
        else
            journal_.clear();
    }
}

void Session::restore(const SessionControls& controls, const std::vector<SessionEntry>& history) {
    undoStack_.clear();
    calibrationBar_ = controls.calibrationBar;
    Incr = controls.Incr;
    constantTexts_ = controls.constantTexts;
    VALa = controls.constants[0];
    VALb = controls.constants[1];
    VALc = controls.constants[2];
    VALe = controls.constants[3];
    for (std::size_t index = 0; index < typed_.size(); ++index)
        typed_[index] = controls.constants[index].toText();
    Miocolor = controls.Miocolor;
    // The texts stand as they were saved: the constants window must not write its defaults.
    Contr = TaggedValue::fromInt16(1);
    history_ = history;
    stepBegin_ = history_.size();
    colourAtStepBegin_ = Miocolor;
    rebuildJournal();
    emit restored();
}

SessionControls Session::controls() const {
    return {calibrationBar_, Incr, constantTexts_, {VALa, VALb, VALc, VALe}, Miocolor};
}
