#include "app/CurveChartData.h"

#include "base/VEK_LANGUAGE.h"

#include "app/CurveModel.h"

#include <iterator>
#include <limits>

QString CurveChartData::seriesName(int series)
{
    static const char *const keys[] = {"CourbeAtmo", "CourbeTurbo", "CourbeKnock"};
    return series >= 0 && series < int(std::size(keys))
               ? VEK_LANGUAGE::GetLanguageText(QString::fromLatin1(keys[series]))
               : QString();
}

namespace {

double chartValue(const CurveModel &curve, int row, int column)
{
    return CurveModel::isPlainNumber(curve.cell(row, column))
               ? curve.value(row, column)
               : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

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
                row << chartValue(curve, r, CurveModel::Rpm) << chartValue(curve, r, c);
        } else {
            row << chartValue(curve, r, CurveModel::Atmo)
                << chartValue(curve, r, CurveModel::Turbo);
        }
        data.rows << row;
    }
    return data;
}
