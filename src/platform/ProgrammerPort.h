#pragma once

#include <QString>

// The programmer's port as the settings keep it (ICSPPort): "COM1" to "COM7",
// "LPT1", or a device path ("/dev/ttyUSB0", "/dev/parport1", a pseudo-terminal).
namespace ProgrammerPort {

enum class Kind { Serial, Parallel, Unknown };

// "COM..." is serial and "LPT..." parallel (exact case, as the program writes
// them); a /dev/parport path is parallel, any other device path serial.
Kind KindOf(const QString &port);

// The device to open: "COMn" gives /dev/ttyS(n-1), "LPTn" /dev/parport(n-1),
// a path stands as it is.
QString DeviceOf(const QString &port);

} // namespace ProgrammerPort
