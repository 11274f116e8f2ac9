// Intel HEX and scrambled HEX files: the firmware readers, for a chip of each family.
#include "FuzzSupport.h"
#include "firmware/HexFiles.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzScratchFile file(data, size);
    static const char *const chips[] = {"PIC-16F876A", "PIC-12C508A", "PIC-12F629", "PIC-18F2550"};
    for (const char *chip : chips) {
        PicDevice device;
        device.setChip(*ChipTable::fixedChip(QString::fromLatin1(chip)));
        device.InitMemoire();
        LireFichierHex(device, file.path());
        LireFichierXeh(device, file.path());
    }
    PicDevice oversized; // sizes beyond the image must stay inside it
    oversized.DeviceChip = QStringLiteral("16F84");
    oversized.DevicePgmSize = 1 << 20;
    oversized.DeviceEESize = 32000;
    LireFichierHex(oversized, file.path());
    LireFichierXeh(oversized, file.path());
    return 0;
}
