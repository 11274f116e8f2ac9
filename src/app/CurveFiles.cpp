#include "app/CurveFiles.h"

#include "base/BoundedFile.h"
#include "base/FileFailureReason.h"
#include "base/FileRefusal.h"
#include "base/FileWriter.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/VEK_Gestion_OS.h"

#include <utility>

namespace CurveFiles {

Kind KindOf(const QString &fileName)
{
    if (fileName.endsWith(QLatin1String(".xsc"), Qt::CaseInsensitive))
        return Kind::Project;
    if (fileName.endsWith(QLatin1String(".vek"), Qt::CaseInsensitive))
        return Kind::Curve;
    if (fileName.endsWith(QLatin1String(".mrt"), Qt::CaseInsensitive))
        return Kind::SingleCurve;
    return Kind::Unknown;
}

QString Extension(Kind kind)
{
    switch (kind) {
    case Kind::Project:
        return QStringLiteral(".xsc");
    case Kind::Curve:
        return QStringLiteral(".vek");
    case Kind::SingleCurve:
        return QStringLiteral(".mrt");
    case Kind::Unknown:
        break;
    }
    return {};
}

QString WithExtension(const QString &fileName, Kind wanted)
{
    if (fileName.isEmpty() || KindOf(fileName) != Kind::Unknown)
        return fileName;
    return fileName + Extension(wanted);
}

QString CurveTextName(const QString &path)
{
    if (KindOf(path) != Kind::Project)
        return path;
    return VEK_Gestion_OS::NomMembre(path, QString::fromLatin1(VEK_Gestion_OS::MembreCourbe));
}

QString CurveTextMessage(const QString &key, const QString &path, int line, const QStringList &more)
{
    return FileRefusal::AtLine(key, CurveTextName(path), line, more);
}

bool ReadAll(const QString &path, QByteArray &bytes, QString *error)
{
    BoundedFile::Read read = BoundedFile::readAll(path, BoundedFile::MaxTextFileBytes);
    if (!read.ok) {
        if (error)
            *error = read.tooLarge
                         ? VEK_LANGUAGE::GetLanguageText(
                               "MessTailleDepassee",
                               {"{OCTETS}", QString::number(BoundedFile::MaxTextFileBytes)})
                         : BoundedFile::userReason(read); // the messages name the file
        return false;
    }
    bytes = std::move(read.bytes);
    return true;
}

bool WriteAll(const QString &path, const QByteArray &bytes, QString *error)
{
    const FileWriter::Result written = FileWriter::WriteWhole(path, bytes);
    if (!written && error)
        *error = written.reason;
    return written.ok;
}

} // namespace CurveFiles
