#include "app/CurveFiles.h"

#include "app/CurveDocument.h"
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
            *error = BoundedFile::userReason(read); // the messages name the file
        return false;
    }
    bytes = std::move(read.bytes);
    return true;
}

namespace {

// What a single-curve file carries: rpm and one advance a row.
bool sameSingleCurve(const QList<QStringList> &read, const QList<QStringList> &meant)
{
    if (read.size() != meant.size())
        return false;
    for (qsizetype i = 0; i < read.size(); ++i)
        if (read[i].value(0) != meant[i].value(0) || read[i].value(1) != meant[i].value(1))
            return false;
    return true;
}

// The file at `written` read as Open reads a file of `kind`, over the curve
// meant: it must give that curve, every value taken as written.
QString readBack(const QString &written, const CurveDocument &curve, Kind kind)
{
    QByteArray bytes;
    QString error;
    if (!ReadAll(written, bytes, &error))
        return FileWriter::ReadOtherwise(error);
    const CurveReadResult read =
        kind == Kind::SingleCurve
            ? CurveDocument::parseMrt(bytes, curve, CurveDocument::MrtColumn::Atmo)
            : CurveDocument::parseVek(bytes, curve);
    if (!read.ok())
        return FileWriter::ReadOtherwise();
    if (!read.values.isEmpty())
        return FileWriter::ReadOtherwise(read.values.first().message);
    CurveDocument meant = curve;
    meant.CarteOptionNom = curve.CarteOptionNom.value_or(QString()); // "no board" is written so
    const bool same = kind == Kind::SingleCurve ? sameSingleCurve(read.document.rows, curve.rows)
                                                : read.document == meant;
    return same ? QString() : FileWriter::ReadOtherwise();
}

FileWriter::ReadBack curveReadBack(const CurveDocument &curve, Kind kind)
{
    return {kind == Kind::SingleCurve ? FileWriter::Kind::SingleCurve : FileWriter::Kind::Curve,
            [curve, kind](const QString &written) { return readBack(written, curve, kind); }};
}

} // namespace

bool WriteCurve(const QString &path, const CurveDocument &curve, Kind kind, QString *error)
{
    const QByteArray bytes = kind == Kind::SingleCurve ? curve.toMrt() : curve.toVek();
    const FileWriter::Result written = FileWriter::WriteWhole(
        path, bytes, FileWriter::Existing::Replace, curveReadBack(curve, kind));
    if (!written && error)
        *error = written.reason;
    return written.ok;
}

} // namespace CurveFiles
