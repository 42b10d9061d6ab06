#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <optional>

// Conversions between text and numbers as the runtime does them.
namespace controls {

// Text to a 32-bit signed integer: blanks around the number are allowed, a
// decimal fraction or exponent is rounded half to even, "&H" introduces
// hexadecimal (as a 32-bit pattern, so "&H8000000F" is negative). No value
// for text that is not a number or does not fit. Stored values are read in
// the C locale; what the user types is read in the user's, with its decimal
// separator.
std::optional<qint32> CLng(const QString &text, const QLocale &locale = QLocale::c());

// Rounds half to even ("banker's rounding"): 0.5 -> 0, 1.5 -> 2, 2.5 -> 2.
double roundHalfEven(double value);

} // namespace controls
