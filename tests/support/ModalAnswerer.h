#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

// Answers the modal message boxes as they come up, and keeps their texts. Any
// other modal window is closed and kept as "window " and its title, so that a
// test it surprises fails rather than waits.
class ModalAnswerer : public QObject
{
public:
    explicit ModalAnswerer(QList<QMessageBox::StandardButton> answers) : answers_(answers)
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (modal && !box) {
                texts << "window " + modal->windowTitle();
                if (auto *dialog = qobject_cast<QDialog *>(modal))
                    dialog->reject();
                else
                    modal->close();
                return;
            }
            if (!box)
                return;
            texts << box->text();
            const QMessageBox::StandardButton answer =
                answers_.isEmpty() ? QMessageBox::Ok : answers_.takeFirst();
            box->button(answer) ? box->button(answer)->click() : box->reject();
        });
        timer_.start(10);
    }
    QStringList texts;

private:
    QList<QMessageBox::StandardButton> answers_;
    QTimer timer_;
};
