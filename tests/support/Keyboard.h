#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

// Typing as a keyboard does: every key goes to the application's focus widget
// (an editable combo box is that widget and hands the keys to its line edit
// itself), after a click has put the focus where the user types.
namespace Keyboard {

// Shows `field`'s window, makes it the active one and gives `field` the focus
// as a click would; false when the focus is elsewhere.
inline bool focus(QWidget *field)
{
    QWidget *window = field->window();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    field->setFocus(Qt::MouseFocusReason);
    return QApplication::focusWidget() == field;
}

// Replaces the focus widget's text by `text`, as select-all and typing do.
inline void retype(const QString &text)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) // typing nothing over a selection keeps it
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

inline void press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace Keyboard
