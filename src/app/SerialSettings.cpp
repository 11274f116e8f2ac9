#include "app/SerialSettings.h"

#include "platform/SerialPortNames.h"

#include <QSerialPort>
#include <QStringList>

#include <algorithm>

QString SerialSettings::text() const
{
    return QStringLiteral("%1,%2,%3,%4").arg(baud).arg(parity).arg(dataBits).arg(stopBits);
}

std::optional<SerialSettings> SerialSettings::fromText(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    bool ok = false;
    SerialSettings s;
    s.baud = parts.at(0).trimmed().toInt(&ok);
    if (!ok || std::find(std::begin(SerialSettingsText::Rates), std::end(SerialSettingsText::Rates),
                         s.baud) == std::end(SerialSettingsText::Rates))
        return std::nullopt;
    const QString parity = parts.at(1).trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("NEO").contains(parity))
        return std::nullopt;
    s.parity = parity.at(0);
    s.dataBits = parts.at(2).trimmed().toInt(&ok);
    if (!ok || (s.dataBits != 7 && s.dataBits != 8))
        return std::nullopt;
    s.stopBits = parts.at(3).trimmed().toInt(&ok);
    if (!ok || (s.stopBits != 1 && s.stopBits != 2))
        return std::nullopt;
    return s;
}

namespace SerialSettingsText {

Selection SelectionOf(const QString &text)
{
    Selection sel;
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0)
        return sel;
    const QString rate = text.left(comma);
    const int index = rate.left(rate.size() - 2).toInt();
    for (int r : Rates)
        if (r / 100 == index)
            sel.baudIndex = index;
    auto at = [&text](qsizetype i) { return i < text.size() ? text.at(i) : QChar(); };
    const QChar parity = at(comma + 1).toUpper();
    if (parity == QLatin1Char('N') || parity == QLatin1Char('E') || parity == QLatin1Char('O'))
        sel.parity = parity;
    const int data = at(comma + 3).digitValue();
    if (data == 7 || data == 8)
        sel.dataBits = data;
    const int stop = at(comma + 5).digitValue();
    if (stop == 1 || stop == 2)
        sel.stopBits = stop;
    return sel;
}

QString DeviceOf(const QString &portChoice)
{
    const QString choice = portChoice.trimmed();
    bool isNumber = false;
    const int n = choice.toInt(&isNumber);
    if (isNumber && n >= 1)
        return SerialPortNames::DeviceForPortNumber(n);
    return choice;
}

int PortNumberOf(const QString &portChoice)
{
    bool isNumber = false;
    const int n = portChoice.trimmed().toInt(&isNumber);
    return isNumber && n >= 1 && n <= 255 ? n : 0;
}

static QSerialPort::Parity parityOf(QChar letter)
{
    if (letter == QLatin1Char('E'))
        return QSerialPort::EvenParity;
    if (letter == QLatin1Char('O'))
        return QSerialPort::OddParity;
    return QSerialPort::NoParity;
}

static QSerialPort::FlowControl flowOf(Handshaking h)
{
    switch (h) {
    case Handshaking::XonXoff:
        return QSerialPort::SoftwareControl;
    case Handshaking::Rts:
    case Handshaking::XonRts:
        return QSerialPort::HardwareControl;
    case Handshaking::None:
        break;
    }
    return QSerialPort::NoFlowControl;
}

bool Apply(QSerialPort &port, const SerialSettings &s, Handshaking handshaking, QString *error)
{
    const bool ok =
        port.setBaudRate(s.baud) && port.setParity(parityOf(s.parity)) &&
        port.setDataBits(s.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8) &&
        port.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
        port.setFlowControl(flowOf(handshaking));
    if (!ok && error)
        *error = port.errorString();
    return ok;
}

} // namespace SerialSettingsText
