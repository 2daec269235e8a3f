#pragma once

#include <QString>

// Points and scores: shortest general form with at most 15 significant digits (2, 1.5,
// 0.666666666666667).
QString FormatNumber(double value);

// Decimal text to a 32-bit integer; anything else raises "'<text>' is not a valid integer value".
int StrToInt(const QString &text);
// Decimal text to a double; anything else raises "'<text>' is not a valid floating point value".
double StrToFloat(const QString &text);

// 5400 -> "1:30:00", 59 -> "0:00:59"; hours are taken modulo 60 and have no leading zero.
QString SecondsToClock(int seconds);

// "A" + index: the letter of the option at a 0-based position in option order.
QString OptionLetter(int index);
