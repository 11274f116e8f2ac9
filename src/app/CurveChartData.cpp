#include "app/CurveChartData.h"

#include "app/CurveModel.h"

QString CurveChartData::seriesName(int series)
{
    static const QStringList names{QStringLiteral("ATMO"), QStringLiteral("TURBO"),
                                   QStringLiteral("KNOCK")};
    return names.value(series);
}

CurveChartData GrilleVersGraphe(const CurveModel &curve, int chartType)
{
    CurveChartData data;
    data.chartType = chartType;
    const int advances = curve.columnCount() - 1;
    data.columnCount = data.isXY() ? advances * 2 : 2;
    data.rows.reserve(curve.pointCount());
    for (int r = 0; r < curve.pointCount(); ++r) {
        QVector<double> row;
        if (data.isXY()) {
            for (int c = 1; c <= advances; ++c)
                row << curve.value(r, CurveModel::Rpm) << curve.value(r, c);
        } else {
            row << curve.value(r, CurveModel::Atmo) << curve.value(r, CurveModel::Turbo);
        }
        data.rows << row;
    }
    return data;
}
