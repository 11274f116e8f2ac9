#include "app/AdvancePoint.h"

#include <cfenv>
#include <cmath>

namespace AdvanceCurveMath {

int RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    // nearbyint follows the current rounding mode, which is to-nearest-even
    // unless someone changed it; set it explicitly to be sure.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    std::fesetround(saved);
    if (r > 2147483647.0)
        return 2147483647;
    if (r < -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(r);
}

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
