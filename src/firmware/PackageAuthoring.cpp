#include "firmware/PackageAuthoring.h"

#include "base/BoundedFile.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "firmware/PackageArchive.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    const ValueRules::Outcome read =
        ValueRules::read(ValueRules::Value::PackageName, name, ValueRules::Source::box());
    return read.taken() ? NameCheck::Ok : NameCheck::Unsafe;
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

PackageAuthoring::Result PackageAuthoring::prepareFirmware(const QString &source,
                                                           const FirmwareWriter &firmware) const
{
    if (source.isEmpty())
        return {Result::NoSource, {}, {}};
    const bool read = isWorkPath(source); // members of a package read before, taken as they are
    const QString xeh = workPath(m_kind.xehMember);
    if (!read) {
        QFile::remove(workPath(m_kind.hexMember));
        QFile::remove(xeh);
    }
    const Outcome outcome =
        firmware ? firmware(source, read ? QString() : xeh) : Outcome{false, {}};
    if (!outcome.ok) {
        if (!read)
            QFile::remove(xeh);
        return {Result::SourceFailed, outcome.error, {}};
    }
    return {};
}

QString PackageAuthoring::packagePath(const QString &name) const
{
    QString base = name;
    const QString extension = QLatin1Char('.') + m_kind.extension;
    if (base.endsWith(extension, Qt::CaseInsensitive))
        base.chop(extension.size());
    return m_folder + QLatin1Char('/') + base + extension;
}

namespace {

QString notAPackage(const QString &description)
{
    return VEK_LANGUAGE::GetLanguageText("MessXosPasUnPaquet",
                                         {QStringLiteral("%FICHIER%"), description});
}

} // namespace

PackageAuthoring::Result PackageAuthoring::create(const QString &name,
                                                  const PackageDescription &description,
                                                  const QString &source,
                                                  const FirmwareWriter &firmware) const
{
    if (checkName(name) != NameCheck::Ok)
        return {Result::BadName, {}, {}};

    Result result = prepareFirmware(source, firmware);
    if (result.ok())
        result = writePackage(name, description);
    if (result.ok())
        deleteWorkFiles();
    else if (result.status != Result::SourceFailed && !isWorkPath(source))
        QFile::remove(workPath(m_kind.xehMember)); // made of the user's file for this Create only
    return result;
}

QList<PackageArchive::Member> PackageAuthoring::workMembers() const
{
    QList<PackageArchive::Member> members;
    for (const QString &member : m_kind.members())
        members.append({workPath(member), member,
                        member == m_kind.description ? BoundedFile::MaxIniFileBytes
                                                     : BoundedFile::MaxHexFileBytes});
    return members;
}

PackageAuthoring::Result PackageAuthoring::writePackage(const QString &name,
                                                        const PackageDescription &description) const
{
    QString error;
    if (!description.write(workPath(m_kind.description), &error))
        return {Result::WriteFailed, error, {}};

    // Read back as it will be opened: a firmware package as the list takes
    // one, an update package as this editor reads it.
    const QString package = packagePath(name);
    const bool firmwarePackage = m_kind.extension == PackageKind::firmware().extension;
    const PackageArchive::Outcome written = PackageArchive::build(
        package, workMembers(), PackageArchive::Existing::Replace,
        [&](const PackageArchive::Contents &contents) {
            if (!contents.has(m_kind.description))
                return notAPackage(m_kind.description);
            return firmwarePackage ? VEK_Gestion_OS::RefusPaquet(contents, package) : QString();
        },
        firmwarePackage ? FileWriter::Kind::Package : FileWriter::Kind::UpdatePackage);
    if (!written.ok())
        return {Result::ArchiveFailed, written.reason, {}};
    return {Result::Ok, {}, package};
}

PackageAuthoring::Outcome PackageAuthoring::read(const QString &packagePath) const
{
    // Any zip unpacks; without its description it is not one of our packages,
    // and reading it would only empty the editor.
    const PackageArchive::Outcome outcome = PackageArchive::unpack(
        packagePath, workMembers(), [this](const PackageArchive::Contents &c) {
            return c.has(m_kind.description) ? QString() : notAPackage(m_kind.description);
        });
    return {outcome.ok(), outcome.reason};
}
