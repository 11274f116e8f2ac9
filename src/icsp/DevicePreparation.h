#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class PicDevice;

// The part of the programmer's initialisation that the device record and image
// need: the chip named by the ICSPChip setting is selected, then the image is
// blanked for it. The programmer window runs it with the device ID it read for
// "AUTO"; the package editors run it with a fixed chip before importing a HEX file.
namespace DevicePreparation {

struct Outcome {
    bool chipSelected = false; // false: an unknown name, the previous chip is kept
    int32_t checksum = 0;      // of the blank image
};

// "AUTO" needs a `deviceId`: 0 (nothing read yet) gives the 16F84 as it always
// has; an ID read with no chip on the lines (0x3FFF) or an unknown ID selects
// nothing (ChipTable::unidentifiedText says why), nor does a missing one. A
// "PIC-" name of the chip table fixes the chip; any other name selects nothing.
Outcome Preparer(PicDevice &device, const QString &icspChip,
                 std::optional<uint16_t> deviceId = std::nullopt);

} // namespace DevicePreparation
