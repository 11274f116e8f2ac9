#pragma once

#include <QPointer>
#include <QString>

class QLabel;

// The label where a window tells how its operations go (its L_Info). What it
// shows belongs to the latest operation: a text that said what an operation
// was doing ("Lecture de la table haute...") goes when that operation ends
// without a word of its outcome, and when the next one starts, so that no
// older operation's progress stands as the window's state. Texts shown by
// other means (an outcome, hover help) are left as they are.
class OperationStatus
{
public:
    explicit OperationStatus(QLabel *label) : m_label(label) {}

    // What the running operation is doing, until it ends.
    void progress(const QString &text);
    // The operation has ended: its progress text goes if the label still shows it.
    void end();

    // Ends the operation when it leaves scope, whichever way it returns.
    class Scope
    {
    public:
        explicit Scope(OperationStatus &status) : m_status(status) {}
        ~Scope() { m_status.end(); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        OperationStatus &m_status;
    };
    // A new operation: what is left of the previous one goes.
    [[nodiscard]] Scope operation()
    {
        end();
        return Scope(*this);
    }

private:
    QPointer<QLabel> m_label;
    QString m_progress; // the progress text shown, if it still is
};
