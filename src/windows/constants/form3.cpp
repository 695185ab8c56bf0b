#include "windows/constants/form3.h"

#include "app/platform.h"
#include "app/program.h"
#include "core/number_text.h"
#include "windows/plot/form4.h"

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

Form3::Form3(Program& program) : ProgramWindow(program, form3Layout()) {
    Text1 = control<QLineEdit>(QStringLiteral("Text1"));
    Text2 = control<QLineEdit>(QStringLiteral("Text2"));
    Text3 = control<QLineEdit>(QStringLiteral("Text3"));
    Text5 = control<QLineEdit>(QStringLiteral("Text5"));
    // The title is a single blank; a screen reader says what the window is for instead.
    setAccessibleName(QStringLiteral("Form3, valori delle costanti"));
    onClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
    onClick(QStringLiteral("Command2"), [this] { Command2_Click(); });
}

void Form3::readField(QLineEdit& box, TaggedValue& variable, const char* variableName) {
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
    readField(*Text1, VALa, "VALa");
}
void Form3::LeggiText2() {
    readField(*Text2, VALb, "VALb");
}
void Form3::LeggiText3() {
    readField(*Text3, VALc, "VALc");
}
void Form3::LeggiText5() {
    readField(*Text5, VALe, "VALe");
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
    program().Show(program().form4());
}

void Form3::Command1_Click() {
    program().End();
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
