#include "platform/RawTty.h"

#include "platform/AskedSerialDevice.h"
#include "platform/SerialPortNames.h"
#include "platform/SerialSettings.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

speed_t speedFor(qint32 baud)
{
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return B0;
    }
}

// Raw 8-bit line with the settings' framing; no flow control, no echo.
bool configure(int fd, const SerialSettings &s, speed_t speed)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CMSPAR);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag |= s.dataBits == QSerialPort::Data5   ? CS5
                 : s.dataBits == QSerialPort::Data6 ? CS6
                 : s.dataBits == QSerialPort::Data7 ? CS7
                                                    : CS8;
    if (s.parity != QSerialPort::NoParity)
        t.c_cflag |= PARENB;
    if (s.parity == QSerialPort::OddParity || s.parity == QSerialPort::MarkParity)
        t.c_cflag |= PARODD;
    if (s.parity == QSerialPort::MarkParity || s.parity == QSerialPort::SpaceParity)
        t.c_cflag |= CMSPAR;
    if (s.stopBits != QSerialPort::OneStop)
        t.c_cflag |= CSTOPB;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    // VMIN 1: with no data a non-blocking read says EAGAIN, so that a read of
    // 0 bytes can only mean the other side hung up.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return cfsetispeed(&t, speed) == 0 && cfsetospeed(&t, speed) == 0 &&
           tcsetattr(fd, TCSANOW, &t) == 0;
}

} // namespace

DeviceResult<RawTty> RawTty::open(const QString &port, const QString &settingsText)
{
    DeviceResult<RawTty> result;
    const QString device = SerialPortNames::SerialDeviceOf(port, &result);
    if (device.isEmpty())
        return result;
    const auto settings = SerialSettings::parse(settingsText);
    const speed_t speed = settings ? speedFor(settings->baudRate) : B0;
    if (!settings || speed == B0) {
        result.error =
            device + QStringLiteral(": invalid serial settings \"%1\"").arg(settingsText);
        result.fault = DeviceFault::BadSettings;
        return result;
    }
    // The device first: one that is not there or no tty takes no lock.
    const AskedSerialDevice asked(device);
    if (asked.refusal()) {
        result.failAs(*asked.refusal());
        return result;
    }
    DeviceResult<SerialPortLock> lock = SerialPortLock::take(device);
    if (!lock) {
        result.failAs(lock);
        return result;
    }
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        result.fail(device, errno);
        if (result.fault == DeviceFault::InUse) {
            lock.device.reset(); // the lock just taken is ours: not the holder
            SerialPortLock::markInUse(result, device);
        }
        return result;
    }
    // Another opening may hold the port by the third convention alone: an
    // flock() on the device, which keeps off root too (TIOCEXCL does not).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        lock.device.reset();
        result.fail(device, error == EWOULDBLOCK ? EBUSY : error);
        if (result.fault == DeviceFault::InUse)
            SerialPortLock::markInUse(result, device);
        return result;
    }
    // Exclusive: a second open fails with EBUSY (except for root).
    if (::ioctl(fd, TIOCEXCL) != 0 || !configure(fd, *settings, speed)) {
        result.fail(device, errno);
        ::close(fd);
        return result;
    }
    tcflush(fd, TCIOFLUSH);
    result.device.reset(new RawTty(fd, device, std::move(lock.device)));
    return result;
}

RawTty::~RawTty()
{
    // The lock file goes before the device: once the device is closed, a
    // pseudo-terminal's number may be given to another device at once, which
    // a lock file still there would say is ours.
    m_lock.reset();
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
}
