#pragma once

// Number <-> text only: holds no tagged value and draws nothing.

#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

// Number <-> text in the user's locale, the way the program shows numbers in its text
// boxes and reads the constants the user types.

// Reads a whole text as a finite double under the locale's decimal and group separators.
// Returns nothing for a text that is not a number (the empty text and blanks included),
// and for one whose value is not a finite double.
std::optional<double> parseNumber(QStringView text, const QLocale& locale = QLocale());

// True exactly when parseNumber() accepts the text.
inline bool isNumeric(QStringView text, const QLocale& locale = QLocale()) {
    return parseNumber(text, locale).has_value();
}

// A double rounded to 15 significant digits, a single to 7: trailing zeros dropped, no
// leading blank, no group separators, -0 as "0", exponent form ("1E+15", "1.5E-05") below
// 1E-04 and from 1E+15, the locale's decimal separator.
QString formatDouble(double value, const QLocale& locale = QLocale());
QString formatSingle(float value, const QLocale& locale = QLocale());

// The shortest text in the locale that parseNumber() reads back as exactly this finite value:
// the text a session file keeps for a constant nobody typed.
QString shortestNumberText(double value, const QLocale& locale = QLocale());

// What the user is told when a constant does not hold a number, e.g. "VALa non è un numero".
inline QString notANumberMessage(const char* variableName) {
    return QStringLiteral("%1 non è un numero").arg(QLatin1String(variableName));
}
