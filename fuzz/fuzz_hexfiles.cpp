// Intel HEX and scrambled HEX files: the firmware readers, for a chip of each family.
#include "FuzzSupport.h"
#include "firmware/HexFiles.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

namespace {

// The input with the last byte of every record of hexadecimal digits set to its
// checksum: a mutation seldom keeps a checksum right, and a record whose checksum
// is wrong stops the reading before the address map is reached.
QByteArray withChecksums(const uint8_t *data, size_t size)
{
    QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto digit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const qsizetype digits = end - start - 1;
        if (text[start] == ':' && digits >= 10 && digits % 2 == 0) {
            int sum = 0;
            bool hex = true;
            for (qsizetype p = start + 1; p + 2 < end && hex; p += 2) {
                hex = digit(text[p]) >= 0 && digit(text[p + 1]) >= 0;
                sum += hex ? digit(text[p]) * 16 + digit(text[p + 1]) : 0;
            }
            if (hex) {
                const int checksum = (0x100 - (sum & 0xFF)) & 0xFF;
                text[end - 2] = "0123456789ABCDEF"[checksum >> 4];
                text[end - 1] = "0123456789ABCDEF"[checksum & 0xF];
            }
        }
        start = end + 1;
    }
    return text;
}

void readAll(const QString &path)
{
    static const char *const chips[] = {"PIC-16F876A", "PIC-12C508A", "PIC-12F629", "PIC-18F2550"};
    for (const char *chip : chips) {
        PicDevice device;
        device.setChip(*ChipTable::fixedChip(QString::fromLatin1(chip)));
        device.InitMemoire();
        LireFichierHex(device, path);
        LireFichierXeh(device, path);
    }
    PicDevice oversized; // sizes beyond the image must stay inside it
    oversized.DeviceChip = QStringLiteral("16F84");
    oversized.DevicePgmSize = 1 << 20;
    oversized.DeviceEESize = 32000;
    LireFichierHex(oversized, path);
    LireFichierXeh(oversized, path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        FuzzScratchFile file(data, size);
        readAll(file.path());
    }
    const QByteArray mended = withChecksums(data, size);
    FuzzScratchFile file(reinterpret_cast<const uint8_t *>(mended.constData()),
                         static_cast<size_t>(mended.size()));
    readAll(file.path());
    return 0;
}
