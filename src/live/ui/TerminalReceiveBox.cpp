#include "live/ui/TerminalReceiveBox.h"

#include "base/TextEncoding.h"
#include "live/TerminalDisplay.h"

#include <QKeyEvent>
#include <QTextCursor>

TerminalReceiveBox::TerminalReceiveBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    setFont(mono);
}

qsizetype TerminalReceiveBox::length() const
{
    return document()->characterCount() - 1;
}

void TerminalReceiveBox::appendReceived(const QString &text)
{
    if (TerminalDisplay::DoitTronquer(length()))
        setPlainText(TerminalDisplay::Tronque(toPlainText()));
    moveCursor(QTextCursor::End);
    insertPlainText(text);
    moveCursor(QTextCursor::End);
}

void TerminalReceiveBox::keyPressEvent(QKeyEvent *event)
{
    // Copying and selecting stay editor commands; every other character is typed.
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll) ||
        event->text().isEmpty()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    emit typed(TextEncoding::encodeWindows1252(event->text()));
    if (m_echo)
        QPlainTextEdit::keyPressEvent(event);
    else
        event->accept();
}

void TerminalReceiveBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    clear();
    event->accept();
}
