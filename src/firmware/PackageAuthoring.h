#pragma once

#include "firmware/PackageArchive.h"
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
// takes the place of an older one only once it is complete and read back as
// the program opens a package of its kind.
class PackageAuthoring
{
public:
    PackageAuthoring(QString folder, const PackageKind &kind);

    enum class NameCheck { Ok, Empty, Unsafe };
    // A package name becomes a file name in the package folder: the one rule
    // of package names (ValueRules, PackageName: no folder part, no control
    // character, a name other systems keep too, no blank at either end).
    // Every package name that comes from a file or from the user goes through it.
    static NameCheck checkName(const QString &name);

    // File name of the package `name`: a name typed with the package's extension
    // keeps a single one, as the project opening looks packages up that way.
    QString packagePath(const QString &name) const;

    struct Outcome {
        bool ok = true;
        QString error; // what went wrong, for the user
    };
    // Reads the firmware file `source` as a package's firmware and checks it
    // (PackageFirmware); when `xehPath` is not empty, writes the words it gave
    // there as the scrambled member. Its messages name `source`.
    using FirmwareWriter = std::function<Outcome(const QString &source, const QString &xehPath)>;

    struct Result {
        enum Status { Ok, BadName, NoSource, SourceFailed, WriteFailed, ArchiveFailed };
        Status status = Ok;
        QString error;
        QString packagePath;
        bool ok() const { return status == Ok; }
    };

    QString folder() const { return m_folder; }
    QString workPath(const QString &member) const;
    bool isWorkPath(const QString &path) const;
    void deleteWorkFiles() const;

    // The package `name` + "." + extension from the description and the
    // firmware file `source`, which must be given: a file of the user's is read
    // and stored as the scrambled member; a work path (a package read before)
    // is checked and its members taken as they are.
    Result create(const QString &name, const PackageDescription &description, const QString &source,
                  const FirmwareWriter &firmware) const;

    // Reads a package into the work files. An archive without the
    // description is no package; one refused or unreadable leaves the work
    // files as they were.
    Outcome read(const QString &packagePath) const;

private:
    Result prepareFirmware(const QString &source, const FirmwareWriter &firmware) const;
    // The description written, then the archive of the work files.
    Result writePackage(const QString &name, const PackageDescription &description) const;
    // The work files as members, each bounded as its reader bounds it.
    QList<PackageArchive::Member> workMembers() const;

    QString m_folder;
    PackageKind m_kind;
};
