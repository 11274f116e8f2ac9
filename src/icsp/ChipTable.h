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

// How a chip clears its memories in programming mode.
enum class EraseMethod {
    SetupSequence, // commands 1 then 7 around Begin Erase/Programming (16F84, 16F628)
    BulkCommands,  // Bulk Erase Program Memory 0x09 and Bulk Erase Data Memory 0x0B
    None,          // one-time programmable: no erase
};

// What the programmer needs of a chip beyond the device record: its write
// times (the next command never goes out before they have passed), the
// configuration bits it implements (the others read back as 1), its erase
// commands and the factory calibration it keeps in program memory and in the
// configuration word.
struct ChipTraits {
    int programMs = 10; // program or configuration word cycle
    int eepromMs = 10;  // data EEPROM byte cycle
    int eraseMs = 15;   // one bulk erase
    uint16_t configMask = 0x3FFF;
    EraseMethod erase = EraseMethod::SetupSequence;
    int calibrationWord = -1;       // program address of the oscillator calibration, -1 none
    uint16_t calibrationConfig = 0; // factory bits of the configuration word
    bool hasDeviceId = true;        // false: 0x2006 holds no ID (16F84, 12C508)

    bool operator==(const ChipTraits &) const = default;
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

// Traits of a designation ("16F628"); an unknown one gets the slowest times,
// every configuration bit and the setup-sequence erase.
ChipTraits traitsOf(const QString &deviceChip);

// A chip the programmer can program: a row of the traits table (not the 18F
// entries, not an empty record). The one rule of what may be written into a
// chip, by the programmer and by the module's bootloader alike: both write
// words of 14 bits.
bool programmable(const QString &deviceChip);

// The designation a device-ID word belongs to: the identification patterns,
// then chips that "AUTO" does not pick (12F629, 16F88); empty when none.
QString designationOfId(uint16_t deviceId);

// What a device-ID word says.
struct Identification {
    enum class Result { Recognised, NoChip, Unknown };
    Result result = Result::Unknown;
    ChipRecord record; // set when recognised
};

// Recognition from the device-ID word: 0x3FFF and 0x0000 are what the lines
// give with no chip on them; an ID that no row knows stays unknown (it is not
// taken for some other chip).
Identification identify(uint16_t deviceId);

// The record of a recognised ID, nothing for no chip or an unknown ID.
std::optional<ChipRecord> identifyFromDeviceId(uint16_t deviceId);

// A chip of these families that the programmer does not program, named by its
// device ID ("16F628A"); empty when the ID is none of them.
QString unsupportedOfId(uint16_t deviceId);

// What "AUTO" says of an ID it does not take, with %ID% and %LU% to fill:
// `inList` a chip of the set-up's list to choose there, `unsupported` a chip
// the programmer does not program, `unknown` an ID no known chip has.
struct AutoTexts {
    QString unknown, inList, unsupported;
    static AutoTexts load(); // language texts: GUI thread
};

// Message for an ID that selects no chip: no chip answers (and a PIC16F84,
// which has no ID, is chosen in the set-up), or what unidentifiedWith says
// (language texts: GUI thread).
QString unidentifiedText(uint16_t deviceId);
// Who is to write the chip: the programmer, or the module's bootloader.
enum class Writer { Programmer, Bootloader };
// Why `writer` refuses the record `deviceChip` (not programmable): no chip
// chosen, or a chip it cannot write, named (language texts: GUI thread).
QString unprogrammableText(const QString &deviceChip, Writer writer = Writer::Programmer);
// An ID "AUTO" does not recognise, in the words given: only what the user can
// do, choosing a chip of the set-up's list (designationOfId), or nothing for a
// chip the programmer does not program (unsupportedOfId) or does not know.
// Every path that meets such an ID says this, the read and the write alike.
QString unidentifiedWith(uint16_t deviceId, const AutoTexts &texts);

// The one rule of the chip choice, for every place that sets the record from
// the setting ICSPChip: "AUTO" recognises the chip from `deviceId`; 0 is the
// ID of an image no chip was read into (the lines cannot give it once the
// programmer passed its self-test) and gives the 16F84, the programmer's first
// chip; 0x3FFF (no chip answering) and unknown IDs select nothing. A known
// fixed choice gives its row; anything else gives nothing. The caller then
// keeps the previous chip and shows choiceProblemText.
std::optional<ChipRecord> chipForSetting(const QString &icspChip, uint16_t deviceId);

// Why chipForSetting selected nothing (language texts: GUI thread).
QString choiceProblemText(const QString &icspChip, uint16_t deviceId);

} // namespace ChipTable
