#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal window with `answer`, from the event loop that window
// runs, as a user does once it is up. What `answer` leaves open (a check in it
// failed and returned, or it chose nothing) is closed, and once the test has
// failed so is every later modal window: the test goes on to fail instead of
// waiting on a window nobody answers. Keep it in scope while the window can
// come up.
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(QWidget *)> answer) : m_answer(std::move(answer))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
        m_timer.start(5);
    }

    // Whether a modal window came up and was given to `answer`.
    bool answered() const { return m_answered; }

    // Closes `window` unanswered, as its Escape or close button does.
    static void close(QWidget *window)
    {
        if (auto *dialog = qobject_cast<QDialog *>(window))
            dialog->reject();
        else
            window->close();
    }

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (m_answered) {
            if (QTest::currentTestFailed())
                close(modal);
            return;
        }
        m_answered = true;
        const QPointer<QWidget> shown(modal);
        m_answer(modal);
        if (shown && shown->isVisible())
            close(shown);
    }

    std::function<void(QWidget *)> m_answer;
    QTimer m_timer;
    bool m_answered = false;
};
