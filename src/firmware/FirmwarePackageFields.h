#pragma once

#include "firmware/PackageDescription.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

// The description of a firmware package as its editor holds it: every field in
// the order the description file lists its keys. Values are kept as typed.
struct FirmwarePackageFields {
    // [INFO]
    QString Module;
    QString VersionOS;
    QString Author;
    QString AuthorEmail;
    QString NomDuFichier;
    // [REGLAGE]
    QString TYPEBOITIER = QStringLiteral("JDM");
    QString MODCHIP;
    bool EN_SET_MOTEUR = false;
    bool EN_SET_AVANCE = false;
    bool FIX_NBCYL = false;
    QString VAL_NBCYL;
    QString LIMITE_RUPTEUR;
    bool FIX_AVSTAT = false;
    QString VAL_AVSTAT;
    bool HARDWARE = false;
    bool IO_TOR = false;
    bool AVANCEBRPM = false;
    bool DWELL = false;
    bool MULTISPARK = false;
    bool RETARDKNOCK = false;
    bool MODE3D = false;
    bool DIAG_KT5 = false;
    bool TERMINALRS232 = false;
    QString TRANSFERT = QStringLiteral("BL_INIT");
    int COMPILATION = 8; // 8, 16 or 88
    QString HEX_ADD;
    QString HEX_LNG;
    QString NB_COURBES = QStringLiteral("4"); // the list's text; written only with MODE3D
    // Table addresses of curve lines 1 and 2 (index 0 and 1).
    std::array<QString, 2> ADD_TABLE_BASSE;
    std::array<QString, 2> ADD_TABLE_HAUTE;
    std::array<QString, 2> ADD_TABLE_B16;
    std::array<QString, 2> ADD_TABLE_H16;

    // The description, every key in its order. NB_COURBES is "2" unless MODE3D
    // is set; the 16-bit table addresses are written only for type 16.
    PackageDescription toDescription() const;

    // The values the main window takes from a package (cylinder count, rev
    // limiter, static advance, code area, table addresses) read by their one
    // rule, as a package chosen in the list is read (PackageValues): each taken
    // one kept as the rule writes it ("10,5" as "10.5"), blanks around an
    // address dropped. The refusals, each naming its box: `caption` of its
    // key, or the value's own name when that is empty.
    QStringList readValues(const std::function<QString(const QString &key)> &caption);

    // Key look-up of one section of a description; empty for a missing key.
    using Lookup = std::function<QString(const QString &key)>;

    // Fields of a read description. A COMPILATION other than "8", "16" and "88"
    // keeps `compilation` (the editor's current type) and gives no option; a
    // description without ADD_TABLE_BASSE_L1 (the older single-line layout) puts
    // its unsuffixed addresses on line 2. 16-bit addresses only when COMPILATION is "16".
    struct Read;
    static Read fromDescription(const Lookup &info, const Lookup &reglage, int compilation);
};

struct FirmwarePackageFields::Read {
    FirmwarePackageFields fields;
    bool compilationKnown = false; // an option of the three is chosen
};
