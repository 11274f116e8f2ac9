#pragma once

#include "base/ui/WindowPrompts.h"

#include <QStringList>

#include <functional>

// Answers the windows' dialogs in tests and records what they showed.
class FakePrompts : public WindowPrompts
{
public:
    struct Shown {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QString details;
    };
    QList<Shown> messages;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    QString folder;        // answer of chooseFolder ("" = cancel)
    QStringList files;     // answers of chooseFile, in turn ("" = cancel)
    QStringList saveFiles; // answers of chooseSaveFile, in turn ("" = cancel)
    int folderAsks = 0;
    QStringList folderStarts; // where each folder choice opened
    QStringList fileFilters;
    QStringList titles; // of the file and folder choices
    QStringList opened; // paths handed to the desktop
    bool desktopOpens = true;
    std::function<void()> whileShown; // runs while each message is up

    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon icon, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons,
                                        const QString &details) override
    {
        messages.append({icon, title, text, details});
        if (whileShown)
            whileShown();
        return answer;
    }
    void notify(QWidget *, QMessageBox::Icon icon, const QString &title, const QString &text,
                const QString &) override
    {
        messages.append({icon, title, text, {}});
    }
    // How the windows' own dialogs are answered; unset, they are shown for real.
    std::function<int(QDialog &)> dialogs;
    int showDialog(QDialog &dialog) override
    {
        return dialogs ? dialogs(dialog) : WindowPrompts::showDialog(dialog);
    }
    QString chooseFolder(QWidget *, const QString &title, const QString &start) override
    {
        titles << title;
        ++folderAsks;
        folderStarts << start;
        return folder;
    }
    QString chooseFile(QWidget *, const QString &title, const QString &,
                       const QString &filter) override
    {
        titles << title;
        fileFilters << filter;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString chooseSaveFile(QWidget *, const QString &title, const QString &,
                           const QString &filter) override
    {
        titles << title;
        fileFilters << filter;
        return saveFiles.isEmpty() ? QString() : saveFiles.takeFirst();
    }
    QList<std::optional<QString>> typed; // answers of askText, in turn (none left: cancel)
    QStringList asked;                   // what each askText said
    std::optional<QString> askText(QWidget *, const QString &title, const QString &label) override
    {
        titles << title;
        asked << label;
        return typed.isEmpty() ? std::nullopt : typed.takeFirst();
    }
    bool openWithDesktop(const QString &path) override
    {
        opened << path;
        return desktopOpens;
    }
};
