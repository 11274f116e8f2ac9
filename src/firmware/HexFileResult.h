#pragma once

#include <QBitArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

enum class HexFileStatus {
    Ok,
    NoEndRecord,   // read to the end without an end-of-file record
    OpenFailed,    // missing or unreadable file: the image is unchanged
    ReadFailed,    // read error part way: the image is unchanged
    RecordTooLong, // scrambled program record of more than 16 bytes: refused
    DamagedRecord, // a record with a wrong checksum or length, or not hexadecimal: refused
    Family18Refused,
    WriteFailed,
};

// Outcome of reading or writing a HEX or scrambled HEX file. The caller shows
// `info` in its information label (an empty text leaves the label as it is),
// `checksum` in its checksum label, and `notice` once when it is not empty.
struct HexFileResult {
    HexFileStatus status = HexFileStatus::Ok;
    QString info;
    QString notice;
    std::optional<int32_t> checksum; // set when a read replaced the image

    // Where the program words of a file read lie. Bit k of `wordsGiven`: the
    // file gave word k, inside the chip it was read for. What the chip cannot
    // hold is not loaded, in runs of addresses in address order:
    // `wordsOutside` the words past its program memory, `eepromOutside` the
    // EEPROM bytes past its EEPROM (byte numbers from 0), `configOutside` the
    // words of the configuration area (0x2000 on) that are neither its IDs nor
    // its configuration word. `wordsTooWide`: words inside its memory with
    // bits above the 14 of its words (loaded, but no 14-bit write takes them
    // whole), and `tooWide` the line that names them.
    struct WordRun {
        int64_t first = 0;
        int64_t last = 0;
        bool operator==(const WordRun &) const = default;
    };
    QBitArray wordsGiven;
    QList<WordRun> wordsOutside;
    QList<WordRun> eepromOutside;
    QList<WordRun> configOutside;
    QList<WordRun> wordsTooWide;
    QString tooWide;
    static int64_t count(const QList<WordRun> &runs)
    {
        int64_t n = 0;
        for (const WordRun &run : runs)
            n += run.last - run.first + 1;
        return n;
    }

    bool imageReplaced() const { return checksum.has_value(); }
    bool succeeded() const { return status == HexFileStatus::Ok; }
};
