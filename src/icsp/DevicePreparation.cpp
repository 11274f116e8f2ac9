#include "icsp/DevicePreparation.h"

#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

namespace DevicePreparation {

Outcome Preparer(PicDevice &device, const QString &icspChip, std::optional<uint16_t> deviceId)
{
    Outcome outcome;
    std::optional<ChipRecord> chip;
    if (icspChip == QLatin1String("AUTO")) {
        if (deviceId)
            chip =
                ChipTable::identifyFromDeviceId(*deviceId); // nothing for no chip or an unknown ID
    } else {
        chip = ChipTable::fixedChip(icspChip);
    }
    if (chip) {
        device.setChip(*chip);
        outcome.chipSelected = true;
    }
    outcome.checksum = device.InitMemoire();
    device.HexFileName.clear();
    return outcome;
}

} // namespace DevicePreparation
