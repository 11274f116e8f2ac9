#include "TestSupport.h"
#include "base/MainSettings.h"
#include "base/MainSettingsLoader.h"
#include "icsp/IcspSetup.h"
#include "icsp/PicDevice.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::row;
using namespace IcspSetup;

namespace {

Entries freeEntries()
{
    Entries e;
    e.chip = "PIC-16F628";
    e.delayUs = 40;
    e.nbWrite = "7";
    e.HEXADD = "000";
    e.HEXLNG = "400";
    e.ADDL8 = "300";
    e.ADDH8 = "500";
    e.ADDL16 = "700";
    e.ADDH16 = "900";
    return e;
}

} // namespace

class TestIcspSetup : public QObject
{
    Q_OBJECT

private slots:
    // The set-up's pin lists: output entries 1 to 12 are pins 1 to 9, 14, 16
    // and 17, input entries 1 to 5 pins 10 to 13 and 15; entry 0 is
    // "--CHOIX--", which every other entry or pin comes to.
    void pinConversionsFollowTheLists()
    {
        const QMap<int, int> outputPinOfEntry{{1, 1}, {2, 2}, {3, 3}, {4, 4},   {5, 5},   {6, 6},
                                              {7, 7}, {8, 8}, {9, 9}, {10, 14}, {11, 16}, {12, 17}};
        const QMap<int, int> outputEntryOfPin{{1, 1}, {2, 2}, {3, 3}, {4, 4},   {5, 5},   {6, 6},
                                              {7, 7}, {8, 8}, {9, 9}, {14, 10}, {16, 11}, {17, 12}};
        const QMap<int, int> inputPinOfEntry{{1, 10}, {2, 11}, {3, 12}, {4, 13}, {5, 15}};
        const QMap<int, int> inputEntryOfPin{{10, 1}, {11, 2}, {12, 3}, {13, 4}, {15, 5}};
        for (int i = 0; i < 256; ++i) {
            const auto n = uint8_t(i);
            QCOMPARE(ConvertListeBrocheS(n), outputPinOfEntry.value(i, 0));
            QCOMPARE(ConvertBrocheListeS(n), outputEntryOfPin.value(i, 0));
            QCOMPARE(ConvertListeBrocheE(n), inputPinOfEntry.value(i, 0));
            QCOMPARE(ConvertBrocheListeE(n), inputEntryOfPin.value(i, 0));
        }
        QCOMPARE(OutputPinEntries().size(), 13);
        QCOMPARE(InputPinEntries().size(), 6);
        TestSupport::useFrenchTexts();
        QCOMPARE(OutputPinEntries()[10], QString("Broche 14 : /AUTOFEED"));
        QCOMPARE(InputPinEntries()[5], QString("Broche 15 : /ERROR"));
    }

    void markersSitOnTheirPins_data()
    {
        QTest::addColumn<int>("pin");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        row("MCLR 5", 5, 1810, 305);
        row("CLOCK 3", 3, 2110, 305);
        row("DATA 2", 2, 2260, 305);
        row("DATA_R 10", 10, 1060, 305);
        row("pin 1", 1, 2410, 305);
        row("pin 13", 13, 610, 305);
        row("pin 14", 14, 2340, 470);
        row("pin 15", 15, 2190, 470);
        row("pin 17", 17, 1890, 470);
        row("no pin", 0, 2560, 305);
    }

    void markersSitOnTheirPins()
    {
        QFETCH(int, pin);
        QFETCH(int, left);
        QFETCH(int, top);
        QCOMPARE(Db25MarkerPosition(uint8_t(pin)), (Twips{left, top}));
    }

    void writeAttemptsOneToNineOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("attempts"); // -1: refused
        row("7", "7", 7);
        row("blanks", " 3 ", 3);
        row("abc", "abc", -1);
        row("300", "300", -1);
        row("0", "0", -1);
        row("10", "10", -1);
        row("7.5", "7.5", -1);
        row("empty", "", -1);
        row("-1", "-1", -1);
    }

    void writeAttemptsOneToNineOnly()
    {
        QFETCH(QString, text);
        QFETCH(int, attempts);
        const auto value = WriteAttemptsOf(text);
        QCOMPARE(value ? int(*value) : -1, attempts);
    }

    // The slider shows the delay the programmer uses: a whole number of
    // microseconds from 1 to 200; any other text gives the usual 15.
    void delayForSlider()
    {
        QCOMPARE(DelayForSlider("15"), 15);
        QCOMPARE(DelayForSlider(" 200 "), 200);
        QCOMPARE(DelayForSlider("1"), 1);
        for (const char *refused : {"22.5", "0", "5000", "99999", "-5", "abc", "", "40 us"})
            QCOMPARE(DelayForSlider(refused), 15);
    }

    void refusedBoxes_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("refused"); // -1: accepted
        const int none = -1;
        row("all good", "", "", none);
        row("attempts abc", "nbWrite", "abc", int(Field::NbWrite));
        row("start not hex", "HEXADD", "0x100", int(Field::HEXADD));
        row("start lower case", "HEXADD", "1a0", none);
        // Where the areas lie is the transfers' rule for the chip in force
        // (tst_ui_setupicsp): here only the digits count.
        row("start past 8K", "HEXADD", "2000", none);
        row("five digits", "HEXADD", "00100", int(Field::HEXADD));
        // An empty box is no value given: the area rule refuses the missing area.
        row("empty start", "HEXADD", "", none);
        row("zero length", "HEXLNG", "0", none);
        row("length not hex", "HEXLNG", "2OO", int(Field::HEXLNG));
        row("area up to 8K", "HEXLNG", "2000", none); // with start 0
        row("table at 1F00", "ADDH16", "1F00", none);
        row("table five digits", "ADDH16", "01F01", int(Field::ADDH16));
        row("table G", "ADDL8", "30G", int(Field::ADDL8));
        row("table blank", "ADDH8", " ", none);
        row("table 16 low", "ADDL16", "zz", int(Field::ADDL16));
    }

    void refusedBoxes()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(int, refused);
        Entries e = freeEntries();
        QString *fields[] = {&e.nbWrite, &e.HEXADD, &e.HEXLNG, &e.ADDL8,
                             &e.ADDH8,   &e.ADDL16, &e.ADDH16};
        const QStringList names{"nbWrite", "HEXADD", "HEXLNG", "ADDL8",
                                "ADDH8",   "ADDL16", "ADDH16"};
        if (!box.isEmpty())
            *fields[names.indexOf(box)] = text;
        const auto field = FirstRefusedField(e, false);
        QCOMPARE(field ? int(*field) : -1, refused);
        // With a package the boxes are locked and not taken: nothing is refused.
        QVERIFY(!FirstRefusedField(e, true));
    }

    void okWithoutPackageAppliesAndSavesEverything()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath("VEK_Courbe.ini"), QSettings::IniFormat);
        MainSettings s;
        s.ICSPBoitier = 1;
        s.ICSPPort = "LPT1";
        s.ICSPPINDATAR = 15;
        PicDevice pic;
        QVERIFY(ApplyOk(s, pic, freeEntries(), false));
        QCOMPARE(s.ICSPDELAY, QString("40"));
        QCOMPARE(s.ICSPNBWRT, uint8_t(7));
        QCOMPARE(s.ICSPChip, QString("PIC-16F628"));
        QCOMPARE(pic.DeviceChip, QString("16F628"));
        QCOMPARE(s.ICSPHEXLNG, QString("400"));
        QCOMPARE(s.ICSPHTAB16_L1, QString("900"));
        QVERIFY(SaveIcspSettings(store, s, false));

        // Read back by the program's own loader, as the next start does.
        QSettings reread(dir.filePath("VEK_Courbe.ini"), QSettings::IniFormat);
        MainSettings loaded;
        MainSettingsLoader(reread).Load(loaded);
        QCOMPARE(loaded.ICSPBoitier, int16_t(1));
        QCOMPARE(loaded.ICSPPort, QString("LPT1"));
        QCOMPARE(loaded.ICSPPINDATAR, uint8_t(15));
        QCOMPARE(loaded.ICSPDELAY, QString("40"));
        QCOMPARE(loaded.ICSPNBWRT, uint8_t(7));
        QCOMPARE(loaded.ICSPChip, QString("PIC-16F628"));
        QCOMPARE(loaded.ICSPHEXADD, QString("000"));
        QCOMPARE(loaded.ICSPLTAB16_L1, QString("700"));
        QCOMPARE(reread.value("ICSP/ICSP_Broche_MCLR").toString(), QString("5"));
    }

    void okWithPackageKeepsChipAndAddresses()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath("VEK_Courbe.ini"), QSettings::IniFormat);
        MainSettings s;
        s.ICSPChip = "PIC-16F876A"; // set by the package
        s.ICSPHEXADD = "020";
        PicDevice pic;
        Entries e = freeEntries();
        e.HEXADD = e.HEXLNG = "xxxx";
        QVERIFY(ApplyOk(s, pic, e, true));
        QCOMPARE(s.ICSPChip, QString("PIC-16F876A"));
        QCOMPARE(pic.DeviceChip, QString("16F876A"));
        QCOMPARE(s.ICSPHEXADD, QString("020"));
        QCOMPARE(s.ICSPNBWRT, uint8_t(5));
        QCOMPARE(s.ICSPDELAY, QString("40"));
        QVERIFY(SaveIcspSettings(store, s, true));
        store.sync();
        QStringList keys =
            QSettings(dir.filePath("VEK_Courbe.ini"), QSettings::IniFormat).allKeys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"ICSP/ICSP_Boitier", "ICSP/ICSP_Broche_CLOCK",
                                    "ICSP/ICSP_Broche_DATA", "ICSP/ICSP_Broche_DATAR",
                                    "ICSP/ICSP_Broche_MCLR", "ICSP/ICSP_Chip", "ICSP/ICSP_Delay",
                                    "ICSP/ICSP_NbWrite", "ICSP/ICSP_Port"}));
    }

    void unknownChipKeepsTheRecord()
    {
        MainSettings s;
        PicDevice pic;
        Entries e = freeEntries();
        e.chip = "****"; // the list's entry when the catalogue could not be read
        QVERIFY(ApplyOk(s, pic, e, false) == false);
        QCOMPARE(pic.DeviceChip, QString());
        QCOMPARE(s.ICSPChip, QString("****"));
    }

    // A store that cannot be written is reported. A folder that is a file
    // stops every user; a read-only folder stops all but root, for whom a
    // folder of the read-only /proc stands in.
    void saveReportsAStoreThatCannotBeWritten_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        row("read-only folder", false);
        row("folder is a file", true);
    }

    void saveReportsAStoreThatCannotBeWritten()
    {
        QFETCH(bool, folderIsAFile);
        QTemporaryDir dir;
        QString folder = dir.filePath("ro");
        if (folderIsAFile) {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkpath(folder));
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            if (QFileInfo(folder).isWritable())
                folder = QStringLiteral("/proc/self");
        }
        const QString path = folder + QStringLiteral("/VEK_Courbe.ini");
        QSettings store(path, QSettings::IniFormat);
        QVERIFY(!SaveIcspSettings(store, MainSettings(), false));
        QVERIFY(!QFileInfo::exists(path));
    }

    // A port text names a port or none by one rule on every path that takes
    // it: the set-up at OK (in its own words) and the settings file at start
    // (the value table's path); a name both take is kept in one form.
    void portTextsTakeOneRuleOnEveryPath_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("names");   // names a port
        QTest::addColumn<QString>("kept"); // as the settings keep it
        row("COM2", "COM2", true, "COM2");
        row("lower case", "com2", true, "COM2");
        row("option caption", "Com2", true, "COM2");
        row("blanks around", " lpt1 ", true, "LPT1");
        row("path", "/dev/ttyUSB0", true, "/dev/ttyUSB0");
        row("blank inside", "COM 3", false, "COM1");
        row("no number", "COM", false, "COM1");
        row("port 0", "COM0", false, "COM1");
        row("letters", "abc", false, "COM1");
        row("relative", "ttyS0", false, "COM1");
        row("blanks", "   ", false, "COM1");
    }

    void portTextsTakeOneRuleOnEveryPath()
    {
        QFETCH(QString, text);
        QFETCH(bool, names);
        QFETCH(QString, kept);
        // The set-up's OK.
        const auto refused = RefusedPort(text.trimmed(), 2);
        QCOMPARE(refused != PortRefusal::NotAPort && refused != PortRefusal::NoPort, names);
        // The settings file, as at the next start.
        QTemporaryDir dir;
        QSettings store(dir.filePath("s.ini"), QSettings::IniFormat);
        store.setValue("ICSP/ICSP_Port", text);
        MainSettings loaded;
        MainSettingsLoader(store).Load(loaded);
        QCOMPARE(loaded.ICSPPort, kept);
    }

    void cancelPutsBackTheLiveValues()
    {
        MainSettings s;
        const LiveSettings kept = CaptureLive(s);
        s.ICSPBoitier = 0;
        s.ICSPPort = "LPT1";
        s.ICSPPINMCLR = s.ICSPPINCLOCK = s.ICSPPINDATA = s.ICSPPINDATAR = 0;
        s.ICSPDELAY = "99";
        RestoreLive(s, kept);
        const MainSettings fresh;
        QCOMPARE(s.ICSPBoitier, fresh.ICSPBoitier);
        QCOMPARE(s.ICSPPort, fresh.ICSPPort);
        QCOMPARE(s.ICSPPINMCLR, fresh.ICSPPINMCLR);
        QCOMPARE(s.ICSPPINDATAR, fresh.ICSPPINDATAR);
        QCOMPARE(s.ICSPDELAY, QString("99")); // only the live values go back
    }
};

QTEST_GUILESS_MAIN(TestIcspSetup)
#include "tst_icspsetup.moc"
