#include "firmware/VEK_Gestion_OS.h"

#include "base/BoundedFile.h"
#include "base/FileRefusal.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageAuthoring.h"
#include "firmware/PackageValues.h"
#include "firmware/ccZip.h"
#include "platform/DataPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>

namespace VEK_Gestion_OS {

namespace {

struct State {
    QString dossierProgramme; // empty: the user's program folder
    QString dossierCourant;
    QString fichierCourant;
    QHash<QString, QString> cacheInfo;    // lower-case key -> value
    QHash<QString, QString> cacheReglage; // lower-case key -> value
};

State &state()
{
    static State s;
    return s;
}

QString withSlash(QString folder)
{
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

QString lireCle(QHash<QString, QString> &cache, const QString &section, const QString &key,
                const QStringList &pairs)
{
    const State &s = state();
    const QString cacheKey = key.toLower();
    auto it = cache.constFind(cacheKey);
    if (it == cache.constEnd())
        it = cache.insert(cacheKey, VEK_LANGUAGE::ReadIniValue(s.dossierCourant + s.fichierCourant,
                                                               section, key));
    return VEK_LANGUAGE::ReplacePlaceholders(it.value(), pairs);
}

const QString Description = QStringLiteral("OS.NFO");

// The package files as (temporary file, member) pairs, in the order they are
// handled, each bounded as its reader bounds it.
QList<PackageArchive::Member> fichiersPaquet()
{
    return {{CheminTemp(QStringLiteral("~TEMP.NFO")), Description, BoundedFile::MaxIniFileBytes},
            {CheminTemp(QStringLiteral("~TEMP.HEX")), QStringLiteral("CODE.HEX"),
             BoundedFile::MaxHexFileBytes},
            {CheminTemp(QStringLiteral("~TEMP.XEH")), QStringLiteral("CODE.XEH"),
             BoundedFile::MaxHexFileBytes}};
}

QList<PackageArchive::Member> fichiersProjet()
{
    return fichiersPaquet() << PackageArchive::Member{CheminTemp(QStringLiteral("~TEMP.VEK")),
                                                      QString::fromLatin1(MembreCourbe),
                                                      BoundedFile::MaxTextFileBytes};
}

void echecDecompression(Result &result, const QString &archive,
                        const PackageArchive::Outcome &outcome)
{
    result.status = outcome.status;
    result.raison = outcome.reason;
    // A refusal of what was read says it all, naming the file; a folder that
    // cannot take the files is named itself.
    if (outcome.refused)
        result.message = outcome.reason;
    else if (!outcome.folder.isEmpty())
        result.message = VEK_LANGUAGE::GetLanguageText(
            "MessDeballageEchoue",
            {"{FICHIER}", archive, "%DOSSIER%", outcome.folder, "%RAISON%", outcome.reason});
    else
        result.message = MessageDecompression(archive, outcome.reason);
    result.details = outcome.details;
}

// A key of a section of the description read.
PackageValues::Lookup lookup(const PackageArchive::Contents &contents, const char *section)
{
    const QString text = TextEncoding::decodeText(contents.bytes(Description));
    return [text, section](const QString &key) {
        return VEK_LANGUAGE::IniValueInText(text, QLatin1String(section), key);
    };
}

// A package's name as a description gives it: the editor wrote it without
// the extension, a hand-made description may carry it.
QString sansExtension(const QString &nom)
{
    return nom.endsWith(QStringLiteral(".XOS"), Qt::CaseInsensitive) ? nom.chopped(4) : nom;
}

// Why `nom` (".XOS" aside) cannot name a package, naming `file` where it
// stands; empty when it can.
QString refusNom(const QString &nom, const QString &file, ValueRules::Path path)
{
    const ValueRules::Outcome read =
        ValueRules::read(ValueRules::Value::PackageName, sansExtension(nom),
                         ValueRules::Source::inFile(path, file, 0));
    return read.taken() ? QString() : read.message;
}

} // namespace

QString RefusPaquet(const PackageArchive::Contents &contents, const QString &archive,
                    QString *notes)
{
    const QString nfo = NomMembre(archive, Description);
    if (!contents.has(Description))
        return VEK_LANGUAGE::GetLanguageText(
            "MessXosLectureEchec",
            {"%FICHIER%", archive, "%ERREUR%",
             VEK_LANGUAGE::GetLanguageText("MessXosPasUnPaquet", {"%FICHIER%", Description})});
    for (const auto &[nom, file] :
         {std::pair{QFileInfo(archive).fileName(), archive},
          std::pair{lookup(contents, "INFO")(QStringLiteral("NomDuFichier")), nfo}})
        if (const QString why = refusNom(nom, file, ValueRules::Path::PackageDescription);
            !why.isEmpty())
            return why + QLatin1Char('\n') + VEK_LANGUAGE::GetLanguageText("MessPaquetNomInvalide");
    const PackageValues::DescriptionCheck check =
        PackageValues::CheckDescription(lookup(contents, "REGLAGE"), nfo);
    if (notes)
        *notes = check.notes;
    return check.refusal;
}

namespace {

// What the opening of a project takes: its curve, and a package it can make
// again (a name the rule takes; its values, unless `packageListed` tells
// that the list holds a package of that name, which is then the one used).
QString refusProjet(const PackageArchive::Contents &contents, const QString &projet,
                    const std::function<bool(const QString &paquet)> &packageListed)
{
    if (!contents.has(QString::fromLatin1(MembreCourbe)))
        return MessageDecompression(
            projet, VEK_LANGUAGE::GetLanguageText(
                        "RaisonMembreAbsent",
                        {QStringLiteral("{MEMBRE}"), QString::fromLatin1(MembreCourbe)}));
    const QString nom = lookup(contents, "INFO")(QStringLiteral("NomDuFichier"));
    // A project saved without a package (nothing chosen since the start)
    // keeps the choice in force; one whose package has no usable name would
    // drop that package: it is refused, by the editor's rule.
    if (nom.isEmpty() && !contents.has(Description))
        return {};
    const QString nfo = NomMembre(projet, Description);
    if (const QString why = refusNom(nom, nfo, ValueRules::Path::Project); !why.isEmpty())
        return why + QLatin1Char('\n') + VEK_LANGUAGE::GetLanguageText("MessProjetPaquetInvalide");
    if (packageListed && packageListed(NomFichierPaquet(nom)))
        return {};
    // A package made from the project must be one the list takes.
    const QString refusal =
        PackageValues::CheckDescription(lookup(contents, "REGLAGE"), nfo).refusal;
    if (!refusal.isEmpty())
        return refusal + QLatin1Char('\n') +
               VEK_LANGUAGE::GetLanguageText("MessProjetPaquetRefuse");
    return {};
}

// The older file is said to be kept only when there was one.
QString messageEnregistrement(const QString &archive, const QString &raison, bool existed)
{
    return VEK_LANGUAGE::GetLanguageText(
        existed ? "MessEnregistrementEchoue" : "MessEnregistrementEchoueNouveau",
        {QStringLiteral("%1"), archive, QStringLiteral("%RAISON%"), raison});
}

Result enregistrer(const QString &archive, const QList<PackageArchive::Member> &members,
                   PackageArchive::Existing existing, const PackageArchive::Acceptance &accept,
                   FileWriter::Kind kind)
{
    const bool existed = QFileInfo::exists(archive);
    const PackageArchive::Outcome outcome =
        PackageArchive::build(archive, members, existing, accept, kind);
    Result result;
    if (!outcome.ok()) {
        result.status = outcome.status;
        result.raison = outcome.reason;
        result.message = messageEnregistrement(archive, outcome.reason, existed);
        result.details = outcome.details;
    }
    return result;
}

QString ouZero(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("0") : value;
}

} // namespace

QString ParametrageLibre()
{
    return VEK_LANGUAGE::GetLanguageText(QStringLiteral("ParametrageLibre"));
}

QString MessageDecompression(const QString &archive, const QString &raison)
{
    return FileRefusal::OfFile(VEK_LANGUAGE::LangKey("CurveFileReadErr"), archive,
                               {QStringLiteral("%RAISON%"), raison});
}

QString NomMembre(const QString &archive, const QString &membre)
{
    return archive + QStringLiteral(" (") + membre + QLatin1Char(')');
}

QString DossierProgramme()
{
    const State &s = state();
    return s.dossierProgramme.isEmpty() ? DataPaths::UserProgramDirectory() : s.dossierProgramme;
}

void SetDossierProgramme(const QString &folder)
{
    state().dossierProgramme = folder.isEmpty() ? QString() : withSlash(folder);
}

QString DossierPaquets()
{
    return DossierProgramme() + QStringLiteral("HEX_XEH/");
}

QString CheminTemp(const QString &fileName)
{
    return DossierProgramme() + fileName;
}

QString NomFichierPaquet(const QString &nomDuFichier)
{
    const QString name = sansExtension(nomDuFichier);
    if (PackageAuthoring::checkName(name) != PackageAuthoring::NameCheck::Ok)
        return {};
    return name + QStringLiteral(".XOS");
}

void InitGestionOS(const QString &folder, const QString &file)
{
    State &s = state();
    s.dossierCourant = folder.isEmpty() ? DossierProgramme() : withSlash(folder);
    s.fichierCourant = file;
    s.cacheInfo.clear();
    s.cacheReglage.clear();
}

void InitDescriptionTemp()
{
    InitGestionOS(DossierProgramme(), QStringLiteral("~TEMP.NFO"));
}

QString LireInfoOS(const QString &key, const QStringList &pairs)
{
    return lireCle(state().cacheInfo, QStringLiteral("INFO"), key, pairs);
}

QString LireReglageOS(const QString &key, const QStringList &pairs)
{
    return lireCle(state().cacheReglage, QStringLiteral("REGLAGE"), key, pairs);
}

TableAddresses LireAdressesTables()
{
    TableAddresses a;
    if (!LireReglageOS(QStringLiteral("ADD_TABLE_BASSE_L1")).isEmpty()) {
        a.LTAB_L1 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_BASSE_L1")));
        a.HTAB_L1 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_HAUTE_L1")));
        a.LTAB16_L1 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_B16_L1")));
        a.HTAB16_L1 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_H16_L1")));
        a.LTAB_L2 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_BASSE_L2")));
        a.HTAB_L2 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_HAUTE_L2")));
        a.LTAB16_L2 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_B16_L2")));
        a.HTAB16_L2 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_H16_L2")));
    } else {
        a.LTAB_L1 = a.LTAB_L2 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_BASSE")));
        a.HTAB_L1 = a.HTAB_L2 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_HAUTE")));
        a.LTAB16_L1 = a.LTAB16_L2 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_B16")));
        a.HTAB16_L1 = a.HTAB16_L2 = ouZero(LireReglageOS(QStringLiteral("ADD_TABLE_H16")));
    }
    return a;
}

QStringList ListerOS()
{
    QStringList list{ParametrageLibre()};
    const QStringList files = QDir(DossierPaquets()).entryList(QDir::Files, QDir::Name);
    for (const QString &name : files)
        if (name.endsWith(QStringLiteral("XOS"), Qt::CaseSensitive))
            list.append(name);
    return list;
}

Result ChargerOS(const QString &paquet)
{
    Result result;
    const QString archive = DossierPaquets() + QFileInfo(paquet).fileName();
    const PackageArchive::Outcome outcome = PackageArchive::unpack(
        archive, fichiersPaquet(), [&archive, &result](const PackageArchive::Contents &contents) {
            return RefusPaquet(contents, archive, &result.notes);
        });
    if (!outcome.ok())
        echecDecompression(result, archive, outcome);
    return result;
}

Result CreerXOS(const QString &nom)
{
    const QString fileName = NomFichierPaquet(nom);
    if (fileName.isEmpty() || !QDir().mkpath(DossierPaquets())) {
        Result result;
        result.status = ccZip::ZipErrWrite;
        result.raison = fileName.isEmpty()
                            ? VEK_LANGUAGE::GetLanguageText(
                                  "RaisonNomPaquet",
                                  {QStringLiteral("%NOM%"), TextEncoding::shownInMessage(nom)})
                            : ccZip::FailureReason(ccZip::Direction::Writing, errno);
        result.message = messageEnregistrement(DossierPaquets() + fileName, result.raison,
                                               QFileInfo::exists(DossierPaquets() + fileName));
        result.details =
            fileName.isEmpty()
                ? result.raison + QLatin1Char('\n')
                : QStringLiteral("%1: cannot create the folder\n").arg(DossierPaquets());
        return result;
    }
    const QString archive = DossierPaquets() + fileName;
    return enregistrer(
        archive, fichiersPaquet(), PackageArchive::Existing::Keep,
        [&archive](const PackageArchive::Contents &contents) {
            return RefusPaquet(contents, archive);
        },
        FileWriter::Kind::Package);
}

ProjectResult OuvrirCourbeOS(const QString &projet)
{
    ProjectResult result;
    const PackageArchive::Outcome outcome =
        PackageArchive::unpack(projet, fichiersProjet(), [&projet](const auto &contents) {
            return refusProjet(contents, projet, [](const QString &paquet) {
                return QFileInfo(DossierPaquets() + paquet).isFile();
            });
        });
    InitDescriptionTemp();
    if (!outcome.ok()) { // a refused project changes nothing and creates nothing
        echecDecompression(result, projet, outcome);
        return result;
    }
    const QString paquet = NomFichierPaquet(LireInfoOS(QStringLiteral("NomDuFichier")));
    if (paquet.isEmpty() || QFileInfo(DossierPaquets() + paquet).isFile()) {
        result.paquet = paquet; // none: the choice in force stays
        return result;
    }
    const Result created = CreerXOS(paquet);
    if (!created.ok()) {
        static_cast<Result &>(result) = created;
        return result;
    }
    result.paquet = paquet;
    result.ajouterALaListe = true;
    return result;
}

Result EnregistrerCourbeOS(const QString &projet)
{
    // Read back as it will be opened, also where its package is not listed.
    return enregistrer(
        projet, fichiersProjet(), PackageArchive::Existing::Replace,
        [&projet](const PackageArchive::Contents &contents) {
            return refusProjet(contents, projet, {});
        },
        FileWriter::Kind::Project);
}

QStringList FichiersTemp()
{
    QStringList files;
    for (const PackageArchive::Member &m : fichiersProjet())
        files << m.file;
    return files;
}

void EffacerTemp()
{
    for (const QString &file : FichiersTemp())
        QFile::remove(file);
}

} // namespace VEK_Gestion_OS
