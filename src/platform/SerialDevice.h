#pragma once

#include <QString>

// Serial devices of the system as the settings name them: a port number (the
// old "COMn" numbering, n from 1) or a device path typed by the user.
namespace SerialDevice {

// The device to open: a typed path ("/dev/ttyUSB0", a pseudo-terminal) wins; a
// bare name ("ttyUSB0") is looked up under /dev; "COMn" and port number n give
// the n-th on-board serial device, /dev/ttyS(n-1).
QString DevicePath(const QString &typedDevice, int portNumber);

// Short name for the status bar: "COM" and the number, or the typed device.
QString PortCaption(const QString &typedDevice, int portNumber);

} // namespace SerialDevice
