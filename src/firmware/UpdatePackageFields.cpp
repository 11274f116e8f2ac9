#include "firmware/UpdatePackageFields.h"

#include "app/TextEncoding.h"

#include <QStringList>

QByteArray UpdatePackageFields::toDescription() const
{
    const QStringList lines{
        QStringLiteral("[INFO]"),
        QStringLiteral("Module=") + Module,
        QStringLiteral("VersionOS=") + VersionOS,
        QStringLiteral("Author=") + Author,
        QStringLiteral("AuthorEmail=") + AuthorEmail,
        QStringLiteral("NomDuFichier=") + NomDuFichier,
        QStringLiteral("[REGLAGE]"),
        QStringLiteral("MODCHIP=") + MODCHIP,
    };
    return TextEncoding::encodeWindows1252(lines.join(QStringLiteral("\r\n")) +
                                           QStringLiteral("\r\n"));
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
