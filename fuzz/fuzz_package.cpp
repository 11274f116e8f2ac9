// Package descriptions and project archives: the same bytes read as a
// description (every known key, the table addresses, the package name it
// names), then opened as a project (as it is, and with its entries repeated
// over shared data), which unpacks into the program folder and may re-create a
// package there, and nowhere else: the packages already there never change, and
// a refused project creates none.
#include "FuzzSupport.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/PackageDescription.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstdlib>

namespace {

void readDescription(const QString &path)
{
    const QFileInfo info(path);
    VEK_Gestion_OS::InitGestionOS(info.absolutePath(), info.fileName());
    PackageDescription copy;
    for (const QString &key : PackageDescription::infoKeys())
        copy.setInfo(key, VEK_Gestion_OS::LireInfoOS(key));
    for (const QString &key : PackageDescription::reglageKeys())
        copy.setReglage(key, VEK_Gestion_OS::LireReglageOS(key));
    VEK_Gestion_OS::LireAdressesTables();

    const QString package =
        VEK_Gestion_OS::NomFichierPaquet(copy.info(QStringLiteral("NomDuFichier")));
    if (!package.isEmpty() && (package.contains('/') || !package.endsWith(QStringLiteral(".XOS"))))
        std::abort(); // a description names a package, never a path

    // What is written is read back, for every value the file encoding can carry.
    const QString written = info.absolutePath() + QStringLiteral("/written.nfo");
    if (!copy.write(written))
        std::abort();
    for (const QString &key : PackageDescription::reglageKeys()) {
        const QString value = copy.reglage(key);
        if (TextEncoding::decodeText(TextEncoding::encodeWindows1252(value)) != value)
            continue;
        if (VEK_LANGUAGE::ReadIniValue(written, QStringLiteral("REGLAGE"), key) != value)
            std::abort();
    }
    QFile::remove(written);
}

// Files the program folder may hold after a project was opened.
bool expectedInProgramFolder(const QString &relative)
{
    static const QStringList temporaries = {"~TEMP.NFO", "~TEMP.HEX", "~TEMP.XEH", "~TEMP.VEK"};
    if (temporaries.contains(relative) || relative == QStringLiteral("HEX_XEH") ||
        relative == QStringLiteral("HEX_XEH/A"))
        return true;
    return relative.startsWith(QStringLiteral("HEX_XEH/")) && relative.count('/') == 1 &&
           relative.endsWith(QStringLiteral(".XOS"));
}

// Packages in the folder before the project is opened, by name; a project
// naming one of them (with a NUL or other control characters, too) must leave it.
const QList<QPair<QString, QByteArray>> &packagesInPlace()
{
    static const QList<QPair<QString, QByteArray>> packages = {
        {QStringLiteral("A.XOS"), QByteArrayLiteral("package A")},
        {QStringLiteral("OS_V21.XOS"), QByteArrayLiteral("package OS_V21")},
        {QStringLiteral("A"), QByteArrayLiteral("not a package")}};
    return packages;
}

void openProject(const QString &path)
{
    const QString scratch = QFileInfo(path).absolutePath();
    const QString program = scratch + QStringLiteral("/program");
    const QString packages = program + QStringLiteral("/HEX_XEH/");
    QDir().mkpath(packages);
    for (const auto &[name, content] : packagesInPlace()) {
        QFile file(packages + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            std::abort();
    }
    VEK_Gestion_OS::SetDossierProgramme(program);
    const VEK_Gestion_OS::ProjectResult opened = VEK_Gestion_OS::OuvrirCourbeOS(path);

    for (const auto &[name, content] : packagesInPlace()) {
        QFile file(packages + name);
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != content)
            std::abort(); // a package in place was replaced
    }
    const qsizetype listed = QDir(packages).entryList(QDir::Files | QDir::Hidden).size();
    if (listed != packagesInPlace().size() + (opened.ajouterALaListe ? 1 : 0))
        std::abort(); // a refused project created a package, or one appeared unsaid
    if (!opened.ok() && (opened.ajouterALaListe || !opened.paquet.isEmpty()))
        std::abort();

    QDirIterator it(program, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo found(it.next());
        if (found.isSymLink() ||
            !expectedInProgramFolder(QDir(program).relativeFilePath(found.filePath())))
            std::abort();
    }
    const QStringList beside =
        QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : beside)
        if (name != QStringLiteral("input") && name != QStringLiteral("program"))
            std::abort();
    QDir(program).removeRecursively();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        FuzzScratchFile file(data, size);
        readDescription(file.path());
        openProject(file.path());
    }
    const QByteArray shared =
        withSharedData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!shared.isEmpty()) {
        FuzzScratchFile file(reinterpret_cast<const uint8_t *>(shared.constData()),
                             size_t(shared.size()));
        openProject(file.path());
    }
    return 0;
}
