#pragma once

#include "platform/DeviceResult.h"
#include "platform/SerialPortLock.h"

#include <QString>

// A serial device opened by hand with termios, in raw mode and non-blocking, so
// that it can be used from a worker thread (QSerialPort belongs to the thread
// that made it). It is its port's one owner by the three conventions serial
// programs keep: its lock file is taken, the device is flock()ed and the tty
// is made exclusive (TIOCEXCL) while it is open. Closed when destroyed.
class RawTty
{
public:
    // Opens the serial port `port` names (SerialPortNames: "COMn" or a path,
    // links followed) with a settings text such as "57600,N,8,1" (see
    // SerialSettings); a port another program or window holds fails as in use.
    static DeviceResult<RawTty> open(const QString &port, const QString &settingsText);
    ~RawTty();
    RawTty(const RawTty &) = delete;
    RawTty &operator=(const RawTty &) = delete;

    int fd() const { return m_fd; }
    const QString &device() const { return m_device; }

private:
    RawTty(int fd, const QString &device, std::unique_ptr<SerialPortLock> lock)
        : m_fd(fd), m_device(device), m_lock(std::move(lock))
    {}
    int m_fd;
    QString m_device;
    std::unique_ptr<SerialPortLock> m_lock;
};
