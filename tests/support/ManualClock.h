#pragma once

#include "platform/Clock.h"

#include <atomic>
#include <thread>

// A clock that moves only when the test says so, or when code waits on it: a
// wait moves it by the time waited, so timed protocols run at once in tests.
class ManualClock final : public Clock
{
public:
    qint64 nowMs() const override { return m_nowUs / 1000; }
    qint64 nowUs() const override { return m_nowUs; }
    void waitUs(qint64 us) const override
    {
        passGate();
        m_nowUs += us > 0 ? us : 0;
    }
    void sleepMs(qint64 ms) const override
    {
        passGate();
        m_nowUs += ms > 0 ? ms * 1000 : 0;
    }
    void advance(qint64 ms) { m_nowUs += ms * 1000; }

    // While held, a job's waits stop until release(): a test acts at a known
    // point of a job that the virtual clock would otherwise finish at once.
    void hold() { m_held = true; }
    void release() { m_held = false; }

private:
    void passGate() const
    {
        while (m_held)
            std::this_thread::yield();
    }

    std::atomic<bool> m_held{false};
    mutable std::atomic<qint64> m_nowUs{1000 * 1000};
};
