#include "app/AdvancePoint.h"

#include <cmath>

namespace AdvanceCurveMath {

CurveGridSnapshot ToGridSnapshot(const AdvanceCurve &curve)
{
    CurveGridSnapshot grid;
    grid.rows.reserve(curve.size() + 1);
    grid.rows.append({QStringLiteral("Rpm"), QStringLiteral("Atmo"), QStringLiteral("Turbo")});
    for (const AdvancePoint &p : curve)
        grid.rows.append({QString::number(p.rpm, 'g', 17), QString::number(p.atmo, 'g', 17),
                          QString::number(p.turbo, 'g', 17)});
    return grid;
}

double BlendAdvance(double atmo, double turbo, double pct)
{
    const double m = std::abs(turbo - atmo) * pct;
    return atmo > turbo ? atmo - m / 100 : atmo + m / 100;
}

} // namespace AdvanceCurveMath
