#pragma once

#include "platform/DeviceResult.h"

#include <QString>

#include <optional>

class SystemCalls;

// A serial device asked, before any lock is taken for it, whether an opening
// can use it at all: a device that is not there is no such port, a character
// device that is no tty (/dev/null) no serial port. Neither takes a lock file
// or an flock(), so that another program holding such a device, or a lock
// file of its name, changes nothing. The device is asked through an opening
// that changes nothing (read only, no controlling terminal, no wait for a
// carrier), kept while the object lives: the opening that follows is then not
// preceded by a last close, which would drop the modem lines, and an opening
// that keeps it until its lock files are gone never leaves the device's number
// free for another device while a lock file names it.
class AskedSerialDevice
{
public:
    explicit AskedSerialDevice(const QString &device);
    // The same question through `calls` (tests stand in for the device).
    AskedSerialDevice(const QString &device, SystemCalls &calls);
    ~AskedSerialDevice();
    AskedSerialDevice(const AskedSerialDevice &) = delete;
    AskedSerialDevice &operator=(const AskedSerialDevice &) = delete;

    // Why no opening can use the device. Nothing when it is a tty, or when it
    // cannot be asked (access refused, held exclusively): its opening says why.
    const std::optional<DeviceFailure> &refusal() const { return m_refusal; }

private:
    SystemCalls &m_calls;
    int m_fd = -1;
    std::optional<DeviceFailure> m_refusal;
};
