#include "app/ui/CurveChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {
const QList<QColor> SeriesColours{QColor(0x1f, 0x6f, 0xd0), QColor(0xd0, 0x3a, 0x1f),
                                  QColor(0x2e, 0x9b, 0x3f)};

double roundedUp(double value, double step, double least)
{
    return std::max(least, std::ceil(value / step) * step);
}
} // namespace

CurveChart::CurveChart(QWidget *parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("trace_courbe"));
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
    chart()->legend()->setAlignment(Qt::AlignBottom);
    chart()->setMargins(QMargins(4, 4, 4, 4));
    setMinimumSize(360, 260);
    setData(m_data);
}

void CurveChart::setAxisTitles(const QString &x, const QString &y)
{
    m_xTitle = x;
    m_yTitle = y;
    setData(m_data);
}

void CurveChart::setData(const CurveChartData &data)
{
    m_data = data;
    QChart *c = chart();
    c->removeAllSeries();
    for (QAbstractAxis *axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    if (m_data.isXY())
        buildXY();
    else
        buildBars();
}

void CurveChart::buildXY()
{
    QChart *c = chart();
    auto *x = new QValueAxis;
    auto *y = new QValueAxis;
    x->setTitleText(m_xTitle);
    y->setTitleText(m_yTitle);
    x->setLabelFormat(QStringLiteral("%d"));
    y->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    double maxRpm = 0;
    double maxAdvance = 0;
    for (int s = 0; s < m_data.seriesCount(); ++s) {
        auto *series = new QLineSeries;
        series->setName(CurveChartData::seriesName(s));
        series->setPointsVisible(true);
        QPen pen(SeriesColours.value(s));
        pen.setWidthF(2);
        series->setPen(pen);
        for (const QVector<double> &row : m_data.rows) {
            series->append(row.at(2 * s), row.at(2 * s + 1));
            maxRpm = std::max(maxRpm, row.at(2 * s));
            maxAdvance = std::max(maxAdvance, row.at(2 * s + 1));
        }
        c->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        connect(series, &QLineSeries::clicked, this,
                [this, s](const QPointF &p) { selectNearest(s, p); });
    }
    // A margin keeps the last point clear of the frame.
    x->setRange(0, roundedUp(maxRpm + 250, 1000, 1000));
    x->setTickCount(static_cast<int>(x->max() / 1000) + 1);
    y->setRange(0, roundedUp(maxAdvance + 1, 5, 10));
    y->setTickCount(static_cast<int>(y->max() / 5) + 1);
}

void CurveChart::buildBars()
{
    QChart *c = chart();
    auto *series = new QBarSeries;
    QStringList categories;
    for (int s = 0; s < m_data.columnCount; ++s) {
        auto *set = new QBarSet(CurveChartData::seriesName(s));
        set->setColor(SeriesColours.value(s));
        for (const QVector<double> &row : m_data.rows)
            set->append(row.at(s));
        series->append(set);
        connect(set, &QBarSet::clicked, this, &CurveChart::pointSelected);
    }
    for (int r = 0; r < m_data.rows.size(); ++r)
        categories << QString::number(r + 1);
    c->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    auto *y = new QValueAxis;
    y->setTitleText(m_yTitle);
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

void CurveChart::selectNearest(int series, const QPointF &point)
{
    const QList<QPointF> points = seriesPoints(series);
    if (points.isEmpty())
        return;
    // Compare in screen space so that both axes weigh alike.
    const QPointF target = chart()->mapToPosition(point);
    int best = 0;
    double bestDistance = 0;
    for (int i = 0; i < points.size(); ++i) {
        const QPointF d = chart()->mapToPosition(points.at(i)) - target;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (i == 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    emit pointSelected(best);
}

int CurveChart::seriesCount() const
{
    return static_cast<int>(chart()->series().size());
}

QList<QPointF> CurveChart::seriesPoints(int series) const
{
    const QList<QAbstractSeries *> all = chart()->series();
    if (series < 0 || series >= all.size())
        return {};
    if (auto *line = qobject_cast<QLineSeries *>(all.at(series)))
        return line->points();
    return {};
}

void CurveChart::mouseMoveEvent(QMouseEvent *event)
{
    emit pointerMoved();
    QChartView::mouseMoveEvent(event);
}
