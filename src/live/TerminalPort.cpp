#include "live/TerminalPort.h"

#include "base/PortFailureTexts.h"
#include "platform/SerialPortOpening.h"

TerminalPort::TerminalPort(QObject *parent) : QObject(parent)
{
    m_linePoll.setInterval(LinePollMs);
    connect(&m_linePoll, &QTimer::timeout, this, &TerminalPort::pollLines);
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        const QByteArray bytes = m_port.readAll();
        if (!bytes.isEmpty())
            emit received(bytes);
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, &TerminalPort::onError);
}

std::optional<DeviceFailure> TerminalPort::open(const QString &device, const QString &settingsText,
                                                QSerialPort::FlowControl flow)
{
    close();
    if (const auto failure = SerialPortOpening::Open(m_port, device, settingsText, flow))
        return failure;
    m_counts = SerialLineStatus::ReadErrorCounts(int(m_port.handle()));
    m_haveLines = false;
    m_linePoll.start();
    emit opened();
    pollLines();
    return std::nullopt;
}

void TerminalPort::close()
{
    m_linePoll.stop();
    if (!m_port.isOpen())
        return;
    // Typed bytes on their way get a moment; a line held by its handshaking
    // does not keep a page change or the quit waiting.
    SerialLineStatus::SettleOutput(int(m_port.handle()), CloseSettleMs);
    m_port.close();
    emit linesChanged(std::nullopt);
    emit closed(QString());
}

bool TerminalPort::write(const QByteArray &bytes)
{
    return m_port.isOpen() && m_port.write(bytes) == bytes.size();
}

void TerminalPort::pollLines()
{
    if (!m_port.isOpen())
        return;
    const int fd = int(m_port.handle());
    const auto lines = SerialLineStatus::ReadModemLines(fd);
    if (lines.has_value() != m_haveLines ||
        (lines && (lines->cts != m_lines.cts || lines->dsr != m_lines.dsr ||
                   lines->cd != m_lines.cd || lines->rts != m_lines.rts))) {
        m_haveLines = lines.has_value();
        if (lines)
            m_lines = *lines;
        emit linesChanged(lines);
    }
    const auto counts = SerialLineStatus::ReadErrorCounts(fd);
    if (counts && m_counts) {
        if (counts->framing != m_counts->framing)
            emit lineError(LineError::Framing);
        if (counts->overrun != m_counts->overrun)
            emit lineError(LineError::Overrun);
        if (counts->bufferOverrun != m_counts->bufferOverrun)
            emit lineError(LineError::BufferOverflow);
        if (counts->parity != m_counts->parity)
            emit lineError(LineError::Parity);
        if (counts->breaks != m_counts->breaks)
            emit lineError(LineError::Break);
    }
    m_counts = counts;
}

void TerminalPort::onError(QSerialPort::SerialPortError error)
{
    if (!m_port.isOpen())
        return;
    const auto lost = SerialPortOpening::LossOf(m_port, error);
    if (!lost)
        return;
    const QString reason = PortFailureTexts::load().lossReason(*lost);
    m_port.clearError();
    m_linePoll.stop();
    m_port.close();
    emit linesChanged(std::nullopt);
    emit closed(reason);
}
