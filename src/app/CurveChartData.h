#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class CurveModel;

// The chart's copy of the curve: one row per point, `columnCount` values; a
// cell that holds no number gives not-a-number, and no point is drawn for it.
// Chart type 16 (XY) holds pairs (rpm, advance) for Atmo, Turbo and, with a
// knock column, Knock; any other type holds the Atmo and Turbo values only.
struct CurveChartData {
    static constexpr int TypeXY = 16;

    int chartType = TypeXY;
    int columnCount = 0;
    QVector<QVector<double>> rows;

    bool isXY() const { return chartType == TypeXY; }
    int seriesCount() const { return isXY() ? columnCount / 2 : columnCount; }
    static QString seriesName(int series); // "ATMO", "TURBO", "KNOCK"
};

// Copies the curve into chart data for the given chart type.
CurveChartData GrilleVersGraphe(const CurveModel &curve, int chartType);
