#include "app/ui/CurveChart.h"

#include "app/ChartType.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {
const QList<QColor> SeriesColours{QColor(0x1f, 0x6f, 0xd0), QColor(0xd0, 0x3a, 0x1f),
                                  QColor(0x2e, 0x9b, 0x3f)};

// Values far outside a curve's (a mistyped cell) must not stretch the axes
// into thousands of ticks: the chart then drops every label.
constexpr double kChartLimit = 1e7;

double clamped(double value)
{
    return std::isfinite(value) ? std::clamp(value, -kChartLimit, kChartLimit) : 0.0;
}

// Interval of 1, 2 or 5 times a power of ten giving at most `intervals` over
// `span`, never below `least`.
double niceStep(double span, int intervals, double least)
{
    const double raw = std::max(span / intervals, least);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

// From 0 (or the lowest value below it) to past the highest value, whole steps.
void setRange(QValueAxis *axis, double low, double high, double margin, double least)
{
    low = std::min(0.0, low);
    high = std::max(high + margin, low + least);
    const double step = niceStep(high - low, 10, least);
    const double from = std::floor(low / step) * step;
    const double to = std::ceil(high / step) * step;
    axis->setRange(from, to);
    axis->setTickCount(static_cast<int>(std::lround((to - from) / step)) + 1);
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
    m_pointRows.clear();
    QChart *c = chart();
    c->removeAllSeries();
    for (QAbstractAxis *axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    if (m_data.isXY())
        buildXY();
    else
        buildByPoint(ChartType::Drawn(m_data.chartType) == ChartType::Area);
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
    double minRpm = 0, maxRpm = 0;
    double minAdvance = 0, maxAdvance = 0;
    for (int s = 0; s < m_data.seriesCount(); ++s) {
        auto *series = new QLineSeries;
        series->setName(CurveChartData::seriesName(s));
        series->setPointsVisible(true);
        QPen pen(SeriesColours.value(s));
        pen.setWidthF(2);
        series->setPen(pen);
        QVector<int> &drawn = m_pointRows.emplace_back();
        for (int r = 0; r < m_data.rows.size(); ++r) {
            const QVector<double> &row = m_data.rows.at(r);
            if (std::isnan(row.at(2 * s)) || std::isnan(row.at(2 * s + 1)))
                continue; // a cell without a number has no point
            const double rpm = clamped(row.at(2 * s));
            const double advance = clamped(row.at(2 * s + 1));
            series->append(rpm, advance);
            drawn.append(r);
            minRpm = std::min(minRpm, rpm);
            maxRpm = std::max(maxRpm, rpm);
            minAdvance = std::min(minAdvance, advance);
            maxAdvance = std::max(maxAdvance, advance);
        }
        c->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        connect(series, &QLineSeries::clicked, this,
                [this, s](const QPointF &p) { selectNearest(s, p); });
    }
    // A margin keeps the last point clear of the frame.
    setRange(x, minRpm, maxRpm, 250, 1000);
    setRange(y, minAdvance, maxAdvance, 1, 5);
}

// Line and area types: the Atmo and Turbo advances over the point numbers.
void CurveChart::buildByPoint(bool area)
{
    QChart *c = chart();
    auto *x = new QValueAxis;
    auto *y = new QValueAxis;
    y->setTitleText(m_yTitle);
    x->setLabelFormat(QStringLiteral("%d"));
    y->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    double low = 0, high = 0;
    for (int s = 0; s < m_data.columnCount; ++s) {
        auto *line = new QLineSeries;
        QVector<int> &drawn = m_pointRows.emplace_back();
        for (int r = 0; r < m_data.rows.size(); ++r) {
            if (std::isnan(m_data.rows.at(r).at(s)))
                continue; // a cell without a number has no point
            const double value = clamped(m_data.rows.at(r).at(s));
            line->append(r + 1, value);
            drawn.append(r);
            low = std::min(low, value);
            high = std::max(high, value);
        }
        QColor colour = SeriesColours.value(s);
        QAbstractSeries *series = line;
        if (area) {
            auto *filled = new QAreaSeries(line); // down to the axis
            line->setParent(filled);              // the area does not own its edge
            colour.setAlpha(120);                 // the series behind shows through
            filled->setBrush(colour);
            filled->setPen(QPen(SeriesColours.value(s), 2));
            connect(filled, &QAreaSeries::clicked, this,
                    [this](const QPointF &p) { emit pointSelected(int(std::lround(p.x())) - 1); });
            series = filled;
        } else {
            line->setPen(QPen(colour, 2));
            line->setPointsVisible(true);
            connect(line, &QLineSeries::clicked, this,
                    [this, s](const QPointF &p) { selectNearest(s, p); });
        }
        series->setName(CurveChartData::seriesName(s));
        c->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    // Point numbers from 1, a tick on whole numbers only.
    const int points = std::max(2, static_cast<int>(m_data.rows.size()));
    x->setRange(1, points);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(1);
    x->setTickInterval(niceStep(points - 1, 10, 1));
    setRange(y, low, high, 1, 5);
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
    emit pointSelected(m_pointRows.value(series).value(best, best));
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
    if (auto *area = qobject_cast<QAreaSeries *>(all.at(series)))
        return area->upperSeries()->points();
    return {};
}

void CurveChart::mouseMoveEvent(QMouseEvent *event)
{
    emit pointerMoved();
    QChartView::mouseMoveEvent(event);
}
