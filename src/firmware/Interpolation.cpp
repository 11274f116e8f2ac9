#include "firmware/Interpolation.h"

#include "firmware/CurveColumn.h"

std::optional<double> InterpoleGrille(const CurveGridSnapshot &grid, double rpm, int col)
{
    return CurveColumn(grid, col).at(rpm);
}
