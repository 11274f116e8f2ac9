#include "icsp/ui/StatusPanel.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
// The text starts this far after the picture and stops short of the right edge.
constexpr int TextLeft = 3;
constexpr int TextMargins = 5;
} // namespace

// The design's width is the panel's usual width; on a narrow screen a panel
// gives up to half of it, so that the status bar never widens the window past
// the screen.
StatusPanel::StatusPanel(int width, QWidget *parent) : QWidget(parent), m_usualWidth(width)
{
    setFixedHeight(fontMetrics().height() + 8);
    setMinimumWidth(width / 2);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(width, height());
}

QSize StatusPanel::sizeHint() const
{
    return {m_usualWidth, height()};
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

void StatusPanel::setWholeText(const QString &text)
{
    setText(text);
    // Eliding measures in fractions of a pixel: so does this.
    const qreal advance = QFontMetricsF(font()).horizontalAdvance(text);
    fitWidth(m_picture.width() + TextMargins + int(std::ceil(advance)) + 1);
}

QRect StatusPanel::textRect() const
{
    return rect().adjusted(m_picture.width() + TextLeft, 0, TextLeft - TextMargins, 0);
}

QString StatusPanel::shownText() const
{
    const QRect rest = textRect();
    return rest.width() > 0 ? fontMetrics().elidedText(m_text, Qt::ElideRight, rest.width())
                            : QString();
}

void StatusPanel::fitWidth(int width)
{
    if (width <= minimumWidth())
        return;
    m_usualWidth = std::max(m_usualWidth, width);
    setMinimumWidth(width);
    resize(std::max(this->width(), width), height());
    updateGeometry();
}

void StatusPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
