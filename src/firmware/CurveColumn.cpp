#include "firmware/CurveColumn.h"

#include <algorithm>
#include <cmath>

CurveColumn::CurveColumn(const CurveGridSnapshot &grid, int col)
{
    const int points = grid.rowCount() - 1;
    if (points <= 0)
        return;
    m_rpm.reserve(points);
    m_advance.reserve(points);
    for (int row = 1; row <= points; ++row) {
        m_rpm.push_back(grid.value(row, 0));
        m_advance.push_back(grid.value(row, col));
    }
    m_sorted = std::is_sorted(m_rpm.begin(), m_rpm.end());
}

CurveColumn::CurveColumn(const CurveColumn &sameGrid, const CurveGridSnapshot &grid, int col)
    : m_rpm(sameGrid.m_rpm), m_sorted(sameGrid.m_sorted)
{
    m_advance.reserve(m_rpm.size());
    for (int row = 1; row <= int(m_rpm.size()); ++row)
        m_advance.push_back(grid.value(row, col));
}

std::optional<double> CurveColumn::at(double rpm) const
{
    const size_t n = m_rpm.size();
    if (n == 0 || std::isnan(rpm))
        return std::nullopt;
    if (m_rpm.front() >= rpm)
        return m_advance.front();
    if (m_rpm.back() <= rpm)
        return m_advance.back();
    // The first point at or above rpm, in row order (the last one at most);
    // for the usual ascending grid a binary search finds the same point.
    size_t i = 1;
    if (m_sorted) {
        i = static_cast<size_t>(std::lower_bound(m_rpm.begin() + 1, m_rpm.end() - 1, rpm) -
                                m_rpm.begin());
    } else {
        while (m_rpm[i] < rpm && i < n - 1)
            ++i;
    }
    // Here x1 < rpm <= x2, so x2 - x1 > 0 whatever order the rows are in.
    const double x1 = m_rpm[i - 1], y1 = m_advance[i - 1];
    const double x2 = m_rpm[i], y2 = m_advance[i];
    return (rpm - x1) / (x2 - x1) * (y2 - y1) + y1;
}
