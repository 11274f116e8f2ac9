#include "live/ui/LedLamp.h"

#include <QPainter>

LedLamp::LedLamp(const QString &caption, QColor on, QColor off, QWidget *parent)
    : QWidget(parent), m_caption(caption), m_on(on), m_off(off)
{
}

void LedLamp::setLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    update();
}

QSize LedLamp::sizeHint() const
{
    const QFontMetrics fm(font());
    const int d = fm.height();
    return QSize(d + 6 + (m_caption.isEmpty() ? 0 : fm.horizontalAdvance(m_caption) + 4), d + 4);
}

void LedLamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int d = fontMetrics().height() - 2;
    const QRectF lamp(2, (height() - d) / 2.0, d, d);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.setBrush(colour());
    painter.drawEllipse(lamp);
    if (!m_caption.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(lamp.right() + 6, 0, width() - lamp.right() - 6, height()),
                         Qt::AlignVCenter | Qt::AlignLeft, m_caption);
    }
}
