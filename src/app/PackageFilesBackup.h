#pragma once

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// A copy of the temporary package files taken before a package or a project is
// unpacked over them, so that one that cannot be used leaves the earlier files
// (and with them the description in use) as they were.
class PackageFilesBackup
{
public:
    explicit PackageFilesBackup(const QStringList &files);

    // The temporary files of the package in use and of a project's curve.
    static QStringList TemporaryPackageFiles();

    // Copies the files that exist; false when the copy could not be made.
    bool save();
    // Puts the saved files back and removes those that did not exist.
    void restore();

private:
    QStringList files_;
    QList<bool> existed_;
    QTemporaryDir copy_;
};
