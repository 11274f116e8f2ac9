#include "live/LiveDecoder.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double PeriodToRpm = 3750000.0; // 60 s x 62 500 counts per second
constexpr int16_t RegimeMax = 9999;
} // namespace

int16_t CalculRegimeLive(int32_t period)
{
    if (period <= 0)
        return -1;
    const double q = PeriodToRpm / period;
    return q < RegimeMax ? int16_t(std::floor(q)) : RegimeMax;
}

int16_t CalculAvanceLive(int32_t timing, int16_t regimeLive)
{
    if (regimeLive < 1)
        return -1;
    // Below 750 rpm the timing word counts 16 us units, from 750 rpm on 20 us units.
    const double t = timing / (regimeLive < 750 ? 62500.0 : 50000.0);
    const double x = t * 3.0 * regimeLive;
    const double a = std::nearbyint(45.0 - x); // halves to the even neighbour
    return int16_t(std::clamp(a, double(-AvanceLiveMax), double(AvanceLiveMax)));
}

int16_t CalculJaugeLive(uint8_t statusB)
{
    static constexpr int16_t steps[] = {0, 33, 66, 100};
    return steps[statusB & 3];
}

LiveLamps LiveLamps::from(uint8_t statusA, uint8_t statusB)
{
    LiveLamps l;
    for (int i = 0; i < 4; ++i)
        l.inputs[size_t(i)] = statusA & (1 << i);
    l.outputs[0] = statusA & 16;
    l.outputs[1] = statusA & 32;
    l.decel = statusB & 16;
    l.knock = statusB & 32;
    l.curve1 = statusB & 64;
    return l;
}

LiveReading LiveReading::decode(const TrameLive &frame)
{
    LiveReading r;
    r.RegimeLive = CalculRegimeLive(frame.period());
    r.AvanceLive = CalculAvanceLive(frame.timing(), r.RegimeLive);
    r.ChargeLive = CalculJaugeLive(frame.statusB());
    r.lamps = LiveLamps::from(frame.statusA(), frame.statusB());
    return r;
}
