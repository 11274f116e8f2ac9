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
                                        "TypeCourbe=3\nLanguage=English.ini\n"
                                        "[Compilation]\nTypeCompilation=88\n"
                                        "CheminProjetAsm=/home/u/asm\n"
                                        "[ICSP]\nICSP_Boitier=0\nICSP_Broche_DATAR=0\n"
                                        "ICSP_Broche_MCLR=14\nICSP_Delay=abc\nICSP_LTAB_L2=0A00\n");
        QCOMPARE(s.portNumber, 3);
        QCOMPARE(s.portDevice, QString("/dev/ttyS2"));
        QCOMPARE(s.serialSettings, QString("19200,N,8,1"));
        QCOMPARE(s.TypeCourbe, 3);
        QCOMPARE(s.Language, QString("english.ini")); // as the language folder names it
        QCOMPARE(s.TypeCompilation, int16_t(88));
        QCOMPARE(s.CheminProjetAsm, QString("/home/u/asm"));
        QCOMPARE(s.ICSPBoitier, int16_t(0));
        QCOMPARE(int(s.ICSPPINDATAR), 0);
        QCOMPARE(int(s.ICSPPINMCLR), 14);
        QCOMPARE(s.ICSPDELAY, QString("15")); // no number: the usual pause
        QCOMPARE(s.ICSPLTAB_L2, QString("0A00"));
    }

    // A stored text its key's rule refuses gives the key's default, as the
    // windows reading the key would take it, and is named at start by its
    // key, the line the user looks for in the file; a value read otherwise
    // than written is named with what it became.
    void refusedValuesFallBackAndAreNamedByTheirKeys_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("named"); // after "Fichier <file> : "
        row("newport no port", QByteArray("[Config]\nnewport=COM\n"), "1",
            "newport : « COM » ne désigne aucun port série : choisissez COM1, COM2… ou le "
            "chemin d'un périphérique série (/dev/ttyUSB0, un lien vers un pseudo-terminal…).");
        row("newport parallel", QByteArray("[Config]\nnewport=LPT1\n"), "1",
            "newport : « LPT1 » ne désigne aucun port série");
        row("serial settings", QByteArray("[Config]\ncom%24=fast\n"), "9600,N,8,1",
            "com$ : « fast » n'est pas un réglage de port série");
        row("serial settings the dialog cannot show",
            QByteArray("[Config]\ncom%24=\"14400,M,5,1.5\"\n"), "9600,N,8,1",
            "com$ : « 14400,M,5,1.5 » n'est pas un réglage de port série");
        row("chart type", QByteArray("[Config]\nTypeCourbe=16x\n"), "16",
            "TypeCourbe : « 16x » n'est pas un nombre : « x » suit le nombre.");
        row("chart type without option", QByteArray("[Config]\nTypeCourbe=-4\n"), "16",
            "TypeCourbe : « -4 » n'est pas accepté : entrez l'une des valeurs 2, 3, 4, 5, 16.");
        row("language", QByteArray("[Config]\nLanguage=klingon.ini\n"), "francais.ini",
            "Language : « klingon.ini » n'est pas un fichier de langue");
        row("handshaking", QByteArray("[Config]\nHandshaking=4\n"), "0",
            "Handshaking : « 4 » n'est pas accepté : entrez un nombre entier de 0 à 3.");
        row("compilation", QByteArray("[Compilation]\nTypeCompilation=7\n"), "8",
            "TypeCompilation : « 7 » n'est pas accepté : entrez l'une des valeurs 8, 16, 88.");
        row("box", QByteArray("[ICSP]\nICSP_Boitier=two\n"), "2",
            "ICSP_Boitier : « two » n'est pas un nombre.");
        row("output pin", QByteArray("[ICSP]\nICSP_Broche_MCLR=256\n"), "5",
            "ICSP_Broche_MCLR : « 256 » n'est pas accepté : entrez l'une des valeurs 0, 1, 2, "
            "3, 4, 5, 6, 7, 8, 9, 14, 16, 17.");
        row("input pin", QByteArray("[ICSP]\nICSP_Broche_DATAR=5\n"), "10",
            "ICSP_Broche_DATAR : « 5 » n'est pas accepté : entrez "
            "l'une des valeurs 0, 10, 11, 12, 13, 15.");
        row("pin with a fraction", QByteArray("[ICSP]\nICSP_Broche_DATA=2.5\n"), "2",
            "ICSP_Broche_DATA : « 2.5 » n'est pas un nombre entier.");
        row("delay", QByteArray("[ICSP]\nICSP_Delay=99999\n"), "15",
            "ICSP_Delay : « 99999 » n'est pas accepté : entrez un nombre entier de 1 à 200.");
        row("write attempts", QByteArray("[ICSP]\nICSP_NbWrite=12\n"), "5",
            "ICSP_NbWrite : « 12 » n'est pas accepté : entrez un nombre entier de 1 à 9.");
        row("code start", QByteArray("[ICSP]\nICSP_HEXADD=12345\n"), "000",
            "ICSP_HEXADD : « 12345 » n'est pas un nombre hexadécimal de 1 à 4 chiffres.");
        row("line count", QByteArray("[ICSP]\nICSP_NBTABLES=9\n"), "2",
            "ICSP_NBTABLES : « 9 » n'est pas accepté : entrez un nombre entier de 1 à 8.");
        row("write attempts, leading zero", QByteArray("[ICSP]\nICSP_NbWrite=07\n"), "7",
            "ICSP_NbWrite : « 07 » est lu comme 7.");
    }

    void refusedValuesFallBackAndAreNamedByTheirKeys()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, held);
        QFETCH(QString, named);
        TestSupport::useFrenchTexts();
        // A file of its own: a settings object keeps what it read of a file
        // rewritten within the same second.
        const QString path = dir_.filePath(QString(QTest::currentDataTag()) + ".ini");
        QVERIFY(TestSupport::writeFile(path, line));
        QSettings store(path, QSettings::IniFormat);
        MainSettings s;
        const MainSettingsLoader loader(store);
        MainSettingsLoader(store).Load(s);
        const QMap<QString, QString> values{{"newport", QString::number(s.portNumber)},
                                            {"com$", s.serialSettings},
                                            {"TypeCourbe", QString::number(s.TypeCourbe)},
                                            {"Language", s.Language},
                                            {"Handshaking", QString::number(s.Handshaking)},
                                            {"TypeCompilation", QString::number(s.TypeCompilation)},
                                            {"ICSP_Boitier", QString::number(s.ICSPBoitier)},
                                            {"ICSP_Broche_MCLR", QString::number(s.ICSPPINMCLR)},
                                            {"ICSP_Broche_DATA", QString::number(s.ICSPPINDATA)},
                                            {"ICSP_Broche_DATAR", QString::number(s.ICSPPINDATAR)},
                                            {"ICSP_Delay", s.ICSPDELAY},
                                            {"ICSP_NbWrite", QString::number(s.ICSPNBWRT)},
                                            {"ICSP_HEXADD", s.ICSPHEXADD},
                                            {"ICSP_NBTABLES", s.ICSPNbTables}};
        const QString key = named.section(' ', 0, 0);
        QVERIFY2(values.contains(key), qPrintable(key));
        QCOMPARE(values.value(key), held);
        const QList<ValueRules::Outcome> refused = loader.RefusedValues();
        QCOMPARE(refused.size(), 1);
        QVERIFY2(refused.first().message.startsWith("Fichier " + path + " : " + named),
                 qPrintable(refused.first().message));
        QVERIFY(loader.RefusedMessage().startsWith(
            "Des réglages enregistrés ne sont pas pris tels qu'écrits ; un réglage refusé prend "
            "sa valeur par défaut :\nFichier "));
    }

    // The program's own values read back name nothing.
    void storedDefaultsNameNothing()
    {
        const MainSettings defaults;
        QSettings store(dir_.filePath("own.ini"), QSettings::IniFormat);
        for (const auto &[key, value] : std::initializer_list<std::pair<const char *, QString>>{
                 {"Config/newport", "1"},
                 {"Config/com$", defaults.serialSettings},
                 {"Config/TypeCourbe", "16"},
                 {"Config/Language", defaults.Language},
                 {"Config/Handshaking", "0"},
                 {"Compilation/TypeCompilation", "88"},
                 {"ICSP/ICSP_Boitier", "3"},
                 {"ICSP/ICSP_Broche_DATAR", "0"},
                 {"ICSP/ICSP_Delay", defaults.ICSPDELAY},
                 {"ICSP/ICSP_NbWrite", "9"},
                 {"ICSP/ICSP_HEXADD", "0300"}})
            store.setValue(key, value);
        QVERIFY(MainSettingsLoader::SaveStore(store));
        QVERIFY(MainSettingsLoader(store).RefusedValues().isEmpty());
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
        row("LPT1: no serial port for the live link", "LPT1", 1, "/dev/ttyS0", "LPT1");
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

    // A save that failed is said with the file and why, the same in every
    // window; nothing is left behind by asking why.
    void failedSaveSaysWhy()
    {
        TestSupport::useFrenchTexts();
        const QString path = dir_.path() + "/why.ini";
        QSettings store(path, QSettings::IniFormat);
        store.setValue("Config/LogFolder", QString(64, 'x'));
        QString said;
        {
            const FailingWrites full(16);
            QVERIFY(!MainSettingsLoader::SaveStore(store));
            said = MainSettingsLoader::SaveFailureText(store);
        }
        QCOMPARE(said, "Les réglages n'ont pas pu être enregistrés dans " + path +
                           " : fichier trop grand pour le système.");
        QCOMPARE(QDir(dir_.path()).entryList({"*why*"}, QDir::Files | QDir::Hidden), QStringList());

        const QString folder = dir_.path() + "/folder.ini";
        QVERIFY(QDir().mkpath(folder));
        QSettings inPlace(folder, QSettings::IniFormat);
        inPlace.setValue("Config/LogFolder", "/x");
        QVERIFY(!MainSettingsLoader::SaveStore(inPlace));
        QCOMPARE(MainSettingsLoader::SaveFailureText(inPlace),
                 "Les réglages n'ont pas pu être enregistrés dans " + folder +
                     " : c'est un dossier.");
    }
};

QTEST_GUILESS_MAIN(TestMainSettings)
#include "tst_mainsettings.moc"
