#include "firmware/ui/PackageEditorServices.h"

#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "base/VEK_XML.h"
#include "firmware/HexFiles.h"
#include "firmware/PackageArchive.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/DevicePreparation.h"
#include "icsp/PicDevice.h"

#include <QDir>
#include <QFileInfo>

namespace {

PackageAuthoring::Outcome outcome(const PackageArchive::Outcome &archive)
{
    return {archive.ok(), archive.reason};
}

// The HEX firmware into the image of `chip`, then out as the scrambled member. A
// chip the chip table does not fix, or a HEX file without its end record or
// damaged, stops it; the message names `source`, of which `hex` is a copy.
PackageAuthoring::Outcome convertirHex(PicDevice &device, const QString &chip, const QString &hex,
                                       const QString &xeh, const QString &source)
{
    using VEK_LANGUAGE::GetLanguageText;
    device.DeviceChip = chip;
    if (!DevicePreparation::Preparer(device, chip).chipSelected)
        return {false, GetLanguageText("MessXosChipInconnu", {QStringLiteral("%CHIP%"), chip})};
    const HexFileResult read = LireFichierHex(device, hex, QDir::toNativeSeparators(source));
    if (!read.succeeded())
        return {false, read.info};
    const HexFileResult written = EcrireFichierXeh(device, xeh);
    if (!written.succeeded())
        return {false, written.info};
    return {};
}

} // namespace

PackageEditorServices PackageEditorServices::standard(VekContext &context)
{
    PackageEditorServices s;
    s.packageFolder = QDir::cleanPath(VEK_Gestion_OS::DossierPaquets());
    QDir().mkpath(s.packageFolder);
    s.chipCatalogue = [&context]() -> std::optional<QStringList> {
        const CatalogueLoad load = context.catalogues.LoadChipCatalogue();
        if (!load.ok)
            return std::nullopt;
        // Only chips a HEX file can be imported for: "AUTO" names no chip until
        // the programmer reads one, so every creation from a HEX file would fail.
        QStringList names;
        for (const CatalogueEntry &entry : load.entries) {
            PicDevice probe;
            if (DevicePreparation::Preparer(probe, entry.name).chipSelected)
                names << entry.name;
        }
        return names;
    };
    s.makeCurrentDescription = [](const QString &folder, const QString &file) {
        VEK_Gestion_OS::InitGestionOS(folder, file);
    };
    s.lireInfo = [](const QString &key) { return VEK_Gestion_OS::LireInfoOS(key); };
    s.lireReglage = [](const QString &key) { return VEK_Gestion_OS::LireReglageOS(key); };
    s.writeArchive = [](const QString &zip, const QStringList &files) {
        QList<PackageArchive::Member> members;
        for (const QString &file : files)
            members.append({file, QFileInfo(file).fileName()});
        return outcome(PackageArchive::build(zip, members));
    };
    s.readArchive = [](const QString &zip, const QString &folder, const QStringList &names) {
        QList<PackageArchive::Member> wanted;
        for (const QString &name : names)
            wanted.append({QDir(folder).filePath(name), name});
        return outcome(PackageArchive::unpack(zip, wanted));
    };
    s.convertHex = [&context](const QString &chip, const QString &hex, const QString &xeh,
                              const QString &source) {
        return convertirHex(context.pic, chip, hex, xeh, source);
    };
    return s;
}
