#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class IcspProgrammer;
class PicDevice;
struct PicImage;
struct TransferContext;

// Where a whole-chip operation stopped, for the window's own message: the
// step, the protocol's result code and the address (program word, EEPROM byte
// or ID index) where it applies.
struct IcspResult {
    enum class Stage {
        Done,
        Cancelled,
        Open,       // message: cannot open, pins, or no answer from the box
        JumpConfig, // moving to 0x2000 (or 0x2007 for the configuration word)
        ReadConfig,
        Identify, // message: no chip answers, or an unknown device ID
        JumpCode,
        ReadCode,
        WriteCode,
        JumpEeprom,
        ReadEeprom,
        WriteEeprom,
        JumpUserId,
        WriteUserId,
        WriteConfig,
        Calibration, // reading or putting back the factory calibration
        Erase,
        BlankCheck, // message: the first address left unblank
        ReadBack,   // message: the first cell a fresh read finds unlike what was written
        Protected,  // read whole, but the program memory reads 0000: code-protected
    };
    Stage stage = Stage::Done;
    uint8_t code = 0;
    int address = -1;
    QString message;
    QStringList notes;          // remarks on a success (calibration kept)
    bool protectedChip = false; // a program word would not take: the chip is code-protected

    bool ok() const { return stage == Stage::Done; }
    static IcspResult failure(Stage stage, uint8_t code, int address = -1,
                              const QString &message = {})
    {
        return {stage, code, address, message, {}, false};
    }
};

// Holds the programmer for one operation: every operation opens it through
// its session, and the session closes it (lines at rest, port released) on
// every path out of its scope.
class ProgrammerSession
{
public:
    explicit ProgrammerSession(IcspProgrammer &programmer) : m_programmer(programmer) {}
    ~ProgrammerSession();
    ProgrammerSession(const ProgrammerSession &) = delete;
    ProgrammerSession &operator=(const ProgrammerSession &) = delete;

    // The programmer opened (its self-test passed): stage Open with the
    // programmer's opening code and reason otherwise.
    IcspResult open();
    // The same from a fresh programming state for `device`'s chip.
    IcspResult open(const PicDevice &device);
    IcspProgrammer &programmer() { return m_programmer; }

private:
    IcspProgrammer &m_programmer;
};

// The eight words of the configuration area (user IDs, device ID, configuration
// word) into `area`, all or none: a failure (stage JumpConfig or ReadConfig)
// names 0x2000 and leaves `area` as it was. Opens the programmer if it is not.
IcspResult ReadConfigurationArea(IcspProgrammer &programmer, PicImage &area);

// The device-ID word the chip reports, read through the programmer (opened if
// it is not, left open); nothing when the configuration area cannot be read.
// 0x3FFF or 0x0000 is what the lines give with no chip: see ChipTable::identify.
std::optional<uint16_t> IdentifyChip(IcspProgrammer &programmer);

// The transfer windows' device-ID reader (TransferServices::readDeviceId): the
// programmer of the context's settings on the context's port and clock, opened
// and closed inside. Runs off the GUI thread.
std::optional<uint16_t> ReadDeviceId(TransferContext &transfer);

// Whole-chip operations. Each resets the programming state, opens the
// programmer, and closes it on every path; the long loops stop between words
// when the programmer's cancel token is set.

// The start of every operation on `device`'s chip: a record the programmer can
// program (else stage Identify: the chip must be chosen), a fresh programming
// state, the programmer opened, and the device ID read before anything else:
// no chip answering, or another chip, stops at stage Identify with a message
// naming the chip chosen and the one found. The session closes the programmer.
IcspResult StartOperation(ProgrammerSession &session, const PicDevice &device);

// The start of an operation that reads the chip under the ICSPChip choice:
// "AUTO" opens, reads the configuration area and selects the chip by its device
// ID (none answering, or an unknown ID, stops at stage Identify); a fixed
// choice is selected and checked as StartOperation does (an unknown fixed name
// keeps the current chip). The configuration area read goes into the image.
IcspResult StartForChoice(ProgrammerSession &session, PicDevice &device, const QString &icspChip);

// Starts as StartForChoice, then reads the program words and the EEPROM into the
// image (the configuration area all or none, as ReadConfigurationArea). A chip
// without an ID word that reads blank throughout gets a note: it may as well be
// absent. A program memory that reads 0x0000 throughout is a code-protected
// chip's: the read, whole, ends at stage Protected.
IcspResult ReadChip(IcspProgrammer &programmer, PicDevice &device, const QString &icspChip);

// Programs and verifies the image: program words, EEPROM, user IDs, then the
// configuration word (compared on the bits the chip implements). A program word
// that will not take on a chip whose program memory then reads 0x0000
// throughout fails with `protectedChip` set. A chip with
// factory calibration keeps it: it is read first and written in place of the
// image's words, and the image takes the values the chip holds afterwards.
IcspResult WriteChip(IcspProgrammer &programmer, PicDevice &device, uint8_t attempts);

// The proof of a write: what it put into the chip, read again after a fresh
// entry into programming mode (the chip's counter from 0). ReadBackImage reads
// the image's program words (the factory calibration word aside: no write takes
// it from the image) and, unless `codeOnly`, the EEPROM, the user IDs and the
// configuration word (on the bits the chip implements); ReadBackWords reads
// `words` from `address` on. The first cell that differs fails at stage
// ReadBack with its address (0x2100 + n for EEPROM byte n) and a message naming
// the address, the value read and the value expected.
IcspResult ReadBackImage(IcspProgrammer &programmer, const PicDevice &device, bool codeOnly);
IcspResult ReadBackWords(IcspProgrammer &programmer, int address,
                         const std::vector<uint16_t> &words);

// A factory calibration word (OSCCAL) as the chip keeps it: RETLW, 0x34xx.
bool IsRetlw(uint16_t word);

// Reads the OSCCAL word of a chip that keeps one (checked as StartOperation
// does; `osccal` is left alone for other chips); the programmer is closed.
IcspResult ReadFactoryCalibration(IcspProgrammer &programmer, const PicDevice &device,
                                  uint16_t &osccal);

// What the user said, before an erase, of an OSCCAL word that reads as no
// RETLW (a protected chip reads 0x0000): a value noted earlier, or nothing to
// go on without it.
struct CalibrationAnswer {
    bool asked = false;
    std::optional<uint16_t> typed; // a RETLW word to write
};

// What the user typed for such a word: nothing typed is going on without it, a
// RETLW word ("3480" or "0x3480") is the value to write; any other text is no
// answer (the user is asked again).
std::optional<CalibrationAnswer> TypedCalibration(const QString &typed);

// Erases the chip with its own erase commands, checks that the program memory
// and the EEPROM read blank (up to three rounds), puts the factory calibration
// back, and blanks the image to match. An OSCCAL word that is no RETLW is not
// put back as it was read: without `answer.asked` nothing is erased (stage
// Calibration); else the typed value is written, or none, and a note says so.
IcspResult EraseChip(IcspProgrammer &programmer, PicDevice &device, uint8_t attempts,
                     const CalibrationAnswer &answer = {});
