#include "app/TransferServicesSetup.h"

#include "app/CurveTables.h"
#include "app/VekContext.h"
#include "bootloader/BootloaderDownloads.h"
#include "firmware/HexFiles.h"
#include "firmware/TablePlacement.h"
#include "icsp/IcspChipOperations.h"
#include "icsp/IcspPort.h"
#include "icsp/PicDevice.h"
#include "icsp/TransferServices.h"

namespace {

ImageFileOutcome outcomeOf(const HexFileResult &result)
{
    return {result.succeeded(), result.info, result.notice};
}

// The programmer window's bootloader: its own session on the ICSPPort's line.
class ProgrammerBootloader : public BootloaderService
{
public:
    bool connected() const override { return m_session->connected(); }

    std::optional<QString> refusal(const QString &icspPort,
                                   const QString &typeVersionOS) const override
    {
        return RefusTransfert(icspPort, typeVersionOS);
    }

    TransferJob connect(const QString &icspPort, const QString &nomProgrammateur) override
    {
        return ConnectionJob(m_session, ConnectionRequest::forPort(icspPort, IcspLinkSettings,
                                                                   false, nomProgrammateur));
    }

    TransferJob disconnect() override { return DisconnectionJob(m_session, false); }

    BootloaderJob prepareCurves(VekContext &context, Ask ask, Tell tell) override
    {
        const CurveDownloadRequest request =
            CurveTables::DemandeTelechargement(context, std::move(ask), std::move(tell), 1);
        return PreparerJobCourbes(m_session, request, context.pic, context.settings.ICSPPort);
    }

    BootloaderJob prepareFirmware(const MainSettings &settings, const QString &typeVersionOS,
                                  PicDevice &pic) override
    {
        return PreparerJobFirmware(m_session, settings, typeVersionOS, pic);
    }

private:
    std::shared_ptr<BootloaderSession> m_session = std::make_shared<BootloaderSession>();
};

} // namespace

void InstallTransferServices(TransferServices &services)
{
    services.bootloader = [] { return std::make_unique<ProgrammerBootloader>(); };
    using Format = ImageFileServices::Format;
    services.readDeviceId = ReadDeviceId;
    services.areasRefused = [](const IcspSetup::Entries &e, const QString &nbTables,
                               const PicDevice &chip) -> std::optional<IcspSetup::AreaRefusal> {
        using IcspSetup::Field;
        using TablePlacement::AreasFor;
        const TablePlacement::CodeArea code =
            TablePlacement::ZoneCode(e.HEXADD, e.HEXLNG, chip, AreasFor::Setup);
        if (!code.range)
            return IcspSetup::AreaRefusal{Field::HEXLNG, code.refusal};
        // A line count the set-up cannot change is the transfers' to refuse.
        if (!TableIncludeFiles::LignesCourbe(nbTables))
            return std::nullopt;
        const struct {
            const QString &low, &high;
            Field field;
        } sets[] = {{e.ADDL8, e.ADDH8, Field::ADDH8}, {e.ADDL16, e.ADDH16, Field::ADDH16}};
        for (const auto &set : sets) {
            TablePlacement::Request tables;
            tables.ICSPNbTables = nbTables;
            tables.LTAB = set.low;
            tables.HTAB = set.high;
            const TablePlacement::TableAreas areas =
                TablePlacement::ZonesTables(tables, chip, AreasFor::Setup);
            if (!areas.lowHigh)
                return IcspSetup::AreaRefusal{set.field, areas.refusal.text};
        }
        return std::nullopt;
    };
    services.imageFiles.read = [](PicDevice &device, const QString &file, Format format) {
        return outcomeOf(format == Format::Hex ? LireFichierHex(device, file)
                                               : LireFichierXeh(device, file));
    };
    services.imageFiles.write = [](const PicDevice &device, const QString &file, Format format) {
        return outcomeOf(format == Format::Hex ? EcrireFichierHex(device, file)
                                               : EcrireFichierXeh(device, file));
    };
}
