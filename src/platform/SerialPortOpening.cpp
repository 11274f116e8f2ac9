#include "platform/SerialPortOpening.h"

#include "platform/SerialSettings.h"

#include <QCoreApplication>

namespace SerialPortOpening {

std::optional<QString> Open(QSerialPort &port, const QString &device, const QString &settingsText,
                            QSerialPort::FlowControl flow)
{
    if (port.isOpen())
        port.close();
    const auto settings = SerialSettings::parse(settingsText);
    if (!settings)
        return QCoreApplication::translate("SerialPortOpening", "invalid serial settings \"%1\"")
            .arg(settingsText);
    port.setPortName(device);
    if (!port.open(QIODevice::ReadWrite))
        return port.errorString();
    if (!settings->applyTo(port) || !port.setFlowControl(flow)) {
        const QString reason = port.errorString();
        port.close();
        return reason;
    }
    return std::nullopt;
}

bool IsLoss(QSerialPort::SerialPortError error)
{
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
           error == QSerialPort::WriteError;
}

} // namespace SerialPortOpening
