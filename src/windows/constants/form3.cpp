#include "windows/constants/form3.h"

#include "shell/platform.h"
#include "shell/program_shell.h"
#include "core/number_text.h"

#include <QLineEdit>

namespace {

void setBoxBackColor(QLineEdit& box, quint32 stored) {
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, *colorFromStored(stored));
    box.setPalette(palette);
}

} // namespace

quint32 boxBackColor(const QLineEdit& box) {
    const QColor colour = box.palette().color(QPalette::Base);
    return static_cast<quint32>(colour.red()) | static_cast<quint32>(colour.green()) << 8 |
           static_cast<quint32>(colour.blue()) << 16;
}

Form3::Form3(ProgramShell& program)
    : ProgramWindow(program, form3Layout()), VALa(program.session().VALa),
      VALb(program.session().VALb), VALc(program.session().VALc), VALe(program.session().VALe),
      Miocolor(program.session().Miocolor), Contr(program.session().Contr) {
    Text1 = control<QLineEdit>(QStringLiteral("Text1"));
    Text2 = control<QLineEdit>(QStringLiteral("Text2"));
    Text3 = control<QLineEdit>(QStringLiteral("Text3"));
    Text5 = control<QLineEdit>(QStringLiteral("Text5"));
    boxes_ = {Text1, Text2, Text3, Text5};
    for (int index = 0; index < 4; ++index)
        connect(boxes_[std::size_t(index)], &QLineEdit::textChanged, this,
                [this, index](const QString& text) {
                    this->program().session().setConstantText(index, text);
                });
    connect(&program.session(), &Session::restored, this, &Form3::showRestored);
    // Made after a session was opened: its texts stand, as the defaults would once written.
    // Otherwise the session hears of the texts the boxes start with.
    if (compareNumber(Contr, 1).valueOr(1) == 0)
        showRestored();
    else
        for (std::size_t index = 0; index < boxes_.size(); ++index)
            program.session().setConstantText(int(index), boxes_[index]->text());
    // The title is a single blank; a screen reader says what the window is for instead.
    setAccessibleName(QStringLiteral("Form3, valori delle costanti"));
    onClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
    onClick(QStringLiteral("Command2"), [this] { Command2_Click(); });
}

void Form3::readField(int index, TaggedValue& variable, const char* variableName) {
    QLineEdit& box = *boxes_[std::size_t(index)];
    program().session().noteTypedConstant(index, box.text());
    if (const std::optional<double> number = parseNumber(box.text())) {
        variable = TaggedValue::fromDouble(*number);
        return;
    }
    program().platform().messageBox(this, notANumberMessage(variableName));
    box.setText(QString());
    setBoxBackColor(box, failedBoxColour);
    // The user types the correction next, so the emptied box takes the keys.
    box.setFocus(Qt::OtherFocusReason);
    variable = TaggedValue::fromText(QString());
}

void Form3::LeggiText1() {
    readField(0, VALa, "VALa");
}
void Form3::LeggiText2() {
    readField(1, VALb, "VALb");
}
void Form3::LeggiText3() {
    readField(2, VALc, "VALc");
}
void Form3::LeggiText5() {
    readField(3, VALe, "VALe");
}

void Form3::Command2_Click() {
    const QString failed;
    LeggiText1();
    if (equalsText(VALa, failed))
        return;
    LeggiText2();
    if (equalsText(VALb, failed))
        return;
    LeggiText3();
    if (equalsText(VALc, failed))
        return;
    LeggiText5();
    if (equalsText(VALe, failed))
        return;
    if (Miocolor > 14)
        Miocolor = 0;
    program().Show(WindowName::Plot);
}

void Form3::Command1_Click() {
    program().End();
}

// An opened session's texts, as they stood when it was saved.
void Form3::showRestored() {
    const std::array<QString, 4>& texts = program().session().constantTexts();
    for (std::size_t index = 0; index < boxes_.size(); ++index)
        boxes_[index]->setText(texts[index]);
}

void Form3::Form_Activate() {
    for (QLineEdit* box : {Text1, Text2, Text3, Text5})
        setBoxBackColor(*box, normalBoxColour);
    const Outcome<int> contr = compareNumber(Contr, 1);
    if (!contr || contr.value() != 0) {
        Contr = TaggedValue::fromInt16(1);
        Text1->setText(TaggedValue::fromInt16(86).toText());
        Text2->setText(TaggedValue::fromInt16(55).toText());
        Text3->setText(TaggedValue::fromInt16(90).toText());
        Text5->setText(TaggedValue::fromInt16(1).toText());
    }
}
