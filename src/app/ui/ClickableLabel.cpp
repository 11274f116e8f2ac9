#include "app/ui/ClickableLabel.h"

#include <QMouseEvent>

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // The release that ends a double-click belongs to it, not to a new click.
    const bool endsDoubleClick = m_inDoubleClick;
    m_inDoubleClick = false;
    if (!endsDoubleClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_inDoubleClick = true;
        emit doubleClicked();
    }
    QLabel::mouseDoubleClickEvent(event);
}
