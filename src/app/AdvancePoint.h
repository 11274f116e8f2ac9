#pragma once

#include "base/NumberHelpers.h"
#include "firmware/CurveGridSnapshot.h"

#include <QList>

// One point of the advance curve as the map and the MAP table read it: engine
// speed in rpm, atmospheric and boost advance in degrees.
struct AdvancePoint {
    double rpm = 0;
    double atmo = 0;
    double turbo = 0;
};

using AdvanceCurve = QList<AdvancePoint>; // ascending rpm

namespace AdvanceCurveMath {

using ::RoundHalfEven;

// The curve as the grid of text cells that the interpolation reads (row 0 the
// titles, then one row per point).
CurveGridSnapshot ToGridSnapshot(const AdvanceCurve &curve);

// Moves from the atmospheric toward the boost advance by `pct` percent.
double BlendAdvance(double atmo, double turbo, double pct);

} // namespace AdvanceCurveMath
