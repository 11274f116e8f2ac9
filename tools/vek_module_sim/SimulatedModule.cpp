#include "SimulatedModule.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <limits>
#include <unistd.h>

namespace {
constexpr qint64 QueueCap = 64 * 1024; // stop producing while the program does not read
constexpr qint64 Unlimited = std::numeric_limits<qint64>::max();
} // namespace

SimulatedModule::SimulatedModule(const StreamOptions &options, uint16_t ownPeriod)
    : m_options(options), m_live(std::make_unique<LiveProtocol>(ownPeriod)),
      m_faults({options.garbage, options.corrupt, options.markers}, options.seed),
      m_random(options.seed + 1)
{
    m_handler = m_live.get();
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(qMax(1, options.tickMs));
    connect(&m_timer, &QTimer::timeout, this, &SimulatedModule::tick);
}

bool SimulatedModule::start(QString *error)
{
    if (!m_pty.open(error))
        return false;
    if (!m_options.recordPath.isEmpty()) {
        m_record.setFileName(m_options.recordPath);
        if (!m_record.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            *error = m_record.errorString();
            return false;
        }
    }
    m_masterNotifier = std::make_unique<QSocketNotifier>(m_pty.masterFd(), QSocketNotifier::Read);
    connect(m_masterNotifier.get(), &QSocketNotifier::activated, this,
            &SimulatedModule::onMasterReadable);
    m_stdinNotifier = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(m_stdinNotifier.get(), &QSocketNotifier::activated, this, &SimulatedModule::onStdin);
    m_clock.start();
    return true;
}

void SimulatedModule::useProtocol(std::unique_ptr<ProtocolHandler> handler)
{
    m_other = std::move(handler);
    m_handler = m_other.get();
}

void SimulatedModule::hangUp()
{
    m_masterNotifier.reset();
    m_queue.clear();
    m_pty.closeMaster();
}

void SimulatedModule::report(const QString &line)
{
    std::fputs(qPrintable(line + '\n'), stdout);
    std::fflush(stdout);
}

void SimulatedModule::send(const QByteArray &bytes)
{
    m_queue.push_back({bytes, Item::Raw, 0});
    m_queuedBytes += bytes.size();
    writeQueued(Unlimited);
    if (!m_queue.empty() && !m_timer.isActive())
        m_timer.start();
}

void SimulatedModule::onMasterReadable()
{
    const QByteArray bytes = m_pty.readAvailable();
    if (!bytes.isEmpty())
        m_handler->onBytes(bytes, *this);
}

void SimulatedModule::onStdin()
{
    char buf[4096];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) { // the test closed our input: leave
        m_stdinNotifier->setEnabled(false);
        QCoreApplication::quit();
        return;
    }
    m_stdinBuffer.append(buf, n);
    qsizetype end;
    while ((end = m_stdinBuffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromLatin1(m_stdinBuffer.left(end)).trimmed();
        m_stdinBuffer.remove(0, end + 1);
        if (!line.isEmpty())
            command(line);
    }
}

void SimulatedModule::command(const QString &line)
{
    const QStringList words = line.split(' ', Qt::SkipEmptyParts);
    const QString verb = words.value(0);
    if (verb == "send") {
        QByteArray bytes;
        for (int i = 1; i < words.size(); ++i)
            bytes.append(char(words[i].toUInt(nullptr, 16)));
        send(bytes);
        report(QStringLiteral("SENT %1").arg(bytes.size()));
    } else if (verb == "stream") {
        startStream(words.value(1).toLongLong());
    } else if (verb == "stop") {
        stopStream();
    } else if (verb == "stats") {
        report(stats());
    } else if (verb == "quit") {
        QCoreApplication::quit();
    } else if (!m_handler->command(words, *this)) {
        report(QStringLiteral("UNKNOWN %1").arg(line));
    }
}

void SimulatedModule::startStream(qint64 frames)
{
    m_streaming = true;
    m_reportDone = true;
    m_streamTarget = frames;
    m_streamProduced = 0;
    m_bytesBudgetUsed = 0;
    m_streamStartMs = m_clock.elapsed();
    m_timer.start();
}

void SimulatedModule::stopStream()
{
    m_streaming = false;
    maybeFinishStream();
}

QString SimulatedModule::stats() const
{
    return QStringLiteral("STATS frames=%1 valid=%2 corrupt=%3 garbage=%4 bytes=%5")
        .arg(m_framesSent)
        .arg(m_validSent)
        .arg(m_corruptSent)
        .arg(m_garbageSent)
        .arg(m_bytesSent);
}

void SimulatedModule::tick()
{
    if (m_streaming)
        produceDue();
    qint64 budget = Unlimited;
    if (m_options.baud > 0 && m_streaming) {
        const qint64 elapsed = m_clock.elapsed() - m_streamStartMs;
        budget = elapsed * m_options.baud / 10000 - m_bytesBudgetUsed;
    }
    writeQueued(budget);
    maybeFinishStream();
    if (!m_streaming && m_queue.empty())
        m_timer.stop();
}

void SimulatedModule::produceDue()
{
    const qint64 elapsed = m_clock.elapsed() - m_streamStartMs;
    qint64 due = qint64(double(elapsed) * m_options.rate / 1000.0);
    if (m_streamTarget > 0)
        due = qMin(due, m_streamTarget);
    while (m_streamProduced < due && m_queuedBytes < QueueCap) {
        enqueueFrame();
        ++m_streamProduced;
    }
    if (m_streamTarget > 0 && m_streamProduced >= m_streamTarget)
        m_streaming = false;
}

void SimulatedModule::enqueueFrame()
{
    const QByteArray junk = m_faults.noise();
    if (!junk.isEmpty()) {
        m_queue.push_back({junk, Item::Garbage, 0});
        m_queuedBytes += junk.size();
    }
    TrameLive frame = m_live->nextFrame();
    m_faults.addMarker(frame);
    const Item::Kind kind = m_faults.damage(frame) ? Item::Corrupt : Item::Valid;
    m_queue.push_back({frame.toByteArray(), kind, 0});
    m_queuedBytes += TrameLive::Size;
}

void SimulatedModule::writeQueued(qint64 budget)
{
    while (!m_queue.empty() && budget > 0) {
        Item &item = m_queue.front();
        qint64 chunk = qMin<qint64>(item.bytes.size() - item.written, budget);
        if (m_options.split)
            chunk = qMin<qint64>(chunk, 1 + qint64(m_random() % 12));
        const qsizetype n = m_pty.write(item.bytes.constData() + item.written, chunk);
        if (n <= 0)
            return; // the pty is full (or failed): try again at the next tick
        item.written += n;
        budget -= n;
        m_bytesBudgetUsed += n;
        m_bytesSent += quint64(n);
        m_queuedBytes -= n;
        if (item.written == item.bytes.size()) {
            finished(item);
            m_queue.pop_front();
        }
    }
}

void SimulatedModule::finished(const Item &item)
{
    switch (item.kind) {
    case Item::Valid:
        ++m_validSent;
        ++m_framesSent;
        break;
    case Item::Corrupt:
        ++m_corruptSent;
        ++m_framesSent;
        break;
    case Item::Garbage:
        m_garbageSent += quint64(item.bytes.size());
        return;
    case Item::Raw:
        return;
    }
    if (m_record.isOpen()) {
        m_record.write(item.bytes.toHex());
        m_record.write(item.kind == Item::Valid ? " V\n" : " C\n");
    }
}

void SimulatedModule::maybeFinishStream()
{
    if (!m_reportDone || m_streaming || !m_queue.empty())
        return;
    m_reportDone = false;
    if (m_record.isOpen())
        m_record.flush();
    report(QStringLiteral("DONE %1 %2 %3").arg(m_framesSent).arg(m_validSent).arg(m_corruptSent));
}
