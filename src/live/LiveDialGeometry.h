#pragma once

#include <QPointF>

// Needles of the two live dials, in their design units.
namespace LiveDials {

// End of the rpm needle (centre 1900, 1800; length 1600).
QPointF FinAiguilleRPM(int rpm);
inline constexpr QPointF CentreRPM{1900, 1800};
inline constexpr double RayonRPM = 1600;
float AngleRPM(int rpm);

// End of the load needle (centre 1050, 1300; length 1100).
QPointF FinAiguilleCharge(int load);
inline constexpr QPointF CentreCharge{1050, 1300};
inline constexpr double RayonCharge = 1100;
float AngleCharge(int load);

} // namespace LiveDials
