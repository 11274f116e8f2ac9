#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

// One row of the chip table: what the device record is set to for a chip.
struct ChipRecord {
    QString DeviceChip;
    uint8_t DeviceAlgo = 0;
    int32_t DevicePgmSize = 0;
    int16_t DeviceEESize = 0;

    bool operator==(const ChipRecord &) const = default;
};

// The chips the programmer knows, and the choice of one from the settings.
namespace ChipTable {

struct FixedChip {
    const char *setting; // ICSPChip text, "PIC-" and the designation
    const char *deviceChip;
    uint8_t algo;
    int32_t pgmSize;
    int16_t eeSize;
};

// The fixed choices, in the order of the table.
std::span<const FixedChip> fixedChips();

// The record of a fixed choice ("PIC-16F84A"...): exact, case-sensitive match.
std::optional<ChipRecord> fixedChip(const QString &icspChip);

// Recognition from the device-ID word; an unknown ID gives the 16F84.
ChipRecord identifyFromDeviceId(uint16_t deviceId);

// The record for the setting ICSPChip: "AUTO" recognises the chip from `deviceId`,
// a known fixed choice gives its row, anything else gives nothing (the caller
// then tells the user and keeps the previous chip).
std::optional<ChipRecord> chipForSetting(const QString &icspChip, uint16_t deviceId);

} // namespace ChipTable
