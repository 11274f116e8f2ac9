#pragma once

#include "firmware/PackageAuthoring.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct VekContext;

// What the package editors use of the rest of the program: the chip catalogue,
// the package description look-ups, the archives and the firmware files.
struct PackageEditorServices {
    // Folder of the packages and of the editors' work files.
    QString packageFolder;
    // Chip names of the catalogue; nullopt when the catalogue cannot be loaded.
    std::function<std::optional<QStringList>()> chipCatalogue;
    // Makes a description file the current package description.
    std::function<void(const QString &folder, const QString &file)> makeCurrentDescription;
    // Keys of sections [INFO] and [REGLAGE] of the current description.
    std::function<QString(const QString &key)> lireInfo;
    std::function<QString(const QString &key)> lireReglage;
    // Reads the firmware file `source` for `chip` as a package's firmware, its
    // code area HEX_ADD and HEX_LNG (PackageFirmware), and, when `xehPath` is
    // not empty, writes the words it gave there scrambled; a HEX file of the
    // user's then stays in the programmer's image, as an import leaves it.
    // Fails for an unknown chip or a file refused, naming `source`.
    std::function<PackageAuthoring::Outcome(const QString &chip, const QString &source,
                                            const QString &xehPath, const QString &HEXADD,
                                            const QString &HEXLNG)>
        writeFirmware;

    // The services of the running program.
    static PackageEditorServices standard(VekContext &context);
};
