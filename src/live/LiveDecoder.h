#pragma once

#include "live/TrameLive.h"

#include <array>
#include <cstdint>

// Conversions of the live frame's words into what the live page shows.

// Engine speed in rpm from the period word (units of 16 us per revolution):
// -1 for no period, at most 9999.
int16_t CalculRegimeLive(int32_t period);

// Advance in degrees from the timing word at the given engine speed: -1 when the
// engine does not turn (rpm below 1). Computed wide and clamped to -99..99, the
// range the two-digit read-out can show.
int16_t CalculAvanceLive(int32_t timing, int16_t regimeLive);
inline constexpr int16_t AvanceLiveMax = 99;

// Load in percent from status byte B: 0, 33, 66 or 100.
int16_t CalculJaugeLive(uint8_t statusB);

// Lamps of the live page.
struct LiveLamps {
    std::array<bool, 4> inputs{};  // LED_IN(1..4)
    std::array<bool, 2> outputs{}; // LED_OUT(1..2)
    bool decel = false;            // LED_DECEL
    bool knock = false;            // LED_KNOCK
    bool curve1 = false;           // "LOIE 1" active (else "LOIE 2")

    static LiveLamps from(uint8_t statusA, uint8_t statusB);
    bool operator==(const LiveLamps &) const = default;
};

// Everything the live page shows of one frame, or of the reset state.
struct LiveReading {
    int16_t RegimeLive = -1;
    int16_t AvanceLive = -1;
    int16_t ChargeLive = 0;
    LiveLamps lamps;

    static LiveReading decode(const TrameLive &frame);
    // What the page shows when no data comes.
    static LiveReading silent() { return LiveReading{}; }
    bool operator==(const LiveReading &) const = default;
};
