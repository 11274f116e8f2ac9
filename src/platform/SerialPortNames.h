#pragma once

#include "platform/DeviceResult.h"

#include <QString>

class SystemCalls;

// The one rule by which a text names a port, kept alike by the set-up dialogs
// at OK, by the settings loader and by every opening, in every window:
// "COMn" (n from 1, digits only, the letters in either case) names the serial port
// /dev/ttyS(n-1), "LPTn" the parallel port /dev/parport(n-1), and an absolute
// path the character device it leads to, links followed (a parallel port when
// that is a /dev/parportN). Anything else names no port. A name and the path
// it stands for get one answer: "COM2" on a computer without /dev/ttyS1 leads
// nowhere, as the path typed does. The environment variable VEK_DEVICE_DIR,
// when set, holds the devices of "COMn" and "LPTn" in place of /dev (a folder
// of links to pseudo-terminals, to try the program against simulated ports). A port is kept as
// the user typed it: a link is followed at each opening, so that a link made
// again (socat makes a new pseudo-terminal each time) still leads to its port.
// Whether a serial device is a serial port at all is asked of the device
// (IsSerialPort), at OK and at every opening, never read from its name.
namespace SerialPortNames {

enum class PortKind { None, Serial, Parallel };

struct NamedPort {
    PortKind kind = PortKind::None;
    QString device; // what to open: the device the name leads to
    // A path that leads nowhere (yet): its kind is read from the path itself,
    // and its opening says that it does not exist.
    bool leadsNowhere = false;
};

NamedPort PortNamed(const QString &name);

// The form a port name is kept and shown in: blanks around it dropped, and
// "com2" or "Com2" (the configuration dialog's own caption) written "COM2";
// a path as typed.
QString CanonicalName(const QString &name);

// Why a port name cannot be chosen, the one rule of both set-up dialogs at
// OK: it names no port, the device it names is not there, or the serial
// device it names is no serial port (IsSerialPort).
enum class PortFault { None, NotAPort, Missing, NotASerialDevice };
PortFault FaultOf(const QString &name);

// True when `name` names a port that is there to be chosen (FaultOf finds
// nothing): what the programmer set-up takes at OK.
bool NamesAPort(const QString &name);

// False when the serial `device` is a character device that is no serial
// port (/dev/null), as the tty itself says, asked through an opening that
// changes nothing (no controlling terminal, no wait for a carrier). A device
// that cannot be asked (not there, access refused, held exclusively) is taken
// for one: its opening says why it cannot be used.
bool IsSerialPort(const QString &device);
// The same question through `calls` (tests stand in for the device).
bool IsSerialPort(const QString &device, SystemCalls &calls);

// The failure of an opening of `device` that found no serial port there.
DeviceFailure NotASerialPort(const QString &device);

// The serial device an opening of `name` opens. Empty when there is none,
// `why` then saying so: a parallel port (NotSerial) or no port (NotAPort).
QString SerialDeviceOf(const QString &name, DeviceFailure *why = nullptr);

// Device path of serial port `number` (1 gives /dev/ttyS0).
QString DeviceForPortNumber(int number);
// Device path of parallel port `number` (1 gives /dev/parport0).
QString DeviceForParallelNumber(int number);

// The port the live link opens: the settings' port name, else that of the number.
QString DeviceToOpen(int number, const QString &port);

// Status-bar name of the port: "COM" and the number, or the port as typed.
QString PortCaption(int number, const QString &port);

} // namespace SerialPortNames
