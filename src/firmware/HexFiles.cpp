#include "firmware/HexFiles.h"

#include "base/BoundedFile.h"
#include "base/FileRefusal.h"
#include "base/FileWriter.h"
#include "base/NumberHelpers.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/XehScrambling.h"
#include "icsp/PicDevice.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <vector>

using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

namespace {

constexpr uint32_t kUserIdFirst = 0x4000;
constexpr uint32_t kUserIdLast = 0x4007;
constexpr uint32_t kEepromFirst = 0x4200;
constexpr uint32_t kEepromLast = 0x43FE;
constexpr uint32_t kConfig14Bit = 0x400E; // word 0x2007: families 16 and 12F
constexpr uint32_t kConfig12Bit = 0x1FFE; // word 0x0FFF: the 12-bit cores (12C)

// Byte address of the configuration word in a file for this chip, 0 for none.
// The 14-bit 12F chips keep it at word 0x2007 like the 16 family; only the
// 12-bit cores keep it at 0x0FFF.
uint32_t configAddressOf(const QString &chip)
{
    if (chip.startsWith(QLatin1String("16")) || chip.startsWith(QLatin1String("12F")))
        return kConfig14Bit;
    if (chip.startsWith(QLatin1String("12")))
        return kConfig12Bit;
    return 0;
}

// ---- reading -----------------------------------------------------------------

// Value of each character as a hexadecimal digit, -1 for any other.
constexpr std::array<int8_t, 256> kHexDigits = [] {
    std::array<int8_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = c >= '0' && c <= '9'   ? int8_t(c - '0')
               : c >= 'A' && c <= 'F' ? int8_t(c - 'A' + 10)
               : c >= 'a' && c <= 'f' ? int8_t(c - 'a' + 10)
                                      : int8_t(-1);
    return t;
}();

struct ReadRules {
    bool scrambled = false;
    bool family18 = false;
    uint32_t programBytes = 0;
    uint32_t eepromBytes = 0;
    uint32_t configAddress = 0;       // 0: no configuration word
    uint32_t legacyConfigAddress = 0; // also read, for older files of 12F chips
};

ReadRules readRules(const PicDevice &device, bool scrambled)
{
    ReadRules rules;
    rules.scrambled = scrambled;
    rules.family18 = device.family() == PicDevice::Family::F18;
    rules.programBytes = static_cast<uint32_t>(device.programByteCount());
    rules.eepromBytes = static_cast<uint32_t>(device.eepromByteCount());
    rules.configAddress = configAddressOf(device.DeviceChip);
    // Earlier versions wrote a 12F chip's word at 0x1FFE, outside its memory:
    // files and packages made then still give their word back.
    if (device.DeviceChip.startsWith(QLatin1String("12F")))
        rules.legacyConfigAddress = kConfig12Bit;
    return rules;
}

// What is wrong with a damaged record.
enum class Damage { None, NotHexadecimal, WrongLength, WrongChecksum };

struct ReadState {
    PicImage image;
    QBitArray given{PicImage::CodeWords};
    // What the chip cannot hold, in the order read.
    std::vector<HexFileResult::WordRun> outside;       // program words
    std::vector<HexFileResult::WordRun> eepromOutside; // EEPROM byte numbers
    std::vector<HexFileResult::WordRun> configOutside; // configuration-area words
    uint8_t configLow = 0xFF;
    uint8_t configHigh = 0x3F;
    uint32_t upperAddress = 0;
    bool endSeen = false;
    bool recordTooLong = false;
    Damage damage = Damage::None;
    int lines = 0;         // read so far, counting every line of the file
    int records = 0;       // lines that began with ":"
    int damagedLine = 0;   // 1-based: of the damaged or too long record
    int damagedColumn = 0; // of the first character that is not a hexadecimal digit
    int firstTextLine = 0; // 1-based: the first line that is not blank, 0 for none
    QByteArray firstText;  // that line, for a file that holds no record
};

// One record decoded from its text, the ":" left out: count, address high and
// low, type, the data bytes and the checksum.
struct Record {
    std::array<uint8_t, 5 + 255> bytes{};
    uint32_t count() const { return bytes[0]; }
    uint32_t address() const { return uint32_t(bytes[1]) << 8 | bytes[2]; }
    uint32_t type() const { return bytes[3]; }
    uint8_t data(uint32_t i) const { return bytes[4 + i]; }
};

// Decodes the record of a line that begins with ":". Only a whole record is
// taken: hexadecimal digits only, as many as its count gives, and a checksum
// that brings the sum of its bytes to zero.
Damage decodeRecord(const char *line, qsizetype length, Record &record, int &badColumn)
{
    for (qsizetype p = 1; p < length; ++p) {
        if (kHexDigits[static_cast<uint8_t>(line[p])] < 0) {
            badColumn = int(p + 1);
            return Damage::NotHexadecimal;
        }
    }
    const qsizetype digits = length - 1;
    if (digits < 10 || digits % 2 != 0)
        return Damage::WrongLength;
    const auto byteAt = [line](qsizetype k) {
        return static_cast<uint8_t>(kHexDigits[static_cast<uint8_t>(line[1 + 2 * k])] << 4 |
                                    kHexDigits[static_cast<uint8_t>(line[2 + 2 * k])]);
    };
    const qsizetype size = digits / 2;
    if (size != 5 + qsizetype(byteAt(0)))
        return Damage::WrongLength;
    uint8_t sum = 0;
    for (qsizetype k = 0; k < size; ++k) {
        record.bytes[size_t(k)] = byteAt(k);
        sum = static_cast<uint8_t>(sum + record.bytes[size_t(k)]);
    }
    return sum == 0 ? Damage::None : Damage::WrongChecksum;
}

// Counts `address` in `runs`, joining it to the last run it touches.
void countIn(std::vector<HexFileResult::WordRun> &runs, int64_t address)
{
    if (!runs.empty() && address >= runs.back().first && address <= runs.back().last + 1) {
        runs.back().last = std::max(runs.back().last, address);
        return;
    }
    runs.push_back({address, address});
}

// A program byte past the chip's memory: its word is counted, not loaded.
void outsideByte(ReadState &st, uint64_t byteAddress)
{
    countIn(st.outside, int64_t(byteAddress / 2));
}

void programByte(ReadState &st, uint32_t byteAddress, uint8_t value)
{
    st.image.ImageCode[byteAddress] = value;
    st.given.setBit(int(byteAddress / 2));
}

// Puts one data byte of a record where the address map sends it.
void routeByte(const ReadRules &rules, ReadState &st, uint32_t recordAddress, uint32_t i,
               uint8_t stored)
{
    using namespace XehScrambling;
    const uint32_t a = recordAddress + i;
    if (rules.family18 && !rules.scrambled) {
        // In 64 bits: an upper address of 0xFFFF plus a record near 0xFFFF
        // must fall outside the image, not wrap round to the reset vector.
        const uint64_t linear = (uint64_t(st.upperAddress) << 16) + a;
        if (linear < rules.programBytes)
            programByte(st, uint32_t(linear), stored);
        return;
    }
    if (!rules.scrambled && st.upperAddress != 0) {
        // Nothing of these chips lies past 64 KiB: not a program word of theirs.
        outsideByte(st, (uint64_t(st.upperAddress) << 16) + a);
        return;
    }
    if (a < rules.programBytes) {
        if (!rules.scrambled) {
            programByte(st, a, stored);
            return;
        }
        if (i >= PositionTable.size()) {
            st.recordTooLong = true;
            return;
        }
        const uint32_t destination = recordAddress + PositionTable[i];
        if (destination < rules.programBytes)
            programByte(st, destination, unscramble(stored, keyForAddress(a)));
        return;
    }
    if (a >= kEepromFirst && a <= kEepromLast && a % 2 == 0) {
        const uint32_t n = (a - kEepromFirst) / 2;
        if (n >= rules.eepromBytes) {
            countIn(st.eepromOutside, n);
            return;
        }
        st.image.ImageEEPROM[n] = rules.scrambled ? unscramble(stored, OddAddressKey) : stored;
        return;
    }
    if (a >= kUserIdFirst && a <= kUserIdLast) {
        st.image.UserID[a - kUserIdFirst] = stored;
        return;
    }
    bool configuration = false;
    for (const uint32_t configAddress : {rules.configAddress, rules.legacyConfigAddress}) {
        if (configAddress != 0 && a == configAddress)
            st.configLow = stored;
        else if (configAddress != 0 && a == configAddress + 1)
            st.configHigh = stored;
        else
            continue;
        configuration = true;
    }
    if (configuration)
        return;
    // The configuration area (IDs, configuration word, EEPROM) is no program
    // memory; a word of it that is neither an ID nor the configuration word is
    // none the programmer writes.
    if (a >= kUserIdFirst && a < kEepromFirst)
        countIn(st.configOutside, a / 2);
    else if (a < kUserIdFirst || a > kEepromLast + 1)
        outsideByte(st, a);
}

void readRecord(const ReadRules &rules, ReadState &st, const Record &record)
{
    const uint32_t count = record.count();
    const uint32_t address = record.address();
    switch (record.type()) {
    case 0x00:
        if (!rules.scrambled && !rules.family18 && st.upperAddress == 0 &&
            address + count <= rules.programBytes) {
            // Program bytes only: no routing needed.
            for (uint32_t i = 0; i < count; ++i)
                programByte(st, address + i, record.data(i));
            break;
        }
        for (uint32_t i = 0; i < count && !st.recordTooLong; ++i)
            routeByte(rules, st, address, i, record.data(i));
        break;
    case 0x01:
        st.endSeen = true;
        break;
    case 0x04:
        // The upper address is the first two data bytes; a shorter record gives 0.
        if (!rules.scrambled)
            st.upperAddress = count >= 2 ? uint32_t(record.data(0)) << 8 | record.data(1) : 0;
        break;
    default:
        break;
    }
}

// Walks the lines (CR LF, LF or CR) until the end record or a refused record.
void readLines(const ReadRules &rules, ReadState &st, const QByteArray &text)
{
    const char *data = text.constData();
    const qsizetype size = text.size();
    qsizetype start = 0;
    Record record;
    for (int line = 1; start < size && !st.endSeen && !st.recordTooLong; ++line) {
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        st.lines = line;
        if (st.firstTextLine == 0 && !QByteArray(data + start, end - start).trimmed().isEmpty()) {
            st.firstTextLine = line;
            st.firstText = QByteArray(data + start, std::min<qsizetype>(end - start, 80));
        }
        if (end > start && data[start] == ':') {
            ++st.records;
            st.damage = decodeRecord(data + start, end - start, record, st.damagedColumn);
            if (st.damage == Damage::None)
                readRecord(rules, st, record);
            if (st.damage != Damage::None || st.recordTooLong) {
                st.damagedLine = line;
                return;
            }
        }
        start = end;
        if (start < size && data[start] == '\r')
            ++start;
        if (start < size && data[start] == '\n')
            ++start;
    }
}

QString damageText(const ReadState &st, const QString &fichier)
{
    switch (st.damage) {
    case Damage::NotHexadecimal:
        return FileRefusal::AtLine(LangKey("MessHexCaractere"), fichier, st.damagedLine,
                                   {"{COLONNE}", QString::number(st.damagedColumn)});
    case Damage::WrongLength:
        return FileRefusal::AtLine(LangKey("MessHexLongueur"), fichier, st.damagedLine);
    case Damage::WrongChecksum:
    case Damage::None:
        break;
    }
    return FileRefusal::AtLine(LangKey("MessHexSomme"), fichier, st.damagedLine);
}

// What the messages say of a file without its end record.
QString noEndText(const ReadState &st, const QString &fichier)
{
    // Text or bytes that hold no record at all: its first line says what the file is.
    if (st.records == 0 && st.firstTextLine > 0)
        return FileRefusal::AtLine(
            LangKey("MessHexSansEnregistrement"), fichier, st.firstTextLine,
            {"{TEXTE}", TextEncoding::shownInMessage(TextEncoding::decodeText(st.firstText))});
    if (st.records == 0)
        return FileRefusal::OfFile(LangKey("MessHexVide"), fichier);
    return FileRefusal::AtLine(LangKey("HEXFileCorrupted"), fichier, st.lines);
}

// "0x0500-0x0501, 0x0800": the first runs of addresses, `digits` wide, "…" for more.
QString runsText(const QList<HexFileResult::WordRun> &runs, int digits = 4)
{
    constexpr int Shown = 4;
    const auto hex = [digits](int64_t word) {
        return QStringLiteral("0x") +
               QString::number(word, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
    };
    QStringList texts;
    for (const HexFileResult::WordRun &run : runs.mid(0, Shown))
        texts << (run.last == run.first ? hex(run.first)
                                        : hex(run.first) + QLatin1Char('-') + hex(run.last));
    if (runs.size() > Shown)
        texts << QStringLiteral("…");
    return texts.join(QStringLiteral(", "));
}

// The runs in address order, those that touch joined.
QList<HexFileResult::WordRun> sortedRuns(std::vector<HexFileResult::WordRun> runs)
{
    std::sort(runs.begin(), runs.end(),
              [](const auto &x, const auto &y) { return x.first < y.first; });
    QList<HexFileResult::WordRun> out;
    for (const HexFileResult::WordRun &run : runs) {
        if (!out.isEmpty() && run.first <= out.last().last + 1)
            out.last().last = std::max(out.last().last, run.last);
        else
            out << run;
    }
    return out;
}

// The words given inside the chip with bits above its 14.
QList<HexFileResult::WordRun> tooWideWords(const ReadState &st, int words)
{
    std::vector<HexFileResult::WordRun> runs;
    for (int k = 0; k < words; ++k)
        if (st.given.testBit(k) && st.image.codeWord(k) > 0x3FFF)
            countIn(runs, k);
    return sortedRuns(std::move(runs));
}

// One line of what the chip cannot hold: `key` with the count, file, chip and runs.
QString runsLine(const char *key, const QList<HexFileResult::WordRun> &runs,
                 const PicDevice &device, const QString &shown,
                 std::initializer_list<QString> more = {}, int digits = 4)
{
    QStringList fields{"{NOMBRE}", QString::number(HexFileResult::count(runs)),
                       "{PUCE}",   device.DeviceChip,
                       "{ZONES}",  runsText(runs, digits)};
    fields << QStringList(more);
    return FileRefusal::OfFile(LangKey(key), shown, fields);
}

// What a file gave that the chip cannot hold, one line for each kind: words
// past its program memory, EEPROM bytes past its EEPROM, configuration-area
// words it does not take, words wider than its own; empty when none.
QString notLoadedText(const PicDevice &device, const HexFileResult &result, const QString &shown)
{
    if (device.DevicePgmSize <= 0 || device.family() == PicDevice::Family::F18)
        return {};
    QStringList lines;
    if (!result.wordsOutside.isEmpty())
        lines << runsLine("MessHexHorsPuce", result.wordsOutside, device, shown,
                          {"{DERNIER}", HexLong(device.DevicePgmSize - 1, 4)});
    if (!result.eepromOutside.isEmpty() && device.eepromByteCount() > 0)
        lines << runsLine("MessHexHorsEEPROM", result.eepromOutside, device, shown,
                          {"{DERNIER}", HexLong(device.eepromByteCount() - 1, 2)}, 2);
    else if (!result.eepromOutside.isEmpty())
        lines << runsLine("MessHexSansEEPROM", result.eepromOutside, device, shown, {}, 2);
    if (!result.configOutside.isEmpty())
        lines << runsLine("MessHexHorsConfig", result.configOutside, device, shown);
    if (!result.tooWide.isEmpty())
        lines << result.tooWide;
    return lines.join(QLatin1Char('\n'));
}

// `shown` is the name the messages give the file.
HexFileResult readImage(PicDevice &device, const QString &fichier, const QString &shown,
                        bool scrambled)
{
    HexFileResult result;
    const BoundedFile::Read read = BoundedFile::readAll(fichier, BoundedFile::MaxHexFileBytes);
    if (!read.ok) {
        result.status = read.opened ? HexFileStatus::ReadFailed : HexFileStatus::OpenFailed;
        result.info =
            read.tooLarge
                ? FileRefusal::OfFile(LangKey("MessFichierTropGrand"), shown,
                                      {"{OCTETS}", QString::number(BoundedFile::MaxHexFileBytes)})
                : FileRefusal::OfFile(LangKey("MessHexLectureImpossible"), shown,
                                      {"%RAISON%", BoundedFile::userReason(read)});
        return result;
    }
    const QByteArray &text = read.bytes;

    const ReadRules rules = readRules(device, scrambled);
    ReadState st;
    st.image = device.ImagePIC;
    // Both readers blank to the word 0x3FFF; only the plain reader of an 18
    // chip blanks to 0xFF bytes.
    if (rules.family18 && !scrambled)
        device.blankProgram(st.image);
    else
        device.blankProgramAs(st.image, 0xFF, 0x3F);
    readLines(rules, st, text);
    if (st.damage != Damage::None) {
        result.status = HexFileStatus::DamagedRecord;
        result.info = damageText(st, shown);
        return result;
    }
    if (st.recordTooLong) {
        result.status = HexFileStatus::RecordTooLong;
        result.info =
            FileRefusal::AtLine(LangKey("MessXehEnregistrementLong"), shown, st.damagedLine);
        return result;
    }

    st.image.ConfigWord = static_cast<uint16_t>(st.configHigh << 8 | st.configLow);
    result.wordsGiven = st.given;
    result.wordsOutside = sortedRuns(std::move(st.outside));
    result.eepromOutside = sortedRuns(std::move(st.eepromOutside));
    result.configOutside = sortedRuns(std::move(st.configOutside));
    if (!rules.family18) {
        result.wordsTooWide = tooWideWords(st, int(rules.programBytes / 2));
        if (!result.wordsTooWide.isEmpty() && device.DevicePgmSize > 0)
            result.tooWide = runsLine("MessHexMotsLarges", result.wordsTooWide, device, shown);
    }
    device.ImagePIC = st.image;
    device.wordsOutsideChip = notLoadedText(device, result, shown);
    device.HexFileName = fichier;
    device.HexTimeStamp = QFileInfo(fichier).lastModified();
    result.checksum = device.CalculChecksum();
    if (rules.family18)
        result.notice = GetLanguageText("MessHexFamille18Lecture");
    if (!st.endSeen) {
        result.status = HexFileStatus::NoEndRecord;
        result.info = noEndText(st, shown);
    } else {
        result.info = scrambled ? GetLanguageText("ICSPImportXehFait")
                                : QStringLiteral("Importation du fichier HEX effectuée");
    }
    if (!device.wordsOutsideChip.isEmpty()) {
        result.info += QLatin1Char('\n') + device.wordsOutsideChip;
        result.notice = device.wordsOutsideChip;
    }
    return result;
}

// ---- writing -----------------------------------------------------------------

// Builds Intel HEX records (upper-case digits, CR LF) with their checksums,
// straight into a buffer sized for the whole file.
class RecordWriter
{
public:
    static constexpr int MaxRecordChars = 1 + 2 * (4 + 255 + 1) + 2;

    explicit RecordWriter(qsizetype maxRecords)
        : m_out(maxRecords * MaxRecordChars, Qt::Uninitialized)
    {
        m_next = m_out.data();
    }

    void begin(uint8_t count, uint16_t address, uint8_t type)
    {
        *m_next++ = ':';
        m_sum = 0;
        byte(count);
        byte(static_cast<uint8_t>(address >> 8));
        byte(static_cast<uint8_t>(address & 0xFF));
        byte(type);
    }
    void byte(uint8_t value)
    {
        static constexpr char digits[] = "0123456789ABCDEF";
        m_next[0] = digits[value >> 4];
        m_next[1] = digits[value & 0xF];
        m_next += 2;
        m_sum = static_cast<uint8_t>(m_sum + value);
    }
    void end()
    {
        byte(static_cast<uint8_t>(0x100 - m_sum));
        *m_next++ = '\r';
        *m_next++ = '\n';
    }
    QByteArray take()
    {
        m_out.truncate(m_next - m_out.constData());
        return std::move(m_out);
    }

private:
    QByteArray m_out;
    char *m_next = nullptr;
    uint8_t m_sum = 0;
};

// Whether the 16-byte program block at byte `a` is written: every block, or
// with `given` only those holding a word the firmware's file gave.
bool blockWritten(const QBitArray *given, int a)
{
    if (!given)
        return true;
    for (int word = a / 2; word < a / 2 + 8; ++word)
        if (word < given->size() && given->testBit(word))
            return true;
    return false;
}

QByteArray imageText(const PicDevice &device, bool scrambled, const QBitArray *given)
{
    using namespace XehScrambling;
    const PicImage &image = device.ImagePIC;
    const int programBytes = device.programByteCount();
    const int eepromBytes = device.eepromByteCount();
    RecordWriter w(programBytes / 16 + eepromBytes / 8 + 6);

    w.begin(2, 0, 0x04); // extended linear address 0
    w.byte(0);
    w.byte(0);
    w.end();

    for (int a = 0; a < programBytes; a += 16) {
        if (!blockWritten(given, a))
            continue;
        w.begin(0x10, static_cast<uint16_t>(a), 0);
        for (int i = 0; i < 16; ++i) {
            if (scrambled)
                w.byte(scramble(image.ImageCode[a + PositionTable[i]], keyForAddress(i)));
            else
                w.byte(image.ImageCode[a + i]);
        }
        w.end();
    }

    w.begin(8, kUserIdFirst, 0);
    for (uint8_t id : image.UserID)
        w.byte(id);
    w.end();

    const uint32_t configAddress = configAddressOf(device.DeviceChip);
    if (configAddress != 0) {
        w.begin(2, static_cast<uint16_t>(configAddress), 0);
        w.byte(static_cast<uint8_t>(image.ConfigWord & 0xFF));
        w.byte(static_cast<uint8_t>(image.ConfigWord >> 8));
        w.end();
    }

    for (int i = 0; i < eepromBytes; i += 8) {
        w.begin(0x10, static_cast<uint16_t>(kEepromFirst + 2 * i), 0);
        for (int k = 0; k < 8; ++k) {
            const uint8_t value = image.ImageEEPROM[i + k];
            w.byte(scrambled ? scramble(value, OddAddressKey) : value);
            w.byte(0);
        }
        w.end();
    }

    w.begin(0, 0, 0x01);
    w.end();
    return w.take();
}

// The file at `written` read as it will be imported, for the same chip: it
// must give the program blocks written, and only those, the IDs, the
// configuration word and the EEPROM as the image holds them.
QString readBack(const PicDevice &device, const QString &written, bool scrambled,
                 const QBitArray *given)
{
    PicDevice read = device;
    const HexFileResult result = readImage(read, written, written, scrambled);
    if (!result.succeeded())
        return FileWriter::ReadOtherwise();
    const PicImage &meant = device.ImagePIC;
    const PicImage &back = read.ImagePIC;
    bool same =
        result.wordsOutside.isEmpty() && back.UserID == meant.UserID &&
        std::equal(meant.ImageEEPROM.begin(), meant.ImageEEPROM.begin() + device.eepromByteCount(),
                   back.ImageEEPROM.begin());
    if (configAddressOf(device.DeviceChip) != 0)
        same = same && back.ConfigWord == meant.ConfigWord;
    for (int a = 0; same && a < device.programByteCount(); a += 16) {
        const bool blockMeant = blockWritten(given, a);
        same = result.wordsGiven.testBit(a / 2) == blockMeant &&
               (!blockMeant ||
                std::equal(meant.ImageCode.begin() + a, meant.ImageCode.begin() + a + 16,
                           back.ImageCode.begin() + a));
    }
    return same ? QString() : FileWriter::ReadOtherwise();
}

HexFileResult writeImage(const PicDevice &device, const QString &fichier, bool scrambled,
                         const QBitArray *given = nullptr)
{
    HexFileResult result;
    if (device.family() == PicDevice::Family::F18) {
        result.status = HexFileStatus::Family18Refused;
        result.info = GetLanguageText("MessHexFamille18Ecriture");
        return result;
    }
    const QByteArray text = imageText(device, scrambled, given);
    const FileWriter::ReadBack check{
        scrambled ? FileWriter::Kind::Xeh : FileWriter::Kind::Hex,
        [&](const QString &written) { return readBack(device, written, scrambled, given); }};
    const FileWriter::Result written =
        FileWriter::WriteWhole(fichier, text, FileWriter::Existing::Replace, check);
    if (!written) {
        result.status = HexFileStatus::WriteFailed;
        result.info = FileRefusal::OfFile(LangKey("MessHexEcritureImpossible"), fichier,
                                          {"%RAISON%", written.reason});
    }
    return result;
}

} // namespace

HexFileResult LireFichierHex(PicDevice &device, const QString &fichier, const QString &nomAffiche)
{
    return readImage(device, fichier, nomAffiche.isEmpty() ? fichier : nomAffiche, false);
}

HexFileResult LireFichierXeh(PicDevice &device, const QString &fichier, const QString &nomAffiche)
{
    return readImage(device, fichier, nomAffiche.isEmpty() ? fichier : nomAffiche, true);
}

HexFileResult EcrireFichierHex(const PicDevice &device, const QString &fichier)
{
    return writeImage(device, fichier, false);
}

HexFileResult EcrireFichierXeh(const PicDevice &device, const QString &fichier)
{
    return writeImage(device, fichier, true);
}

HexFileResult EcrireFichierXehMots(const PicDevice &device, const QString &fichier,
                                   const QBitArray &given)
{
    return writeImage(device, fichier, true, &given);
}
