#include "base/ui/StatusTipLine.h"

#include <QStatusTipEvent>

// Asks for little room: a long help text is cut, never widens the window.
StatusTipLine::StatusTipLine(QWidget *window) : ElidedLabel(120, window)
{
    setObjectName(QStringLiteral("StatusTip"));
    setForegroundRole(QPalette::PlaceholderText);
    window->installEventFilter(this);
}

bool StatusTipLine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window() && event->type() == QEvent::StatusTip) {
        setText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return ElidedLabel::eventFilter(watched, event);
}
