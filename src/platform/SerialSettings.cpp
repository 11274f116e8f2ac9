#include "platform/SerialSettings.h"

#include <QStringList>

std::optional<SerialSettings> SerialSettings::parse(const QString &text)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return std::nullopt;
    SerialSettings s;
    bool ok = false;
    s.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        return std::nullopt;

    const QString parity = parts[1].trimmed().toUpper();
    if (parity == "N")
        s.parity = QSerialPort::NoParity;
    else if (parity == "E")
        s.parity = QSerialPort::EvenParity;
    else if (parity == "O")
        s.parity = QSerialPort::OddParity;
    else if (parity == "M")
        s.parity = QSerialPort::MarkParity;
    else if (parity == "S")
        s.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return std::nullopt;
    s.dataBits = static_cast<QSerialPort::DataBits>(bits);

    const QString stop = parts[3].trimmed();
    if (stop == "1")
        s.stopBits = QSerialPort::OneStop;
    else if (stop == "1.5")
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == "2")
        s.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return s;
}

QString SerialSettings::toText() const
{
    static const char *parityLetters = "N?EOSM"; // indexed by QSerialPort::Parity
    const QString stop = stopBits == QSerialPort::OneStop          ? QStringLiteral("1")
                         : stopBits == QSerialPort::OneAndHalfStop ? QStringLiteral("1.5")
                                                                   : QStringLiteral("2");
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudRate)
        .arg(QChar(parityLetters[parity]))
        .arg(int(dataBits))
        .arg(stop);
}

bool SerialSettings::applyTo(QSerialPort &port) const
{
    return port.setBaudRate(baudRate) && port.setParity(parity) && port.setDataBits(dataBits) &&
           port.setStopBits(stopBits);
}
