#pragma once

#include <QList>
#include <QString>

#include <cstdint>

class PicDevice;

// The memory image as the programmer window shows it: one line per eight
// program words or eight EEPROM bytes, upper-case hexadecimal. The lines stop
// at the end of the image whatever size the chip claims.
namespace MemoryViewText {

struct Line {
    QString address; // "0008: " or "010: "
    QString data;    // "3FFF 3FFF ... " (each value followed by a blank), no line end
};

// Word address (4 digits), then 8 words high byte first.
QList<Line> programLines(const PicDevice &device);
// Byte address (3 digits), then 8 EEPROM bytes.
QList<Line> eepromLines(const PicDevice &device);
// The same lines for `count` bytes from `bytes` (address 0 first).
QList<Line> byteLines(const uint8_t *bytes, int count);

// The program lines as plain text joined by CR LF, without a final line end.
QString AfficherCodeTexte(const PicDevice &device);

} // namespace MemoryViewText
