#include "firmware/CurveGridSnapshot.h"

#include "base/NumberHelpers.h"

double CurveGridSnapshot::value(int row, int col) const
{
    if (row < 0 || row >= rows.size() || col < 0)
        return 0;
    const QStringList &cells = rows.at(row);
    return col < cells.size() ? NombreEnTete(cells.at(col)) : 0;
}
