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

#include <deque>
#include <functional>

namespace {

// The helper of type T `window` holds, if any (the helpers have no meta-object
// of their own: findChild would take any child for one).
template <typename T> T *helperOf(const QWidget &window)
{
    for (QObject *child : window.children())
        if (auto *helper = dynamic_cast<T *>(child))
            return helper;
    return nullptr;
}

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
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Show)
            QTimer::singleShot(0, this, [this] { bringForward(m_window); });
        // Closing, it hands the keyboard back to its window, which may be held
        // by another box still open: that box takes it.
        else if (event->type() == QEvent::Hide)
            QTimer::singleShot(0, qApp, [] { bringForward(QApplication::activeModalWidget()); });
        return false;
    }

    static void bringForward(QWidget *window)
    {
        if (window && window->isVisible()) {
            window->raise();
            window->activateWindow();
        }
    }

private:
    QPointer<QWidget> m_window;
};

// The box or dialog that holds `window` (the modal one in front, when that is
// not `window` itself); none when `window` takes the user's input.
QWidget *heldBy(const QWidget &window)
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal == &window ? nullptr : modal;
}

// What waits to open over a window until it is shown and no box or dialog
// holds it, so that each opens over it with the keyboard, one after the
// other in the order they came.
class OpeningQueue : public QObject
{
public:
    static void add(QWidget &window, std::function<void()> run)
    {
        auto *queue = helperOf<OpeningQueue>(window);
        if (!queue)
            queue = new OpeningQueue(window);
        queue->m_waiting.push_back(std::move(run));
        queue->later();
    }

    // Whether something waits to open over `window`.
    static bool waiting(const QWidget &window)
    {
        const OpeningQueue *queue = helperOf<OpeningQueue>(window);
        return queue && !queue->m_waiting.empty();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool windowShown = watched == m_window && event->type() == QEvent::Show;
        const bool blockerGone = watched == m_blocker && (event->type() == QEvent::Hide ||
                                                          event->type() == QEvent::Destroy);
        if (windowShown || blockerGone)
            later();
        return false;
    }

private:
    explicit OpeningQueue(QWidget &window) : QObject(&window), m_window(&window)
    {
        window.installEventFilter(this);
    }

    void later() { QTimer::singleShot(0, this, &OpeningQueue::next); }

    // The first that waits, once the window is free; the next waits for it.
    void next()
    {
        if (m_waiting.empty() || !m_window->isVisible())
            return; // the window's Show comes
        if (QWidget *modal = heldBy(*m_window)) {
            if (modal != m_blocker) {
                m_blocker = modal;
                modal->installEventFilter(this);
            }
            return;
        }
        const std::function<void()> run = std::move(m_waiting.front());
        m_waiting.pop_front();
        run();
        if (!m_waiting.empty())
            later();
    }

    QWidget *m_window;
    QPointer<QWidget> m_blocker;
    std::deque<std::function<void()>> m_waiting;
};

// Runs `run` at once when the window of `parent` is up and free, else in turn.
void whenWindowFree(QWidget *parent, std::function<void()> run)
{
    QWidget *window = parent ? parent->window() : nullptr;
    if (!window || (window->isVisible() && !heldBy(*window) && !OpeningQueue::waiting(*window)))
        run();
    else
        OpeningQueue::add(*window, std::move(run));
}

// The window a box belongs to: its caller's, else the one the user works in.
QWidget *owner(QWidget *parent)
{
    return parent ? parent : QApplication::activeWindow();
}

// The file or folder chosen in `dialog`, shown in front of its window; empty when cancelled.
QString chosenIn(QFileDialog &dialog)
{
    WindowPrompts::keepInFront(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
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
    whenWindowFree(dialog.parentWidget(), [shown] {
        if (shown)
            shown->open();
    });
}

void WindowPrompts::keepInFront(QWidget &window)
{
    if (!helperOf<FrontKeeper>(window))
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
    return chosenIn(dialog);
}

QString WindowPrompts::chooseFile(QWidget *parent, const QString &title, const QString &start,
                                  const QString &filter)
{
    QFileDialog dialog(owner(parent), title, start, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenIn(dialog);
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
    // The dialog adds the extension itself before it asks about replacing a file;
    // the name is completed again below, as not every dialog does.
    const auto follow = [&dialog](const QString &chosen) {
        dialog.setDefaultSuffix(extensionOf(chosen));
    };
    follow(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    const QString chosen = chosenIn(dialog);
    if (chosen.isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return withExtension(chosen, dialog.selectedNameFilter());
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
