#include "icsp/MemoryViewText.h"

#include "icsp/PicDevice.h"

namespace MemoryViewText {

namespace {

constexpr int kPerLine = 8;
const char kHex[] = "0123456789ABCDEF";

void appendHex(QString &out, unsigned value, int digits)
{
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += QLatin1Char(kHex[(value >> shift) & 0xF]);
}

QString addressText(int address, int digits)
{
    QString text;
    appendHex(text, unsigned(address), digits);
    text += QLatin1String(": ");
    return text;
}

// Byte address (3 digits), then eight bytes; a last partial line ends in zeros.
template <typename ByteAt> QList<Line> linesOfBytes(int count, ByteAt byteAt)
{
    QList<Line> lines;
    for (int address = 0; address < count; address += kPerLine) {
        Line line{addressText(address, 3), QString()};
        for (int k = address; k < address + kPerLine; ++k) {
            appendHex(line.data, k < count ? unsigned(byteAt(k)) : 0u, 2);
            line.data += QLatin1Char(' ');
        }
        lines.append(line);
    }
    return lines;
}

} // namespace

QList<Line> programLines(const PicDevice &device)
{
    const int words = device.programByteCount() / 2;
    const auto &code = device.ImagePIC.ImageCode;
    QList<Line> lines;
    lines.reserve((words + kPerLine - 1) / kPerLine);
    for (int address = 0; address < words; address += kPerLine) {
        Line line{addressText(address, 4), QString()};
        line.data.reserve(5 * kPerLine);
        for (int k = address; k < address + kPerLine; ++k) {
            const size_t low = size_t(2 * k);
            const unsigned word = low + 1 < code.size() ? code[low] | code[low + 1] << 8 : 0;
            appendHex(line.data, word, 4);
            line.data += QLatin1Char(' ');
        }
        lines.append(line);
    }
    return lines;
}

QList<Line> eepromLines(const PicDevice &device)
{
    const auto &eeprom = device.ImagePIC.ImageEEPROM;
    return linesOfBytes(device.eepromByteCount(), [&eeprom](int k) {
        return size_t(k) < eeprom.size() ? eeprom[size_t(k)] : 0;
    });
}

QList<Line> byteLines(const uint8_t *bytes, int count)
{
    return linesOfBytes(count, [bytes](int k) { return bytes[k]; });
}

QString AfficherCodeTexte(const PicDevice &device)
{
    QString text;
    const QList<Line> lines = programLines(device);
    text.reserve(lines.size() * 48);
    for (const Line &line : lines) {
        if (!text.isEmpty())
            text += QLatin1String("\r\n");
        text += line.address;
        text += line.data;
    }
    return text;
}

} // namespace MemoryViewText
