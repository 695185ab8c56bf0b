#pragma once

#include "shell/program_window.h"
#include "core/tagged_value.h"

#include <array>
#include <cstdint>

class QLineEdit;

// The constants window: the four constants of the curve family, read and checked by
// "AVANTI", and the colour cursor of the curves.
class Form3 : public ProgramWindow {
    Q_OBJECT
public:
    explicit Form3(ProgramShell& program);

    // The session's: the plot window reads them from there.
    TaggedValue& VALa;      // length of OA
    TaggedValue& VALb;      // angle of OA with the X axis, degrees
    TaggedValue& VALc;      // n, the last ALFA
    TaggedValue& VALe;      // increment of t per ALFA
    std::int16_t& Miocolor; // palette index of the next curve pair
    TaggedValue& Contr;     // 1 once the default texts were written

    // Each reads its text box into its variable: a double, or the empty text when the box
    // does not hold a number (after a message; the box is then emptied and turned red).
    void LeggiText1();
    void LeggiText2();
    void LeggiText3();
    void LeggiText5();

protected:
    void Form_Activate() override;

private:
    void Command1_Click();
    void Command2_Click();
    void readField(int index, TaggedValue& variable, const char* variableName);
    void showRestored();

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text5 = nullptr;
    // The boxes in the order of the constants: OA, angle, n, increment.
    std::array<QLineEdit*, 4> boxes_{};
};

// Background colours of the text boxes, as 0x00BBGGRR values.
inline constexpr quint32 normalBoxColour = 16777215; // white
inline constexpr quint32 failedBoxColour = 255;      // red

// A text box's background as a stored colour value.
quint32 boxBackColor(const QLineEdit& box);
