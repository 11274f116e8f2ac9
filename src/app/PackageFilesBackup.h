#pragma once

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// A copy of the temporary package files taken before a package or a project is
// unpacked over them, so that one that cannot be used leaves the earlier files
// (and with them the description in use) as they were. Without a whole copy
// nothing may be unpacked: there would be nothing to put back.
class PackageFilesBackup
{
public:
    // `files` have names of their own (the copies are kept by name).
    explicit PackageFilesBackup(const QStringList &files);

    // The temporary files of the package in use and of a project's curve.
    static QStringList TemporaryPackageFiles();

    // Copies the files that exist; false when the copy could not be made,
    // failure() then saying which file and why.
    bool save();
    // Puts the saved files back and removes those that did not exist.
    void restore();
    // Why save() failed, naming the file it could not read or write.
    const QString &failure() const { return failure_; }

private:
    QString copyOf(const QString &file) const;
    QString copy(const QString &file) const;

    QStringList files_;
    QList<bool> existed_;
    QTemporaryDir copy_;
    QString failure_;
};
