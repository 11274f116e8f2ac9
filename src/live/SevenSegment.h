#pragma once

#include <QPointF>

#include <cstdint>
#include <optional>
#include <vector>

// What the seven-segment read-outs draw, in the read-out's design units.
namespace SevenSegment {

// Segment bits: a = 1 top, b = 2 upper right, c = 4 lower right, d = 8 bottom,
// e = 16 lower left, f = 32 upper left, g = 64 middle.
uint8_t Masque(uint8_t code); // codes 0-15 hexadecimal digits, 100 minus, others blank

inline constexpr uint8_t CodeMoins = 100;
inline constexpr uint8_t CodeBlanc = 255;

// Digit codes for `value` on `digits` digits (4 or 2); none for other counts.
// Above 9999 shows 9999; negative shows the OFF pattern (blank, 0, F, F) on 4
// digits and two minus signs on 2; 2 digits show tens and units.
std::optional<std::vector<uint8_t>> CodesNombre(int value, int digits);

// Digit centres relative to the picture's centre (x only).
std::vector<double> PositionsChiffres(int digits);

// Geometry of one digit: segment lengths and stroke thickness.
inline constexpr double L = 200, H = 200, T = 40;

enum class Orientation { Horizontal, Vertical };
struct Segment {
    QPointF centre;
    Orientation orientation;
    double length;
};
// The seven segments of a digit centred at (x, y), in the order a to g.
std::vector<Segment> Segments(double x, double y);

} // namespace SevenSegment
