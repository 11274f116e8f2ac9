#include "platform/ProgrammerPort.h"

#include "platform/ParallelPort.h"
#include "platform/SerialPortNames.h"

#include <QRegularExpression>

namespace ProgrammerPort {

Kind KindOf(const QString &port)
{
    if (port.startsWith(QLatin1String("COM")))
        return Kind::Serial;
    if (port.startsWith(QLatin1String("LPT")))
        return Kind::Parallel;
    if (!SerialPortNames::IsDevicePath(port))
        return Kind::Unknown;
    return port.startsWith(QLatin1String("/dev/parport")) ? Kind::Parallel : Kind::Serial;
}

QString DeviceOf(const QString &port)
{
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]?)$"));
    const auto m = com.match(port.trimmed());
    if (m.hasMatch())
        return SerialPortNames::DeviceForPortNumber(m.captured(1).toInt());
    return PpdevPort::DeviceFor(port);
}

} // namespace ProgrammerPort
