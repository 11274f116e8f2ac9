#pragma once

#include "Keyboard.h"
#include "ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the file dialogs, open and save, that come up while it is in scope,
// as a user does, from the event loop each dialog runs. Once a dialog has the
// keyboard, it chooses the filter asked for with the arrow keys, types the
// name into the name box and presses Return, again at each look until the
// dialog takes it: Open stays greyed until the dialog has listed the folder,
// and the name box's completion list takes a Return for itself. Typed, never
// given by selectFile(), which a shown dialog ignores once its name box has
// the focus. The dialog's own question whether to replace a file is answered
// Yes. Any other modal window goes to `other`, which answers it; without one
// it is closed and listed in `unexpected`, as is a file dialog beyond the
// names given or one that never takes its name, and once the test has failed
// every window is closed: a test it surprises fails instead of waiting.
class FileDialogAnswer
{
public:
    struct Name {
        QString typed;   // a name or a whole path; empty: the dialog is cancelled
        int filter = -1; // the place of the filter to choose in the dialog's list; -1: none
    };

    explicit FileDialogAnswer(QList<Name> names, std::function<void(QWidget *)> other = {})
        : m_names(std::move(names)), m_other(std::move(other))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
        m_timer.start(5);
    }
    explicit FileDialogAnswer(const QString &typed, std::function<void(QWidget *)> other = {})
        : FileDialogAnswer(QList<Name>{{typed}}, std::move(other))
    {}

    // Every name given was typed into a dialog that took it, and nothing else came up.
    bool answered() const { return m_taken == m_names.size() && unexpected.isEmpty(); }

    QStringList titles;     // the file dialogs answered, by title, in turn
    QStringList unexpected; // what was closed unanswered

private:
    static constexpr int kMostPresses = 2000;                 // ten seconds and more of Return
    static constexpr const char *kAnswering = "vekAnswering"; // a step on it is under way

    void look()
    {
        if (m_current && !m_current->isVisible())
            m_current = nullptr;
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal->property(kAnswering).toBool())
            return;
        if (QTest::currentTestFailed())
            return ModalAnswer::close(modal);
        if (QApplication::activeWindow() != modal)
            return modal->activateWindow(); // as the window manager does
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            return answer(dialog);
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box && qobject_cast<QFileDialog *>(box->parentWidget())) {
            // The dialog's own question, asked as its button takes the name.
            if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                return act(box, [yes] { yes->click(); });
            unexpected << "file dialog's message " + box->text();
            m_refused = true;
            return ModalAnswer::close(box);
        }
        if (m_other)
            return act(modal, [this, modal] { m_other(modal); });
        unexpected << "window " + modal->windowTitle();
        ModalAnswer::close(modal);
    }

    // Does `step` on `modal` once this look has returned, as the window's own
    // event loop delivers a key or a click: a button may open a window of its
    // own and wait for it, which the next looks answer meanwhile.
    void act(QWidget *modal, std::function<void()> step)
    {
        modal->setProperty(kAnswering, true);
        QTimer::singleShot(0, &m_timer, [shown = QPointer<QWidget>(modal), step] {
            if (shown)
                step();
            if (shown)
                shown->setProperty(kAnswering, false);
        });
    }

    void answer(QFileDialog *dialog)
    {
        if (dialog != m_current) { // one more dialog
            m_current = dialog;
            m_typed = m_refused = false;
            m_presses = 0;
            if (titles.size() == m_names.size()) {
                unexpected << "file dialog " + dialog->windowTitle();
                return dialog->reject();
            }
            titles << dialog->windowTitle();
            // An empty name is the user's Escape: the dialog is answered when it is cancelled.
            const bool cancel = m_names.at(titles.size() - 1).typed.isEmpty();
            QObject::connect(dialog, cancel ? &QDialog::rejected : &QDialog::accepted, dialog,
                             [this] { ++m_taken; });
        }
        if (m_refused || m_presses > kMostPresses) {
            unexpected << "file dialog " + dialog->windowTitle() + " took no name";
            return dialog->reject();
        }
        const Name &name = m_names.at(titles.size() - 1);
        if (name.typed.isEmpty()) {
            ++m_presses;
            return act(dialog, [dialog] {
                if (dialog->isAncestorOf(QApplication::focusWidget()))
                    Keyboard::press(Qt::Key_Escape);
            });
        }
        if (!m_typed) {
            if (name.filter >= 0 && !chooseFilter(dialog, name.filter))
                return;
            auto *nameBox = dialog->findChild<QLineEdit *>("fileNameEdit");
            nameBox->setFocus(Qt::TabFocusReason);
            if (QApplication::focusWidget() != nameBox)
                return;
            Keyboard::retype(name.typed);
            m_typed = true;
        }
        ++m_presses;
        act(dialog, [dialog] {
            if (dialog->isAncestorOf(QApplication::focusWidget()))
                Keyboard::press(Qt::Key_Return);
        });
    }

    // Steps to the filter at `place` in the list of filters with the keys.
    static bool chooseFilter(QFileDialog *dialog, int place)
    {
        auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
        types->setFocus(Qt::TabFocusReason);
        if (QApplication::focusWidget() != types)
            return false;
        Keyboard::press(Qt::Key_Home);
        for (int i = 0; i < place; ++i)
            Keyboard::press(Qt::Key_Down);
        return types->currentIndex() == place;
    }

    QList<Name> m_names;
    std::function<void(QWidget *)> m_other;
    QTimer m_timer;
    QPointer<QFileDialog> m_current;
    bool m_typed = false;
    bool m_refused = false;
    int m_presses = 0;
    int m_taken = 0;
};
