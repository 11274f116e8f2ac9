#pragma once

#include <QtGlobal>

// Milliseconds on a monotonic clock. Time-outs read it through this interface so
// that tests can move time by hand.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
};

// The real monotonic clock.
class SteadyClock final : public Clock
{
public:
    qint64 nowMs() const override;
    static const SteadyClock &instance();
};
