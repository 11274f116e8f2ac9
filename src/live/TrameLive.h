#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

// The module's 10-byte live status frame: "#", period word, timing word (both
// high byte first, a high byte of 255 meaning "none"), status bytes A and B, two
// analogue bytes, and the 8-bit sum of bytes 2 to 9.
struct TrameLive {
    static constexpr int Size = 10;
    static constexpr uint8_t Marker = 0x23; // '#'

    std::array<uint8_t, Size> bytes{};

    // Byte n as the wire numbers it (1 to 10).
    uint8_t byte(int n) const { return bytes[size_t(n - 1)]; }

    bool noPeriod() const { return byte(2) == 255; }
    bool noTiming() const { return byte(4) == 255; }
    // Period and timing as decoded: 0 when marked "none".
    int32_t period() const { return noPeriod() ? 0 : rawPeriod(); }
    int32_t timing() const { return noTiming() ? 0 : rawTiming(); }
    // The two words as they stand on the wire.
    int32_t rawPeriod() const { return byte(2) * 256 + byte(3); }
    int32_t rawTiming() const { return byte(4) * 256 + byte(5); }
    uint8_t statusA() const { return byte(6); }
    uint8_t statusB() const { return byte(7); }
    uint8_t adc1() const { return byte(8); }
    uint8_t adc2() const { return byte(9); }

    // Sum of bytes 2 to 9, mod 256, of the 10 bytes at `p`.
    static uint8_t checksumOf(const uint8_t *p);
    // True when the 10 bytes at `p` start with the marker and carry a good checksum.
    static bool isValidAt(const uint8_t *p);
    static TrameLive fromBytes(const uint8_t *p);

    // A well-formed frame (marker and checksum filled in).
    static TrameLive build(uint8_t periodHigh, uint8_t periodLow, uint8_t timingHigh,
                           uint8_t timingLow, uint8_t statusA, uint8_t statusB, uint8_t adc1,
                           uint8_t adc2);
    static TrameLive withWords(uint16_t period, uint16_t timing, uint8_t statusA, uint8_t statusB,
                               uint8_t adc1, uint8_t adc2);

    QByteArray toByteArray() const;
    // "23 - 3 - E8 - ...": the frame's bytes as the status bar shows them.
    QString bytesText() const;

    bool operator==(const TrameLive &other) const = default;
};
