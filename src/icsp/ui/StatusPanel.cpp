#include "icsp/ui/StatusPanel.h"

#include <QPainter>

#include <algorithm>

namespace {
// The text starts this far after the picture and stops short of the right edge.
constexpr int TextLeft = 3;
constexpr int TextMargins = 5;
} // namespace

// The design's width is the panel's usual width; on a narrow screen a panel
// gives up to half of it, so that the status bar never widens the window past
// the screen.
StatusPanel::StatusPanel(int width, QWidget *parent) : ElidedLabel(width, parent)
{
    setFixedHeight(fontMetrics().height() + 8);
    setMinimumWidth(width / 2);
    resize(width, height());
}

QSize StatusPanel::sizeHint() const
{
    return {hintWidth(), height()};
}

void StatusPanel::setPicture(const QImage &picture, const QString &says, bool cut)
{
    m_picture = picture;
    m_pictureText = says;
    m_pictureCut = cut;
    refreshToolTip();
    refreshAccessibleText();
    update();
}

void StatusPanel::setWholeText(const QString &text)
{
    setText(text);
    fitWidth(wholeWidth(text));
}

QRect StatusPanel::textRect() const
{
    return rect().adjusted(m_picture.width() + TextLeft, 0, TextLeft - TextMargins, 0);
}

QString StatusPanel::cutText() const
{
    QStringList cut{m_pictureCut ? m_pictureText : QString(), ElidedLabel::cutText()};
    cut.removeAll(QString());
    return cut.join(QLatin1Char('\n'));
}

QString StatusPanel::wholeText() const
{
    QStringList says{m_pictureText, ElidedLabel::wholeText()};
    says.removeAll(QString());
    return says.join(QLatin1Char('\n'));
}

void StatusPanel::fitWidth(int width)
{
    if (width <= minimumWidth())
        return;
    setHintWidth(std::max(hintWidth(), width));
    setMinimumWidth(width);
    resize(std::max(this->width(), width), height());
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

void StatusPanel::resizeEvent(QResizeEvent *event)
{
    ElidedLabel::resizeEvent(event);
    emit resized();
}
