#include "app/TransferServicesSetup.h"

#include "firmware/HexFiles.h"
#include "icsp/IcspChipOperations.h"
#include "icsp/IcspProgrammer.h"
#include "icsp/TransferContext.h"

namespace {

ImageFileOutcome outcomeOf(const HexFileResult &result)
{
    return {result.succeeded(), result.info, result.notice};
}

std::optional<uint16_t> readDeviceId(TransferContext &transfer)
{
    IcspProgrammer programmer(transfer.settings, transfer.clock, transfer.programmerPort);
    programmer.attach(&transfer.progress, &transfer.cancel);
    const std::optional<uint16_t> id = IdentifyChip(programmer);
    programmer.FermerProgrammateur();
    return id;
}

} // namespace

void InstallTransferServices(TransferServices &services)
{
    using Format = ImageFileServices::Format;
    services.readDeviceId = readDeviceId;
    services.imageFiles.read = [](PicDevice &device, const QString &file, Format format) {
        return outcomeOf(format == Format::Hex ? LireFichierHex(device, file)
                                               : LireFichierXeh(device, file));
    };
    services.imageFiles.write = [](const PicDevice &device, const QString &file, Format format) {
        return outcomeOf(format == Format::Hex ? EcrireFichierHex(device, file)
                                               : EcrireFichierXeh(device, file));
    };
}
