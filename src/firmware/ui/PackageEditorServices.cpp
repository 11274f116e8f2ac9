#include "firmware/ui/PackageEditorServices.h"

#include "app/VekContext.h"
#include "firmware/PackageFirmware.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/DevicePreparation.h"
#include "icsp/PicDevice.h"

#include <QDir>
#include <QFileInfo>

namespace {

PackageAuthoring::Outcome ecrireFirmware(VekContext &context, const QString &chip,
                                         const QString &source, const QString &xeh,
                                         const QString &HEXADD, const QString &HEXLNG)
{
    PicDevice device = context.pic;
    const QString refusal = PackageFirmware::Ecrire(device, chip, source, xeh, HEXADD, HEXLNG);
    if (!refusal.isEmpty())
        return {false, refusal};
    if (!xeh.isEmpty() && !PackageFirmware::isScrambled(source)) {
        // As an import of that HEX file leaves them.
        context.pic = device;
        context.settings.ICSPChip = chip;
    }
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
    s.writeFirmware = [&context](const QString &chip, const QString &source, const QString &xeh,
                                 const QString &HEXADD, const QString &HEXLNG) {
        return ecrireFirmware(context, chip, source, xeh, HEXADD, HEXLNG);
    };
    return s;
}
