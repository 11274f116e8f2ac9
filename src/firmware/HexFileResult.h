#pragma once

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

    bool imageReplaced() const { return checksum.has_value(); }
    bool succeeded() const { return status == HexFileStatus::Ok; }
};
