#pragma once

#include <QApplication>
#include <QKeyEvent>
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

// Types `text` into the focus widget; a letter no key of QTest's gives
// ("模") comes as a key event carrying that text, as an input method sends it.
inline void type(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
            continue;
        }
        for (const QEvent::Type kind : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(kind, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &event);
        }
    }
}

// Replaces the focus widget's text by `text`, as select-all and typing do.
inline void retype(const QString &text)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) // typing nothing over a selection keeps it
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    type(text);
}

inline void press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace Keyboard
