#pragma once

#include "firmware/PackageArchive.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// Firmware packages (".XOS" archives in the package folder HEX_XEH), the
// description of the package in use, and projects (a curve zipped with its
// package). The package in use is unpacked into the temporary files "~TEMP.NFO",
// "~TEMP.HEX" and "~TEMP.XEH" of the program folder; a project's curve goes
// through "~TEMP.VEK". No widgets here: the windows show the lists and results.
// Used on the GUI thread only.
namespace VEK_Gestion_OS {

// Outcome of an unpacking or a save. On failure `message` is the text to show,
// naming the archive and `raison`, the reason in the user's words; `details`
// says what failed, member by member, in the archive library's terms.
struct Result {
    int32_t status = 0; // 0 done, 1 warning, above 1 failed
    QString message;
    QString raison;
    QString details;
    QString notes; // values of a package taken otherwise than written (ChargerOS)
    bool ok() const { return status <= 1; }
};

// Outcome of opening a project: `paquet` is the firmware-list entry of its
// package (empty when the project names none); `ajouterALaListe` tells that the
// package was re-created and must be appended to the list.
struct ProjectResult : Result {
    QString paquet;
    bool ajouterALaListe = false;
};

// Table addresses of the current description, each "0" when empty.
struct TableAddresses {
    QString LTAB_L1, HTAB_L1, LTAB16_L1, HTAB16_L1;
    QString LTAB_L2, HTAB_L2, LTAB16_L2, HTAB16_L2;
};

// First entry of the firmware list: no package, the user's own settings.
QString ParametrageLibre();
// Message of a package or project `archive` that could not be unpacked, for `raison`.
QString MessageDecompression(const QString &archive, const QString &raison);
// How messages name a member of a package or project: "archive (MEMBER)".
QString NomMembre(const QString &archive, const QString &membre);

// The program folder (ending with "/"): the user's writable program folder
// unless set (tests). The package folder is its "HEX_XEH/".
QString DossierProgramme();
void SetDossierProgramme(const QString &folder);
QString DossierPaquets();
QString CheminTemp(const QString &fileName); // e.g. CheminTemp("~TEMP.VEK")
// Member of a project archive that holds its curve.
inline constexpr char MembreCourbe[] = "COURBE.VEK";

// File name of the package named by a description's NomDuFichier: the bare
// name, ending in ".XOS". Empty when no usable name is left (the name checks of
// PackageAuthoring::checkName).
QString NomFichierPaquet(const QString &nomDuFichier);

// Makes folder + file the current description and empties the key cache. An
// empty folder stands for the program folder.
void InitGestionOS(const QString &folder, const QString &file);
// Makes the unpacked package's description, CheminTemp("~TEMP.NFO"), the
// current one (after it was unpacked, restored or replaced).
void InitDescriptionTemp();
// Value of a key of [INFO] / [REGLAGE] of the current description (cached per
// key without regard to case, also when empty), placeholders substituted.
QString LireInfoOS(const QString &key, const QStringList &pairs = {});
QString LireReglageOS(const QString &key, const QStringList &pairs = {});
// Table addresses from [REGLAGE]: the per-curve keys when ADD_TABLE_BASSE_L1 is
// set, otherwise the older single set for both curves.
TableAddresses LireAdressesTables();

// The firmware list: the free setting, then the packages of the package folder
// by name. The caller selects the first entry, which applies the free setting.
QStringList ListerOS();
// What the firmware list takes of the package `archive` read as `contents`:
// its description (within its bound), its file name and NomDuFichier taken by
// the rule a project reopens it by, its values by their rules
// (PackageValues::CheckDescription). Empty when it takes it, else the message,
// naming the file; `notes` lists values read otherwise than written.
QString RefusPaquet(const PackageArchive::Contents &contents, const QString &archive,
                    QString *notes = nullptr);
// Unpacks the package (an entry of the list) into the temporary files, once it
// is checked as a project reopens it: a description within its bound, file
// name and NomDuFichier taken by the rule of package names, values by their
// rules (PackageValues::CheckDescription). A package refused, or that cannot
// be read, leaves the temporary files as they were; `message` says why.
Result ChargerOS(const QString &paquet);
// Builds the package nom + ".XOS" in the package folder from the temporary
// files, read back as the list takes a package. A package of that name already
// there is never replaced: the build fails.
Result CreerXOS(const QString &nom);
// Unpacks a project into the temporary files, makes its description the current
// one and makes sure that its package is in the package folder. A project that
// cannot be unpacked, that holds no curve (MembreCourbe), or whose NomDuFichier
// is no usable package name, is refused: the temporary files stay as they were
// and no package is created. The caller then
// selects `paquet` in the firmware list (appending it when told) and reads the
// curve from CheminTemp("~TEMP.VEK").
ProjectResult OuvrirCourbeOS(const QString &projet);
// Writes a project from the temporary files ("~TEMP.VEK" holds its curve),
// read back as it will be opened (its package checked as if not listed).
Result EnregistrerCourbeOS(const QString &projet);
// The four temporary files: the package's three and the project's curve.
QStringList FichiersTemp();
// Deletes the four temporary files.
void EffacerTemp();

} // namespace VEK_Gestion_OS
