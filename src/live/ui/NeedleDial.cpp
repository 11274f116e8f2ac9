#include "live/ui/NeedleDial.h"

#include "live/LiveDialGeometry.h"
#include "live/ui/LivePalette.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

NeedleDial::NeedleDial(Kind kind, QWidget *parent) : QWidget(parent), m_kind(kind)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The rpm needle turns all round its centre; the load needle sweeps the top.
    m_design = kind == Kind::Rpm ? QRectF(100, 0, 3600, 3600) : QRectF(150, 50, 1800, 1400);
    setMinimumSize(int(m_design.width() / 25), int(m_design.height() / 25));
}

void NeedleDial::setValue(int value)
{
    if (value == m_value)
        return;
    const QRect before = needleRect();
    const QLineF was = needleOnScreen();
    m_value = value;
    const QLineF now = needleOnScreen();
    // A needle that moves less than a pixel keeps its picture; otherwise only
    // the band of its old and new places is repainted over the cached face.
    if (QLineF(was.p2(), now.p2()).length() < 1.0)
        return;
    update(before.united(needleRect()));
}

QTransform NeedleDial::designToWidget() const
{
    const double scale = qMin(width() / m_design.width(), height() / m_design.height());
    QTransform t;
    t.translate((width() - m_design.width() * scale) / 2,
                (height() - m_design.height() * scale) / 2);
    t.scale(scale, scale);
    t.translate(-m_design.left(), -m_design.top());
    return t;
}

QLineF NeedleDial::needleOnScreen() const
{
    const QPointF centre = m_kind == Kind::Rpm ? LiveDials::CentreRPM : LiveDials::CentreCharge;
    return designToWidget().map(QLineF(centre, needleEnd()));
}

QRect NeedleDial::needleRect() const
{
    const int margin = int(std::ceil(needleWidth())) + 2; // round caps, antialiasing
    return QRectF(needleOnScreen().p1(), needleOnScreen().p2())
        .normalized()
        .toAlignedRect()
        .adjusted(-margin, -margin, margin, margin);
}

double NeedleDial::needleWidth() const
{
    return (m_kind == Kind::Rpm ? 5 : 3) * 0.8; // pixels, whatever the scale
}

float NeedleDial::angle(int value) const
{
    return m_kind == Kind::Rpm ? LiveDials::AngleRPM(value) : LiveDials::AngleCharge(value);
}

QPointF NeedleDial::needleEnd() const
{
    return m_kind == Kind::Rpm ? LiveDials::FinAiguilleRPM(m_value)
                               : LiveDials::FinAiguilleCharge(m_value);
}

QSize NeedleDial::sizeHint() const
{
    return QSize(int(m_design.width() / 14), int(m_design.height() / 14));
}

void NeedleDial::drawScale(QPainter &painter) const
{
    const bool rpm = m_kind == Kind::Rpm;
    const QPointF centre = rpm ? LiveDials::CentreRPM : LiveDials::CentreCharge;
    const double radius = rpm ? LiveDials::RayonRPM : LiveDials::RayonCharge;
    const int last = rpm ? 10000 : 100;
    const int major = rpm ? 1000 : 25;
    const int minor = rpm ? 250 : 5;

    QPen tick(LivePalette::SegmentAllume);
    QFont font = painter.font();
    font.setPixelSize(rpm ? 220 : 150);
    painter.setFont(font);
    for (int v = 0; v <= last; v += minor) {
        const bool isMajor = v % major == 0;
        const float a = angle(v);
        const QPointF dir(std::cos(a), std::sin(a));
        const double inner = radius * (isMajor ? 0.86 : 0.92);
        tick.setWidthF(isMajor ? 40 : 18);
        painter.setPen(tick);
        painter.drawLine(centre + dir * inner, centre + dir * (radius * 1.0));
        if (isMajor) {
            const QPointF at = centre + dir * (radius * 0.72);
            const QString text = QString::number(rpm ? v / 1000 : v);
            painter.drawText(QRectF(at.x() - 250, at.y() - 150, 500, 300), Qt::AlignCenter, text);
        }
    }
    painter.setPen(LivePalette::SegmentEteint);
    font.setPixelSize(rpm ? 200 : 130);
    painter.setFont(font);
    const QString &unit = m_unit;
    const QPointF label = rpm ? centre + QPointF(0, 600) : centre + QPointF(0, -350);
    painter.drawText(QRectF(label.x() - 800, label.y() - 150, 1600, 300), Qt::AlignCenter, unit);
}

void NeedleDial::setUnit(const QString &unit)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    setAccessibleName(unit);
    m_face = QPixmap(); // drawn again with the new unit
    update();
}

void NeedleDial::fitToWidget(QPainter &painter) const
{
    painter.setTransform(designToWidget(), true);
}

const QPixmap &NeedleDial::face()
{
    const qreal dpr = devicePixelRatioF();
    if (m_face.size() != size() * dpr) {
        m_face = QPixmap(size() * dpr);
        m_face.setDevicePixelRatio(dpr);
        m_face.fill(LivePalette::FondInstrument);
        QPainter painter(&m_face);
        painter.setRenderHint(QPainter::Antialiasing);
        fitToWidget(painter);
        drawScale(painter);
        painter.resetTransform();
        // The needle's round end at the pivot never moves: it is part of the face.
        drawDisc(painter, needleOnScreen().p1());
    }
    return m_face;
}

void NeedleDial::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawPixmap(
        area, face(),
        QRectF(area.topLeft() * devicePixelRatioF(), area.size() * devicePixelRatioF()));
    painter.setRenderHint(QPainter::Antialiasing);
    // A flat-capped line takes the raster engine's fast line path; a round cap
    // goes through the general path filler at many times the cost. The round
    // ends are small discs, the one at the pivot drawn on the face.
    const QLineF line = needleOnScreen();
    QPen needle(LivePalette::Aiguille);
    needle.setCapStyle(Qt::FlatCap);
    needle.setWidthF(needleWidth());
    painter.setPen(needle);
    painter.drawLine(line);
    drawDisc(painter, line.p2());
}

void NeedleDial::drawDisc(QPainter &painter, QPointF centre) const
{
    const double r = needleWidth() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(LivePalette::Aiguille);
    painter.drawEllipse(centre, r, r);
}
