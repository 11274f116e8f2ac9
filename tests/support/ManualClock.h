#pragma once

#include "platform/Clock.h"

// A clock that moves only when the test says so.
class ManualClock final : public Clock
{
public:
    qint64 nowMs() const override { return m_now; }
    void advance(qint64 ms) { m_now += ms; }

private:
    qint64 m_now = 1000;
};
