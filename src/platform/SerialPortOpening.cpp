#include "platform/SerialPortOpening.h"

#include "platform/AskedSerialDevice.h"
#include "platform/SerialPortLock.h"
#include "platform/SerialPortNames.h"
#include "platform/SerialSettings.h"

#include <cerrno>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace SerialPortOpening {

namespace {

DeviceFailure failureText(const QString &text)
{
    DeviceFailure failure;
    failure.error = text;
    return failure;
}

DeviceFailure failureOf(const QSerialPort &port, const QString &device)
{
    DeviceFailure failure = failureText(device + QStringLiteral(": ") + port.errorString());
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        failure.fault = DeviceFault::NoSuchPort;
        break;
    case QSerialPort::PermissionError:
        // A held lock or an exclusive port, or no right to it: the lock and
        // the device's own permissions tell which (the port let its own lock
        // go when the opening failed).
        if (SerialPortLock::holderPid(device) != 0 ||
            ::access(device.toLocal8Bit().constData(), R_OK | W_OK) == 0)
            SerialPortLock::markInUse(failure, device);
        else
            failure.fault = DeviceFault::Denied;
        break;
    default:
        // Qt words a device that is no tty by the call that failed.
        if (!SerialPortNames::IsSerialPort(device))
            return SerialPortNames::NotASerialPort(device);
        break;
    }
    return failure;
}

// A tty whose device went away is hung up and fails its calls with one of the
// errors IsDeviceGone knows.
bool deviceGone(int fd)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return true;
    termios attributes{};
    return ::tcgetattr(fd, &attributes) != 0 && IsDeviceGone(errno);
}

} // namespace

std::optional<DeviceFailure> Open(QSerialPort &port, const QString &name,
                                  const QString &settingsText, QSerialPort::FlowControl flow)
{
    if (port.isOpen())
        port.close();
    const auto settings = SerialSettings::parse(settingsText);
    if (!settings) {
        DeviceFailure bad =
            failureText(QStringLiteral("invalid serial settings \"%1\"").arg(settingsText));
        bad.fault = DeviceFault::BadSettings;
        return bad;
    }
    DeviceFailure notSerial;
    const QString device = SerialPortNames::SerialDeviceOf(name, &notSerial);
    if (device.isEmpty())
        return notSerial;
    // The device first: one that is not there or no tty takes no lock.
    auto asked = std::make_shared<const AskedSerialDevice>(device);
    if (asked->refusal())
        return *asked->refusal();
    // QSerialPort writes its own lock file; ours clears a stale one out of
    // its way and tells our other windows that the port is taken.
    DeviceResult<SerialPortLock> held =
        SerialPortLock::take(device, SerialPortLock::File::LeftToTheOpening);
    if (!held)
        return DeviceFailure(held);
    port.setPortName(device);
    if (!port.open(QIODevice::ReadWrite)) {
        held.device.reset();
        return failureOf(port, device);
    }
    // QSerialPort keeps the lock file and TIOCEXCL; the flock() of raw
    // openings and other programs is the third convention, binding root too.
    if (::flock(int(port.handle()), LOCK_EX | LOCK_NB) != 0) {
        port.close();
        held.device.reset();
        DeviceFailure failure = failureText(DeviceErrorText(device, EBUSY));
        SerialPortLock::markInUse(failure, device);
        return failure;
    }
    if (!settings->applyTo(port) || !port.setFlowControl(flow)) {
        const DeviceFailure failure =
            failureText(device + QStringLiteral(": ") + port.errorString());
        port.close();
        return failure;
    }
    // Held until the port closes (its destruction closes it too). QSerialPort
    // has closed the device and removed its lock file by then; the device
    // asked stays open until after that and goes last, so that a
    // pseudo-terminal's number is never free for another device while a lock
    // file of ours names it.
    QObject::connect(
        &port, &QIODevice::aboutToClose, &port,
        [lock = std::shared_ptr<SerialPortLock>(std::move(held.device)), asked]() mutable {
            lock.reset();
            asked.reset();
        },
        Qt::SingleShotConnection);
    return std::nullopt;
}

std::optional<DeviceFailure> LossOf(const QSerialPort &port, QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError)
        return std::nullopt;
    DeviceFailure lost = failureText(port.errorString());
    // A device that went away often shows as a read error, worded with what
    // an earlier call left in errno ("Resource temporarily unavailable"): the
    // tty itself tells.
    if (error == QSerialPort::ResourceError || deviceGone(int(port.handle())))
        lost.fault = DeviceFault::Gone;
    return lost;
}

} // namespace SerialPortOpening
