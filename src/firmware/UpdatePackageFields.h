#pragma once

#include "firmware/PackageDescription.h"

#include <QString>

#include <functional>

// The description of an update package: the firmware's identity and its chip.
struct UpdatePackageFields {
    QString Module;
    QString VersionOS;
    QString Author;
    QString AuthorEmail;
    QString NomDuFichier;
    QString MODCHIP;

    // "[INFO]", the five identity lines, "[REGLAGE]", MODCHIP.
    PackageDescription toDescription() const;

    using Lookup = std::function<QString(const QString &key)>;
    static UpdatePackageFields fromDescription(const Lookup &info, const Lookup &reglage);
};
