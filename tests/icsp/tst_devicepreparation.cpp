#include "icsp/DevicePreparation.h"
#include "icsp/PicDevice.h"

#include <QtTest>

class TestDevicePreparation : public QObject
{
    Q_OBJECT

private slots:
    void fixedChipIsSelectedAndTheImageBlanked()
    {
        PicDevice device;
        device.ImagePIC.setCodeWord(5, 0x1234);
        device.HexFileName = "old.hex";
        const auto outcome = DevicePreparation::Preparer(device, "PIC-16F876A");
        QVERIFY(outcome.chipSelected);
        QCOMPARE(device.DeviceChip, QString("16F876A"));
        QCOMPARE(device.DevicePgmSize, 8192);
        QCOMPARE(device.DeviceEESize, int16_t(256));
        QCOMPARE(device.ImagePIC.codeWord(5), uint16_t(0x3FFF));
        QCOMPARE(device.ImagePIC.codeWord(8191), uint16_t(0x3FFF));
        QCOMPARE(device.ImagePIC.ImageEEPROM[255], uint8_t(0xFF));
        QVERIFY(device.HexFileName.isEmpty());
        QCOMPARE(outcome.checksum, device.CalculChecksum());
    }

    void unknownNamesKeepThePreviousChip()
    {
        PicDevice device;
        QVERIFY(DevicePreparation::Preparer(device, "PIC-16F84A").chipSelected);
        for (const char *name : {"16F876A", "****", "pic-16f876a", "", "AUTO"})
            QVERIFY2(!DevicePreparation::Preparer(device, name).chipSelected, name);
        QCOMPARE(device.DeviceChip, QString("16F84A"));
        QCOMPARE(device.DevicePgmSize, 1024);
    }

    void autoTakesTheDeviceIdRead()
    {
        PicDevice device;
        QVERIFY(DevicePreparation::Preparer(device, "AUTO", uint16_t(0x10E3)).chipSelected);
        const QString before = device.DeviceChip;
        QVERIFY(!DevicePreparation::Preparer(device, "AUTO", uint16_t(0x3FFF)).chipSelected);
        QVERIFY(!DevicePreparation::Preparer(device, "AUTO", uint16_t(0x1066)).chipSelected);
        QCOMPARE(device.DeviceChip, before);
        QCOMPARE(device.DeviceChip, QString("16F84A"));
    }
};

QTEST_GUILESS_MAIN(TestDevicePreparation)
#include "tst_devicepreparation.moc"
