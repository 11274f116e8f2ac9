#include "app/PackageFilesBackup.h"

#include "base/FileWriter.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QFile>

PackageFilesBackup::PackageFilesBackup(const QStringList &files) : files_(files) {}

QStringList PackageFilesBackup::TemporaryPackageFiles()
{
    return VEK_Gestion_OS::FichiersTemp();
}

bool PackageFilesBackup::save()
{
    if (!copy_.isValid())
        return false;
    existed_.clear();
    bool ok = true;
    for (qsizetype i = 0; i < files_.size(); ++i) {
        const QString kept = copy_.filePath(QString::number(i));
        QFile::remove(kept);
        existed_.append(QFile::exists(files_.at(i)));
        if (existed_.last())
            ok = FileWriter::CopyWhole(files_.at(i), kept).ok && ok;
    }
    return ok;
}

void PackageFilesBackup::restore()
{
    for (qsizetype i = 0; i < existed_.size(); ++i) {
        if (existed_.at(i))
            FileWriter::CopyWhole(copy_.filePath(QString::number(i)), files_.at(i));
        else
            QFile::remove(files_.at(i));
    }
}
