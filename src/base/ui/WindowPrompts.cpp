#include "base/ui/WindowPrompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QRegularExpression>
#include <QUrl>

namespace {

// The first extension a filter names: "pdf" for "PDF (*.pdf)"; "" for "*" or "*.*".
QString extensionOf(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

QString withExtension(const QString &name, const QString &filter)
{
    const QString extension = extensionOf(filter);
    if (name.isEmpty() || extension.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return name;
    return name + (name.endsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension);
}

} // namespace

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

void WindowPrompts::withdrawMessage(QWidget *parent, const QString &text)
{
    if (!parent)
        return;
    for (QMessageBox *box : parent->findChildren<QMessageBox *>())
        if (box->isVisible() && box->text() == text)
            box->reject();
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
    return AskSaveFileName(parent, title, start, filter);
}

QString WindowPrompts::AskSaveFileName(QWidget *parent, const QString &title, const QString &start,
                                       const QString &filter, QString *chosenFilter)
{
    QFileDialog dialog(parent, title, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the extension itself before it asks about replacing a file;
    // the name is completed again below, as not every dialog does.
    const auto follow = [&dialog](const QString &chosen) {
        dialog.setDefaultSuffix(extensionOf(chosen));
    };
    follow(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return withExtension(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter());
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
