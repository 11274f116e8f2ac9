#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// Small stateless helpers shared by every part of the program.

// Number typed by a user, whatever decimal separator was used: digits and signs
// are kept, ",", "." or the locale's separator count as the decimal point,
// blanks, no-break spaces and the locale's group separator are skipped, and any
// other character ends the reading. Empty input gives 0, null gives null.
std::optional<double> ValeurNumerique(const std::optional<QString> &value);
double ValeurNumerique(const QString &value);

// A whole text read as one number with the separators ValeurNumerique takes,
// the one rule for a curve cell, typed or read from a file: blanks around it,
// an optional sign, digits with an optional fraction after ",", "." or the
// locale's separator. The text with "." as its decimal point and its blanks
// kept ("24,5" gives "24.5"); none for any other text ("2z6", "1.000,5", "").
std::optional<QString> DecimalNumberText(QStringView text);
// A number the user typed, read by DecimalNumberText: the number with "." as
// its decimal point and no blanks around it, or, for any other text, the
// refusal in the user's language ("« 7000 rpm » n'est pas un nombre."), which
// the caller prefixes with the name of the box.
struct TypedNumber {
    std::optional<QString> number;
    QString refusal;
};
TypedNumber ReadTypedNumber(const QString &typed);

// Upper-case hexadecimal text of exactly `width` digits: zero-padded, or the
// lowest digits kept. Negative values are written in two's complement.
QString HexInt(int16_t value, int width);
QString HexLong(int32_t value, int width);
// A box text read as hexadecimal: its leading hexadecimal digits; one to four
// digits are a 16-bit signed value (8000 to FFFF negative), five to eight a
// 32-bit one; none gives 0.
int32_t HexBoxValue(const QString &text);
// The whole text, blanks around it aside, read as 1 to `maxDigits` (at most 8)
// hexadecimal digits without prefix; nothing for any other text.
std::optional<uint32_t> HexDigitsValue(QStringView text, int maxDigits);
// An address or length as the settings and descriptions keep them: 1 to 4
// hexadecimal digits, 0 to 0xFFFF.
std::optional<int> HexAddress(QStringView text);
// "0x3FFF": a program word or device ID as the windows and messages show it.
QString HexWord(int32_t value);

// " 41 0A": a blank and two hexadecimal digits per byte.
QString StrToHexDump(const QByteArray &bytes);
// " 065 010": a blank and three decimal digits per byte.
QString StrToDecDump(const QByteArray &bytes);

// Fixed colour table, as red + 256 * green + 65536 * blue; unknown indexes are black.
uint32_t CouleurIndex(int index);

// The number at the start of `text` read with "." as decimal point (optional
// sign, digits, optional fraction), 0 when there is none. The rule for every
// number typed into the program's boxes and grid cells.
double NombreEnTete(QStringView text);

// Conversion of a number to an integer as the program does it everywhere:
// to the nearest, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
// Not-a-number gives 0; values beyond the int range are clamped.
int RoundHalfEven(double value);
