#include "icsp/DevicePreparation.h"

#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

namespace DevicePreparation {

Outcome Preparer(PicDevice &device, const QString &icspChip, std::optional<uint16_t> deviceId)
{
    Outcome outcome;
    std::optional<ChipRecord> chip;
    if (icspChip == QLatin1String("AUTO")) {
        // 0 is the ID of an image no chip was read into: the programmer starts
        // with the 16F84 then. An ID read from the lines that names no chip (no
        // chip answering, or an unknown one) selects nothing.
        if (deviceId && *deviceId == 0)
            chip = ChipTable::fixedChip(QStringLiteral("PIC-16F84"));
        else if (deviceId)
            chip = ChipTable::identifyFromDeviceId(*deviceId);
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
