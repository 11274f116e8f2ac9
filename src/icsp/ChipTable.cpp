#include "icsp/ChipTable.h"

#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"

#include <algorithm>

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

// Tried in order; the first match wins. A real 16F84A reports 0x0560 (revision
// in the low five bits): it comes first.
constexpr IdPattern kIdPatterns[] = {
    {0x3FE0, 0x0560, {"", "16F84A", 1, 1024, 64}},  {0x3FE0, 0x10E0, {"", "16F84A", 1, 1024, 64}},
    {0x3FE0, 0x01E0, {"", "12C508A", 255, 512, 0}}, {0x3FE0, 0x07C0, {"", "16F628", 1, 2048, 128}},
    {0x3FE0, 0x09E0, {"", "16F876", 1, 8192, 256}}, {0x3FF0, 0x0E00, {"", "16F876A", 3, 8192, 256}},
};

// Device IDs of chips the automatic choice leaves to the set-up.
constexpr IdPattern kOtherIds[] = {
    {0x3FE0, 0x0F80, {"", "12F629", 4, 1024, 128}},
    {0x3FE0, 0x0760, {"", "16F88", 1, 4096, 256}},
};

// Chips of the same families that answer with an ID of their own and that the
// programmer does not program (no row of the chip table): named to the user,
// never taken for a chip it knows.
constexpr struct {
    uint16_t mask;
    uint16_t value;
    const char *deviceChip;
} kUnsupportedIds[] = {
    {0x3FE0, 0x1060, "16F628A"}, {0x3FE0, 0x1040, "16F627A"}, {0x3FE0, 0x1100, "16F648A"},
    {0x3FE0, 0x07A0, "16F627"},  {0x3FE0, 0x0FC0, "12F675"},  {0x3FE0, 0x10C0, "16F630"},
    {0x3FE0, 0x0720, "16F87"},   {0x3FE0, 0x09A0, "16F877"},  {0x3FE0, 0x0960, "16F873"},
    {0x3FE0, 0x0920, "16F874"},  {0x3FF0, 0x0E20, "16F877A"}, {0x3FF0, 0x0E40, "16F873A"},
    {0x3FF0, 0x0E60, "16F874A"},
};

struct TraitsRow {
    const char *deviceChip;
    ChipTraits traits;
};

// Write and erase times are the makers' longest, so a slow part is never read
// back early; the mask holds the configuration bits each chip implements.
constexpr TraitsRow kTraits[] = {
    {"16F84", {10, 10, 10, 0x3FFF, EraseMethod::SetupSequence, -1, 0, false}},
    {"16F84A", {4, 4, 10, 0x3FFF, EraseMethod::SetupSequence, -1, 0}},
    {"16F628", {8, 8, 15, 0x3DFF, EraseMethod::SetupSequence, -1, 0}},
    {"12F629", {4, 6, 10, 0x31FF, EraseMethod::BulkCommands, 0x3FF, 0x3000}},
    {"16F88", {4, 4, 10, 0x3FFF, EraseMethod::BulkCommands, -1, 0}},
    {"16F876", {8, 8, 10, 0x3BFF, EraseMethod::SetupSequence, -1, 0}},
    {"16F876A", {8, 8, 10, 0x2FCF, EraseMethod::BulkCommands, -1, 0}},
    {"12C508", {10, 10, 15, 0x001F, EraseMethod::None, -1, 0, false}},
    {"12C508A", {10, 10, 15, 0x001F, EraseMethod::None, -1, 0}},
};

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

ChipTraits traitsOf(const QString &deviceChip)
{
    for (const TraitsRow &row : kTraits)
        if (deviceChip == QLatin1String(row.deviceChip))
            return row.traits;
    return ChipTraits{};
}

bool programmable(const QString &deviceChip)
{
    return std::any_of(std::begin(kTraits), std::end(kTraits), [&deviceChip](const TraitsRow &row) {
        return deviceChip == QLatin1String(row.deviceChip);
    });
}

QString designationOfId(uint16_t deviceId)
{
    if (const auto found = identifyFromDeviceId(deviceId))
        return found->DeviceChip;
    for (const IdPattern &p : kOtherIds)
        if ((deviceId & p.mask) == p.value)
            return QString::fromLatin1(p.chip.deviceChip);
    return {};
}

Identification identify(uint16_t deviceId)
{
    const uint16_t id = deviceId & 0x3FFF;
    if (id == 0x3FFF || id == 0)
        return {Identification::Result::NoChip, {}};
    for (const IdPattern &p : kIdPatterns)
        if ((id & p.mask) == p.value)
            return {Identification::Result::Recognised, toRecord(p.chip)};
    return {Identification::Result::Unknown, {}};
}

std::optional<ChipRecord> identifyFromDeviceId(uint16_t deviceId)
{
    const Identification found = identify(deviceId);
    if (found.result != Identification::Result::Recognised)
        return std::nullopt;
    return found.record;
}

QString unsupportedOfId(uint16_t deviceId)
{
    for (const auto &p : kUnsupportedIds)
        if ((deviceId & p.mask) == p.value)
            return QString::fromLatin1(p.deviceChip);
    return {};
}

AutoTexts AutoTexts::load()
{
    using VEK_LANGUAGE::GetLanguageText;
    return {GetLanguageText(QStringLiteral("ICSPUnknownChipID")),
            GetLanguageText(QStringLiteral("ICSPAutoChipInList")),
            GetLanguageText(QStringLiteral("ICSPChipUnsupported"))};
}

QString unidentifiedText(uint16_t deviceId)
{
    using VEK_LANGUAGE::GetLanguageText;
    if (identify(deviceId).result == Identification::Result::NoChip)
        return GetLanguageText(QStringLiteral("ICSPNoChip")) + QLatin1Char(' ') +
               GetLanguageText(QStringLiteral("ICSPNo16F84ID"));
    return unidentifiedWith(deviceId, AutoTexts::load());
}

QString unprogrammableText(const QString &deviceChip, Writer writer)
{
    using VEK_LANGUAGE::GetLanguageText;
    if (deviceChip.isEmpty())
        return GetLanguageText(QStringLiteral("ICSPChooseChip"));
    return GetLanguageText(writer == Writer::Bootloader ? QStringLiteral("MessChargeurPuceRefusee")
                                                        : QStringLiteral("ICSPChipNonProgrammable"),
                           {QStringLiteral("%CHIP%"), deviceChip});
}

QString unidentifiedWith(uint16_t deviceId, const AutoTexts &texts)
{
    QString chip = designationOfId(deviceId);
    const QString *text = &texts.inList;
    if (chip.isEmpty()) {
        chip = unsupportedOfId(deviceId);
        text = chip.isEmpty() ? &texts.unknown : &texts.unsupported;
    }
    return VEK_LANGUAGE::ReplacePlaceholders(
        *text, {QStringLiteral("%ID%"), HexWord(deviceId), QStringLiteral("%LU%"), chip});
}

std::optional<ChipRecord> chipForSetting(const QString &icspChip, uint16_t deviceId)
{
    if (icspChip == QLatin1String("AUTO"))
        return deviceId == 0 ? fixedChip(QStringLiteral("PIC-16F84"))
                             : identifyFromDeviceId(deviceId);
    return fixedChip(icspChip);
}

QString choiceProblemText(const QString &icspChip, uint16_t deviceId)
{
    if (icspChip == QLatin1String("AUTO"))
        return unidentifiedText(deviceId);
    return VEK_LANGUAGE::GetLanguageText(QStringLiteral("ChipProbPara"));
}

} // namespace ChipTable
