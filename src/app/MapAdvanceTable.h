#pragma once

#include "app/AdvancePoint.h"
#include "firmware/CurveColumn.h"

#include <QChar>
#include <QString>

#include <optional>

// The MAP advance table: advances per curve point and boost-pressure level,
// blended from the atmospheric and boost curves by the level percentages.
namespace MapAdvanceTable {

constexpr int MaxPercent = 100;
constexpr int MaxPercentDigits = 3;

// Advance of a table cell: the curve's atmospheric and boost columns at the
// row's rpm (cell text, rounded to whole rpm), moved from atmospheric toward
// boost by the level's percentage (cell text). None when the curve has no point.
std::optional<double> CellValue(const CurveColumn &atmo, const CurveColumn &turbo,
                                const QString &rpmText, const QString &percentText);

// Full-precision text of a cell value.
QString CellText(double value);

// In-cell editing of a level percentage: a digit is appended while the
// percentage stays within 0 to 100 and three digits; Backspace (code 8)
// removes the last character; every other key leaves the text as it is.
QString EditPercentCell(const QString &text, QChar key);

// Whether a percentage box text is acceptable: an optional leading blank, up to
// three digits, an optional "." and one decimal, at most 100. The empty text
// is acceptable (it reads 0).
bool IsPercentText(const QString &text);

} // namespace MapAdvanceTable
