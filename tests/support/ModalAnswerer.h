#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

// Answers the modal message boxes as they come up, and keeps their texts.
class ModalAnswerer : public QObject
{
public:
    explicit ModalAnswerer(QList<QMessageBox::StandardButton> answers) : answers_(answers)
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
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
