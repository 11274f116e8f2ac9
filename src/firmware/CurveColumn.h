#pragma once

#include "firmware/CurveGridSnapshot.h"

#include <optional>
#include <vector>

// One advance column of the curve grid, read into numbers once, for callers
// that interpolate it at many engine speeds.
class CurveColumn
{
public:
    CurveColumn(const CurveGridSnapshot &grid, int col);
    // Column `col` of the grid that `sameGrid` was read from: its engine
    // speeds are taken over instead of being read again.
    CurveColumn(const CurveColumn &sameGrid, const CurveGridSnapshot &grid, int col);

    bool isEmpty() const { return m_rpm.empty(); }
    // Linear between the points, flat beyond the ends; nothing without a point.
    std::optional<double> at(double rpm) const;

private:
    std::vector<double> m_rpm;     // column 0 of rows 1 on
    std::vector<double> m_advance; // column `col` of rows 1 on
    bool m_sorted = true;          // rpm ascending, as the editor keeps it
};
