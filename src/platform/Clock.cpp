#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace {

using std::chrono::steady_clock;

// Below this a sleep would overshoot by the scheduler's slack: spin instead.
constexpr qint64 SpinBelowUs = 2000;

} // namespace

qint64 SteadyClock::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

qint64 SteadyClock::nowUs() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::waitUs(qint64 us) const
{
    if (us <= 0)
        return;
    const auto end = steady_clock::now() + std::chrono::microseconds(us);
    // Long waits sleep most of the way and spin the rest.
    if (us > SpinBelowUs)
        std::this_thread::sleep_until(end - std::chrono::microseconds(SpinBelowUs / 2));
    while (steady_clock::now() < end) {
    }
}

void SteadyClock::sleepMs(qint64 ms) const
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

const SteadyClock &SteadyClock::instance()
{
    static const SteadyClock clock;
    return clock;
}
