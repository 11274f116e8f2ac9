#pragma once

#include "live/TrameLive.h"

#include <QString>

// One log line (without its line end) for a live frame:
// "RPM : 3000 | 4E2 - DP : 1F4 - XX : 5 - OPTION : 40 - ADC1 : 0 - ADC2 : 0",
// or the fixed OFF line when the frame carries no period.
QString LigneLogLive(const TrameLive &frame);
