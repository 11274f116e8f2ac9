#include "base/ui/WindowPrompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QUrl>

QMessageBox::StandardButton WindowPrompts::message(QWidget *parent, QMessageBox::Icon icon,
                                                   const QString &title, const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   const QString &details)
{
    QMessageBox box(icon, title, text, buttons, parent);
    if (!details.isEmpty())
        box.setDetailedText(details);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString WindowPrompts::chooseFolder(QWidget *parent, const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, title, start);
}

QString WindowPrompts::chooseFile(QWidget *parent, const QString &title, const QString &start,
                                  const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, start, filter);
}

QString WindowPrompts::chooseSaveFile(QWidget *parent, const QString &title, const QString &start,
                                      const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, start, filter);
}

std::optional<QString> WindowPrompts::askText(QWidget *parent, const QString &title,
                                              const QString &label)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, {}, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

bool WindowPrompts::openWithDesktop(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

WindowPrompts &WindowPrompts::system()
{
    static WindowPrompts prompts;
    return prompts;
}
