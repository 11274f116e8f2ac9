#include "base/ui/ElidedLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
// The text keeps this far from the label's edges.
constexpr int kMargin = 3;

// Assistive technology sees the label as a static text, as it sees a QLabel.
QAccessibleInterface *accessibleLabel(const QString &className, QObject *object)
{
    if (className != QLatin1String("ElidedLabel") || !object || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::StaticText);
}
} // namespace

QString ElidedToWidth(const QString &text, const QFontMetrics &metrics, int width)
{
    if (width <= 0)
        return {};
    const Qt::TextElideMode mode =
        text.startsWith(QLatin1Char('/')) ? Qt::ElideMiddle : Qt::ElideRight;
    return metrics.elidedText(text, mode, width);
}

ElidedLabel::ElidedLabel(int width, QWidget *parent) : QWidget(parent), m_width(width)
{
    static const bool factory = (QAccessible::installFactory(accessibleLabel), true);
    Q_UNUSED(factory);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setText(const QString &text, const QString &whole)
{
    m_text = text;
    m_whole = whole;
    refreshToolTip();
    refreshAccessibleText();
    update();
}

QRect ElidedLabel::textRect() const
{
    return contentsRect().adjusted(kMargin, 0, -kMargin, 0);
}

QString ElidedLabel::shownText() const
{
    return ElidedToWidth(m_text, fontMetrics(), textRect().width());
}

int ElidedLabel::wholeWidth(const QString &text) const
{
    // Eliding measures in fractions of a pixel: so does this.
    const qreal advance = QFontMetricsF(font()).horizontalAdvance(text);
    return width() - textRect().width() + int(std::ceil(advance)) + 1;
}

QString ElidedLabel::wholeText() const
{
    return m_whole.isEmpty() ? m_text : m_whole;
}

QString ElidedLabel::cutText() const
{
    const QString whole = ElidedLabel::wholeText();
    return shownText() != whole ? whole : QString();
}

void ElidedLabel::refreshToolTip()
{
    const QString tip = cutText();
    if (tip != toolTip())
        setToolTip(tip);
}

void ElidedLabel::refreshAccessibleText()
{
    const QString whole = wholeText();
    setAccessibleName(whole);
    setAccessibleDescription(whole);
}

void ElidedLabel::setHintWidth(int width)
{
    m_width = width;
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    return {m_width, fontMetrics().height() + margins.top() + margins.bottom() + 2};
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {std::min(m_width, fontMetrics().averageCharWidth() * 4), sizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refreshToolTip();
}

void ElidedLabel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        refreshToolTip();
        updateGeometry();
    }
}
