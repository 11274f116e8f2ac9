#include "live/LiveLink.h"

#include "base/PortFailureTexts.h"
#include "base/VEK_LANGUAGE.h"
#include "live/SimulationCommand.h"
#include "platform/SerialLineStatus.h"
#include "platform/SerialPortOpening.h"
#include "platform/SerialSettings.h"

#include <cerrno>
#include <unistd.h>

using VEK_LANGUAGE::GetLanguageText;

LiveLink::LiveLink(const Clock &clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &LiveLink::watchdogTick);
    m_batch.setSingleShot(true);
    connect(&m_batch, &QTimer::timeout, this, &LiveLink::onBatchDue);
    m_quiet.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, &LiveLink::onQuietLine);
    connect(&m_port, &QSerialPort::readyRead, this, &LiveLink::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &LiveLink::onError);
}

LiveLink::~LiveLink()
{
    close();
}

LiveLink::Status LiveLink::open(const QString &device, const QString &settingsText,
                                QSerialPort::FlowControl flow)
{
    close();
    m_device = device;
    if (const auto failure = SerialPortOpening::Open(m_port, device, settingsText, flow)) {
        m_openFailure = *failure;
        return {false, failure->error};
    }
    // A one-byte read buffer makes the port stop reading once it holds a byte,
    // so that nothing wakes us until the batch is due (see onReadyRead).
    m_port.setReadBufferSize(1);
    m_parser.reset();
    m_capture.clear();
    m_latest = LiveReading::silent();
    m_silent = false; // the first silence is reported like any other
    m_lastFrameMs = m_clock.nowMs();
    armWatchdog(SilenceMs);
    return {};
}

void LiveLink::close()
{
    m_watchdog.stop();
    m_batch.stop();
    m_quiet.stop();
    if (m_port.isOpen())
        m_port.close();
    m_parser.reset();
}

bool LiveLink::isOpen() const
{
    return m_port.isOpen();
}

void LiveLink::setCaptureEnabled(bool enabled)
{
    m_captureEnabled = enabled;
    if (!enabled)
        m_capture.clear();
}

void LiveLink::addToCapture(const QByteArray &data)
{
    const qsizetype room = m_captureLimit - m_capture.size();
    if (room <= 0)
        return; // full, and already said
    m_capture += data.left(room);
    if (data.size() >= room)
        emit captureFull();
}

void LiveLink::setFrameObserver(std::function<void(const TrameLive &)> observer)
{
    m_observer = std::move(observer);
}

// Data arrived. The port's one-byte buffer holds the first byte of a batch and
// the port stops watching the line; the rest is read when the batch is due,
// straight from the driver, so that the port wakes us again only for the first
// byte of the next batch. Every byte is read in order, at most ReadBatchMs late.
void LiveLink::onReadyRead()
{
    if (!m_batch.isActive())
        m_batch.start(ReadBatchMs);
}

void LiveLink::onBatchDue()
{
    if (!m_port.isOpen())
        return;
    // Taking the buffered byte makes the port watch the line again.
    QByteArray data = m_port.readAll();
    readWaiting(data);
    process(data);
}

// Whatever the driver holds, without waiting. A read error ends the reading
// here; the port meets it too when it next reads and reports the loss.
void LiveLink::readWaiting(QByteArray &data) const
{
    const int fd = int(m_port.handle());
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0)
            data.append(chunk, n);
        if (n < qsizetype(sizeof chunk) && !(n < 0 && errno == EINTR))
            return;
    }
}

void LiveLink::process(const QByteArray &data)
{
    if (data.isEmpty())
        return;
    m_bytesReceived += quint64(data.size());
    ++m_reads;
    if (m_captureEnabled)
        addToCapture(data);
    m_anyFrame = false;
    m_parser.feed(data, [this](const TrameLive &frame) { takeFrame(frame); });
    if (m_parser.frameWaiting())
        m_quiet.start(QuietLineMs);
    framesTaken();
}

void LiveLink::onQuietLine()
{
    if (!m_port.isOpen() || m_batch.isActive())
        return; // bytes came in: their read decides
    m_anyFrame = false;
    m_parser.pause([this](const TrameLive &frame) { takeFrame(frame); });
    framesTaken();
}

void LiveLink::takeFrame(const TrameLive &frame)
{
    m_latestFrame = frame;
    m_anyFrame = true;
    if (m_observer)
        m_observer(frame);
}

void LiveLink::framesTaken()
{
    if (!m_anyFrame)
        return;
    m_latest = LiveReading::decode(m_latestFrame);
    m_lastFrameMs = m_clock.nowMs();
    m_silent = false;
    if (!m_watchdog.isActive())
        armWatchdog(SilenceMs);
    emit framesArrived();
}

void LiveLink::watchdogTick()
{
    if (!m_port.isOpen())
        return;
    const qint64 quiet = m_clock.nowMs() - m_lastFrameMs;
    if (quiet < SilenceMs) {
        armWatchdog(SilenceMs - quiet);
        return;
    }
    if (!m_silent) {
        m_silent = true;
        m_latest = LiveReading::silent();
        emit silence();
    }
    // Stay armed so that the next frame finds the timer running.
    armWatchdog(SilenceMs);
}

void LiveLink::armWatchdog(qint64 delayMs)
{
    m_watchdog.start(int(qMax<qint64>(delayMs, 1)));
}

void LiveLink::onError(QSerialPort::SerialPortError error)
{
    if (!m_port.isOpen())
        return;
    const auto lost = SerialPortOpening::LossOf(m_port, error);
    if (!lost)
        return;
    m_port.clearError();
    lose(PortFailureTexts::load().lossReason(*lost));
}

void LiveLink::lose(const QString &reason)
{
    close();
    emit portLost(reason);
}

LiveLink::Status LiveLink::write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return {false, GetLanguageText("MessPortNonOuvert")};
    // Straight to the driver, and until the bytes have left it (the port may be
    // closed or reconfigured right after), within the deadline.
    const SerialLineStatus::WriteOutcome sent =
        SerialLineStatus::WriteWithin(int(m_port.handle()), bytes, WriteDeadlineMs);
    if (sent.end == SerialLineStatus::WriteOutcome::Sent)
        return {};
    QString reason;
    if (sent.end == SerialLineStatus::WriteOutcome::Held) {
        // What the line kept back would make the close wait for it.
        SerialLineStatus::SettleOutput(int(m_port.handle()), 0);
        reason = GetLanguageText("MessLigneRetenue", {"{MS}", QString::number(WriteDeadlineMs)});
    } else {
        const DeviceFault fault = IsDeviceGone(sent.error) ? DeviceFault::Gone : DeviceFault::Other;
        reason = PortFailureTexts::load().lossReason({qt_error_string(sent.error), fault, {}});
    }
    lose(reason);
    return {false, reason};
}

LiveLink::Status LiveLink::sendSimulationStart(uint16_t period)
{
    if (!m_port.isOpen())
        return {false, GetLanguageText("MessPortNonOuvert")};
    const SerialSettings own{m_port.baudRate(), m_port.parity(), m_port.dataBits(),
                             m_port.stopBits()};
    const auto command =
        SerialSettings::parse(QString::fromLatin1(SimulationCommand::ReglagesSimulation));
    if (!command->applyTo(m_port))
        return {false, m_port.errorString()};
    const Status sent = write(SimulationCommand::CommandeSimulation(period));
    if (!own.applyTo(m_port))
        return {false, m_port.errorString()};
    return sent;
}

LiveLink::Status LiveLink::sendSimulationSpeed(uint16_t period)
{
    return write(SimulationCommand::CommandeSimulation(period));
}

LiveLink::Status LiveLink::sendSimulationStop()
{
    return write(SimulationCommand::CommandeArretSimulation());
}
