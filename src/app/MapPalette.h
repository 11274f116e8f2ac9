#pragma once

#include <QList>

#include <cstdint>

// Colours are 0xRRGGBB.
using MapColour = uint32_t;

// The map's colour ramp: n entries from blue (entry 0) through green (middle)
// to red (last); entry i stands for an advance of i degrees. n is 64 in the
// program; sizes below 4 give an empty palette.
QList<MapColour> CreePalette(int n);

// Colours of a MAP-table cell showing the advance `Valeur`.
struct CellColours {
    MapColour back = 0;
    MapColour fore = 0;
};

namespace MapPalette {

constexpr int Size = 64;
constexpr MapColour Neutral = 0xC0C0C0; // cell without a value
constexpr MapColour White = 0xFFFFFF;
constexpr MapColour Black = 0x000000;

// The shared 64-colour palette (built once, the same ramp every time).
const QList<MapColour> &Palette();

// Palette entry of an advance in degrees, rounded; advances below 0 or above
// 63 take the nearest end of the ramp.
int Index(double advance);
MapColour ColourOf(double advance);

} // namespace MapPalette

// Back colour from the palette, white text on the dark (low) entries below 10,
// black above. An advance outside the palette takes the nearest end; a
// non-number (no curve to read) gives the neutral colour.
CellColours Color_Table(double Valeur);
