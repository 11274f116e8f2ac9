#include "app/PackageFilesBackup.h"

#include "base/FileFailureReason.h"
#include "base/FileRefusal.h"
#include "base/FileWriter.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

PackageFilesBackup::PackageFilesBackup(const QStringList &files) : files_(files) {}

QStringList PackageFilesBackup::TemporaryPackageFiles()
{
    return VEK_Gestion_OS::FichiersTemp();
}

QString PackageFilesBackup::copyOf(const QString &file) const
{
    return copy_.filePath(QFileInfo(file).fileName());
}

// Copies `file`; empty when done, else why not.
QString PackageFilesBackup::copy(const QString &file) const
{
    QFile source(file);
    const QByteArray bytes = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
    if (source.error() != QFileDevice::NoError)
        return FileRefusal::OfFile(VEK_LANGUAGE::LangKey("MessHexLectureImpossible"), file,
                                   {QStringLiteral("%RAISON%"), FileFailureReason::of(source)});
    const FileWriter::Result written = FileWriter::WriteWhole(copyOf(file), bytes);
    if (!written)
        return FileRefusal::OfFile(VEK_LANGUAGE::LangKey("MessHexEcritureImpossible"), copyOf(file),
                                   {QStringLiteral("%RAISON%"), written.reason});
    return {};
}

bool PackageFilesBackup::save()
{
    existed_.clear();
    failure_.clear();
    if (!copy_.isValid()) {
        failure_ = FileRefusal::OfFile(
            VEK_LANGUAGE::LangKey("MessHexEcritureImpossible"), QDir::tempPath(),
            {QStringLiteral("%RAISON%"), FileFailureReason::wording(copy_.errorString())});
        return false;
    }
    for (const QString &file : files_) {
        QFile::remove(copyOf(file));
        existed_.append(QFile::exists(file));
        if (existed_.last() && failure_.isEmpty())
            failure_ = copy(file);
    }
    return failure_.isEmpty();
}

void PackageFilesBackup::restore()
{
    for (qsizetype i = 0; i < existed_.size(); ++i) {
        if (existed_.at(i))
            FileWriter::CopyWhole(copyOf(files_.at(i)), files_.at(i));
        else
            QFile::remove(files_.at(i));
    }
}
