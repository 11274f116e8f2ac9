#include "icsp/ChipTable.h"

namespace ChipTable {

namespace {
// The 18F sizes are bytes: the image holds them whole.
constexpr FixedChip kFixedChips[] = {
    {"PIC-12C508", "12C508", 255, 512, 0},     {"PIC-12C508A", "12C508A", 255, 512, 0},
    {"PIC-16F84", "16F84", 0, 1024, 64},       {"PIC-16F84A", "16F84A", 1, 1024, 64},
    {"PIC-16F628", "16F628", 1, 2048, 128},    {"PIC-12F629", "12F629", 4, 1024, 128},
    {"PIC-16F88", "16F88", 1, 4096, 256},      {"PIC-16F876", "16F876", 3, 8192, 256},
    {"PIC-16F876A", "16F876A", 3, 8192, 256},  {"PIC-18F2455", "18F2455", 8, 24576, 256},
    {"PIC-18F2550", "18F2550", 8, 32768, 256}, {"PIC-18F4455", "18F4455", 8, 24576, 256},
    {"PIC-18F4550", "18F4550", 8, 32768, 256},
};

struct IdPattern {
    uint16_t mask;
    uint16_t value;
    FixedChip chip;
};

// Tried in order; the first match wins.
constexpr IdPattern kIdPatterns[] = {
    {0x3FE0, 0x10E0, {"", "16F84A", 1, 1024, 64}},   {0x3FE0, 0x01E0, {"", "12C508A", 255, 512, 0}},
    {0x3FE0, 0x07C0, {"", "16F628", 1, 2048, 128}},  {0x3FE0, 0x09E0, {"", "16F876", 1, 8192, 256}},
    {0x3FF0, 0x0E00, {"", "16F876A", 3, 8192, 256}},
};
constexpr FixedChip kFallback = {"", "16F84", 0, 1024, 64};

ChipRecord toRecord(const FixedChip &c)
{
    return {QString::fromLatin1(c.deviceChip), c.algo, c.pgmSize, c.eeSize};
}
} // namespace

std::span<const FixedChip> fixedChips()
{
    return kFixedChips;
}

std::optional<ChipRecord> fixedChip(const QString &icspChip)
{
    for (const FixedChip &c : kFixedChips)
        if (icspChip == QLatin1String(c.setting))
            return toRecord(c);
    return std::nullopt;
}

ChipRecord identifyFromDeviceId(uint16_t deviceId)
{
    for (const IdPattern &p : kIdPatterns)
        if ((deviceId & p.mask) == p.value)
            return toRecord(p.chip);
    return toRecord(kFallback);
}

std::optional<ChipRecord> chipForSetting(const QString &icspChip, uint16_t deviceId)
{
    if (icspChip == QLatin1String("AUTO"))
        return identifyFromDeviceId(deviceId);
    return fixedChip(icspChip);
}

} // namespace ChipTable
