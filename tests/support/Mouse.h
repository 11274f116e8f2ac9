#pragma once

#include <QTest>
#include <QWidget>

// Clicking as a mouse does: the click goes to whatever widget is under the
// point, in the shown window.
namespace Mouse {

// Clicks the middle of `target`, showing its window first; false when
// another widget covers that point (the click then went to that one).
inline bool click(QWidget *target)
{
    QWidget *window = target->window();
    if (!window->isVisible()) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            return false;
    }
    const QPoint at = target->mapTo(window, target->rect().center());
    QWidget *under = window->childAt(at);
    if (!under)
        under = window;
    QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(window, at));
    return under == target || target->isAncestorOf(under);
}

} // namespace Mouse
