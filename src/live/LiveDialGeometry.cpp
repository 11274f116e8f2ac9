#include "live/LiveDialGeometry.h"

#include <cmath>

namespace LiveDials {

// The dials were laid out with this value of pi; keeping it keeps the needles
// on their printed scales.
constexpr double Pi = 3.1419256;

float AngleRPM(int rpm)
{
    return float(rpm * Pi / 5350 - (Pi / 4 + Pi));
}
float AngleCharge(int load)
{
    return float(load * Pi / 200 - (Pi - Pi / 4));
}

QPointF FinAiguilleRPM(int rpm)
{
    const float a = AngleRPM(rpm);
    return CentreRPM + QPointF(RayonRPM * std::cos(a), RayonRPM * std::sin(a));
}

QPointF FinAiguilleCharge(int load)
{
    const float a = AngleCharge(load);
    return CentreCharge + QPointF(RayonCharge * std::cos(a), RayonCharge * std::sin(a));
}

} // namespace LiveDials
