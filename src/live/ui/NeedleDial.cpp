#include "live/ui/NeedleDial.h"

#include "live/LiveDialGeometry.h"
#include "live/ui/LivePalette.h"

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
    m_value = value;
    update();
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
    const QString unit = rpm ? QStringLiteral("RPM x 1000") : QStringLiteral("LOAD %");
    const QPointF label = rpm ? centre + QPointF(0, 600) : centre + QPointF(0, -350);
    painter.drawText(QRectF(label.x() - 800, label.y() - 150, 1600, 300), Qt::AlignCenter, unit);
}

double NeedleDial::fitToWidget(QPainter &painter) const
{
    const double scale = qMin(width() / m_design.width(), height() / m_design.height());
    painter.translate((width() - m_design.width() * scale) / 2,
                      (height() - m_design.height() * scale) / 2);
    painter.scale(scale, scale);
    painter.translate(-m_design.topLeft());
    return scale;
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
    }
    return m_face;
}

void NeedleDial::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, face());
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = fitToWidget(painter);
    const bool rpm = m_kind == Kind::Rpm;
    QPen needle(LivePalette::Aiguille);
    needle.setCapStyle(Qt::RoundCap);
    needle.setWidthF((rpm ? 5 : 3) / qMax(scale, 0.001) * 0.8);
    painter.setPen(needle);
    painter.drawLine(rpm ? LiveDials::CentreRPM : LiveDials::CentreCharge, needleEnd());
}
