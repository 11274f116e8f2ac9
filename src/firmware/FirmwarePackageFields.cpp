#include "firmware/FirmwarePackageFields.h"

#include "app/TextEncoding.h"

#include <QStringList>

namespace
{

void line(QStringList &lines, const char *key, const QString &value)
{
    lines << QLatin1String(key) + QLatin1Char('=') + value;
}

} // namespace

QByteArray FirmwarePackageFields::toDescription() const
{
    QStringList l;
    l << QStringLiteral("[INFO]");
    line(l, "Module", Module);
    line(l, "VersionOS", VersionOS);
    line(l, "Author", Author);
    line(l, "AuthorEmail", AuthorEmail);
    line(l, "NomDuFichier", NomDuFichier);
    l << QStringLiteral("[REGLAGE]");
    line(l, "TYPEBOITIER", TYPEBOITIER);
    line(l, "MODCHIP", MODCHIP);
    line(l, "EN_SET_MOTEUR", OuiNon(EN_SET_MOTEUR));
    line(l, "EN_SET_AVANCE", OuiNon(EN_SET_AVANCE));
    line(l, "FIX_NBCYL", OuiNon(FIX_NBCYL));
    line(l, "VAL_NBCYL", VAL_NBCYL);
    line(l, "LIMITE_RUPTEUR", LIMITE_RUPTEUR);
    line(l, "FIX_AVSTAT", OuiNon(FIX_AVSTAT));
    line(l, "VAL_AVSTAT", VAL_AVSTAT);
    line(l, "HARDWARE", OuiNon(HARDWARE));
    line(l, "IO_TOR", OuiNon(IO_TOR));
    line(l, "AVANCEBRPM", OuiNon(AVANCEBRPM));
    line(l, "DWELL", OuiNon(DWELL));
    line(l, "MULTISPARK", OuiNon(MULTISPARK));
    line(l, "RETARDKNOCK", OuiNon(RETARDKNOCK));
    line(l, "MODE3D", OuiNon(MODE3D));
    line(l, "DIAG_KT5", OuiNon(DIAG_KT5));
    line(l, "TERMINALRS232", OuiNon(TERMINALRS232));
    line(l, "TRANSFERT", TRANSFERT);
    line(l, "COMPILATION", QString::number(COMPILATION));
    line(l, "HEX_ADD", HEX_ADD);
    line(l, "HEX_LNG", HEX_LNG);
    line(l, "NB_COURBES", MODE3D ? NB_COURBES : QStringLiteral("2"));
    const bool with16 = COMPILATION == 16;
    for (int i = 0; i < 2; ++i) {
        const QString n = QString::number(i + 1);
        l << QStringLiteral("ADD_TABLE_BASSE_L") + n + QLatin1Char('=') + ADD_TABLE_BASSE[i];
        l << QStringLiteral("ADD_TABLE_HAUTE_L") + n + QLatin1Char('=') + ADD_TABLE_HAUTE[i];
        if (with16) {
            l << QStringLiteral("ADD_TABLE_B16_L") + n + QLatin1Char('=') + ADD_TABLE_B16[i];
            l << QStringLiteral("ADD_TABLE_H16_L") + n + QLatin1Char('=') + ADD_TABLE_H16[i];
        }
    }
    return TextEncoding::encodeWindows1252(l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

FirmwarePackageFields::Read
FirmwarePackageFields::fromDescription(const Lookup &info, const Lookup &reglage, int compilation)
{
    Read read;
    FirmwarePackageFields &f = read.fields;
    f.Module = info(QStringLiteral("Module"));
    f.VersionOS = info(QStringLiteral("VersionOS"));
    f.Author = info(QStringLiteral("Author"));
    f.AuthorEmail = info(QStringLiteral("AuthorEmail"));
    f.NomDuFichier = info(QStringLiteral("NomDuFichier"));

    auto flag = [&](const char *key) { return EstOui(reglage(QLatin1String(key))); };
    f.TYPEBOITIER = reglage(QStringLiteral("TYPEBOITIER"));
    f.MODCHIP = reglage(QStringLiteral("MODCHIP"));
    f.EN_SET_MOTEUR = flag("EN_SET_MOTEUR");
    f.EN_SET_AVANCE = flag("EN_SET_AVANCE");
    f.FIX_NBCYL = flag("FIX_NBCYL");
    f.VAL_NBCYL = reglage(QStringLiteral("VAL_NBCYL"));
    f.LIMITE_RUPTEUR = reglage(QStringLiteral("LIMITE_RUPTEUR"));
    f.FIX_AVSTAT = flag("FIX_AVSTAT");
    f.VAL_AVSTAT = reglage(QStringLiteral("VAL_AVSTAT"));
    f.HARDWARE = flag("HARDWARE");
    f.IO_TOR = flag("IO_TOR");
    f.AVANCEBRPM = flag("AVANCEBRPM");
    f.DWELL = flag("DWELL");
    f.MULTISPARK = flag("MULTISPARK");
    f.RETARDKNOCK = flag("RETARDKNOCK");
    f.MODE3D = flag("MODE3D");
    f.DIAG_KT5 = flag("DIAG_KT5");
    f.TERMINALRS232 = flag("TERMINALRS232");
    f.TRANSFERT = reglage(QStringLiteral("TRANSFERT"));
    const QString type = reglage(QStringLiteral("COMPILATION"));
    f.COMPILATION = compilation;
    for (int known : {8, 88, 16})
        if (type == QString::number(known)) {
            f.COMPILATION = known;
            read.compilationKnown = true;
        }
    f.HEX_ADD = reglage(QStringLiteral("HEX_ADD"));
    f.HEX_LNG = reglage(QStringLiteral("HEX_LNG"));
    f.NB_COURBES = reglage(QStringLiteral("NB_COURBES"));

    // The 16-bit boxes are read only while option 16 is chosen.
    const bool with16 = read.compilationKnown && f.COMPILATION == 16;
    auto only16 = [&](const QString &key) { return with16 ? reglage(key) : QString(); };
    if (!reglage(QStringLiteral("ADD_TABLE_BASSE_L1")).isEmpty()) {
        for (int i = 0; i < 2; ++i) {
            const QString n = QString::number(i + 1);
            f.ADD_TABLE_BASSE[i] = reglage(QStringLiteral("ADD_TABLE_BASSE_L") + n);
            f.ADD_TABLE_HAUTE[i] = reglage(QStringLiteral("ADD_TABLE_HAUTE_L") + n);
            f.ADD_TABLE_B16[i] = only16(QStringLiteral("ADD_TABLE_B16_L") + n);
            f.ADD_TABLE_H16[i] = only16(QStringLiteral("ADD_TABLE_H16_L") + n);
        }
    } else {
        // Older single-line layout: shown on line 2.
        f.ADD_TABLE_BASSE[1] = reglage(QStringLiteral("ADD_TABLE_BASSE"));
        f.ADD_TABLE_HAUTE[1] = reglage(QStringLiteral("ADD_TABLE_HAUTE"));
        f.ADD_TABLE_B16[1] = only16(QStringLiteral("ADD_TABLE_B16"));
        f.ADD_TABLE_H16[1] = only16(QStringLiteral("ADD_TABLE_H16"));
    }
    return read;
}
