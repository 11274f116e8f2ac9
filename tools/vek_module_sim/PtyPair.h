#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair: the simulated module talks on the master side, the
// program opens the slave device by its path. The module keeps the slave open
// itself (in raw mode) so that the program may close and reopen it freely.
class PtyPair
{
public:
    PtyPair() = default;
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool open(QString *error);
    // Closes the module's side: the program's port hangs up.
    void closeMaster();
    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

    // Non-blocking write on the master: bytes written, 0 when the pty is full, -1 on error.
    qsizetype write(const char *data, qsizetype size);
    // Non-blocking read of what the program wrote.
    QByteArray readAvailable();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
