#include "base/SerialOptions.h"

#include "platform/SerialPortNames.h"

namespace SerialOptions {

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

QString TextOf(int baud, QChar parity, int dataBits, int stopBits)
{
    return QStringLiteral("%1,%2,%3,%4").arg(baud).arg(parity).arg(dataBits).arg(stopBits);
}

std::optional<QString> OfferedText(const QString &text)
{
    // Offered when the dialog, showing the text's selection, writes it back as it stands.
    const std::optional<SerialSettings> settings = SerialSettings::parse(text);
    if (!settings)
        return std::nullopt;
    const QString written = settings->toText();
    const Selection shown = SelectionOf(written);
    if (TextOf(shown.baudIndex * 100, shown.parity, shown.dataBits, shown.stopBits) != written)
        return std::nullopt;
    return written;
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

QSerialPort::FlowControl FlowControlOf(int handshaking)
{
    switch (static_cast<Handshaking>(handshaking)) {
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

bool Apply(QSerialPort &port, const QString &settingsText, int handshaking, QString *error)
{
    const std::optional<SerialSettings> settings = SerialSettings::parse(settingsText);
    const bool ok =
        settings && settings->applyTo(port) && port.setFlowControl(FlowControlOf(handshaking));
    if (!ok && error)
        *error = settings ? port.errorString() : settingsText;
    return ok;
}

} // namespace SerialOptions
