#pragma once

#include <QString>

// Serial ports are kept in the settings as a port number (1 for the first port)
// or as a device path; these helpers turn one into what the link opens.
namespace SerialPortNames {

// Device path of serial port `number` (1 gives /dev/ttyS0).
QString DeviceForPortNumber(int number);

// True for a text that names a device path rather than a port number.
bool IsDevicePath(const QString &text);

// The serial device a port setting names, for every window alike: "COMn"
// (n from 1) is /dev/ttyS(n-1), a device path is kept as it stands; anything
// else (a parallel port, a typing slip) names no serial device: empty.
QString SerialDeviceOf(const QString &setting);

// A port the user typed as it is kept: "COMn", "LPTn" and device paths as
// typed; a path outside /dev (a link the user made) as the device it leads to,
// or as typed when it leads to no device.
QString TypedPort(const QString &text);

// The device the link opens: the settings' device path, else that of the number.
QString DeviceToOpen(int number, const QString &device);

// Status-bar name of the port: "COM" and the number, or the device path.
QString PortCaption(int number, const QString &device);

} // namespace SerialPortNames
