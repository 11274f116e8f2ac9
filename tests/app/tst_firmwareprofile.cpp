#include "TestSupport.h"
#include "app/FirmwareProfile.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/PackageValues.h"

#include <QMap>
#include <QtTest>

using TestSupport::row;
using Description = QMap<QString, QString>;

static DescriptionLookup lookup(const Description &d)
{
    return [d](const QString &key) { return d.value(key); };
}

static FirmwareProfile package(const Description &d)
{
    return PackageProfile(lookup(d));
}

static const Description kPackage = {{"TYPEBOITIER", "VEKP"},
                                     {"MODCHIP", "16F628A"},
                                     {"EN_SET_MOTEUR", "OUI"},
                                     {"EN_SET_AVANCE", "NON"},
                                     {"FIX_NBCYL", "OUI"},
                                     {"VAL_NBCYL", "4"},
                                     {"LIMITE_RUPTEUR", "6500"},
                                     {"FIX_AVSTAT", "OUI"},
                                     {"VAL_AVSTAT", "10"},
                                     {"HARDWARE", "oui"},
                                     {"IO_TOR", "OUI"},
                                     {"AVANCEBRPM", "OUI"},
                                     {"DWELL", "NON"},
                                     {"MULTISPARK", "OUI"},
                                     {"RETARDKNOCK", "NON"},
                                     {"MODE3D", "OUI"},
                                     {"DIAG_KT5", "OUI"},
                                     {"TERMINALRS232", "NON"},
                                     {"TRANSFERT", "BOOTLOADER"},
                                     {"COMPILATION", "88"},
                                     {"HEX_ADD", "000"},
                                     {"HEX_LNG", "600"},
                                     {"NB_COURBES", "4"},
                                     {"ADD_TABLE_BASSE_L1", "300"},
                                     {"ADD_TABLE_HAUTE_L1", "400"},
                                     {"ADD_TABLE_BASSE_L2", "500"},
                                     {"ADD_TABLE_HAUTE_L2", "600"}};

class TestFirmwareProfile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VEK_LANGUAGE::SetRepertoireLangue(TestSupport::dataDirectory() + "Languages/");
        TestSupport::useTexts("english.ini");
    }

    // A description's values are read by the rules the package editor takes
    // them by: one refused refuses the package, naming its key and its file;
    // one written otherwise than the program writes it is taken, and noted.
    void descriptionValuesByTheirRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("fixed");      // FIX_NBCYL and FIX_AVSTAT "OUI"
        QTest::addColumn<QString>("refusal"); // the line after the heading
        QTest::addColumn<QString>("note");
        const QString at = "File HEX_XEH/P.XOS (OS.NFO): ";
        // "KEY: "value" ..." after the file, for the value `v` of `key`.
        const auto said = [&](const QString &key, const QString &v, const QString &why) {
            return at + key + ": \"" + v + "\" " + why;
        };
        const QString whole = "is not accepted: enter a whole number from ";
        const QString hex = "is not a hexadecimal number of 1 to 4 digits.";
        const QString noted = "Some values read are not taken as written; a refused value keeps "
                              "its previous value:\n";
        row("count", "NB_COURBES", "4", false, "", "");
        // One to eight lines: the counts the downloads, the programming and the export take.
        row("count of none", "NB_COURBES", "0", false, said("NB_COURBES", "0", whole + "1 to 8."),
            "");
        row("count 16", "NB_COURBES", "16", false, said("NB_COURBES", "16", whole + "1 to 8."), "");
        row("count not whole", "NB_COURBES", "2.5", false,
            said("NB_COURBES", "2.5", "is not a whole number."), "");
        row("cylinders", "VAL_NBCYL", "4", true, "", "");
        row("cylinders not given", "VAL_NBCYL", "", false, "", "");
        const QString notInList = "is not a cylinder count of the list (1, 2, 4, 6, 8).";
        row("cylinders with a unit", "VAL_NBCYL", "4 cyl", false,
            said("VAL_NBCYL", "4 cyl", notInList), "");
        row("three cylinders", "VAL_NBCYL", "3", false, said("VAL_NBCYL", "3", notInList), "");
        row("cylinders fixed but not given", "VAL_NBCYL", " ", true,
            at + "VAL_NBCYL: no value is given.", "");
        row("limiter", "LIMITE_RUPTEUR", "7000", false, "", "");
        row("limiter with its unit", "LIMITE_RUPTEUR", "6500 rpm", false,
            said("LIMITE_RUPTEUR", "6500 rpm", "is not a number: \"rpm\" follows the number."), "");
        for (const char *v : {"-5", "0", "99999999"})
            row(qPrintable(QString("limiter ") + v), "LIMITE_RUPTEUR", v, false,
                said("LIMITE_RUPTEUR", v, whole + "1 to 99999."), "");
        row("limiter not whole", "LIMITE_RUPTEUR", "7000.9", false,
            said("LIMITE_RUPTEUR", "7000.9", "is not a whole number."), "");
        row("limiter exponent", "LIMITE_RUPTEUR", "1e3", false,
            said("LIMITE_RUPTEUR", "1e3", "is not a number: \"e3\" follows the number."), "");
        row("advance", "VAL_AVSTAT", "10.5", true, "", "");
        row("advance with a comma", "VAL_AVSTAT", "10,5", true, "",
            noted + said("VAL_AVSTAT", "10,5", "is read as 10.5."));
        row("advance whole", "VAL_AVSTAT", "10", true, "",
            noted + said("VAL_AVSTAT", "10", "is read as 10.0."));
        row("limiter with a leading zero", "LIMITE_RUPTEUR", "07000", false, "",
            noted + said("LIMITE_RUPTEUR", "07000", "is read as 7000."));
        row("advance letters", "VAL_AVSTAT", "abc", false,
            said("VAL_AVSTAT", "abc", "is not a number."), "");
        row("advance out of range", "VAL_AVSTAT", "200", false,
            said("VAL_AVSTAT", "200", "is out of range: enter a number from 0 to 127.5."), "");
        row("advance fixed but not given", "VAL_AVSTAT", "", true,
            at + "VAL_AVSTAT: no value is given.", "");
        row("code address", "HEX_ADD", "300", false, "", "");
        row("code address letters", "HEX_ADD", "zz", false, said("HEX_ADD", "zz", hex), "");
        row("code address prefixed", "HEX_ADD", "0x300", false, said("HEX_ADD", "0x300", hex), "");
        // A zero length is an empty area: the area rule refuses it where it is used.
        row("code length zero", "HEX_LNG", "0", false, "", "");
        row("table address", "ADD_TABLE_H16_L2", "FFFF", false, "", "");
        row("table address of five digits", "ADD_TABLE_BASSE_L1", "12345", false,
            said("ADD_TABLE_BASSE_L1", "12345", hex), "");
        row("older table address letters", "ADD_TABLE_HAUTE", "xyz", false,
            said("ADD_TABLE_HAUTE", "xyz", hex), "");
    }

    void descriptionValuesByTheirRules()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, fixed);
        QFETCH(QString, refusal);
        QFETCH(QString, note);
        Description d{{key, value}};
        if (fixed)
            d.insert("FIX_NBCYL", "OUI"), d.insert("FIX_AVSTAT", "OUI");
        if (key != "VAL_NBCYL" && fixed)
            d.insert("VAL_NBCYL", "4");
        if (key != "VAL_AVSTAT" && fixed)
            d.insert("VAL_AVSTAT", "10.0");
        const PackageValues::DescriptionCheck check =
            PackageValues::CheckDescription(lookup(d), "HEX_XEH/P.XOS (OS.NFO)");
        QCOMPARE(check.refusal,
                 refusal.isEmpty()
                     ? QString()
                     : "This package is not applied: values of its description are refused.\n" +
                           refusal);
        QCOMPARE(check.notes, note);
        // Whatever the value, the profile is made without undefined conversions.
        package(d);
    }

    // What a package applies is what the rules took.
    void valuesAppliedAsTaken()
    {
        FirmwareProfile p = package({{"VAL_AVSTAT", "10,5"},
                                     {"VAL_NBCYL", "8"},
                                     {"LIMITE_RUPTEUR", " 7000 "},
                                     {"ADD_TABLE_BASSE_L1", " 0310 "}});
        QCOMPARE(p.AvStatiqueText, QString("10.5"));
        QCOMPARE(p.NbCylindresText, QString("8"));
        QCOMPARE(p.LimiteRupteur, 7000);
        QCOMPARE(p.tableAddresses[0], QString(" 0310 ")); // the settings keep it as written
        // A value not given leaves its control as it is.
        p = package({{"VAL_AVSTAT", ""}, {"FIX_AVSTAT", "NON"}});
        QVERIFY(!p.AvStatiqueText && !p.NbCylindresText);
    }

    void packageShapesTheWindow()
    {
        const FirmwareProfile p = package(kPackage);
        QCOMPARE(p.FrameMoteur, true);
        QCOMPARE(p.FrameAvanceST, false);
        QCOMPARE(p.NbCylindresEnabled, false);
        QCOMPARE(p.NbCylindresText, QString("4"));
        QCOMPARE(p.AvStatiqueEnabled, false);
        QCOMPARE(p.AvStatiqueText, QString("10.0")); // as the box writes what it takes
        QCOMPARE(p.FrameHardware, false);            // only "OUI" in capitals is yes
        QCOMPARE(p.FrameDwell, false);
        QCOMPARE(p.FrameTableMap, true);
        QCOMPARE(p.TerminalDisplay, false);
        QCOMPARE(p.TerminalPort, false);
        QCOMPARE(p.FrameKT5, true);
        QCOMPARE(p.LimiteRupteur, 6500);
        QCOMPARE(p.ICSPBoitier, int16_t(1));
        QCOMPARE(p.chip, QString("16F628A"));
        QCOMPARE(p.TypeTransfert, QString("BOOTLOADER"));
        QCOMPARE(p.ICSPHEXLNG, QString("600"));
        QCOMPARE(p.tableAddresses,
                 (std::array<QString, 8>{"300", "400", "0", "0", "500", "600", "0", "0"}));
    }

    void compilationTypes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("type");
        row("8", "8", 8);
        row("88", "88", 88);
        row("16", "16", 16);
        row("8 blank", "8 ", 16);
        row("absent", "", 16);
    }

    void compilationTypes()
    {
        QFETCH(QString, value);
        QFETCH(int, type);
        QCOMPARE(package({{"COMPILATION", value}}).TypeCompilation, type);
    }

    void mapBoxes()
    {
        std::optional<MapBoxLayout> four = MapBoxesFor("4");
        QVERIFY(four);
        QCOMPARE(four->percentTexts, QStringList({" 0", " 33", " 66", " 100"}));
        QCOMPARE(four->rangeTexts, QStringList({"0-25", "25-50", "50-75", "75-100"}));
        QVERIFY(four->isLocked(0) && four->isLocked(3) && !four->isLocked(1));

        std::optional<MapBoxLayout> two = MapBoxesFor("2");
        QCOMPARE(two->percentTexts, QStringList({" 0", " 100"}));
        QCOMPARE(two->rangeTexts, QStringList({"0-50", "50-100"}));
        QVERIFY(MapBoxesFor("8"));

        // Counts the boxes cannot show leave them as they are.
        for (const char *count : {"9", "16", "1", "0", "-3", "abc", "2.5"})
            QVERIFY2(!MapBoxesFor(count), count);

        FirmwareProfile p = package({{"NB_COURBES", "1"}});
        QCOMPARE(p.ICSPNbTables, QString("1"));
        QVERIFY(!p.mapBoxes);
        p = package({});
        QCOMPARE(p.ICSPNbTables, QString("2"));
        QCOMPARE(p.mapBoxes->count, 2);
    }

    void olderAddressLayout()
    {
        Description d = {{"ADD_TABLE_BASSE", "310"},
                         {"ADD_TABLE_HAUTE", "410"},
                         {"ADD_TABLE_H16", "910"},
                         {"ADD_TABLE_HAUTE_L1", "999"}}; // ignored: no BASSE_L1
        QCOMPARE(package(d).tableAddresses,
                 (std::array<QString, 8>{"310", "410", "0", "910", "310", "410", "0", "910"}));
    }

    void emptyDescription()
    {
        const FirmwareProfile p = package({});
        QCOMPARE(p.FrameMoteur, false);
        QCOMPARE(p.NbCylindresEnabled, true);
        QVERIFY(!p.NbCylindresText);
        QVERIFY(!p.AvStatiqueText);
        QCOMPARE(p.LimiteRupteur, 0);
        QCOMPARE(p.ICSPBoitier, int16_t(0));
        QCOMPARE(p.TypeTransfert, QString());
        QCOMPARE(p.tableAddresses[7], QString("0"));
        QCOMPARE(package({{"LIMITE_RUPTEUR", "x6500"}}).LimiteRupteur, 0);
    }

    void freeSetting()
    {
        QMap<QString, QString> store = {{"ICSP_Boitier", "3"}, {"ICSP_LTAB_L2", "A00"}};
        const FirmwareProfile p = FreeSettingProfile(
            [&store](const QString &key, const QString &def) { return store.value(key, def); });
        QCOMPARE(p.TypeCompilation, int16_t(8));
        QCOMPARE(p.LimiteRupteur, 50000);
        QCOMPARE(p.ICSPBoitier, int16_t(3));
        QCOMPARE(p.ICSPHEXADD, QString("000"));
        QCOMPARE(p.ICSPHEXLNG, QString("400"));
        QCOMPARE(p.ICSPNbTables, QString("2"));
        QCOMPARE(p.tableAddresses,
                 (std::array<QString, 8>{"300", "500", "700", "900", "A00", "500", "700", "900"}));
        QCOMPARE(p.AvStatiqueText, QString("45.0"));
        QCOMPARE(p.TerminalDisplay, true);
        // Only the free setting can show the port controls and the live
        // instruments again after a package hid them.
        QCOMPARE(p.TerminalPort, true);
        QCOMPARE(p.FrameKT5, true);
        // What the free setting leaves alone.
        QVERIFY(!p.mapBoxes && !p.NbCylindresText);
        QVERIFY(!p.chip && !p.TypeTransfert);
        // Read by the rules the start read them by: a box type of no box, or a
        // line count of no build, gives this setting's own defaults.
        store = {{"ICSP_Boitier", "7"}, {"ICSP_NBTABLES", "9"}};
        const FirmwareProfile refused = FreeSettingProfile(
            [&store](const QString &key, const QString &def) { return store.value(key, def); });
        QCOMPARE(refused.ICSPBoitier, int16_t(0));
        QCOMPARE(refused.ICSPNbTables, QString("2"));
    }

    void settingsOfAPackageOutliveTheFreeSetting()
    {
        VekContext context;
        ApplyProfileSettings(package(kPackage), context);
        QCOMPARE(context.settings.TypeCompilation, int16_t(88));
        QCOMPARE(context.settings.ICSPChip, QString("16F628A"));
        QCOMPARE(context.pic.DeviceChip, QString("16F628A"));
        QCOMPARE(context.settings.ICSPHTAB_L2, QString("600"));
        QCOMPARE(context.settings.ICSPNbTables, QString("4"));

        ApplyProfileSettings(
            FreeSettingProfile([](const QString &, const QString &def) { return def; }), context);
        QCOMPARE(context.settings.TypeCompilation, int16_t(8));
        QCOMPARE(context.settings.ICSPHTAB_L2, QString("500"));
        QCOMPARE(context.TypeTransfert, QString("BOOTLOADER"));
        QCOMPARE(context.settings.ICSPChip, QString("16F628A"));
    }

    void refreshedListKeepsTheEntryInUse_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("inUse");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("chosen");
        const QStringList folder{"Paramétrage Libre", "A.XOS", "B.XOS"};
        row("free setting", folder, "Paramétrage Libre", folder, 0);
        row("package still there", folder, "B.XOS", folder, 2);
        row("package gone", folder, "Proj.XOS",
            QStringList{"Paramétrage Libre", "A.XOS", "B.XOS", "Proj.XOS"}, 3);
    }

    void refreshedListKeepsTheEntryInUse()
    {
        QFETCH(QStringList, listed);
        QFETCH(QString, inUse);
        const FirmwareListRefresh refresh = KeepEntryInUse(listed, inUse);
        QTEST(refresh.entries, "entries");
        QTEST(refresh.chosen, "chosen");
    }

    void transferWindows()
    {
        QCOMPARE(TransferWindowFor("ICSP"), TransferWindow::Icsp);
        QCOMPARE(TransferWindowFor("BOOTLOADER"), TransferWindow::Bootloader);
        QCOMPARE(TransferWindowFor("BL_INIT"), TransferWindow::BlInit);
        QCOMPARE(TransferWindowFor("KORVALx"), TransferWindow::Korval);
        QCOMPARE(TransferWindowFor("bootloader"), TransferWindow::Unknown);
        QCOMPARE(TransferWindowFor(""), TransferWindow::Unknown);
    }
};

QTEST_GUILESS_MAIN(TestFirmwareProfile)
#include "tst_firmwareprofile.moc"
