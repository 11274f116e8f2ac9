#pragma once

#include "LineFaults.h"
#include "LiveProtocol.h"
#include "ProtocolHandler.h"
#include "PtyPair.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <deque>
#include <memory>
#include <random>

// Streaming and fault-injection options.
struct StreamOptions {
    double rate = 100;      // frames per second
    int baud = 0;           // when set, bytes leave no faster than this baud rate allows
    bool split = false;     // write in random small pieces
    double garbage = 0;     // chance per frame of 1 to 5 garbage bytes before it
    double corrupt = 0;     // chance per frame of one damaged byte
    double markers = 0.125; // chance per frame of the marker in a data byte
    int tickMs = 1;         // pacing step
    quint32 seed = 1;
    QString recordPath; // one line per frame sent: hex, then V (valid) or C (corrupt)
};

// The simulated module: a pty pair, the current protocol handler, a paced
// output queue, and a control channel on standard input:
//   send <hex bytes>   write these bytes at once         -> "SENT <n>"
//   stream <n>         stream n frames (0: until stop)    -> "DONE <frames> <valid> <corrupt>"
//   stop               end the stream                     -> "DONE ..."
//   stats              -> "STATS frames=<n> valid=<v> corrupt=<c> garbage=<g> bytes=<b>"
//   quit
class SimulatedModule : public QObject, public ModuleLine
{
    Q_OBJECT
public:
    SimulatedModule(const StreamOptions &options, uint16_t ownPeriod);
    bool start(QString *error);
    QString slavePath() const { return m_pty.slavePath(); }

    void startStream(qint64 frames);
    void stopStream();
    // Plays `handler` instead of the live stream (the bootloader).
    void useProtocol(std::unique_ptr<ProtocolHandler> handler);
    void send(const QByteArray &bytes) override;
    void report(const QString &line) override;
    void hangUp() override;

private:
    struct Item {
        QByteArray bytes;
        enum Kind { Raw, Valid, Corrupt, Garbage } kind = Raw;
        qsizetype written = 0;
    };

    void onMasterReadable();
    void onStdin();
    void command(const QString &line);
    void tick();
    void produceDue();
    void enqueueFrame();
    void writeQueued(qint64 budget);
    void finished(const Item &item);
    void maybeFinishStream();
    QString stats() const;

    StreamOptions m_options;
    PtyPair m_pty;
    std::unique_ptr<LiveProtocol> m_live;
    std::unique_ptr<ProtocolHandler> m_other;
    ProtocolHandler *m_handler = nullptr;
    std::unique_ptr<QSocketNotifier> m_masterNotifier;
    std::unique_ptr<QSocketNotifier> m_stdinNotifier;
    QByteArray m_stdinBuffer;
    QTimer m_timer;
    QElapsedTimer m_clock;
    LineFaults m_faults;
    std::mt19937 m_random; // the cuts of the writes
    std::deque<Item> m_queue;
    qint64 m_queuedBytes = 0;
    QFile m_record;

    bool m_streaming = false;
    qint64 m_streamTarget = 0; // 0: unlimited
    qint64 m_streamProduced = 0;
    qint64 m_bytesBudgetUsed = 0; // bytes written since the stream began (pacing)
    qint64 m_streamStartMs = 0;
    bool m_reportDone = false;

    quint64 m_framesSent = 0, m_validSent = 0, m_corruptSent = 0, m_garbageSent = 0;
    quint64 m_bytesSent = 0;
};
