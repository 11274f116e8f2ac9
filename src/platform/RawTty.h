#pragma once

#include "platform/DeviceResult.h"

#include <QString>

// A serial device opened by hand with termios, in raw mode and non-blocking, so
// that it can be used from a worker thread (QSerialPort belongs to the thread
// that made it). Closed when destroyed.
class RawTty
{
public:
    // Opens `device` with a settings text such as "57600,N,8,1" (see SerialSettings).
    static DeviceResult<RawTty> open(const QString &device, const QString &settingsText);
    ~RawTty();
    RawTty(const RawTty &) = delete;
    RawTty &operator=(const RawTty &) = delete;

    int fd() const { return m_fd; }
    const QString &device() const { return m_device; }

private:
    RawTty(int fd, const QString &device) : m_fd(fd), m_device(device) {}
    int m_fd;
    QString m_device;
};
