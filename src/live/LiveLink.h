#pragma once

#include "live/LiveDecoder.h"
#include "live/LiveFrameParser.h"
#include "live/TrameLive.h"
#include "platform/Clock.h"
#include "platform/DeviceResult.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <cstdint>
#include <functional>

// The live link to a running module: reads the serial port as data arrives,
// decodes every valid frame, keeps the raw capture for the logger while asked
// to, watches for silence, and sends the rpm simulation commands.
class LiveLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int SilenceMs = 500;
    // Reads are gathered over this time, about one display refresh: the frames
    // keep their order and none is lost, but the process wakes up far less
    // often than bytes arrive.
    static constexpr int ReadBatchMs = 50;
    // A frame is decided once the byte after it is known; when the line stays
    // quiet this long after a read, the frame held last is decided without it.
    static constexpr int QuietLineMs = 2 * ReadBatchMs;
    // A command is written on the GUI thread: when the line is still held after
    // this long (handshaking, a module that stops reading), the link gives up,
    // stops and says so, rather than freezing the window.
    static constexpr int WriteDeadlineMs = 500;

    explicit LiveLink(const Clock &clock = SteadyClock::instance(), QObject *parent = nullptr);
    ~LiveLink() override;

    struct Status {
        bool ok = true;
        QString reason; // the system's reason when not ok
    };

    // Opens `device` with a settings text such as "9600,N,8,1" and a flow control.
    Status open(const QString &device, const QString &settingsText,
                QSerialPort::FlowControl flow = QSerialPort::NoFlowControl);
    void close();
    bool isOpen() const;
    // Why the last open() failed: its fault and, for a port in use, the holder.
    const DeviceFailure &openFailure() const { return m_openFailure; }
    // The device as given to open(), as the user set it ("/dev/ttyUSB0").
    QString device() const { return m_device; }
    // The open port, for the configuration dialog to apply new settings to.
    QSerialPort &serialPort() { return m_port; }

    // Raw capture for the logger (TamponCapture): kept only while enabled;
    // disabling empties it. It stops growing at captureLimit() bytes (hours of
    // frames) and then says so once, by captureFull().
    static constexpr qsizetype MaxCaptureBytes = 16 * 1024 * 1024;
    void setCaptureEnabled(bool enabled);
    qsizetype captureLimit() const { return m_captureLimit; }
    void setCaptureLimit(qsizetype bytes) { m_captureLimit = bytes; } // tests
    bool captureEnabled() const { return m_captureEnabled; }
    const QByteArray &capture() const { return m_capture; }
    void clearCapture() { m_capture.clear(); }

    // The last decoded frame and what it reads as.
    const TrameLive &latestFrame() const { return m_latestFrame; }
    const LiveReading &latest() const { return m_latest; }
    quint64 framesDecoded() const { return m_parser.framesFound(); }
    quint64 bytesReceived() const { return m_bytesReceived; }
    quint64 reads() const { return m_reads; }
    // Called for every decoded frame, in order (tests, benchmarks).
    void setFrameObserver(std::function<void(const TrameLive &)> observer);

    // Rpm simulation: the start command goes out at 57600,N,8,1 and the port
    // returns to its own settings afterwards; a new speed and the stop byte go
    // out at the port's settings.
    Status sendSimulationStart(uint16_t period);
    Status sendSimulationSpeed(uint16_t period);
    Status sendSimulationStop();

    // Checks the silence watchdog against the clock; the link's own timer calls
    // it, tests call it after moving their clock.
    void watchdogTick();

signals:
    // One or more frames were decoded since the last signal.
    void framesArrived();
    // No valid frame came for SilenceMs: the display goes back to its reset state.
    void silence();
    // The port failed while open (device unplugged, read or write error, a line
    // held past the write deadline); it is closed.
    void portLost(const QString &reason);
    // The capture reached its limit: what arrives from now on is not kept.
    void captureFull();

private:
    void onReadyRead();
    void onBatchDue();
    void readWaiting(QByteArray &data) const;
    void onQuietLine();
    void takeFrame(const TrameLive &frame);
    void framesTaken();
    void process(const QByteArray &data);
    void addToCapture(const QByteArray &data);
    void onError(QSerialPort::SerialPortError error);
    Status write(const QByteArray &bytes);
    void lose(const QString &reason);
    void armWatchdog(qint64 delayMs);

    const Clock &m_clock;
    DeviceFailure m_openFailure;
    QString m_device;
    QSerialPort m_port;
    QTimer m_watchdog;
    QTimer m_batch;
    QTimer m_quiet;
    LiveFrameParser m_parser;
    QByteArray m_capture;
    bool m_captureEnabled = false;
    qsizetype m_captureLimit = MaxCaptureBytes;
    TrameLive m_latestFrame;
    LiveReading m_latest;
    quint64 m_bytesReceived = 0;
    quint64 m_reads = 0;
    qint64 m_lastFrameMs = 0;
    bool m_silent = true;
    std::function<void(const TrameLive &)> m_observer;
    bool m_anyFrame = false; // set by takeFrame() during one parse
};
