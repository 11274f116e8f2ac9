#include "IcspRig.h"
#include "TestSupport.h"
#include "icsp/ChipTable.h"
#include "icsp/DevicePreparation.h"
#include "icsp/IcspSetup.h"
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

    // The window's preparation and the set-up's OK choose alike from the same
    // device ID: 0 (nothing read) the 16F84, 0x3FFF (no chip) and unknown IDs nothing.
    void autoTakesTheDeviceIdRead_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("chip"); // "" nothing selected, the 16F628 kept
        QTest::newRow("16F84A") << 0x10E3 << "16F84A";
        QTest::newRow("nothing read") << 0 << "16F84";
        QTest::newRow("no chip") << 0x3FFF << "";
        QTest::newRow("unknown ID") << 0x1066 << "";
    }
    void autoTakesTheDeviceIdRead()
    {
        QFETCH(int, id);
        QFETCH(QString, chip);
        PicDevice prepared = IcspRig::deviceFor("16F628");
        PicDevice applied = prepared;
        applied.ImagePIC.DeviceID = uint16_t(id);
        const bool selected =
            DevicePreparation::Preparer(prepared, "AUTO", uint16_t(id)).chipSelected;
        MainSettings settings;
        IcspSetup::Entries entries;
        entries.chip = "AUTO";
        entries.nbWrite = "5";
        QCOMPARE(IcspSetup::ApplyOk(settings, applied, entries, false), selected);
        QCOMPARE(selected, !chip.isEmpty());
        const QString expected = chip.isEmpty() ? QString("16F628") : chip;
        QCOMPARE(prepared.DeviceChip, expected);
        QCOMPARE(applied.DeviceChip, expected);
    }

    // What "AUTO" says of an ID it does not take names only what the user can
    // do: a chip of the set-up's list is named, to be chosen there; a chip of
    // these families the list does not hold, or an unknown ID, is not supported.
    void autoNamesTheChipsItLeavesToTheList_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("message");
        TestSupport::row("French 12F629", QString("francais.ini"), 0x0F84,
                         QString("AUTO trouve un 12F629 (identifiant 0x0F84), qu'il ne reconnaît "
                                 "pas de lui-même : choisissez le 12F629 dans la liste du réglage "
                                 "du programmateur."));
        TestSupport::row("English 16F88", QString("english.ini"), 0x0764,
                         QString("AUTO finds a 16F88 (device ID 0x0764), which it does not "
                                 "recognise by itself: choose the 16F88 in the list of the "
                                 "programmer set-up."));
        const QString unsupported = "Le PIC présent est un %1 (identifiant %2) : le programmateur "
                                    "ne le prend pas en charge, la liste du réglage ne le propose "
                                    "pas.";
        TestSupport::row("French 16F628A", QString("francais.ini"), 0x1066,
                         unsupported.arg("16F628A", "0x1066"));
        TestSupport::row("French 12F675", QString("francais.ini"), 0x0FC3,
                         unsupported.arg("12F675", "0x0FC3"));
        TestSupport::row("French 16F877A", QString("francais.ini"), 0x0E27,
                         unsupported.arg("16F877A", "0x0E27"));
        TestSupport::row("French unknown", QString("francais.ini"), 0x2F05,
                         QString("Le PIC répond avec l'identifiant 0x2F05, qu'aucun PIC connu ne "
                                 "porte : le programmateur ne le prend pas en charge."));
    }
    void autoNamesTheChipsItLeavesToTheList()
    {
        QFETCH(QString, language);
        QFETCH(int, id);
        QFETCH(QString, message);
        TestSupport::useTexts(language);
        QCOMPARE(ChipTable::choiceProblemText("AUTO", uint16_t(id)), message);
    }
};

QTEST_GUILESS_MAIN(TestDevicePreparation)
#include "tst_devicepreparation.moc"
