#pragma once

#include "base/MainSettings.h"

#include <QString>

// The programmer box's label as the windows show it: "JDM PCB.110", "VEKP V 3.9",
// "VEK-MZ300" or "Q-PAK"; empty for an unknown box type.
QString NomProgrammateur(const MainSettings &settings);
