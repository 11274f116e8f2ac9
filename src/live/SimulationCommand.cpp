#include "live/SimulationCommand.h"

#include <cmath>

namespace SimulationCommand {

std::optional<uint16_t> PeriodeSimulation(int rpm)
{
    if (rpm <= 0)
        return std::nullopt;
    const double period = std::nearbyint(3750000.0 / rpm);
    if (period > 32767)
        return std::nullopt;
    return uint16_t(period);
}

QByteArray CommandeSimulation(uint16_t period)
{
    QByteArray bytes;
    bytes.append(StartByte);
    bytes.append(char(period >> 8));
    bytes.append(char(period & 0xFF));
    return bytes;
}

QByteArray CommandeArretSimulation()
{
    return QByteArray(1, StopByte);
}

} // namespace SimulationCommand
