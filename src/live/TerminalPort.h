#pragma once

#include "platform/DeviceResult.h"
#include "platform/SerialLineStatus.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <optional>

// The terminal's raw serial port: bytes in and out as they come, the modem
// lines and the line errors (framing, overrun, ...) the driver counts.
class TerminalPort : public QObject
{
    Q_OBJECT
public:
    enum class LineError { Framing, Overrun, BufferOverflow, Parity, Break };
    static constexpr int LinePollMs = 100;
    // At a close, what was written may still leave the port this long.
    static constexpr int CloseSettleMs = 200;

    explicit TerminalPort(QObject *parent = nullptr);

    // Opens `device` with a settings text such as "9600,N,8,1" and a flow
    // control; on failure the port stays closed and the reason is returned.
    std::optional<DeviceFailure> open(const QString &device, const QString &settingsText,
                                      QSerialPort::FlowControl flow = QSerialPort::NoFlowControl);
    void close();
    bool isOpen() const { return m_port.isOpen(); }
    bool write(const QByteArray &bytes);
    // The open port, for the configuration dialog to apply new settings to.
    QSerialPort &serialPort() { return m_port; }

    // Reads the lines and error counters now (the poll timer calls it).
    void pollLines();

signals:
    void received(const QByteArray &bytes);
    // Lines of the port; no value on devices without modem lines.
    void linesChanged(std::optional<SerialLineStatus::ModemLines> lines);
    void lineError(TerminalPort::LineError error);
    void opened();
    // Closed by close() or by a failure (reason not empty).
    void closed(const QString &reason);

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    QTimer m_linePoll;
    std::optional<SerialLineStatus::ErrorCounts> m_counts;
    bool m_haveLines = false;
    SerialLineStatus::ModemLines m_lines;
};
