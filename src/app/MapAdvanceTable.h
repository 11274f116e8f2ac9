#pragma once

#include "app/AdvancePoint.h"
#include "firmware/CurveColumn.h"

#include <QString>

#include <optional>

// The MAP advance table: advances per curve point and boost-pressure level,
// blended from the atmospheric and boost curves by the level percentages.
namespace MapAdvanceTable {

// Advance of a table cell: the curve's atmospheric and boost columns at the
// row's rpm (cell text, rounded to whole rpm), moved from atmospheric toward
// boost by the level's percentage (cell text). None when the curve has no point.
std::optional<double> CellValue(const CurveColumn &atmo, const CurveColumn &turbo,
                                const QString &rpmText, const QString &percentText);

// Full-precision text of a cell value.
QString CellText(double value);

} // namespace MapAdvanceTable
