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

static double valueOf(const AdvancePoint &p, int column)
{
    return column == 2 ? p.turbo : p.atmo;
}

double Interpolate(const AdvanceCurve &curve, double rpm, int column)
{
    if (curve.isEmpty())
        return -1;
    if (curve.first().rpm >= rpm)
        return valueOf(curve.first(), column);
    if (curve.last().rpm <= rpm)
        return valueOf(curve.last(), column);
    qsizetype i = 1;
    while (curve.at(i).rpm < rpm && i < curve.size() - 1)
        ++i;
    const AdvancePoint &a = curve.at(i - 1);
    const AdvancePoint &b = curve.at(i);
    if (b.rpm == a.rpm)
        return valueOf(b, column);
    return (rpm - a.rpm) / (b.rpm - a.rpm) * (valueOf(b, column) - valueOf(a, column)) +
           valueOf(a, column);
}

double BlendAdvance(double atmo, double turbo, double pct)
{
    const double m = std::abs(turbo - atmo) * pct;
    return atmo > turbo ? atmo - m / 100 : atmo + m / 100;
}

} // namespace AdvanceCurveMath
