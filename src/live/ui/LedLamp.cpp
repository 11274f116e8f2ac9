#include "live/ui/LedLamp.h"

#include <QEvent>
#include <QPainter>

LedLamp::LedLamp(const QString &caption, QColor on, QColor off, QWidget *parent)
    : QWidget(parent), m_caption(caption), m_on(on), m_off(off),
      m_lampDiameter(fontMetrics().height() - 2)
{
    setAccessibleName(caption);
}

void LedLamp::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    setAccessibleName(caption);
    m_imagesFor = QSize(); // drawn again with the new caption
    updateGeometry();
    update();
}

void LedLamp::setLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    // Only the lamp changes: its caption keeps its pixels.
    update(lampRect().toAlignedRect().adjusted(-2, -2, 2, 2));
}

QRectF LedLamp::lampRect() const
{
    const int d = m_lampDiameter;
    return QRectF(2, (height() - d) / 2.0, d, d);
}

QSize LedLamp::sizeHint() const
{
    const QFontMetrics fm(font());
    const int d = fm.height();
    return QSize(d + 6 + (m_caption.isEmpty() ? 0 : fm.horizontalAdvance(m_caption) + 4), d + 4);
}

QPixmap LedLamp::render(bool lit) const
{
    const qreal dpr = devicePixelRatioF();
    QPixmap image(size() * dpr);
    image.setDevicePixelRatio(dpr);
    // An opaque lamp paints the plain background it stands on, so that Qt
    // leaves what is behind it alone when it blinks.
    image.fill(testAttribute(Qt::WA_OpaquePaintEvent) ? palette().color(backgroundRole())
                                                      : QColor(Qt::transparent));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF lamp = lampRect();
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.setBrush(lit ? m_on : m_off);
    painter.drawEllipse(lamp);
    if (!m_caption.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(QRectF(lamp.right() + 6, 0, width() - lamp.right() - 6, height()),
                         Qt::AlignVCenter | Qt::AlignLeft, m_caption);
    }
    return image;
}

void LedLamp::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        m_imagesFor = QSize();
    if (event->type() == QEvent::FontChange)
        m_lampDiameter = fontMetrics().height() - 2;
    QWidget::changeEvent(event);
}

void LedLamp::paintEvent(QPaintEvent *)
{
    // Lamps blink many times a second: each state is drawn once per size.
    if (m_imagesFor != size()) {
        m_images[0] = render(false);
        m_images[1] = render(true);
        m_imagesFor = size();
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_images[m_lit ? 1 : 0]);
}
