#include "FailingWrites.h"
#include "PortHolders.h"
#include "TestSupport.h"
#include "base/MainSettingsLoader.h"

#include <QtTest>

using TestSupport::row;

class TestMainSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    int loads_ = 0;

    // The file of the last load. Each load writes a file of its own: QSettings
    // keeps a file it has read and takes one rewritten to the same length
    // within the same tick of the clock for unchanged.
    QString iniPath() const { return dir_.filePath(QString("store%1.ini").arg(loads_)); }

    MainSettings loadFrom(const QByteArray &ini)
    {
        ++loads_;
        TestSupport::writeFile(iniPath(), ini);
        QSettings store(iniPath(), QSettings::IniFormat);
        MainSettings settings;
        settings.ICSPChip.clear(); // the loader, not the struct, must give the defaults
        settings.TypeCompilation = 0;
        MainSettingsLoader(store).Load(settings);
        return settings;
    }

private slots:
    void emptyStoreGivesTheDefaults()
    {
        const MainSettings s = loadFrom("");
        QCOMPARE(s.portNumber, 1);
        QCOMPARE(s.portDevice, QString("/dev/ttyS0"));
        QCOMPARE(s.serialSettings, QString("9600,N,8,1"));
        QCOMPARE(s.TypeCourbe, 16);
        QCOMPARE(s.Language, QString("francais.ini"));
        QCOMPARE(s.TypeCompilation, int16_t(8));
        QCOMPARE(s.NomFichierHTAB16, QString("HTAB16_.TXT"));
        QVERIFY(s.CheminProjetAsm.isEmpty());
        QCOMPARE(s.ICSPBoitier, int16_t(2));
        QCOMPARE(s.ICSPChip, QString("AUTO"));
        QCOMPARE(s.ICSPPort, QString("COM1"));
        QCOMPARE(int(s.ICSPPINMCLR), 5);
        QCOMPARE(int(s.ICSPPINCLOCK), 3);
        QCOMPARE(int(s.ICSPPINDATA), 2);
        QCOMPARE(int(s.ICSPPINDATAR), 10);
        QCOMPARE(int(s.ICSPNBWRT), 5);
        QCOMPARE(s.ICSPDELAY, QString("15"));
        QCOMPARE(s.ICSPHEXADD, QString("000"));
        // The defaults the free setting shows.
        QCOMPARE(s.ICSPHEXLNG, QString("400"));
        QCOMPARE(s.ICSPNbTables, QString("2"));
        QCOMPARE(s.ICSPHTAB16_L2, QString("900"));
    }

    void storedValuesAreRead()
    {
        const MainSettings s = loadFrom("[Config]\nnewport=3\ncom%24=\"19200,N,8,1\"\n"
                                        "TypeCourbe=-4\nLanguage=english.ini\n"
                                        "[Compilation]\nTypeCompilation=88\n"
                                        "CheminProjetAsm=/home/u/asm\n"
                                        "[ICSP]\nICSP_Boitier=0\nICSP_Broche_DATAR=0\n"
                                        "ICSP_Broche_MCLR=255\nICSP_Delay=abc\n"
                                        "ICSP_LTAB_L2=0A00\n");
        QCOMPARE(s.portNumber, 3);
        QCOMPARE(s.portDevice, QString("/dev/ttyS2"));
        QCOMPARE(s.serialSettings, QString("19200,N,8,1"));
        QCOMPARE(s.TypeCourbe, -4);
        QCOMPARE(s.Language, QString("english.ini"));
        QCOMPARE(s.TypeCompilation, int16_t(88));
        QCOMPARE(s.CheminProjetAsm, QString("/home/u/asm"));
        QCOMPARE(s.ICSPBoitier, int16_t(0));
        QCOMPARE(int(s.ICSPPINDATAR), 0);
        QCOMPARE(int(s.ICSPPINMCLR), 255);
        QCOMPARE(s.ICSPDELAY, QString("15")); // no number: the usual pause
        QCOMPARE(s.ICSPLTAB_L2, QString("0A00"));
    }

    void corruptedNumbersFallBackToTheirDefaults()
    {
        const MainSettings s = loadFrom("[Config]\nnewport=COM\nTypeCourbe=16x\n"
                                        "[Compilation]\nTypeCompilation=99999\n"
                                        "[ICSP]\nICSP_Boitier=two\nICSP_Broche_MCLR=256\n"
                                        "ICSP_Broche_CLOCK=-1\nICSP_Broche_DATA=2.5\n"
                                        "ICSP_Broche_DATAR=\nICSP_NbWrite=1000\n");
        QCOMPARE(s.portNumber, 1);
        QCOMPARE(s.TypeCourbe, 16);
        QCOMPARE(s.TypeCompilation, int16_t(8));
        QCOMPARE(s.ICSPBoitier, int16_t(2));
        QCOMPARE(int(s.ICSPPINMCLR), 5);
        QCOMPARE(int(s.ICSPPINCLOCK), 3);
        QCOMPARE(int(s.ICSPPINDATA), 2);
        QCOMPARE(int(s.ICSPPINDATAR), 10);
        QCOMPARE(int(s.ICSPNBWRT), 5);
    }

    // A stored programming delay its rule refuses gives the usual 15 us, and
    // is named once with its reason and the settings file.
    void refusedDelayIsNamed()
    {
        TestSupport::useFrenchTexts();
        const MainSettings s = loadFrom("[ICSP]\nICSP_Delay=99999\n");
        QCOMPARE(s.ICSPDELAY, QString("15"));
        QSettings store(iniPath(), QSettings::IniFormat);
        const QList<ValueRules::Outcome> refused = MainSettingsLoader(store).RefusedValues();
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.first().message,
                 "Fichier " + iniPath() +
                     " : Délai de programmation (µs) : « 99999 » n'est pas accepté : entrez un "
                     "nombre entier de 1 à 200.");
        QSettings good(iniPath(), QSettings::IniFormat);
        good.setValue("ICSP/ICSP_Delay", "40");
        good.sync();
        QVERIFY(MainSettingsLoader(good).RefusedValues().isEmpty());
    }

    void portAsDevicePathOrHandWrittenSettings()
    {
        const MainSettings s = loadFrom("[Config]\nnewport=/dev/pts/7\ncom%24=9600,E,7,2\n");
        QCOMPARE(s.portDevice, QString("/dev/pts/7"));
        QCOMPARE(s.portNumber, 0);
        QCOMPARE(s.serialSettings, QString("9600,E,7,2"));

        QCOMPARE(loadFrom("[Config]\nnewport=0\n").portNumber, 1);
        QCOMPARE(loadFrom("[Config]\nnewport= 2 \n").portNumber, 2);
    }

    // A port comes back at the next start as it was typed, by the rule the
    // dialogs take it at OK ("COMn", "LPTn", a path to a character device,
    // links followed); a path whose device is not there now is kept for its
    // opening to say so; a text that names no port gives the first port.
    void storedPortsComeBackAsTyped_data()
    {
        QTest::addColumn<QString>("stored"); // as newport and as ICSP_Port
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("icspPort");
        row("link to a pseudo-terminal", "{link}", 0, "{link}", "{link}");
        row("COM12", "COM12", 0, "COM12", "COM12");
        row("com2, as the dialogs keep it", " com2", 0, "COM2", "COM2");
        row("LPT1", "LPT1", 0, "LPT1", "LPT1");
        row("link leading nowhere now", "{dangling}", 0, "{dangling}", "{dangling}");
        row("plain file", "{file}", 1, "/dev/ttyS0", "COM1");
        row("no port name", "port", 1, "/dev/ttyS0", "COM1");
    }

    void storedPortsComeBackAsTyped()
    {
        QFETCH(QString, stored);
        QFETCH(int, number);
        QFETCH(QString, device);
        QFETCH(QString, icspPort);
        LinkedPty pty;
        QVERIFY(!pty.link.isEmpty());
        QVERIFY(TestSupport::writeFile(dir_.filePath("plain"), "not a port"));
        QFile::remove(dir_.filePath("dangling"));
        QVERIFY(QFile::link(dir_.filePath("nothing"), dir_.filePath("dangling")));
        const auto places = [&](QString text) {
            return text.replace("{link}", pty.link)
                .replace("{file}", dir_.filePath("plain"))
                .replace("{dangling}", dir_.filePath("dangling"));
        };
        stored = places(stored);
        const MainSettings s =
            loadFrom(QString("[Config]\nnewport=%1\n[ICSP]\nICSP_Port=%1\n").arg(stored).toUtf8());
        QCOMPARE(s.portNumber, number);
        QCOMPARE(s.portDevice, places(device));
        QCOMPARE(s.ICSPPort, places(icspPort));
    }

    // Qt's own save reports success after a write the disk refused and leaves an
    // empty file: the settings file as it was comes back, and the save says so.
    void settingsFileNeverLeftEmptyOrCutShort()
    {
        const QString path = dir_.filePath("saved.ini");
        QFile::remove(path);
        QSettings store(path, QSettings::IniFormat);
        QVERIFY(MainSettingsLoader::SaveLogFolder(store, "/first/folder"));
        const QByteArray saved = TestSupport::readFile(path);
        QCOMPARE(saved, QByteArray("[Config]\nLogFolder=/first/folder\n"));
        {
            const FailingWrites full(16);
            QVERIFY(!MainSettingsLoader::SaveLogFolder(store, "/second/folder"));
        }
        QCOMPARE(TestSupport::readFile(path), saved);
        QCOMPARE(QDir(dir_.path()).entryList({"*saved*"}, QDir::Files | QDir::Hidden),
                 QStringList{"saved.ini"});
    }
};

QTEST_GUILESS_MAIN(TestMainSettings)
#include "tst_mainsettings.moc"
