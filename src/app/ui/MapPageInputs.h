#pragma once

#include "app/AdvanceMap3D.h"

struct VekContext;

namespace MapPageInputs {

// What the 3D map draws for a curve: the level percentages tbMapAdj(0..3) and
// the pressure lines tbMap(1..4) of the context's MAP boxes, the axis
// captions of the current language, the picture's design size.
MapInputs For(const VekContext &context, const AdvanceCurve &curve);

} // namespace MapPageInputs
