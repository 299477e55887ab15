#pragma once

#include <QStringView>

// Two rules for reading numbers that users type. Both use "." as the decimal point
// whatever the locale, so that a text means the same on every machine.

// The value of a text: leading blanks are skipped, then an optional sign, digits with
// at most one "." and an optional exponent are read up to the first character that
// cannot continue the number. A text that does not start with a number is worth 0
// ("abc" -> 0, "640px" -> 640). A value too large for a double throws "Overflow".
double TextValue(QStringView text);

// True when the whole text, blanks around it aside, is exactly one number: "" , "-",
// ".", "64 0" and "640px" are not numeric; " 12.5 ", "+3", "1e3" and "7." are.
bool IsNumeric(QStringView text);

// A numeric text as a 32-bit float, rounded to nearest. A text that is not numeric throws
// "Type mismatch"; one beyond the float range throws "Overflow".
float TextToSingle(QStringView text);
