#pragma once

#include <QChar>
#include <QString>

#include <optional>

class QSerialPort;

// The serial settings text of the main window's port: rate, parity letter,
// data bits and stop bits joined by commas ("9600,N,8,1"), and the port
// choice ("newport": a port number, or a device path).
struct SerialSettings {
    int baud = 9600;
    QChar parity = QLatin1Char('N'); // N, E or O
    int dataBits = 8;                // 7 or 8
    int stopBits = 1;                // 1 or 2

    QString text() const;
    // Strict reading: a known rate, N/E/O, 7/8, 1/2; none for anything else.
    static std::optional<SerialSettings> fromText(const QString &text);
};

// Handshaking of the port: 0 none, 1 Xon/Xoff, 2 RTS, 3 Xon/RTS.
enum class Handshaking { None = 0, XonXoff = 1, Rts = 2, XonRts = 3 };

namespace SerialSettingsText {

constexpr int Rates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

// The options that the configuration dialog selects for a settings text: the
// rate index (rate / 100, from the characters before the first "," without the
// last two), the parity letter in capitals after the comma, the data bits two
// places further and the stop bits two places further again. Values without an
// option are 0 (or a null parity).
struct Selection {
    int baudIndex = 0;
    QChar parity;
    int dataBits = 0;
    int stopBits = 0;
};
Selection SelectionOf(const QString &text);

// Device of a port choice: a port number n is the n-th serial port of the
// system (/dev/ttyS<n-1>); any other text is taken as a device path.
QString DeviceOf(const QString &portChoice);
// The port number of a choice text (1 to 255, as the settings keep it), 0 for a device path.
int PortNumberOf(const QString &portChoice);

// Applies the settings and the handshaking to a port; false with a reason when
// the port refuses one of them (Xon/RTS is applied as RTS/CTS).
bool Apply(QSerialPort &port, const SerialSettings &settings, Handshaking handshaking,
           QString *error = nullptr);

} // namespace SerialSettingsText
