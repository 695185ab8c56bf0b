#pragma once

#include "test_windows.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStringList>

// Plays one step of a user's walk on the real windows; false for a step it does not know.
// "run=A;B;N;E" types the constants (in the user's locale) and presses AVANTI, "lines" and
// "clear" press the plot window's Command4 and Command2, "incr=F" sets the calibration
// factor, "colour=K" the colour cursor.
inline bool playUserStep(Program& program, const QString& step) {
    const QString value = step.section(QLatin1Char('='), 1);
    if (step.startsWith(QLatin1String("run="))) {
        const QStringList texts = value.split(QLatin1Char(';'));
        program.Show(program.form3());
        for (int index = 0; index < 4; ++index)
            program.form3()
                .control<QLineEdit>(QStringLiteral("Text%1").arg("1235"[index]))
                ->setText(texts.at(index));
        program.form3().control<QPushButton>("Command2")->click();
    } else if (step == QLatin1String("lines") || step == QLatin1String("clear")) {
        program.form4()
            .control<QPushButton>(step == QLatin1String("lines") ? "Command4" : "Command2")
            ->click();
    } else if (step.startsWith(QLatin1String("incr="))) {
        program.form2().Incr = TaggedValue::fromDouble(QLocale().toDouble(value));
    } else if (step.startsWith(QLatin1String("colour="))) {
        program.form3().Miocolor = static_cast<std::int16_t>(value.toInt());
    } else {
        return false;
    }
    return true;
}

// The steps, separated by blanks, in order.
inline void playUserSteps(Program& program, const QString& steps) {
    for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        playUserStep(program, step);
}
