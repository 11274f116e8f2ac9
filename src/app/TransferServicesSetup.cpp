#include "app/TransferServicesSetup.h"

#include "firmware/HexFiles.h"
#include "icsp/IcspChipOperations.h"
#include "icsp/TransferContext.h"

namespace {

ImageFileOutcome outcomeOf(const HexFileResult &result)
{
    return {result.succeeded(), result.info, result.notice};
}

} // namespace

void InstallTransferServices(TransferServices &services)
{
    using Format = ImageFileServices::Format;
    services.readDeviceId = ReadDeviceId;
    services.imageFiles.read = [](PicDevice &device, const QString &file, Format format) {
        return outcomeOf(format == Format::Hex ? LireFichierHex(device, file)
                                               : LireFichierXeh(device, file));
    };
    services.imageFiles.write = [](const PicDevice &device, const QString &file, Format format) {
        return outcomeOf(format == Format::Hex ? EcrireFichierHex(device, file)
                                               : EcrireFichierXeh(device, file));
    };
}
