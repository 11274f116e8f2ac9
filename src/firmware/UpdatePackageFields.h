#pragma once

#include <QByteArray>
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

    // "[INFO]", the five identity lines, "[REGLAGE]", MODCHIP; CR LF, Windows-1252.
    QByteArray toDescription() const;

    using Lookup = std::function<QString(const QString &key)>;
    static UpdatePackageFields fromDescription(const Lookup &info, const Lookup &reglage);
};
