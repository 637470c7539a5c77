#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

// The value conventions shared by every reader and writer of the data files.
namespace values {

inline constexpr QStringView kTrue = u"真";
inline constexpr QStringView kFalse = u"假";

// Full-width forms folded to ASCII (the ideographic space to a blank), then
// the leading decimal number: blanks skipped, optional sign, digits, an
// optional fraction and an optional exponent. No number gives 0; "0x10",
// "inf" and "nan" give 0. Never returns an infinity or NaN.
double textToNumber(QStringView text);

// Truncation toward zero, saturating at the 32-bit limits.
qint32 truncToInt(double value);

// textToNumber followed by truncToInt.
qint32 textToInt(QStringView text);

// printf's "%.13g".
QString formatG13(double value);

// "真" or "假".
QString flagText(bool value);

// Only the exact text "真" is true.
bool isTrueFlag(QStringView text);

} // namespace values
