#pragma once

#include <QString>

#include <cstdint>

// The shortest pause after each bit frame of the programmer, in microseconds:
// the chips ask for 1 us after the data line moves before the next frame.
constexpr int MinIcspDelayUs = 1;
// The longest, and the pause a stored text that cannot be used gives.
constexpr int MaxIcspDelayUs = 200;
constexpr int DefaultIcspDelayUs = 15;

// The main window's public settings: read at start from the settings store,
// then read and written by every other window through the shared context.
struct MainSettings {
    bool CourbeModifie = false;
    QString VEKVersion = QStringLiteral("2.0.0");
    QString VEKRevision = QStringLiteral("01");
    QString VEKPSetting = QStringLiteral("V 3.9");
    QString VEKMZSetting = QStringLiteral("300");
    QString VEKJDMSetting = QStringLiteral("PCB.110");
    QString VEKDateRev = QStringLiteral("07/12/2007");
    uint8_t VersionModule = 0;
    int16_t TypeCompilation = 8;
    int32_t LimiteRupteur = 0;
    QString CheminProjetAsm;
    QString NomFichierLTAB8 = QStringLiteral("LTAB.TXT");
    QString NomFichierHTAB8 = QStringLiteral("HTAB.TXT");
    QString NomFichierLTAB16 = QStringLiteral("LTAB16_.TXT");
    QString NomFichierHTAB16 = QStringLiteral("HTAB16_.TXT");
    int16_t ICSPBoitier = 2; // 0 JDM, 1 VEKP, 2 VEK-MZ, 3 Q-PAK
    QString ICSPChip = QStringLiteral("AUTO");
    QString ICSPPort = QStringLiteral("COM1");
    uint8_t ICSPPINMCLR = 5;
    uint8_t ICSPPINCLOCK = 3;
    uint8_t ICSPPINDATA = 2;
    uint8_t ICSPPINDATAR = 10;
    QString ICSPDELAY = QStringLiteral("15"); // microseconds, MinIcspDelayUs to MaxIcspDelayUs
    uint8_t ICSPNBWRT = 5;
    QString ICSPHEXADD = QStringLiteral("000");
    QString ICSPHEXLNG = QStringLiteral("200");
    QString ICSPNbTables;
    QString ICSPLTAB_L1 = QStringLiteral("300");
    QString ICSPHTAB_L1 = QStringLiteral("500");
    QString ICSPLTAB16_L1 = QStringLiteral("1300");
    QString ICSPHTAB16_L1 = QStringLiteral("1500");
    QString ICSPLTAB_L2 = QStringLiteral("300");
    QString ICSPHTAB_L2 = QStringLiteral("500");
    QString ICSPLTAB16_L2 = QStringLiteral("1300");
    QString ICSPHTAB16_L2 = QStringLiteral("1500");
    bool presentation = false;

    // Serial link of the main window (live page and terminal).
    QString portDevice; // the port the link opens, as typed ("/dev/ttyUSB0", a link, "COM5")
    int portNumber = 1; // "newport" when it is a number (0 for a typed port)
    QString serialSettings = QStringLiteral("9600,N,8,1"); // "com$"
    int32_t TypeCourbe = 16;                               // chart type
    QString Language = QStringLiteral("francais.ini");
    int16_t Handshaking = 0; // "Handshaking": 0 none, 1 Xon/Xoff, 2 RTS, 3 Xon/RTS
    QString LogFolder;       // folder of the live logs; empty: the user's documents folder
};
