#pragma once

#include "FileDialogAnswer.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

// Answers the modal windows as they come up, as a user does: each file dialog
// in turn gets the next path of `files` typed into its name box (an empty one
// cancels it, as Escape does; see FileDialogAnswer); every message box is kept
// in `texts` and answered by the next of `buttons` (OK when none is left).
// Other windows are the test's own.
class DialogAnswers
{
public:
    explicit DialogAnswers(QStringList files = {}, QList<QMessageBox::StandardButton> buttons = {})
        : m_buttons(std::move(buttons)), m_files(names(files), [this](QWidget *w) { answer(w); })
    {}

    QStringList texts;

    // The file dialogs that came up.
    int fileDialogs() const { return int(m_files.titles.size()); }

private:
    static QList<FileDialogAnswer::Name> names(const QStringList &files)
    {
        QList<FileDialogAnswer::Name> typed;
        for (const QString &file : files)
            typed.append({file});
        return typed;
    }

    void answer(QWidget *window)
    {
        auto *box = qobject_cast<QMessageBox *>(window);
        if (!box)
            return; // the window under test, shown modal
        texts << box->text();
        const QMessageBox::StandardButton answer =
            m_buttons.isEmpty() ? QMessageBox::Ok : m_buttons.takeFirst();
        box->button(answer) ? box->button(answer)->click() : box->reject();
    }

    QList<QMessageBox::StandardButton> m_buttons;
    FileDialogAnswer m_files;
};
