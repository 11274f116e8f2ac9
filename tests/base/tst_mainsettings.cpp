#include "TestSupport.h"
#include "base/MainSettingsLoader.h"

#include <QtTest>

class TestMainSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    QString iniPath() const { return dir_.path() + "/store.ini"; }

    MainSettings loadFrom(const QByteArray &ini)
    {
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
        QCOMPARE(s.ICSPHTAB16_L2, QString("1500"));
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
        QCOMPARE(s.ICSPDELAY, QString("abc")); // a text setting stays as stored
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

    void portAsDevicePathOrHandWrittenSettings()
    {
        const MainSettings s = loadFrom("[Config]\nnewport=/dev/pts/7\ncom%24=9600,E,7,2\n");
        QCOMPARE(s.portDevice, QString("/dev/pts/7"));
        QCOMPARE(s.portNumber, 0);
        QCOMPARE(s.serialSettings, QString("9600,E,7,2"));

        QCOMPARE(loadFrom("[Config]\nnewport=0\n").portNumber, 1);
        QCOMPARE(loadFrom("[Config]\nnewport= 2 \n").portNumber, 2);
    }
};

QTEST_GUILESS_MAIN(TestMainSettings)
#include "tst_mainsettings.moc"
