#pragma once

// Chart type codes of the curve chart: 2 three-dimensional line, 3 line,
// 4 three-dimensional area, 5 area, 16 XY (the curve as y = f(x)).
namespace ChartType {

constexpr int Line3D = 2;
constexpr int Line = 3;
constexpr int Area3D = 4;
constexpr int Area = 5;
constexpr int XY = 16;

// The chart draws no 3D types: they are shown as the matching 2D type.
constexpr int Drawn(int type)
{
    return type == Line3D ? Line : type == Area3D ? Area : type;
}

} // namespace ChartType
