#include "firmware/UpdatePackageFields.h"

PackageDescription UpdatePackageFields::toDescription() const
{
    PackageDescription d;
    d.setInfo(QStringLiteral("Module"), Module);
    d.setInfo(QStringLiteral("VersionOS"), VersionOS);
    d.setInfo(QStringLiteral("Author"), Author);
    d.setInfo(QStringLiteral("AuthorEmail"), AuthorEmail);
    d.setInfo(QStringLiteral("NomDuFichier"), NomDuFichier);
    d.setReglage(QStringLiteral("MODCHIP"), MODCHIP);
    return d;
}

UpdatePackageFields UpdatePackageFields::fromDescription(const Lookup &info, const Lookup &reglage)
{
    UpdatePackageFields f;
    f.Module = info(QStringLiteral("Module"));
    f.VersionOS = info(QStringLiteral("VersionOS"));
    f.Author = info(QStringLiteral("Author"));
    f.AuthorEmail = info(QStringLiteral("AuthorEmail"));
    f.NomDuFichier = info(QStringLiteral("NomDuFichier"));
    f.MODCHIP = reglage(QStringLiteral("MODCHIP"));
    return f;
}
