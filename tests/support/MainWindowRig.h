#pragma once

#include "ModalAnswer.h"
#include "app/ui/VEK_Accueil.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <functional>

// The main window as the window tests start it, and the answers its
// questions get.
namespace MainWindowRig {

// The program's stored settings and standard folders kept under `folder`,
// apart from the user's own.
inline void keepSettingsIn(const QString &folder)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName("VEK_Courbe");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

// Loads `w` as a start does, without the presentation, and shows it; false
// when it does not come up on the screen.
inline bool show(VEK_Accueil &w)
{
    w.Form_Load(false);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

// Answers a message box with `button`, as a click on it; the box's text goes
// to `text` when given. Anything else, or a box without that button, fails
// the test (the box is then closed unanswered).
inline std::function<void(QWidget *)> press(QMessageBox::StandardButton button,
                                            QString *text = nullptr)
{
    return [button, text](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box && box->button(button));
        if (text)
            *text = box->text();
        box->button(button)->click();
    };
}

// The text of the box `name` the main window shows of a refusal, once the
// box is there (over the window, when the window is up), with a line
// "Details:" and its details when it has any; empty when none comes. The box
// is gone after.
inline QString takeBox(VEK_Accueil &w, const char *name)
{
    QMessageBox *box = nullptr;
    if (!QTest::qWaitFor([&] {
            box = w.findChild<QMessageBox *>(name);
            return box && (box->isVisible() || !w.isVisible());
        }))
        return {};
    QString text = box->text();
    if (!box->detailedText().isEmpty())
        text += "\nDetails: " + box->detailedText();
    delete box;
    return text;
}

} // namespace MainWindowRig
