#pragma once

#include "icsp/IcspLines.h"
#include "platform/DeviceResult.h"

#include <QString>

#include <functional>
#include <memory>

class ModemLines;
class ParallelPortRegisters;
class RawTty;
class SystemCalls;

// The device behind an open programmer: the modem lines of a serial port (with
// the tty they act on) or the registers of a parallel port.
struct IcspPort {
    std::unique_ptr<RawTty> tty;
    std::unique_ptr<ModemLines> modem;
    std::unique_ptr<ParallelPortRegisters> parallel;

    IcspPort();
    ~IcspPort();
    IcspPort(IcspPort &&) noexcept;
    IcspPort &operator=(IcspPort &&) noexcept;
};

// The serial line of the programmer box, also the line of the programmer
// window's bootloader buttons.
inline const QString IcspLinkSettings = QStringLiteral("19200,N,8,1");

// Opens the port the settings name; tests hand the programmer their own opener.
using IcspPortOpener = std::function<DeviceResult<IcspPort>(const IcspLineSettings &)>;

// The real opener: "COMn" or a tty path opens the serial port (its modem lines),
// "LPTn" or a /dev/parport path claims the parallel port through ppdev. The
// error names the device and gives the system's reason.
DeviceResult<IcspPort> OpenIcspPort(const IcspLineSettings &settings);
// The same, the parallel port and the modem lines reached through `calls`.
DeviceResult<IcspPort> OpenIcspPortThrough(const IcspLineSettings &settings, SystemCalls &calls);
