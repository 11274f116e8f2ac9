#pragma once

#include "icsp/PicImage.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

struct ChipRecord;

// The chip the program works on and its memory image, shared by the programmer,
// the bootloader transfers and the HEX files (one instance, held by VekContext).
class PicDevice
{
public:
    enum class Family { None, F12, F16, F18 };

    QString DeviceChip;        // "16F84A", "12C508", "18F2550"...; empty when none chosen
    uint8_t DeviceAlgo = 0;    // programming algorithm code
    int32_t DevicePgmSize = 0; // program words (bytes for the 18 family)
    int16_t DeviceEESize = 0;  // data EEPROM bytes
    PicImage ImagePIC;
    QString HexFileName;    // HEX file last loaded into the image
    QDateTime HexTimeStamp; // its last-modified time
    // What the file last read gave that the chip cannot hold (words past its
    // program memory, EEPROM bytes past its EEPROM, configuration-area words
    // it does not take, words wider than its 14 bits), as the import said it;
    // empty when the image holds the whole file. Nothing is programmed from
    // such an image.
    QString wordsOutsideChip;

    // Sets the record (designation, algorithm, sizes); the image is left alone.
    void setChip(const ChipRecord &record);

    // Family from the first two characters of DeviceChip.
    Family family() const;
    static Family familyOf(const QString &deviceChip);

    // Program bytes of the chip that the image holds: 2 x words, or the byte
    // count of an 18F chip, never more than the image.
    int programByteCount() const;
    // Data EEPROM bytes that the image holds.
    int eepromByteCount() const;

    // Blanks the program words, the chip's EEPROM bytes, the user IDs and the
    // configuration word for the current chip. Returns the new checksum.
    int32_t InitMemoire();

    // Blanks only the program area of `image` for the current chip family.
    void blankProgram(PicImage &image) const;
    // Fills the program words of `image` with the bytes `low`, `high`.
    void blankProgramAs(PicImage &image, uint8_t low, uint8_t high) const;

    // Checksum of the image as the programmer shows it (0 to 65535).
    int32_t CalculChecksum(uint16_t config) const;
    int32_t CalculChecksum() const { return CalculChecksum(ImagePIC.ConfigWord); }

    // "0x" and four hexadecimal digits: the caption of the checksum label.
    static QString ChecksumText(int32_t checksum);
};
