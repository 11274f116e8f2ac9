#include "live/SevenSegment.h"

#include <cmath>

namespace SevenSegment {

uint8_t Masque(uint8_t code)
{
    static constexpr uint8_t masks[16] = {63,  6,   91,  79,  102, 109, 125, 7,
                                          127, 111, 119, 124, 57,  94,  121, 113};
    if (code < 16)
        return masks[code];
    return code == CodeMoins ? 64 : 0;
}

std::optional<std::vector<uint8_t>> CodesNombre(int value, int digits)
{
    if (digits != 4 && digits != 2)
        return std::nullopt;
    if (value > 9999)
        value = 9999;
    if (value < 0) {
        if (digits == 4)
            return std::vector<uint8_t>{CodeBlanc, 0, 15, 15};
        return std::vector<uint8_t>{CodeMoins, CodeMoins};
    }
    const auto thousands = uint8_t(value / 1000);
    const auto hundreds = uint8_t(value / 100 % 10);
    const auto tens = uint8_t(value / 10 % 10);
    const auto units = uint8_t(value % 10);
    if (digits == 4)
        return std::vector<uint8_t>{thousands, hundreds, tens, units};
    return std::vector<uint8_t>{tens, units};
}

std::vector<double> PositionsChiffres(int digits)
{
    if (digits == 4)
        return {-600, -200, 200, 600};
    if (digits == 2)
        return {-200, 200};
    return {};
}

std::vector<Segment> Segments(double x, double y)
{
    const double side = (L + T) / 2;
    const double half = (H + T) / 2;
    using O = Orientation;
    return {
        {{x, y - H - T}, O::Horizontal, L},     // a
        {{x + side, y - half}, O::Vertical, H}, // b
        {{x + side, y + half}, O::Vertical, H}, // c
        {{x, y + H + T}, O::Horizontal, L},     // d
        {{x - side, y + half}, O::Vertical, H}, // e
        {{x - side, y - half}, O::Vertical, H}, // f
        {{x, y}, O::Horizontal, L},             // g
    };
}

} // namespace SevenSegment
