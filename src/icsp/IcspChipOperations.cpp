#include "icsp/IcspChipOperations.h"

#include "base/Jobs.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "icsp/ChipTable.h"
#include "icsp/IcspProgrammer.h"
#include "icsp/PicDevice.h"
#include "icsp/TransferContext.h"

using Stage = IcspResult::Stage;
using VEK_LANGUAGE::ReplacePlaceholders;

namespace {

// The programmer opened for `device`'s chip and the configuration area
// (device ID included) read into `area`.
IcspResult openAndReadArea(ProgrammerSession &session, const PicDevice &device, PicImage &area)
{
    IcspResult r = session.open(device);
    return r.ok() ? ReadConfigurationArea(session.programmer(), area) : r;
}

IcspResult identityFailure(const QString &text)
{
    return IcspResult::failure(Stage::Identify, 0, -1, text);
}

// The chip on the lines is the one chosen. A chip with an ID word that reads
// 0x3FFF or 0x0000 is not there; a chip without one (16F84) can only be told
// apart from chips that answer with an ID. Under "AUTO" the user chose no
// chip: the chip expected is the one read last, and what the user is told of
// the chip found is what a read of it would tell.
IcspResult checkIdentity(IcspProgrammer &p, const QString &chosen, uint16_t deviceId)
{
    const IcspTexts &texts = p.texts();
    const bool hasId = p.chip().hasDeviceId;
    if (hasId && ChipTable::identify(deviceId).result == ChipTable::Identification::Result::NoChip)
        return identityFailure(texts.noChip);
    const QString found = ChipTable::designationOfId(deviceId);
    if (found == chosen || (!hasId && found.isEmpty()))
        return {};
    const QString id = HexWord(deviceId);
    if (p.automaticChip()) {
        if (!ChipTable::identifyFromDeviceId(deviceId))
            return identityFailure(ChipTable::unidentifiedWith(deviceId, texts.autoChip));
        return identityFailure(ReplacePlaceholders(
            texts.autoOtherChip, {QStringLiteral("%CHOISI%"), chosen, QStringLiteral("%LU%"), found,
                                  QStringLiteral("%ID%"), id}));
    }
    const QString named = found.isEmpty() ? ChipTable::unsupportedOfId(deviceId) : found;
    if (named.isEmpty())
        return identityFailure(ReplacePlaceholders(
            texts.otherChipId, {QStringLiteral("%CHOISI%"), chosen, QStringLiteral("%ID%"), id}));
    return identityFailure(ReplacePlaceholders(texts.otherChip, {QStringLiteral("%CHOISI%"), chosen,
                                                                 QStringLiteral("%LU%"), named,
                                                                 QStringLiteral("%ID%"), id}));
}

IcspResult startChecked(ProgrammerSession &session, const PicDevice &device, PicImage &area)
{
    IcspProgrammer &p = session.programmer();
    if (!ChipTable::programmable(device.DeviceChip)) {
        p.resetState();
        return identityFailure(p.texts().chooseChip);
    }
    IcspResult r = openAndReadArea(session, device, area);
    return r.ok() ? checkIdentity(p, device.DeviceChip, area.DeviceID) : r;
}

// Everything a chip without an ID word gives reads blank, as the lines give
// with no chip at all.
bool readsBlank(const PicDevice &device)
{
    const PicImage &image = device.ImagePIC;
    for (int k = 0; k < device.programByteCount() / 2; ++k)
        if ((image.codeWord(k) & 0x3FFF) != 0x3FFF)
            return false;
    for (int j = 0; j < device.eepromByteCount(); ++j)
        if (image.ImageEEPROM[size_t(j)] != 0xFF)
            return false;
    return true;
}

// The factory calibration of a chip that has one, as the chip holds it now.
struct Calibration {
    uint16_t word = 0x3FFF;
    uint16_t config = 0x3FFF;
};

// The calibration word from the chip; the configuration word is the one the
// start of the operation read, so the area is not read a second time.
std::optional<Calibration> readCalibration(IcspProgrammer &p, uint16_t config, IcspResult &r)
{
    const ChipTraits &chip = p.chip();
    Calibration c;
    c.config = config;
    if (uint8_t code = p.JumpTo(chip.calibrationWord)) {
        r = IcspResult::failure(Stage::Calibration, code, chip.calibrationWord);
        return std::nullopt;
    }
    if (uint8_t code = p.LireMotCode(c.word)) {
        r = IcspResult::failure(Stage::Calibration, code, chip.calibrationWord);
        return std::nullopt;
    }
    return c;
}

// Opens, and reads the factory calibration of a chip that has one.
bool startKeepingCalibration(ProgrammerSession &session, const PicDevice &device, IcspResult &r,
                             std::optional<Calibration> &calibration)
{
    PicImage area;
    r = startChecked(session, device, area);
    if (!r.ok())
        return false;
    IcspProgrammer &p = session.programmer();
    if (p.chip().calibrationWord < 0)
        return true;
    calibration = readCalibration(p, area.ConfigWord, r);
    return calibration.has_value();
}

uint16_t withCalibration(uint16_t config, const ChipTraits &chip, const Calibration &c)
{
    return uint16_t((config & ~chip.calibrationConfig) | (c.config & chip.calibrationConfig));
}

// What became of the calibration: `text` is one of the calibration texts.
QString calibrationNote(IcspProgrammer &p, const QString &text, const Calibration &c)
{
    return ReplacePlaceholders(text,
                               {QStringLiteral("%OSCCAL%"), HexWord(c.word), QStringLiteral("%BG%"),
                                HexWord(c.config & p.chip().calibrationConfig)});
}

// Writes the configuration word and returns it as the chip reads it back.
IcspResult writeConfig(IcspProgrammer &p, uint16_t config, uint8_t attempts, uint16_t &asRead)
{
    if (uint8_t code = p.JumpTo(0x2007))
        return IcspResult::failure(Stage::JumpConfig, code, 0x2007);
    if (uint8_t code = p.ProgMotCode(0x2007, attempts, config & 0x3FFF))
        return IcspResult::failure(Stage::WriteConfig, code, 0x2007);
    asRead = p.lastWordRead();
    return {};
}

IcspResult writeCode(IcspProgrammer &p, const PicDevice &device, uint8_t attempts)
{
    const int words = device.programByteCount() / 2;
    if (uint8_t code = p.JumpTo(0))
        return IcspResult::failure(Stage::JumpCode, code);
    for (int k = 0; k < words; ++k) {
        p.showProgress(k, words, p.texts().writingCode);
        if (k == p.chip().calibrationWord)
            continue; // the chip's own, never the image's
        const uint16_t word = device.ImagePIC.codeWord(k) & 0x3FFF;
        if (uint8_t code = p.ProgMotCode(k, attempts, word))
            return IcspResult::failure(Stage::WriteCode, code, k);
        if (p.cancelled())
            return IcspResult::failure(Stage::Cancelled, 0, k);
    }
    return {};
}

IcspResult writeEeprom(IcspProgrammer &p, const PicDevice &device, uint8_t attempts)
{
    const int bytes = device.eepromByteCount();
    if (uint8_t code = p.JumpTo(0x2100))
        return IcspResult::failure(Stage::JumpEeprom, code);
    for (int j = 0; j < bytes; ++j) {
        p.showProgress(j, bytes, p.texts().writingEeprom);
        if (uint8_t code = p.ProgOctetEEPROM(device.ImagePIC.ImageEEPROM[size_t(j)], attempts))
            return IcspResult::failure(Stage::WriteEeprom, code, j);
        if (p.cancelled())
            return IcspResult::failure(Stage::Cancelled, 0, j);
    }
    return {};
}

IcspResult writeIds(IcspProgrammer &p, const PicDevice &device, uint8_t attempts)
{
    if (uint8_t code = p.JumpTo(0x2000))
        return IcspResult::failure(Stage::JumpUserId, code);
    for (int k = 0; k < 4; ++k) {
        p.showProgress(k, 8, p.texts().writingConfig);
        const uint16_t id = device.ImagePIC.UserID[size_t(2 * k)] & 0x3FFF;
        if (uint8_t code = p.ProgMotCode(0x2000 + k, attempts, id))
            return IcspResult::failure(Stage::WriteUserId, code, k);
    }
    return {};
}

// First program word or EEPROM byte that does not read blank, or -1; the EEPROM
// byte i is reported as 0x2100 + i.
IcspResult blankCheck(IcspProgrammer &p, const PicDevice &device, int &firstUnblank)
{
    firstUnblank = -1;
    const int words = device.programByteCount() / 2;
    if (uint8_t code = p.JumpTo(0))
        return IcspResult::failure(Stage::JumpCode, code);
    for (int k = 0; k < words && firstUnblank < 0; ++k) {
        uint16_t w = 0;
        if (uint8_t code = p.LireMotCode(w))
            return IcspResult::failure(Stage::ReadCode, code, k);
        if ((w & 0x3FFF) != 0x3FFF)
            firstUnblank = k;
    }
    if (firstUnblank >= 0 || device.eepromByteCount() == 0)
        return {};
    if (uint8_t code = p.JumpTo(0x2100))
        return IcspResult::failure(Stage::JumpEeprom, code);
    for (int j = 0; j < device.eepromByteCount(); ++j) {
        uint16_t b = 0;
        if (uint8_t code = p.LireOctetEEPROM(b))
            return IcspResult::failure(Stage::ReadEeprom, code, j);
        if ((b & 0xFF) != 0xFF) {
            firstUnblank = 0x2100 + j;
            break;
        }
    }
    return {};
}

IcspResult mismatch(IcspProgrammer &p, int address, uint16_t read, uint16_t expected)
{
    return IcspResult::failure(
        Stage::ReadBack, 0, address,
        ReplacePlaceholders(p.texts().readBackMismatch,
                            {QStringLiteral("%ADRESSE%"), HexWord(address), QStringLiteral("%LU%"),
                             HexWord(read), QStringLiteral("%ATTENDU%"), HexWord(expected)}));
}

// Program words `address` to `address` + `count` - 1 against `expected(address)`;
// the factory calibration word is passed over.
template <typename Expected>
IcspResult readBackCode(IcspProgrammer &p, int address, int count, Expected expected)
{
    if (uint8_t code = p.JumpTo(address))
        return IcspResult::failure(Stage::ReadBack, code, address);
    for (int k = address; k < address + count; ++k) {
        p.showProgress(k - address, count, p.texts().readingCode);
        uint16_t w = 0;
        if (uint8_t code = p.LireMotCode(w))
            return IcspResult::failure(Stage::ReadBack, code, k);
        const uint16_t want = expected(k) & 0x3FFF;
        if (k != p.chip().calibrationWord && (w & 0x3FFF) != want)
            return mismatch(p, k, w & 0x3FFF, want);
        if (p.cancelled())
            return IcspResult::failure(Stage::Cancelled, 0, k);
    }
    return {};
}

IcspResult readBackEeprom(IcspProgrammer &p, const PicDevice &device)
{
    const int bytes = device.eepromByteCount();
    if (uint8_t code = p.JumpTo(0x2100))
        return IcspResult::failure(Stage::ReadBack, code, 0x2100);
    for (int j = 0; j < bytes; ++j) {
        p.showProgress(j, bytes, p.texts().readingEeprom);
        uint16_t b = 0;
        if (uint8_t code = p.LireOctetEEPROM(b))
            return IcspResult::failure(Stage::ReadBack, code, 0x2100 + j);
        const uint8_t want = device.ImagePIC.ImageEEPROM[size_t(j)];
        if ((b & 0xFF) != want)
            return mismatch(p, 0x2100 + j, b & 0xFF, want);
    }
    return {};
}

IcspResult readBackConfiguration(IcspProgrammer &p, const PicImage &image)
{
    PicImage area;
    if (const IcspResult read = ReadConfigurationArea(p, area); !read.ok())
        return IcspResult::failure(Stage::ReadBack, read.code, read.address);
    for (int k = 0; k < 4; ++k) {
        const uint16_t read =
            uint16_t(area.UserID[size_t(2 * k)] | (area.UserID[size_t(2 * k + 1)] << 8)) & 0x3FFF;
        const uint16_t want = image.UserID[size_t(2 * k)] & 0x3FFF;
        if (read != want)
            return mismatch(p, 0x2000 + k, read, want);
    }
    const uint16_t mask = p.chip().configMask;
    if ((area.ConfigWord & mask) != (image.ConfigWord & mask))
        return mismatch(p, 0x2007, area.ConfigWord & 0x3FFF, image.ConfigWord & 0x3FFF);
    return {};
}

uint8_t eraseOnce(IcspProgrammer &p)
{
    uint8_t code = p.InitProgrammation();
    if (code)
        return code;
    switch (p.chip().erase) {
    case EraseMethod::SetupSequence:
        code = p.EffacerProtection();
        if (!code)
            code = p.EffacerCode();
        if (!code)
            code = p.EffacerEEPROM();
        break;
    case EraseMethod::BulkCommands:
        code = p.EffacerBulk();
        break;
    case EraseMethod::None:
        break;
    }
    // The counter is stale after an erase: start again from 0.
    const uint8_t restarted = p.InitProgrammation();
    return code ? code : restarted;
}

} // namespace

ProgrammerSession::~ProgrammerSession()
{
    m_programmer.FermerProgrammateur();
}

IcspResult ProgrammerSession::open()
{
    if (const uint8_t opened = m_programmer.OuvrirProgrammateur())
        return IcspResult::failure(Stage::Open, opened, -1, m_programmer.failureText());
    return {};
}

IcspResult ProgrammerSession::open(const PicDevice &device)
{
    m_programmer.resetState();
    m_programmer.setChip(ChipTable::traitsOf(device.DeviceChip));
    return open();
}

IcspResult ReadConfigurationArea(IcspProgrammer &p, PicImage &area)
{
    if (const uint8_t code = p.JumpTo(0x2000))
        return IcspResult::failure(Stage::JumpConfig, code, 0x2000);
    PicImage read = area;
    if (const uint8_t code = p.LireParametres(read))
        return IcspResult::failure(Stage::ReadConfig, code, 0x2000);
    area.UserID = read.UserID;
    area.DeviceID = read.DeviceID;
    area.ConfigWord = read.ConfigWord;
    return {};
}

std::optional<uint16_t> IdentifyChip(IcspProgrammer &p)
{
    PicImage area;
    if (!ReadConfigurationArea(p, area).ok())
        return std::nullopt;
    return area.DeviceID;
}

std::optional<uint16_t> ReadDeviceId(TransferContext &transfer)
{
    IcspProgrammer programmer(transfer.settings, transfer.clock, transfer.programmerPort);
    programmer.attach(&transfer.progress, &transfer.cancel);
    ProgrammerSession session(programmer);
    return IdentifyChip(programmer);
}

IcspResult ReadBackImage(IcspProgrammer &p, const PicDevice &device, bool codeOnly)
{
    if (uint8_t code = p.InitProgrammation())
        return IcspResult::failure(Stage::ReadBack, code);
    const PicImage &image = device.ImagePIC;
    IcspResult r = readBackCode(p, 0, device.programByteCount() / 2,
                                [&image](int k) { return image.codeWord(k); });
    if (r.ok() && !codeOnly)
        r = readBackEeprom(p, device);
    if (r.ok() && !codeOnly)
        r = readBackConfiguration(p, image);
    return r;
}

IcspResult ReadBackWords(IcspProgrammer &p, int address, const std::vector<uint16_t> &words)
{
    if (uint8_t code = p.InitProgrammation())
        return IcspResult::failure(Stage::ReadBack, code, address);
    return readBackCode(p, address, int(words.size()),
                        [&words, address](int k) { return words[size_t(k - address)]; });
}

IcspResult StartOperation(ProgrammerSession &session, const PicDevice &device)
{
    PicImage area;
    return startChecked(session, device, area);
}

IcspResult StartForChoice(ProgrammerSession &session, PicDevice &device, const QString &icspChip)
{
    IcspProgrammer &p = session.programmer();
    const bool automatic = icspChip == QLatin1String("AUTO");
    if (!automatic)
        if (const auto fixed = ChipTable::fixedChip(icspChip))
            device.setChip(*fixed);
    PicImage &image = device.ImagePIC;
    IcspResult r =
        automatic ? openAndReadArea(session, device, image) : startChecked(session, device, image);
    if (!r.ok() || !automatic)
        return r;
    const ChipTable::Identification found = ChipTable::identify(image.DeviceID);
    if (found.result == ChipTable::Identification::Result::NoChip)
        return IcspResult::failure(Stage::Identify, 0, -1, p.texts().noChipAuto);
    if (found.result == ChipTable::Identification::Result::Unknown)
        return IcspResult::failure(Stage::Identify, 0, -1,
                                   ChipTable::unidentifiedWith(image.DeviceID, p.texts().autoChip));
    device.setChip(found.record);
    p.setChip(ChipTable::traitsOf(device.DeviceChip));
    return r;
}

namespace {

// Code protection as the programmer sees it: every program word reads 0x0000
// (a blank chip reads 0x3FFF).
bool readsAsProtected(uint16_t word)
{
    return (word & 0x3FFF) == 0;
}

bool readsProtected(const PicImage &image, int words)
{
    for (int k = 0; k < words; ++k)
        if (!readsAsProtected(image.codeWord(k)))
            return false;
    return words > 0;
}

// After a program word would not take: whether the chip reads as protected.
// The first word that is not 0x0000 answers: an unprotected chip is not read
// through to its end.
bool protectedNow(IcspProgrammer &p, int words)
{
    if (words <= 0 || p.JumpTo(0) != 0)
        return false;
    for (int k = 0; k < words; ++k) {
        uint16_t w = 0;
        if (p.LireMotCode(w) != 0 || !readsAsProtected(w))
            return false;
    }
    return true;
}

} // namespace

IcspResult ReadChip(IcspProgrammer &p, PicDevice &device, const QString &icspChip)
{
    ProgrammerSession session(p);
    PicImage &image = device.ImagePIC;
    IcspResult r = StartForChoice(session, device, icspChip);
    if (!r.ok())
        return r;
    device.wordsOutsideChip.clear(); // the image now comes from the chip

    const int words = device.programByteCount() / 2;
    if (uint8_t code = p.JumpTo(0))
        return IcspResult::failure(Stage::JumpCode, code);
    for (int k = 0; k < words; ++k) {
        p.showProgress(k, words, p.texts().readingCode);
        uint16_t w = 0;
        if (uint8_t code = p.LireMotCode(w))
            return IcspResult::failure(Stage::ReadCode, code, k);
        image.setCodeWord(k, w & 0x3FFF);
        if (p.cancelled())
            return IcspResult::failure(Stage::Cancelled, 0, k);
    }
    if (uint8_t code = p.JumpTo(0x2100))
        return IcspResult::failure(Stage::JumpEeprom, code);
    for (int j = 0; j < device.eepromByteCount(); ++j) {
        p.showProgress(j, device.eepromByteCount(), p.texts().readingEeprom);
        uint16_t b = 0;
        if (uint8_t code = p.LireOctetEEPROM(b))
            return IcspResult::failure(Stage::ReadEeprom, code, j);
        image.ImageEEPROM[size_t(j)] = uint8_t(b & 0xFF);
        if (p.cancelled())
            return IcspResult::failure(Stage::Cancelled, 0, j);
    }
    if (!p.chip().hasDeviceId && readsBlank(device))
        r.notes << p.texts().blankOrAbsent;
    device.HexFileName.clear();
    if (readsProtected(image, words))
        return IcspResult::failure(Stage::Protected, 0);
    return r;
}

IcspResult WriteChip(IcspProgrammer &p, PicDevice &device, uint8_t attempts)
{
    IcspResult r;
    std::optional<Calibration> calibration;
    ProgrammerSession session(p);
    if (!startKeepingCalibration(session, device, r, calibration))
        return r;
    const ChipTraits chip = p.chip();
    PicImage &image = device.ImagePIC;
    if (calibration) {
        image.setCodeWord(chip.calibrationWord, calibration->word);
        image.ConfigWord = withCalibration(image.ConfigWord, chip, *calibration);
    }
    if (IcspResult step = writeCode(p, device, attempts); !step.ok()) {
        if (step.stage == Stage::WriteCode &&
            step.code == IcspProgrammer::ProgWordResult::AttemptsUsedUp)
            step.protectedChip = protectedNow(p, device.programByteCount() / 2);
        return step;
    }
    if (IcspResult step = writeEeprom(p, device, attempts); !step.ok())
        return step;
    if (IcspResult step = writeIds(p, device, attempts); !step.ok())
        return step;
    uint16_t asRead = 0;
    if (IcspResult step = writeConfig(p, image.ConfigWord, attempts, asRead); !step.ok())
        return step;
    image.ConfigWord = asRead;
    if (IcspResult step = ReadBackImage(p, device, false); !step.ok())
        return step;
    if (calibration)
        r.notes << calibrationNote(p, p.texts().calibrationKept, *calibration);
    device.HexFileName.clear();
    return r;
}

bool IsRetlw(uint16_t word)
{
    return (word & 0x3F00) == 0x3400;
}

std::optional<CalibrationAnswer> TypedCalibration(const QString &typed)
{
    QString text = typed.trimmed();
    if (text.isEmpty())
        return CalibrationAnswer{true, std::nullopt};
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    if (const auto value = HexAddress(text); value && IsRetlw(uint16_t(*value)))
        return CalibrationAnswer{true, uint16_t(*value)};
    return std::nullopt;
}

IcspResult ReadFactoryCalibration(IcspProgrammer &p, const PicDevice &device, uint16_t &osccal)
{
    IcspResult r;
    std::optional<Calibration> calibration;
    ProgrammerSession session(p);
    if (startKeepingCalibration(session, device, r, calibration) && calibration)
        osccal = calibration->word;
    return r;
}

IcspResult EraseChip(IcspProgrammer &p, PicDevice &device, uint8_t attempts,
                     const CalibrationAnswer &answer)
{
    IcspResult r;
    std::optional<Calibration> calibration;
    ProgrammerSession session(p);
    if (!startKeepingCalibration(session, device, r, calibration))
        return r;
    const ChipTraits chip = p.chip();
    // A calibration word that is no RETLW (a protected chip reads 0x0000) is
    // not the calibration: only the user can say what to put back.
    QString noteText = p.texts().calibrationKept;
    bool writeOsccal = true;
    if (calibration && !IsRetlw(calibration->word)) {
        if (!answer.asked)
            return IcspResult::failure(
                Stage::Calibration, 0, chip.calibrationWord,
                ReplacePlaceholders(p.texts().calibrationLost,
                                    {QStringLiteral("%OSCCAL%"), HexWord(calibration->word)}));
        writeOsccal = answer.typed.has_value();
        calibration->word = answer.typed.value_or(0x3FFF);
        noteText = writeOsccal ? p.texts().calibrationTyped : p.texts().calibrationNotWritten;
    }
    int unblank = -1;
    for (int round = 0; round < 3; ++round) {
        if (uint8_t code = eraseOnce(p))
            return IcspResult::failure(Stage::Erase, code);
        if (IcspResult step = blankCheck(p, device, unblank); !step.ok())
            return step;
        if (unblank < 0)
            break;
    }
    if (unblank >= 0)
        return IcspResult::failure(
            Stage::BlankCheck, 0, unblank,
            ReplacePlaceholders(p.texts().eraseNotBlank,
                                {QStringLiteral("%ADRESSE%"), HexWord(unblank)}));
    device.InitMemoire();
    device.HexFileName.clear();
    if (calibration) {
        if (uint8_t code =
                writeOsccal ? p.ProgMotCode(chip.calibrationWord, attempts, calibration->word) : 0)
            return IcspResult::failure(Stage::Calibration, code, chip.calibrationWord);
        uint16_t asRead = 0;
        if (IcspResult step =
                writeConfig(p, withCalibration(0x3FFF, chip, *calibration), attempts, asRead);
            !step.ok()) {
            step.stage = Stage::Calibration;
            return step;
        }
        device.ImagePIC.setCodeWord(chip.calibrationWord, calibration->word);
        device.ImagePIC.ConfigWord = asRead;
        r.notes << calibrationNote(p, noteText, *calibration);
    }
    // Without an ID word, a blank check cannot tell an erased chip from none.
    if (!chip.hasDeviceId)
        r.notes << p.texts().blankOrAbsent;
    return r;
}
