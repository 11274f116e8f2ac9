#pragma once

#include "icsp/BootloaderService.h"
#include "icsp/IcspPort.h"
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
    // The refusal text when the low and high curve tables of `nbTables` lines at
    // these start addresses would overlap: the programmer set-up refuses such
    // addresses at OK, its settings not taken.
    std::function<std::optional<QString>(const QString &nbTables, const QString &low,
                                         const QString &high)>
        tablesOverlap;
    const Clock *clock = nullptr; // nullptr: the steady clock
};
