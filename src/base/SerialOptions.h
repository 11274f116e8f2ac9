#pragma once

#include "platform/SerialSettings.h"

#include <QChar>
#include <QSerialPort>
#include <QString>

#include <optional>

// The serial options of the configuration dialog: how a settings text
// ("9600,N,8,1") selects its options, the port choice ("newport": a port
// number or a device path) and the handshaking of the main window's port.
namespace SerialOptions {

constexpr int Rates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

// Handshaking of the port: 0 none, 1 Xon/Xoff, 2 RTS, 3 Xon/RTS.
enum class Handshaking { None = 0, XonXoff = 1, Rts = 2, XonRts = 3 };

// The options that a settings text selects: the rate index (rate / 100, from
// the characters before the first "," without the last two), the parity letter
// in capitals after the comma, the data bits two places further and the stop
// bits two places further again. Values without an option are 0 (or a null
// parity).
struct Selection {
    int baudIndex = 0;
    QChar parity;
    int dataBits = 0;
    int stopBits = 0;
};
Selection SelectionOf(const QString &text);

// The settings text of the dialog's options: rate, parity letter N, E or O,
// data bits 7 or 8, stop bits 1 or 2.
QString TextOf(int baud, QChar parity, int dataBits, int stopBits);
// A settings text as the dialog writes it when each of its parts is one of the
// dialog's options ("9600,e,7,2" gives "9600,E,7,2"); none otherwise.
std::optional<QString> OfferedText(const QString &text);

// Device of a port choice: a port number n is the n-th serial port of the
// system; any other text is taken as a device path.
QString DeviceOf(const QString &portChoice);
// The port number of a choice text (1 to 255, as the settings keep it), 0 for a device path.
int PortNumberOf(const QString &portChoice);

// Flow control of a handshaking value: the port offers no Xon and RTS together,
// so Xon/RTS is applied as RTS/CTS; values out of range give none.
QSerialPort::FlowControl FlowControlOf(int handshaking);

// Applies a settings text and the handshaking to a port; false with the port's
// reason when it refuses one of them.
bool Apply(QSerialPort &port, const QString &settingsText, int handshaking,
           QString *error = nullptr);

} // namespace SerialOptions
