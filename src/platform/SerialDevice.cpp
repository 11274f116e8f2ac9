#include "platform/SerialDevice.h"

#include <QRegularExpression>

namespace SerialDevice {

static QString onBoardDevice(int portNumber)
{
    return QStringLiteral("/dev/ttyS%1").arg(portNumber > 0 ? portNumber - 1 : 0);
}

QString DevicePath(const QString &typedDevice, int portNumber)
{
    const QString typed = typedDevice.trimmed();
    if (typed.isEmpty())
        return onBoardDevice(portNumber);
    static const QRegularExpression com(QStringLiteral("^COM(\\d+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto match = com.match(typed);
    if (match.hasMatch())
        return onBoardDevice(match.captured(1).toInt());
    if (typed.startsWith('/'))
        return typed;
    return QStringLiteral("/dev/") + typed;
}

QString PortCaption(const QString &typedDevice, int portNumber)
{
    const QString typed = typedDevice.trimmed();
    if (typed.isEmpty())
        return QStringLiteral("COM%1").arg(portNumber);
    return typed;
}

} // namespace SerialDevice
