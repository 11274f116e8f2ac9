#include "icsp/ProgrammerLabel.h"

QString NomProgrammateur(const MainSettings &s)
{
    switch (s.ICSPBoitier) {
    case 0:
        return QStringLiteral("JDM ") + s.VEKJDMSetting;
    case 1:
        return QStringLiteral("VEKP ") + s.VEKPSetting;
    case 2:
        return QStringLiteral("VEK-MZ") + s.VEKMZSetting;
    case 3:
        return QStringLiteral("Q-PAK");
    default:
        return {};
    }
}
