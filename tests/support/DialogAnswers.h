#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTest>
#include <QTimer>

// Answers the modal windows as they come up, as a user does. Each file
// dialog in turn goes to the folder of the next path of `files` and gets its
// name typed into its name box, then its Open or Save button; an empty name is Escape, the dialog
// cancelled. A file dialog's own question (replace the file?) is answered Yes. Every other message
// box is kept in `texts` and answered by the next of `buttons` (OK when none is left). Other
// windows are the test's own.
class DialogAnswers : public QObject
{
public:
    explicit DialogAnswers(QStringList files = {}, QList<QMessageBox::StandardButton> buttons = {})
        : files_(std::move(files)), buttons_(std::move(buttons))
    {
        connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        timer_.start(10);
    }

    QStringList texts;
    int fileDialogs = 0; // file dialogs answered

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            if (answering_ == dialog)
                return; // its accept() runs; a question it asks comes back here
            ++fileDialogs;
            const QString name = files_.isEmpty() ? QString() : files_.takeFirst();
            if (name.isEmpty()) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            }
            auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!box) {
                dialog->reject();
                return;
            }
            // In the file's folder, as the user goes there, its name typed.
            const QFileInfo file(name);
            dialog->setDirectory(file.absolutePath());
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, file.fileName());
            answering_ = dialog;
            // As its button does, from its own call: a question it asks is answered meanwhile.
            QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog *>(dialog)->accept(); });
            return;
        }
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box && answering_ && box->parent() == answering_) {
            box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->click() : box->accept();
            return;
        }
        if (!box)
            return; // the window under test, shown modal
        texts << box->text();
        const QMessageBox::StandardButton answer =
            buttons_.isEmpty() ? QMessageBox::Ok : buttons_.takeFirst();
        box->button(answer) ? box->button(answer)->click() : box->reject();
    }

    QStringList files_;
    QList<QMessageBox::StandardButton> buttons_;
    QPointer<QFileDialog> answering_;
    QTimer timer_;
};
