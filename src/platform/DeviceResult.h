#pragma once

#include <QString>

#include <memory>

// Why a device could not be opened, as far as the user is told apart.
enum class DeviceFault {
    Other,        // the system's own words tell it
    NoSuchPort,   // no such device on this computer
    NotAPort,     // the setting names no port at all
    Denied,       // the system refuses access to this user
    InUse,        // another program (or window) holds the port
    NoModemLines, // a serial device without modem lines cannot drive a programmer
};

// A failed opening: the device's path and the system's own words, the kind of
// fault and, for a port in use, who holds it when the system says.
struct DeviceFailure {
    QString error;
    DeviceFault fault = DeviceFault::Other;
    QString holder; // "minicom (PID 1234)"
};

// The fault the system's error number stands for at opening.
DeviceFault DeviceFaultOf(int errnum);

// A device opened, or the reason it could not be: the device's path and the
// system's own words ("/dev/ttyUSB0: Permission denied"), the kind of fault
// and, for a port in use, who holds it when the system says.
template <typename Device> struct DeviceResult {
    std::unique_ptr<Device> device;
    QString error;
    DeviceFault fault = DeviceFault::Other;
    QString holder; // "minicom (PID 1234)"

    explicit operator bool() const { return device != nullptr; }
    // Failed with the system's error number `errnum` on `path`.
    void fail(const QString &path, int errnum);
    DeviceFailure failure() const { return {error, fault, holder}; }
    // Failed as `other` did.
    template <typename Other> void failAs(const DeviceResult<Other> &other)
    {
        error = other.error;
        fault = other.fault;
        holder = other.holder;
    }
};

// "<path>: <strerror(errnum)>".
QString DeviceErrorText(const QString &path, int errnum);

template <typename Device> void DeviceResult<Device>::fail(const QString &path, int errnum)
{
    error = DeviceErrorText(path, errnum);
    fault = DeviceFaultOf(errnum);
}
