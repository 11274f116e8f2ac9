#pragma once

#include "firmware/CurveGridSnapshot.h"

#include <optional>

// Advance of column `col` at engine speed `rpm`, linear between the grid's points
// and flat beyond its ends. Nothing when the grid has no point.
std::optional<double> InterpoleGrille(const CurveGridSnapshot &grid, double rpm, int col);
