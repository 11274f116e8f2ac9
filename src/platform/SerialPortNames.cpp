#include "platform/SerialPortNames.h"

#include "platform/AskedSerialDevice.h"
#include "platform/SystemCalls.h"

#include <QFileInfo>

#include <algorithm>
#include <sys/stat.h>

namespace SerialPortNames {

namespace {

// n of "COMn" or "LPTn", the letters in either case as the dialogs caption
// them ("Com2"), digits only ("COM 3" or "COM+3" are slips); 0 otherwise.
int numberAfter(const QString &name, QLatin1StringView prefix)
{
    if (!name.startsWith(prefix, Qt::CaseInsensitive))
        return 0;
    const QString digits = name.mid(prefix.size());
    const bool onlyDigits =
        !digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return onlyDigits ? digits.toInt() : 0;
}

PortKind kindOfDevice(const QString &device)
{
    return device.startsWith(QLatin1String("/dev/parport")) ? PortKind::Parallel : PortKind::Serial;
}

// The folder of the numbered ports' devices.
QString deviceFolder()
{
    const QString folder = qEnvironmentVariable("VEK_DEVICE_DIR");
    return folder.isEmpty() ? QStringLiteral("/dev") : folder;
}

// A numbered port: its kind by its name, and whether its device is there.
NamedPort numbered(PortKind kind, const QString &device)
{
    return {kind, device, !QFileInfo::exists(device)};
}

bool isCharacterDevice(const QString &path)
{
    struct stat st {
    };
    return ::stat(path.toLocal8Bit().constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

} // namespace

NamedPort PortNamed(const QString &name)
{
    if (const int n = numberAfter(name, QLatin1StringView("COM")); n >= 1)
        return numbered(PortKind::Serial, DeviceForPortNumber(n));
    if (const int n = numberAfter(name, QLatin1StringView("LPT")); n >= 1)
        return numbered(PortKind::Parallel, DeviceForParallelNumber(n));
    if (!name.startsWith(QLatin1Char('/')))
        return {};
    const QString target = QFileInfo(name).canonicalFilePath();
    if (target.isEmpty()) // nothing there now: an adapter unplugged, a link not made yet
        return {kindOfDevice(name), name, true};
    if (!isCharacterDevice(target))
        return {};
    return {kindOfDevice(target), target};
}

QString CanonicalName(const QString &name)
{
    const QString trimmed = name.trimmed();
    for (const QLatin1StringView prefix : {QLatin1StringView("COM"), QLatin1StringView("LPT")})
        if (numberAfter(trimmed, prefix) >= 1)
            return prefix + trimmed.mid(prefix.size());
    return trimmed;
}

PortFault FaultOf(const QString &name)
{
    const NamedPort port = PortNamed(name);
    if (port.kind == PortKind::None)
        return PortFault::NotAPort;
    if (port.leadsNowhere)
        return PortFault::Missing;
    if (port.kind == PortKind::Serial && !IsSerialPort(port.device))
        return PortFault::NotASerialDevice;
    return PortFault::None;
}

bool NamesAPort(const QString &name)
{
    return FaultOf(name) == PortFault::None;
}

bool IsSerialPort(const QString &device)
{
    return IsSerialPort(device, SystemCalls::real());
}

bool IsSerialPort(const QString &device, SystemCalls &calls)
{
    const AskedSerialDevice asked(device, calls);
    return !asked.refusal() || asked.refusal()->fault != DeviceFault::NotATty;
}

DeviceFailure NotASerialPort(const QString &device)
{
    DeviceFailure failure;
    failure.error = device + QStringLiteral(": not a serial port");
    failure.fault = DeviceFault::NotATty;
    return failure;
}

QString SerialDeviceOf(const QString &name, DeviceFailure *why)
{
    const NamedPort port = PortNamed(name);
    if (port.kind == PortKind::Serial)
        return port.device;
    if (why) {
        const bool parallel = port.kind == PortKind::Parallel;
        why->fault = parallel ? DeviceFault::NotSerial : DeviceFault::NotAPort;
        why->error = name + (parallel ? QStringLiteral(": not a serial port")
                                      : QStringLiteral(": names no port"));
    }
    return {};
}

QString DeviceForPortNumber(int number)
{
    return deviceFolder() + QStringLiteral("/ttyS%1").arg(number - 1);
}

QString DeviceForParallelNumber(int number)
{
    return deviceFolder() + QStringLiteral("/parport%1").arg(number - 1);
}

QString DeviceToOpen(int number, const QString &port)
{
    return port.isEmpty() ? DeviceForPortNumber(number) : port;
}

QString PortCaption(int number, const QString &port)
{
    return number > 0 ? QStringLiteral("COM%1").arg(number) : port;
}

} // namespace SerialPortNames
