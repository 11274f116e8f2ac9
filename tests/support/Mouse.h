#pragma once

#include <QMenu>
#include <QMenuBar>
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

// Chooses `entry` of `menu` as a mouse does: a click on the menu's title in
// its window's menu bar, then one on the entry once the menu has opened;
// false when either cannot be clicked.
inline bool choose(QMenu *menu, QAction *entry)
{
    auto *bar = qobject_cast<QMenuBar *>(menu->parentWidget());
    if (!bar)
        return false;
    if (!bar->window()->isVisible()) {
        bar->window()->show();
        if (!QTest::qWaitForWindowExposed(bar->window()))
            return false;
    }
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000))
        return false;
    const QRect place = menu->actionGeometry(entry);
    if (place.isEmpty() || !entry->isEnabled())
        return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, place.center());
    return true;
}

} // namespace Mouse
