#include "base/ui/WindowPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace {

// Brings its window in front and gives it the keyboard each time it is shown,
// once the window system has it (the next turn of the event loop).
class FrontKeeper : public QObject
{
public:
    explicit FrontKeeper(QWidget &window) : QObject(&window), m_window(&window)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show)
            QTimer::singleShot(0, this, [this] {
                if (m_window && m_window->isVisible()) {
                    m_window->raise();
                    m_window->activateWindow();
                }
            });
        return false;
    }

private:
    QPointer<QWidget> m_window;
};

// Runs `run` once `window` is shown: at once when it is, else after its first
// show, so that what it opens lies over it.
class ShownWatcher : public QObject
{
public:
    ShownWatcher(QWidget &window, std::function<void()> run)
        : QObject(&window), m_run(std::move(run))
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && !m_fired) {
            m_fired = true;
            QTimer::singleShot(0, this, [this] {
                m_run();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_run;
    bool m_fired = false;
};

void whenWindowUp(QWidget *parent, std::function<void()> run)
{
    QWidget *window = parent ? parent->window() : nullptr;
    if (!window || window->isVisible())
        run();
    else
        new ShownWatcher(*window, std::move(run));
}

// The window a box belongs to: its caller's, else the one the user works in.
QWidget *owner(QWidget *parent)
{
    return parent ? parent : QApplication::activeWindow();
}

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
    QMessageBox box(icon, title, text, buttons, owner(parent));
    if (!details.isEmpty())
        box.setDetailedText(details);
    keepInFront(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void WindowPrompts::notify(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                           const QString &text, const QString &name)
{
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, owner(parent));
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    openDialog(*box);
}

int WindowPrompts::showDialog(QDialog &dialog)
{
    if (!dialog.parentWidget())
        dialog.setParent(owner(nullptr), dialog.windowFlags());
    keepInFront(dialog);
    return dialog.exec();
}

void WindowPrompts::openDialog(QDialog &dialog)
{
    keepInFront(dialog);
    const QPointer<QDialog> shown(&dialog);
    whenWindowUp(dialog.parentWidget(), [shown] {
        if (shown)
            shown->open();
    });
}

void WindowPrompts::keepInFront(QWidget &window)
{
    if (!window.findChild<FrontKeeper *>(QString(), Qt::FindDirectChildrenOnly))
        new FrontKeeper(window);
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
    QFileDialog dialog(owner(parent), title, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    keepInFront(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString WindowPrompts::chooseFile(QWidget *parent, const QString &title, const QString &start,
                                  const QString &filter)
{
    QFileDialog dialog(owner(parent), title, start, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    keepInFront(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString WindowPrompts::chooseSaveFile(QWidget *parent, const QString &title, const QString &start,
                                      const QString &filter)
{
    return AskSaveFileName(parent, title, start, filter);
}

QString WindowPrompts::AskSaveFileName(QWidget *parent, const QString &title, const QString &start,
                                       const QString &filter, QString *chosenFilter)
{
    QFileDialog dialog(owner(parent), title, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    keepInFront(dialog);
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
    QInputDialog dialog(owner(parent));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    keepInFront(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
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
