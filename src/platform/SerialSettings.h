#pragma once

#include <QSerialPort>
#include <QString>

#include <optional>

// A serial settings text such as "9600,N,8,1": baud rate, parity letter
// (N, E, O, M, S; any case), data bits (5 to 8) and stop bits (1, 1.5, 2).
struct SerialSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    static std::optional<SerialSettings> parse(const QString &text);
    QString toText() const;
    // Sets the four values on the port (open or not); false when the port refuses one.
    bool applyTo(QSerialPort &port) const;
};
