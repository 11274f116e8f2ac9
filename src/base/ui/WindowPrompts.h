#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

class QDialog;
class QWidget;

// The dialogs and desktop services a window asks of the user and the system.
// Windows reach them through this interface so that tests can answer in their
// place. Every box and dialog of the program is shown here: a child of its
// window, in front of it, with the keyboard.
class WindowPrompts
{
public:
    virtual ~WindowPrompts() = default;

    // A message box; returns the button pressed.
    virtual QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon,
                                                const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                const QString &details = {});
    // A box that does not hold up the caller (a warning at start, a package
    // refused as the list changes): a child of `parent` named `name` at once,
    // shown once `parent`'s window is up and no other box holds it (at start,
    // once the main window is shown, over it); it goes when closed.
    virtual void notify(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                        const QString &text, const QString &name = {});
    // A dialog of a window, modal; its result.
    virtual int showDialog(QDialog &dialog);
    // The same without holding up the caller: the dialog opens modal to its
    // window once that window is up and free, as notify() does.
    virtual void openDialog(QDialog &dialog);
    // Each time `window` (a box, a dialog) is shown it comes in front of the
    // window it belongs to and takes the keyboard.
    static void keepInFront(QWidget &window);
    // Takes back the message box showing `text` that `parent` has open, when
    // it no longer applies: it closes as Escape closes it, and its message()
    // returns then (after any box opened over it meanwhile).
    virtual void withdrawMessage(QWidget *parent, const QString &text);
    // An existing folder, or "" when the user cancels.
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &start);
    // An existing file to open, or "" when the user cancels. `filter` uses ";;".
    virtual QString chooseFile(QWidget *parent, const QString &title, const QString &start,
                               const QString &filter);
    // A file name to save to, or "" when the user cancels. `filter` uses ";;"
    // (AskSaveFileName).
    virtual QString chooseSaveFile(QWidget *parent, const QString &title, const QString &start,
                                   const QString &filter);
    // The save dialog of every window: a name typed without an extension gets
    // the extension of the chosen filter ("out1" is saved as "out1.pdf" with
    // "PDF (*.pdf)"); "" when the user cancels. `chosenFilter`, when given,
    // receives the filter chosen.
    static QString AskSaveFileName(QWidget *parent, const QString &title, const QString &start,
                                   const QString &filter, QString *chosenFilter = nullptr);

    // A line of text the user types, or nothing when the user cancels.
    virtual std::optional<QString> askText(QWidget *parent, const QString &title,
                                           const QString &label);
    // Opens a file with the desktop's default handler; false when none took it.
    virtual bool openWithDesktop(const QString &path);

    // The prompts of the running program.
    static WindowPrompts &system();
};
