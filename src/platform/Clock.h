#pragma once

#include <QtGlobal>

// A monotonic clock and the waits taken on it. Time-outs and the programmer's
// line timing go through this interface so that tests can move time by hand.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
    // Microseconds on the same clock.
    virtual qint64 nowUs() const { return nowMs() * 1000; }
    // Waits at least `us` microseconds: precise, for bit timing (spins).
    virtual void waitUs(qint64 us) const = 0;
    // Waits at least `ms` milliseconds, giving the processor away (sleeps).
    virtual void sleepMs(qint64 ms) const = 0;
};

// The real monotonic clock.
class SteadyClock final : public Clock
{
public:
    qint64 nowMs() const override;
    qint64 nowUs() const override;
    void waitUs(qint64 us) const override;
    void sleepMs(qint64 ms) const override;
    static const SteadyClock &instance();
};
