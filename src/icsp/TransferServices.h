#pragma once

#include "icsp/BootloaderService.h"
#include "icsp/IcspPort.h"
#include "icsp/IcspSetup.h"
#include "icsp/ImageFileServices.h"
#include "icsp/TransferContext.h"

#include <QString>

#include <functional>
#include <optional>

class Clock;

// What the transfer windows share for the whole run; the layers that provide
// a service plug it in here once (the programmer's device-ID read, the HEX files,
// the bootloader).
struct TransferServices {
    DeviceIdReader readDeviceId; // run on opening a window when the chip choice is "AUTO"
    ImageFileServices imageFiles;
    BootloaderServiceMaker bootloader;            // the programmer window's bootloader buttons
    IcspPortOpener programmerPort = OpenIcspPort; // tests put a simulated box here
    // The programmer set-up's code area and table addresses checked at OK by the
    // rule the downloads and the table programming use, for `chip` and the curve
    // lines `nbTables` in force: the box to correct and why (its settings not
    // taken), or nothing.
    std::function<std::optional<IcspSetup::AreaRefusal>(
        const IcspSetup::Entries &, const QString &nbTables, const PicDevice &chip)>
        areasRefused;
    const Clock *clock = nullptr; // nullptr: the steady clock
};
