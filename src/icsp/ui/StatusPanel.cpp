#include "icsp/ui/StatusPanel.h"

#include <QPainter>

StatusPanel::StatusPanel(int width, QWidget *parent) : QWidget(parent)
{
    setFixedSize(width, fontMetrics().height() + 8);
}

void StatusPanel::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void StatusPanel::setText(const QString &text)
{
    m_text = text;
    update();
}

void StatusPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect rest = rect().adjusted(m_picture.width() + 3, 0, -2, 0);
    if (rest.width() > 0)
        painter.drawText(rest, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(m_text, Qt::ElideRight, rest.width()));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
