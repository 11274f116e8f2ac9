#include "firmware/PackageAuthoring.h"

#include "base/FileFailureReason.h"
#include "base/FileRefusal.h"
#include "base/FileWriter.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

const PackageKind &PackageKind::firmware()
{
    static const PackageKind kind{QStringLiteral("XOS"), QStringLiteral("OS.NFO"),
                                  QStringLiteral("CODE.HEX"), QStringLiteral("CODE.XEH")};
    return kind;
}

const PackageKind &PackageKind::update()
{
    static const PackageKind kind{QStringLiteral("XMJ"), QStringLiteral("MAJ.NFO"),
                                  QStringLiteral("UPDATE.HEX"), QStringLiteral("UPDATE.XEH")};
    return kind;
}

PackageAuthoring::PackageAuthoring(QString folder, const PackageKind &kind)
    : m_folder(QDir::cleanPath(folder)), m_kind(kind)
{}

PackageAuthoring::NameCheck PackageAuthoring::checkName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return NameCheck::Empty;
    // Blanks around it would be part of the file's name: the name as taken has none.
    const ValueRules::Outcome read =
        ValueRules::read(ValueRules::Value::PackageName, name, ValueRules::Source::box());
    return read.taken() && read.text == name ? NameCheck::Ok : NameCheck::Unsafe;
}

PackageAuthoring::SourceKind PackageAuthoring::sourceKind(const QString &path)
{
    const QString end = path.right(3);
    if (end.compare(QLatin1String("hex"), Qt::CaseInsensitive) == 0)
        return SourceKind::Hex;
    if (end.compare(QLatin1String("xeh"), Qt::CaseInsensitive) == 0)
        return SourceKind::Xeh;
    return SourceKind::None;
}

QString PackageAuthoring::workPath(const QString &member) const
{
    return m_folder + QLatin1Char('/') + member;
}

bool PackageAuthoring::isWorkPath(const QString &path) const
{
    if (path.isEmpty())
        return false;
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean == workPath(m_kind.hexMember) || clean == workPath(m_kind.xehMember);
}

void PackageAuthoring::deleteWorkFiles() const
{
    for (const QString &member : m_kind.members())
        QFile::remove(workPath(member));
}

namespace {

// Copies the user's file over a work file: a failure names the user's file
// when it could not be read, else the work folder, which could not take it.
PackageAuthoring::Outcome copyReplacing(const QString &from, const QString &to)
{
    const FileWriter::Result copied = FileWriter::CopyWhole(from, to);
    if (!copied && copied.sourceFailed)
        return {false, QDir::toNativeSeparators(from) + QStringLiteral(": ") + copied.reason};
    if (!copied)
        return {false, FileRefusal::WorkFolder(QFileInfo(to).absolutePath(), copied.reason)};
    return {};
}

} // namespace

PackageAuthoring::Result PackageAuthoring::prepareFirmware(const QString &source,
                                                           const Converter &convert) const
{
    Result result;
    if (isWorkPath(source))
        return result; // members of a package read before, taken as they are
    const QString hex = workPath(m_kind.hexMember);
    const QString xeh = workPath(m_kind.xehMember);
    QFile::remove(hex);
    QFile::remove(xeh);

    Outcome outcome;
    switch (sourceKind(source)) {
    case SourceKind::None:
        return result;
    case SourceKind::Xeh:
        outcome = copyReplacing(source, xeh);
        if (!outcome.ok)
            return {Result::SourceFailed, outcome.error, {}};
        return result;
    case SourceKind::Hex:
        outcome = copyReplacing(source, hex);
        if (!outcome.ok)
            return {Result::SourceFailed, outcome.error, {}};
        outcome = convert ? convert(hex, xeh, source) : Outcome{false, QString()};
        QFile::remove(hex); // the HEX copy never goes into the package
        if (!outcome.ok) {
            QFile::remove(xeh);
            return {Result::ConversionFailed, outcome.error, {}};
        }
        return result;
    }
    return result;
}

QString PackageAuthoring::packagePath(const QString &name) const
{
    QString base = name;
    const QString extension = QLatin1Char('.') + m_kind.extension;
    if (base.endsWith(extension, Qt::CaseInsensitive))
        base.chop(extension.size());
    return m_folder + QLatin1Char('/') + base + extension;
}

PackageAuthoring::Result PackageAuthoring::create(const QString &name,
                                                  const PackageDescription &description,
                                                  const QString &source, const Converter &convert,
                                                  const ArchiveWriter &writeArchive) const
{
    if (checkName(name) != NameCheck::Ok)
        return {Result::BadName, {}, {}};

    Result result = prepareFirmware(source, convert);
    if (!result.ok())
        return result;

    QString error;
    if (!description.write(workPath(m_kind.description), &error))
        return {Result::WriteFailed, FileRefusal::WorkFolder(m_folder, error), {}};

    QStringList files;
    for (const QString &member : m_kind.members())
        if (QFileInfo::exists(workPath(member)))
            files << workPath(member);

    // Built beside the package, then renamed over it: an older package of that
    // name stays whole until the new one is complete.
    const QString package = packagePath(name);
    const QString building =
        package.left(package.size() - m_kind.extension.size()) + QStringLiteral("ZIP");
    QFile::remove(building);
    const Outcome written = writeArchive ? writeArchive(building, files) : Outcome{false, {}};
    if (!written.ok) {
        QFile::remove(building);
        return {Result::ArchiveFailed, written.error, {}};
    }
    if (std::rename(QFile::encodeName(building).constData(),
                    QFile::encodeName(package).constData()) != 0) {
        const int failure = errno;
        const QString error =
            FileFailureReason::wording(failure, QString::fromLocal8Bit(std::strerror(failure)));
        QFile::remove(building);
        return {Result::ArchiveFailed, error, {}};
    }
    deleteWorkFiles();
    result.packagePath = package;
    return result;
}

PackageAuthoring::Outcome PackageAuthoring::read(const QString &packagePath,
                                                 const ArchiveReader &extract) const
{
    deleteWorkFiles();
    if (!extract)
        return {false, {}};
    const Outcome outcome = extract(packagePath, m_folder, m_kind.members());
    // Any zip unpacks; without its description it is not one of our packages,
    // and reading it would only empty the editor.
    if (outcome.ok && !QFileInfo::exists(workPath(m_kind.description))) {
        deleteWorkFiles();
        return {false,
                VEK_LANGUAGE::GetLanguageText("MessXosPasUnPaquet",
                                              {QStringLiteral("%FICHIER%"), m_kind.description})};
    }
    return outcome;
}
