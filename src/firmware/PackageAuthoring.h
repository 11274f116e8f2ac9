#pragma once

#include "firmware/PackageDescription.h"

#include <QString>
#include <QStringList>

#include <functional>

// Members and extension of one kind of package.
struct PackageKind {
    QString extension;   // "XOS"
    QString description; // "OS.NFO"
    QString hexMember;   // "CODE.HEX"
    QString xehMember;   // "CODE.XEH"

    QStringList members() const { return {description, hexMember, xehMember}; }
    static const PackageKind &firmware(); // .XOS: OS.NFO, CODE.HEX, CODE.XEH
    static const PackageKind &update();   // .XMJ: MAJ.NFO, UPDATE.HEX, UPDATE.XEH
};

// Builds and reads firmware and update packages in the package folder through
// their work files (the description and the firmware members, under their
// member names in that folder). A package is built under a temporary name and
// takes the place of an older one only once it is complete.
class PackageAuthoring
{
public:
    PackageAuthoring(QString folder, const PackageKind &kind);

    enum class NameCheck { Ok, Empty, Unsafe };
    // A package name becomes a file name in the package folder: the one rule
    // of package names (ValueRules, PackageName: no folder part, no control
    // character, a name other systems keep too), without blanks around it.
    // Every package name that comes from a file or from the user goes through it.
    static NameCheck checkName(const QString &name);

    // File name of the package `name`: a name typed with the package's extension
    // keeps a single one, as the project opening looks packages up that way.
    QString packagePath(const QString &name) const;

    enum class SourceKind { None, Hex, Xeh };
    // By the source's last three characters, without regard to case.
    static SourceKind sourceKind(const QString &path);

    struct Outcome {
        bool ok = true;
        QString error; // what went wrong, for the user
    };
    // HEX source (work copy) -> scrambled member; the firmware services. Its
    // messages name `source`, the file the user chose, not the work copy.
    using Converter = std::function<Outcome(const QString &hexPath, const QString &xehPath,
                                            const QString &source)>;
    // Writes a zip archive of the given files stored under their bare names.
    using ArchiveWriter = std::function<Outcome(const QString &zipPath, const QStringList &files)>;
    // Extracts the named members (only those) of an archive into a folder.
    using ArchiveReader = std::function<Outcome(const QString &zipPath, const QString &folder,
                                                const QStringList &members)>;

    struct Result {
        enum Status { Ok, BadName, SourceFailed, ConversionFailed, WriteFailed, ArchiveFailed };
        Status status = Ok;
        QString error;
        QString packagePath;
        bool ok() const { return status == Ok; }
    };

    QString folder() const { return m_folder; }
    QString workPath(const QString &member) const;
    bool isWorkPath(const QString &path) const;
    void deleteWorkFiles() const;

    // The package `name` + "." + extension from the description and the firmware
    // source: a HEX source is converted to the scrambled member, a scrambled one
    // copied, a work path (a package read before) taken as it is.
    Result create(const QString &name, const PackageDescription &description, const QString &source,
                  const Converter &convert, const ArchiveWriter &writeArchive) const;

    // Reads a package into the work files (the old ones deleted first); an
    // archive without the description is refused as not a package.
    Outcome read(const QString &packagePath, const ArchiveReader &extract) const;

private:
    Result prepareFirmware(const QString &source, const Converter &convert) const;

    QString m_folder;
    PackageKind m_kind;
};
