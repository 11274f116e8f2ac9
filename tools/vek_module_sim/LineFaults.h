#pragma once

#include "live/TrameLive.h"

#include <QByteArray>

#include <random>

// The faults of a real serial line, applied to a stream of live frames. The
// marker value turns up in data bytes, in noise and in damaged frames, as it
// does on a real line: the frame parser must cope with it, not be spared it.
class LineFaults
{
public:
    struct Options {
        double garbage = 0; // chance per frame of 1 to 5 noise bytes before it
        double corrupt = 0; // chance per frame of one damaged byte
        double markers = 0; // chance per frame of the marker in one data byte
    };

    LineFaults(const Options &options, quint32 seed) : m_options(options), m_random(seed) {}

    // Noise to send before the next frame (mostly nothing).
    QByteArray noise();
    // Puts the marker into a data byte now and then, with a checksum to match.
    void addMarker(TrameLive &frame);
    // Damages one byte of the frame now and then; true when it did. A damaged
    // frame never passes the checks (one changed byte always breaks them).
    bool damage(TrameLive &frame);

private:
    bool chance(double p) { return p > 0 && std::uniform_real_distribution<>(0, 1)(m_random) < p; }
    // A random byte, the marker one time in eight.
    uint8_t roughByte();

    Options m_options;
    std::mt19937 m_random;
};
