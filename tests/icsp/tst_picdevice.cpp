#include "TestSupport.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

#include <QtTest>

using TestSupport::row;

namespace {
PicDevice deviceFor(const char *setting)
{
    PicDevice device;
    device.setChip(*ChipTable::fixedChip(QString::fromLatin1(setting)));
    return device;
}
} // namespace

class TestPicDevice : public QObject
{
    Q_OBJECT
private slots:
    void blankChecksums_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("text");
        row("16F84", "PIC-16F84", "0x3CFE");
        row("16F84A", "PIC-16F84A", "0x3CFE");
        row("12C508", "PIC-12C508", "0x3E7E");
        row("16F628", "PIC-16F628", "0x35FE");
        row("16F876", "PIC-16F876", "0x23FE");
        row("16F88 (not summed)", "PIC-16F88", "0x3BFE");
    }
    void blankChecksums()
    {
        QFETCH(QString, chip);
        QFETCH(QString, text);
        PicDevice device;
        device.setChip(*ChipTable::fixedChip(chip));
        QCOMPARE(PicDevice::ChecksumText(device.InitMemoire()), text);
    }

    void blankFill()
    {
        PicDevice device = deviceFor("PIC-16F84A");
        device.ImagePIC.ImageCode.fill(0x11);
        device.ImagePIC.ImageEEPROM.fill(0x22);
        device.ImagePIC.DeviceID = 0x10E5;
        device.HexFileName = "kept.hex";
        device.InitMemoire();
        const PicImage &im = device.ImagePIC;
        QCOMPARE(im.codeWord(0), uint16_t(0x3FFF));
        QCOMPARE(im.codeWord(1023), uint16_t(0x3FFF));
        QCOMPARE(im.ImageCode[2048], uint8_t(0x11)); // beyond the chip: kept
        QCOMPARE(im.ImageEEPROM[63], uint8_t(0xFF));
        QCOMPARE(im.ImageEEPROM[64], uint8_t(0x22));
        for (uint8_t id : im.UserID)
            QCOMPARE(id, uint8_t(0x7F));
        QCOMPARE(im.ConfigWord, uint16_t(0x3FFF));
        QCOMPARE(im.DeviceID, uint16_t(0x10E5));
        QCOMPARE(device.HexFileName, QString("kept.hex"));
    }

    void blankFillWithoutChip()
    {
        PicDevice device;
        device.ImagePIC.ImageCode.fill(0x11);
        device.ImagePIC.ImageEEPROM.fill(0x22);
        device.InitMemoire();
        QCOMPARE(device.ImagePIC.ImageCode[0], uint8_t(0x11));
        QCOMPARE(device.ImagePIC.ImageEEPROM[0], uint8_t(0x22));
        QCOMPARE(device.ImagePIC.UserID[7], uint8_t(0x7F));
        QCOMPARE(device.ImagePIC.ConfigWord, uint16_t(0x3FFF));

        // A chip of no known family blanks its program words to zero.
        device.DeviceChip = "10F200";
        device.DevicePgmSize = 256;
        device.InitMemoire();
        QCOMPARE(device.ImagePIC.codeWord(255), uint16_t(0));
        QCOMPARE(device.ImagePIC.codeWord(256), uint16_t(0x1111));
    }

    // 18F sizes and oversized records never reach past the image's last byte.
    void blankFillStaysInsideImage()
    {
        PicDevice device = deviceFor("PIC-18F2550");
        device.ImagePIC.ImageCode[PicImage::CodeBytes] = 0x55;
        device.InitMemoire();
        QCOMPARE(device.programByteCount(), PicImage::CodeBytes);
        QCOMPARE(device.ImagePIC.ImageCode[0], uint8_t(0xFF));
        QCOMPARE(device.ImagePIC.ImageCode[PicImage::CodeBytes - 1], uint8_t(0xFF));
        QCOMPARE(device.ImagePIC.ImageCode[PicImage::CodeBytes], uint8_t(0x55));

        PicDevice small18 = deviceFor("PIC-18F2455");
        small18.ImagePIC.ImageCode.fill(0);
        small18.InitMemoire();
        QCOMPARE(small18.ImagePIC.ImageCode[24575], uint8_t(0xFF));
        QCOMPARE(small18.ImagePIC.ImageCode[24576], uint8_t(0x00));

        PicDevice huge;
        huge.DeviceChip = "16F84";
        huge.DevicePgmSize = 1 << 20;
        huge.DeviceEESize = 30000;
        huge.InitMemoire(); // checksum over the image only
        QCOMPARE(huge.programByteCount(), PicImage::CodeBytes);
        QCOMPARE(huge.eepromByteCount(), PicImage::EepromBytes);
        QCOMPARE(huge.ImagePIC.ImageCode[PicImage::CodeBytes], uint8_t(0));
        QCOMPARE(huge.ImagePIC.ImageEEPROM[PicImage::EepromBytes], uint8_t(0));
    }

    void checksumUserIds()
    {
        PicDevice summed = deviceFor("PIC-16F84");
        const int32_t before = summed.InitMemoire();
        summed.ImagePIC.UserID[0] = 0x01;
        QCOMPARE(summed.CalculChecksum(), before);

        PicDevice f88 = deviceFor("PIC-16F88");
        f88.InitMemoire();
        f88.ImagePIC.UserID[0] = 0x71; // low nibble 1: ID value 0x1FFF
        QCOMPARE(f88.CalculChecksum(), int32_t(0x3BFF + 0x1FFF));
        f88.ImagePIC.UserID[1] = 0x00; // high bytes do not count
        f88.ImagePIC.UserID[0] = 0xF1; // only the low nibble counts
        QCOMPARE(f88.CalculChecksum(), int32_t(0x3BFF + 0x1FFF));
    }

    void checksumFoldsAt65535()
    {
        PicDevice device = deviceFor("PIC-16F84");
        device.ImagePIC.ImageCode.fill(0);
        for (int k = 0; k < 4; ++k)
            device.ImagePIC.setCodeWord(k, 0x3FFF); // 65532
        device.ImagePIC.setCodeWord(4, 3);          // reaches 65535 exactly
        QCOMPARE(device.CalculChecksum(0), int32_t(0));
        device.ImagePIC.setCodeWord(5, 0xC001); // bits above 13 do not count
        QCOMPARE(device.CalculChecksum(0), int32_t(1));
    }

    void checksumConfigMask()
    {
        // Blank 16F628: 2048 words of 0x3FFF fold to 63999; 0x3BFF of the
        // configuration word counts, 63999 + 15359 - 65536 = 0x35FE.
        PicDevice device = deviceFor("PIC-16F628");
        QCOMPARE(device.InitMemoire(), int32_t(0x35FE));
        QCOMPARE(device.CalculChecksum(0x3FFF | 0x0400), int32_t(0x35FE));
        QCOMPARE(device.CalculChecksum(0xFFFF), int32_t(0x35FE)); // high bits unsigned, masked
        // Blank 16F84: 1024 words fold to 64767; the whole 0x3FFF counts.
        PicDevice f84 = deviceFor("PIC-16F84");
        f84.InitMemoire();
        QCOMPARE(f84.CalculChecksum(), int32_t(0x3CFE));
        QCOMPARE(f84.CalculChecksum(0x3BFF), int32_t(0x38FE));
    }

    void chipTableFixed()
    {
        QCOMPARE(*ChipTable::chipForSetting("PIC-16F876", 0x10E5),
                 (ChipRecord{"16F876", 3, 8192, 256})); // the device ID plays no part
        QVERIFY(!ChipTable::chipForSetting("PIC-16F877", 0));
        QVERIFY(!ChipTable::chipForSetting("pic-16f84", 0)); // case-sensitive
        QVERIFY(!ChipTable::chipForSetting("auto", 0));
    }

    void chipTableAuto_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("chip");
        QTest::addColumn<int>("algo");
        QTest::addColumn<int>("pgm");
        QTest::addColumn<int>("ee");
        QTest::newRow("16F84A") << 0x10E5 << "16F84A" << 1 << 1024 << 64;
        QTest::newRow("12C508A") << 0x01E3 << "12C508A" << 255 << 512 << 0;
        QTest::newRow("16F628") << 0x07C3 << "16F628" << 1 << 2048 << 128;
        QTest::newRow("16F876 auto algo 1") << 0x09E7 << "16F876" << 1 << 8192 << 256;
        QTest::newRow("16F876A") << 0x0E05 << "16F876A" << 3 << 8192 << 256;
        QTest::newRow("real 16F84A") << 0x0563 << "16F84A" << 1 << 1024 << 64;
        // No row matches: the chip is not taken for a 16F84.
        QTest::newRow("bit 4 kept by mask") << 0x0E15 << "" << 0 << 0 << 0;
        QTest::newRow("never read") << 0 << "16F84" << 0 << 1024 << 64;
        QTest::newRow("no chip on the lines") << 0x3FFF << "" << 0 << 0 << 0;
    }
    void chipTableAuto()
    {
        QFETCH(int, id);
        QFETCH(QString, chip);
        QFETCH(int, algo);
        QFETCH(int, pgm);
        QFETCH(int, ee);
        const auto record = ChipTable::chipForSetting("AUTO", static_cast<uint16_t>(id));
        QCOMPARE(record.has_value(), !chip.isEmpty());
        if (!record)
            return;
        QCOMPARE(*record, (ChipRecord{chip, uint8_t(algo), pgm, int16_t(ee)}));
    }

    void setChipKeepsImage()
    {
        PicDevice device = deviceFor("PIC-16F84");
        device.InitMemoire();
        device.ImagePIC.setCodeWord(0, 0x1234);
        device.setChip(*ChipTable::fixedChip("PIC-16F876A"));
        QCOMPARE(device.DeviceChip, QString("16F876A"));
        QCOMPARE(device.DeviceAlgo, uint8_t(3));
        QCOMPARE(device.ImagePIC.codeWord(0), uint16_t(0x1234));
        QCOMPARE(device.family(), PicDevice::Family::F16);
        QCOMPARE(PicDevice::familyOf("12F629"), PicDevice::Family::F12);
        QCOMPARE(PicDevice::familyOf(""), PicDevice::Family::None);
    }
};

QTEST_GUILESS_MAIN(TestPicDevice)
#include "tst_picdevice.moc"
