#pragma once

#include <QString>

#include <memory>

// Why a device could not be opened, or could not go on, as far as the user is
// told apart.
enum class DeviceFault {
    Other,        // the system's own words tell it
    NoSuchPort,   // no such device on this computer
    NotAPort,     // the setting names no port at all
    NotSerial,    // a parallel port where a serial one is needed
    NotATty,      // a character device that is no serial port (/dev/null)
    Denied,       // the system refuses access to this user
    InUse,        // another program, or another window of ours, holds the port
    NoModemLines, // a serial device without modem lines cannot drive a programmer
    Gone,         // the device went away while open (unplugged, its far end closed)
    BadSettings,  // the link settings asked for ("9600,N,8,1") cannot be set
};

// A failed opening: the device's path and the system's own words, the kind of
// fault and, for a port in use, who holds it when the lock files say.
struct DeviceFailure {
    QString error;
    DeviceFault fault = DeviceFault::Other;
    QString holder;        // another program: "minicom (PID 1234)"
    bool heldHere = false; // another window of this program holds it
};

// The fault the system's error number stands for at opening.
DeviceFault DeviceFaultOf(int errnum);

// True for the error numbers of a device that went away while open: a USB
// adapter pulled out gives ENXIO or ENODEV, a pseudo-terminal whose other side
// closed EIO.
bool IsDeviceGone(int errnum);

// A device opened, or the reason it could not be (the failure's fields: the
// device's path and the system's own words, "/dev/ttyUSB0: Permission denied",
// the kind of fault and, for a port in use, who holds it when the system says).
template <typename Device> struct DeviceResult : DeviceFailure {
    std::unique_ptr<Device> device;

    explicit operator bool() const { return device != nullptr; }
    // Failed with the system's error number `errnum` on `path`.
    void fail(const QString &path, int errnum);
    // Failed as `other` did (another device's result, or a bare failure).
    void failAs(const DeviceFailure &other) { DeviceFailure::operator=(other); }
};

// "<path>: <strerror(errnum)>".
QString DeviceErrorText(const QString &path, int errnum);

template <typename Device> void DeviceResult<Device>::fail(const QString &path, int errnum)
{
    error = DeviceErrorText(path, errnum);
    fault = DeviceFaultOf(errnum);
}
