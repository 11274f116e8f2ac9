#include "firmware/FirmwarePackageFields.h"

#include "firmware/PackageValues.h"

QStringList
FirmwarePackageFields::readValues(const std::function<QString(const QString &key)> &caption)
{
    const PackageDescription description = toDescription();
    const QList<PackageValues::Read> values = PackageValues::ReadAll(
        [&description](const QString &key) { return description.reglage(key); },
        ValueRules::Source::box(ValueRules::Path::PackageEditor), caption);
    QStringList refusals;
    for (const PackageValues::Read &read : values)
        if (!read.outcome.taken())
            refusals << read.outcome.message;
    const auto keep = [&values](const QString &key, QString &field) {
        field = PackageValues::Taken(values, key, field);
    };
    keep(QStringLiteral("VAL_NBCYL"), VAL_NBCYL);
    keep(QStringLiteral("LIMITE_RUPTEUR"), LIMITE_RUPTEUR);
    keep(QStringLiteral("VAL_AVSTAT"), VAL_AVSTAT);
    keep(QStringLiteral("HEX_ADD"), HEX_ADD);
    keep(QStringLiteral("HEX_LNG"), HEX_LNG);
    for (int i = 0; i < 2; ++i) {
        const QString n = QString::number(i + 1);
        keep(QStringLiteral("ADD_TABLE_BASSE_L") + n, ADD_TABLE_BASSE[i]);
        keep(QStringLiteral("ADD_TABLE_HAUTE_L") + n, ADD_TABLE_HAUTE[i]);
        keep(QStringLiteral("ADD_TABLE_B16_L") + n, ADD_TABLE_B16[i]);
        keep(QStringLiteral("ADD_TABLE_H16_L") + n, ADD_TABLE_H16[i]);
    }
    return refusals;
}

PackageDescription FirmwarePackageFields::toDescription() const
{
    PackageDescription d;
    d.setInfo(QStringLiteral("Module"), Module);
    d.setInfo(QStringLiteral("VersionOS"), VersionOS);
    d.setInfo(QStringLiteral("Author"), Author);
    d.setInfo(QStringLiteral("AuthorEmail"), AuthorEmail);
    d.setInfo(QStringLiteral("NomDuFichier"), NomDuFichier);
    auto set = [&d](const char *key, const QString &value) {
        d.setReglage(QLatin1String(key), value);
    };
    auto flag = [&set](const char *key, bool value) { set(key, PackageDescription::yesNo(value)); };
    set("TYPEBOITIER", TYPEBOITIER);
    set("MODCHIP", MODCHIP);
    flag("EN_SET_MOTEUR", EN_SET_MOTEUR);
    flag("EN_SET_AVANCE", EN_SET_AVANCE);
    flag("FIX_NBCYL", FIX_NBCYL);
    set("VAL_NBCYL", VAL_NBCYL);
    set("LIMITE_RUPTEUR", LIMITE_RUPTEUR);
    flag("FIX_AVSTAT", FIX_AVSTAT);
    set("VAL_AVSTAT", VAL_AVSTAT);
    flag("HARDWARE", HARDWARE);
    flag("IO_TOR", IO_TOR);
    flag("AVANCEBRPM", AVANCEBRPM);
    flag("DWELL", DWELL);
    flag("MULTISPARK", MULTISPARK);
    flag("RETARDKNOCK", RETARDKNOCK);
    flag("MODE3D", MODE3D);
    flag("DIAG_KT5", DIAG_KT5);
    flag("TERMINALRS232", TERMINALRS232);
    set("TRANSFERT", TRANSFERT);
    set("COMPILATION", QString::number(COMPILATION));
    set("HEX_ADD", HEX_ADD);
    set("HEX_LNG", HEX_LNG);
    set("NB_COURBES", MODE3D ? NB_COURBES : QStringLiteral("2"));
    const bool with16 = COMPILATION == 16;
    for (int i = 0; i < 2; ++i) {
        const QString n = QString::number(i + 1);
        d.setReglage(QStringLiteral("ADD_TABLE_BASSE_L") + n, ADD_TABLE_BASSE[i]);
        d.setReglage(QStringLiteral("ADD_TABLE_HAUTE_L") + n, ADD_TABLE_HAUTE[i]);
        if (with16) {
            d.setReglage(QStringLiteral("ADD_TABLE_B16_L") + n, ADD_TABLE_B16[i]);
            d.setReglage(QStringLiteral("ADD_TABLE_H16_L") + n, ADD_TABLE_H16[i]);
        }
    }
    return d;
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

    auto flag = [&](const char *key) {
        return PackageDescription::isYes(reglage(QLatin1String(key)));
    };
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
