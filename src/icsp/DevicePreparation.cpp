#include "icsp/DevicePreparation.h"

#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

namespace DevicePreparation {

Outcome Preparer(PicDevice &device, const QString &icspChip, std::optional<uint16_t> deviceId)
{
    Outcome outcome;
    const bool automatic = icspChip == QLatin1String("AUTO");
    if (const auto chip = automatic && !deviceId
                              ? std::nullopt
                              : ChipTable::chipForSetting(icspChip, deviceId.value_or(0))) {
        device.setChip(*chip);
        outcome.chipSelected = true;
    }
    outcome.checksum = device.InitMemoire();
    device.HexFileName.clear();
    return outcome;
}

} // namespace DevicePreparation
