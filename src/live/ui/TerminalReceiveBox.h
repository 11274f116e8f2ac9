#pragma once

#include <QPlainTextEdit>

// The terminal's receive box: typed characters are handed out to be sent and
// are inserted only with local echo on; a double click empties it.
class TerminalReceiveBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TerminalReceiveBox(QWidget *parent = nullptr);

    void setEcho(bool on) { m_echo = on; }
    bool echo() const { return m_echo; }
    // Characters in the box.
    qsizetype length() const;
    // Appends text at the end (after the cut that keeps the box small).
    void appendReceived(const QString &text);

signals:
    void typed(const QByteArray &bytes);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_echo = false;
};
