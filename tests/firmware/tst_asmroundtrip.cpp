#include "AsmTestFirmware.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/HexFiles.h"
#include "icsp/DevicePreparation.h"
#include "icsp/PicDevice.h"

#include <QTemporaryDir>
#include <QtTest>

// The exported include files go through the real assembler and come back through
// the HEX reader word for word, at the addresses of the firmware source.
class TestAsmRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VEK_LANGUAGE::InitLanguage(); }

    void generatedTablesSurviveTheAssembler_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("8") << 8;
        QTest::newRow("88") << 88;
    }

    void generatedTablesSurviveTheAssembler()
    {
        QFETCH(int, type);
        QTemporaryDir dir(QDir::tempPath() + "/vek round trip XXXXXX");
        const AsmTestFirmware fw = AsmTestFirmware::build(dir.path(), type);
        QVERIFY2(fw.failure.isEmpty(), qPrintable(fw.failure));

        PicDevice device;
        QVERIFY(DevicePreparation::Preparer(device, "PIC-16F876A").chipSelected);
        const HexFileResult read = LireFichierHex(device, fw.hexFile);
        QVERIFY2(read.succeeded(), qPrintable(read.info));
        for (const auto &p : AsmTestFirmware::placements)
            for (int i = 0; i < 256; ++i)
                QCOMPARE(device.ImagePIC.codeWord(p.address + i), fw.expected(p, i));
        QCOMPARE(device.ImagePIC.codeWord(0x300), uint16_t(0x0782));
        // The blend of line 0 differs from both of its sources somewhere.
        bool blended = false;
        for (int i = 1; i <= 256; ++i)
            blended |=
                device.ImagePIC.codeWord(0x300 + i - 1) != fw.basseAtmo[i].toUInt(nullptr, 16) &&
                device.ImagePIC.codeWord(0x300 + i - 1) != fw.basseBoost[i].toUInt(nullptr, 16);
        QVERIFY(blended);
    }
};

QTEST_GUILESS_MAIN(TestAsmRoundTrip)
#include "tst_asmroundtrip.moc"
