#pragma once

#include "app/CurveChartData.h"

#include <QChartView>

class QAbstractSeries;

// The curve chart `trace_courbe`: an XY chart of the Atmo, Turbo and Knock
// advances against engine speed (chart type 16), or the Atmo and Turbo advances
// over the point numbers as lines or filled areas (3D types drawn flat, unknown
// types as lines). It only shows a copy of the curve.
class CurveChart : public QChartView
{
    Q_OBJECT
public:
    explicit CurveChart(QWidget *parent = nullptr);

    void setData(const CurveChartData &data);
    const CurveChartData &data() const { return m_data; }
    // Points drawn in a series (tests and printing).
    QList<QPointF> seriesPoints(int series) const;
    int seriesCount() const;
    void setAxisTitles(const QString &x, const QString &y);

signals:
    // A data point was clicked: its row in the curve.
    void pointSelected(int row);
    void pointerMoved();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildXY();
    void buildByPoint(bool area);
    void selectNearest(int series, const QPointF &point);

    CurveChartData m_data;
    QVector<QVector<int>> m_pointRows; // curve row of each point drawn, per series
    QString m_xTitle;
    QString m_yTitle;
};
