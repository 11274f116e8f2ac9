#include "app/MapPalette.h"

#include "app/AdvancePoint.h"

#include <algorithm>
#include <cmath>

static MapColour rgb(int r, int g, int b)
{
    return (MapColour(r) << 16) | (MapColour(g) << 8) | MapColour(b);
}

QList<MapColour> CreePalette(int n)
{
    using AdvanceCurveMath::RoundHalfEven;
    QList<MapColour> palette;
    if (n < 4)
        return palette;
    const double last = n - 1;
    const double half = n / 2 - 1; // 31 for 64 entries: entries 31 and 32 are full green
    palette.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int red = RoundHalfEven(255 * std::sqrt(i / last));
        const int green = RoundHalfEven(i <= half ? 255 * std::sqrt(i / half)
                                                  : 255 * std::sqrt((last - i) / half));
        const int blue = RoundHalfEven(255 * (1 - std::sqrt(i / last)));
        palette.append(rgb(red, green, std::clamp(blue, 0, 255)));
    }
    return palette;
}

namespace MapPalette {

const QList<MapColour> &Palette()
{
    static const QList<MapColour> palette = CreePalette(Size);
    return palette;
}

int Index(double advance)
{
    if (std::isnan(advance))
        return 0;
    return std::clamp(AdvanceCurveMath::RoundHalfEven(std::clamp(advance, -1.0e6, 1.0e6)), 0,
                      Size - 1);
}

MapColour ColourOf(double advance)
{
    return Palette().at(Index(advance));
}

} // namespace MapPalette

CellColours Color_Table(double Valeur)
{
    if (!std::isfinite(Valeur))
        return {MapPalette::Neutral, MapPalette::Black};
    const int index = MapPalette::Index(Valeur);
    return {MapPalette::Palette().at(index), index < 10 ? MapPalette::White : MapPalette::Black};
}
