#include "firmware/VEK_Gestion_OS.h"

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

// The package files as (temporary file, member) pairs, in the order they are handled.
QList<PackageArchive::Member> fichiersPaquet()
{
    return {{CheminTemp(QStringLiteral("~TEMP.NFO")), QStringLiteral("OS.NFO")},
            {CheminTemp(QStringLiteral("~TEMP.HEX")), QStringLiteral("CODE.HEX")},
            {CheminTemp(QStringLiteral("~TEMP.XEH")), QStringLiteral("CODE.XEH")}};
}

QList<PackageArchive::Member> fichiersProjet()
{
    return fichiersPaquet() << PackageArchive::Member{CheminTemp(QStringLiteral("~TEMP.VEK")),
                                                      QString::fromLatin1(MembreCourbe)};
}

// An archive read whole whose members the program folder could not take is
// not blamed: the folder is named.
void echecDecompression(Result &result, const QString &archive,
                        const PackageArchive::Outcome &outcome)
{
    result.status = outcome.status;
    result.raison = outcome.reason;
    result.message =
        outcome.destinationFailed
            ? FileRefusal::OfFile(VEK_LANGUAGE::LangKey("MessNonOuvert"), archive,
                                  {QStringLiteral("%RAISON%"),
                                   FileRefusal::WorkFolder(DossierProgramme(), outcome.reason)})
            : MessageDecompression(archive, outcome.reason);
    result.details = outcome.details;
}

// The older file is said to be kept only when there was one.
QString messageEnregistrement(const QString &archive, const QString &raison, bool existed)
{
    return VEK_LANGUAGE::GetLanguageText(
        existed ? "MessEnregistrementEchoue" : "MessEnregistrementEchoueNouveau",
        {QStringLiteral("%1"), archive, QStringLiteral("%RAISON%"), raison});
}

Result enregistrer(const QString &archive, const QList<PackageArchive::Member> &members,
                   PackageArchive::Existing existing = PackageArchive::Existing::Replace)
{
    const bool existed = QFileInfo::exists(archive);
    const PackageArchive::Outcome outcome = PackageArchive::build(archive, members, existing);
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
    return QStringLiteral("Paramétrage Libre");
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
    // A description names its package; the editor wrote the name without the
    // extension, a hand-made one may carry it.
    QString name = nomDuFichier.trimmed();
    if (name.endsWith(QStringLiteral(".XOS"), Qt::CaseInsensitive))
        name.chop(4);
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
    const PackageArchive::Outcome outcome = PackageArchive::unpack(archive, fichiersPaquet());
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
    return enregistrer(DossierPaquets() + fileName, fichiersPaquet(),
                       PackageArchive::Existing::Keep);
}

ProjectResult OuvrirCourbeOS(const QString &projet)
{
    ProjectResult result;
    const PackageArchive::Outcome outcome = PackageArchive::unpack(projet, fichiersProjet());
    InitDescriptionTemp();
    if (!outcome.ok()) { // a refused project creates nothing
        echecDecompression(result, projet, outcome);
        return result;
    }
    if (!QFileInfo::exists(CheminTemp(QStringLiteral("~TEMP.VEK")))) {
        result.status = ccZip::ZipErrNotFound;
        result.raison = VEK_LANGUAGE::GetLanguageText(
            "RaisonMembreAbsent", {QStringLiteral("{MEMBRE}"), QString::fromLatin1(MembreCourbe)});
        result.message = MessageDecompression(projet, result.raison);
        return result;
    }
    const QString nom = LireInfoOS(QStringLiteral("NomDuFichier"));
    const QString paquet = NomFichierPaquet(nom);
    if (paquet.isEmpty()) {
        // A project saved without a package (nothing chosen since the start)
        // keeps the choice in force; one whose package has no usable name
        // would drop that package: it is refused, by the editor's rule.
        if (!nom.trimmed().isEmpty() ||
            QFileInfo::exists(CheminTemp(QStringLiteral("~TEMP.NFO")))) {
            QString bare = nom.trimmed();
            if (bare.endsWith(QStringLiteral(".XOS"), Qt::CaseInsensitive))
                bare.chop(4);
            const ValueRules::Outcome refused = ValueRules::read(
                ValueRules::Value::PackageName, bare,
                ValueRules::Source::inFile(ValueRules::Path::Project,
                                           NomMembre(projet, QStringLiteral("OS.NFO")), 0));
            result.status = ccZip::ZipErrUnsafe;
            result.message = refused.message + QLatin1Char('\n') +
                             VEK_LANGUAGE::GetLanguageText("MessProjetPaquetInvalide");
        }
        return result;
    }
    if (QFileInfo(DossierPaquets() + paquet).isFile()) {
        result.paquet = paquet;
        return result;
    }
    // A package made from the project must be one the list takes.
    const QString refusal =
        PackageValues::CheckDescription([](const QString &key) { return LireReglageOS(key); },
                                        NomMembre(projet, QStringLiteral("OS.NFO")))
            .refusal;
    if (!refusal.isEmpty()) {
        result.status = ccZip::ZipErrUnsafe;
        result.message =
            refusal + QLatin1Char('\n') + VEK_LANGUAGE::GetLanguageText("MessProjetPaquetRefuse");
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
    return enregistrer(projet, fichiersProjet());
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
