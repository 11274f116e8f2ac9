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
    PackageAuthoring::ArchiveWriter writeArchive;
    PackageAuthoring::ArchiveReader readArchive;
    // Selects `chip` for the device record, blanks the image, imports the HEX
    // file and writes it scrambled; fails for an unknown chip or a HEX file that
    // is damaged or without its end record, naming `source` (the user's file).
    std::function<PackageAuthoring::Outcome(const QString &chip, const QString &hexPath,
                                            const QString &xehPath, const QString &source)>
        convertHex;

    // The services of the running program.
    static PackageEditorServices standard(VekContext &context);
};
