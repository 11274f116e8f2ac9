#include "app/MapAdvanceTable.h"

#include "base/NumberHelpers.h"

namespace MapAdvanceTable {

std::optional<double> CellValue(const CurveColumn &atmo, const CurveColumn &turbo,
                                const QString &rpmText, const QString &percentText)
{
    const int rpm = AdvanceCurveMath::RoundHalfEven(NombreEnTete(rpmText));
    const std::optional<double> a1 = atmo.at(rpm);
    const std::optional<double> a2 = turbo.at(rpm);
    if (!a1 || !a2)
        return std::nullopt;
    return AdvanceCurveMath::BlendAdvance(*a1, *a2, NombreEnTete(percentText));
}

QString CellText(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace MapAdvanceTable
