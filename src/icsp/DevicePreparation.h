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

// The chip is chosen by ChipTable::chipForSetting: "AUTO" by `deviceId` (the
// package editors, which give none, need a fixed chip: "AUTO" selects nothing
// there), a "PIC-" name of the chip table by its row; when nothing is selected
// ChipTable::choiceProblemText says why.
Outcome Preparer(PicDevice &device, const QString &icspChip,
                 std::optional<uint16_t> deviceId = std::nullopt);

} // namespace DevicePreparation
