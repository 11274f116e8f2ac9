#pragma once

#include "ManualClock.h"
#include "platform/ByteLink.h"

#include <QByteArray>
#include <QList>

#include <functional>

// A byte link to a scripted peer on the test clock: each write is handed to the
// script, which queues answers with a delay; reads take what is due and move
// the clock to the next answer or to the deadline, so time-outs cost nothing.
class ScriptedByteLink final : public ByteLink
{
public:
    // Called for every write; queue answers with reply().
    using Script = std::function<void(ScriptedByteLink &link, const QByteArray &written)>;

    ScriptedByteLink(ManualClock &clock, Script script)
        : m_clock(clock), m_script(std::move(script))
    {}

    // Bytes that arrive `delayMs` after now.
    void reply(const QByteArray &bytes, qint64 delayMs = 0)
    {
        m_pending.append({m_clock.nowMs() + delayMs, bytes});
    }
    // From now on every operation fails as a hung-up line.
    void hangUp() { m_closed = true; }

    QList<QByteArray> writes; // everything written, one entry per write
    int discards = 0;

    Status write(const QByteArray &bytes) override
    {
        if (m_closed)
            return Status::Closed;
        writes << bytes;
        if (m_script)
            m_script(*this, bytes);
        return m_closed ? Status::Closed : Status::Ok;
    }

    Status read(QByteArray &into, qsizetype count, qint64 timeoutMs) override
    {
        const qint64 deadline = m_clock.nowMs() + timeoutMs;
        for (;;) {
            takeDue();
            const qsizetype n = std::min(count, m_buffer.size());
            into += m_buffer.left(n);
            m_buffer.remove(0, n);
            count -= n;
            if (count == 0)
                return Status::Ok;
            if (m_closed)
                return Status::Closed;
            const qint64 next = nextDue();
            if (next < 0 || next > deadline) {
                m_clock.advance(std::max<qint64>(0, deadline - m_clock.nowMs()));
                return Status::TimedOut;
            }
            m_clock.advance(std::max<qint64>(0, next - m_clock.nowMs()));
        }
    }

    qsizetype available() override
    {
        takeDue();
        return m_buffer.size();
    }
    void discardInput() override
    {
        takeDue();
        m_buffer.clear();
        ++discards;
    }
    QString errorText() const override { return m_closed ? QStringLiteral("hung up") : QString(); }

private:
    struct Pending {
        qint64 atMs;
        QByteArray bytes;
    };
    void takeDue()
    {
        for (qsizetype i = 0; i < m_pending.size();) {
            if (m_pending[i].atMs <= m_clock.nowMs()) {
                m_buffer += m_pending[i].bytes;
                m_pending.removeAt(i);
            } else {
                ++i;
            }
        }
    }
    qint64 nextDue() const
    {
        qint64 next = -1;
        for (const Pending &p : m_pending)
            if (next < 0 || p.atMs < next)
                next = p.atMs;
        return next;
    }

    ManualClock &m_clock;
    Script m_script;
    QList<Pending> m_pending;
    QByteArray m_buffer;
    bool m_closed = false;
};
