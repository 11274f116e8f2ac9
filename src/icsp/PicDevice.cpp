#include "icsp/PicDevice.h"

#include "base/NumberHelpers.h"
#include "icsp/ChipTable.h"

#include <algorithm>

void PicDevice::setChip(const ChipRecord &record)
{
    DeviceChip = record.DeviceChip;
    DeviceAlgo = record.DeviceAlgo;
    DevicePgmSize = record.DevicePgmSize;
    DeviceEESize = record.DeviceEESize;
}

PicDevice::Family PicDevice::familyOf(const QString &deviceChip)
{
    if (deviceChip.startsWith(QLatin1String("12")))
        return Family::F12;
    if (deviceChip.startsWith(QLatin1String("16")))
        return Family::F16;
    if (deviceChip.startsWith(QLatin1String("18")))
        return Family::F18;
    return Family::None;
}

PicDevice::Family PicDevice::family() const
{
    return familyOf(DeviceChip);
}

int PicDevice::programByteCount() const
{
    const int64_t bytes =
        family() == Family::F18 ? int64_t(DevicePgmSize) : 2 * int64_t(DevicePgmSize);
    return static_cast<int>(std::clamp<int64_t>(bytes, 0, PicImage::CodeBytes));
}

int PicDevice::eepromByteCount() const
{
    return std::clamp<int>(DeviceEESize, 0, PicImage::EepromBytes);
}

void PicDevice::blankProgram(PicImage &image) const
{
    uint8_t low = 0x00, high = 0x00;
    switch (family()) {
    case Family::F12:
    case Family::F16:
        low = 0xFF;
        high = 0x3F;
        break;
    case Family::F18:
        low = high = 0xFF;
        break;
    case Family::None:
        break;
    }
    blankProgramAs(image, low, high);
}

void PicDevice::blankProgramAs(PicImage &image, uint8_t low, uint8_t high) const
{
    const int bytes = programByteCount();
    for (int a = 0; a + 1 < bytes; a += 2) {
        image.ImageCode[a] = low;
        image.ImageCode[a + 1] = high;
    }
}

int32_t PicDevice::InitMemoire()
{
    wordsOutsideChip.clear();
    blankProgram(ImagePIC);
    std::fill_n(ImagePIC.ImageEEPROM.begin(), eepromByteCount(), uint8_t(0xFF));
    ImagePIC.UserID.fill(0x7F);
    ImagePIC.ConfigWord = 0x3FFF;
    return CalculChecksum();
}

int32_t PicDevice::CalculChecksum(uint16_t config) const
{
    static const char *const summedChips[] = {"12C508A", "12C508", "16F84", "16F84A"};
    static const char *const summedChips3BFF[] = {"16F628", "12F629", "16F876", "16F876A"};
    int words = 0;
    uint32_t mask = 0x3BFF;
    for (const char *chip : summedChips)
        if (DeviceChip == QLatin1String(chip)) {
            words = DevicePgmSize;
            mask = 0x3FFF;
        }
    for (const char *chip : summedChips3BFF)
        if (DeviceChip == QLatin1String(chip))
            words = DevicePgmSize;
    words = std::clamp(words, 0, PicImage::CodeWords);

    uint32_t sum = 0;
    if (words > 0) {
        // Folded at 65535, not 65536: the sum the programmer has always shown.
        for (int k = 0; k < words; ++k) {
            sum += ImagePIC.codeWord(k) & 0x3FFFu;
            if (sum >= 65535)
                sum -= 65535;
        }
    } else {
        const auto &id = ImagePIC.UserID;
        sum = (id[0] & 0xFu) << 12 | (id[2] & 0xFu) << 8 | (id[4] & 0xFu) << 4 | (id[6] & 0xFu);
    }
    uint32_t total = (config & mask) + sum;
    if (total > 65535)
        total -= 65536;
    return static_cast<int32_t>(total);
}

QString PicDevice::ChecksumText(int32_t checksum)
{
    return HexWord(checksum);
}
