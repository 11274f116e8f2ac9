#include "firmware/ui/WindowTablePrompts.h"

#include "base/ui/WindowPrompts.h"

bool WindowTablePrompts::askTruncation(const QString &title, const QString &text)
{
    return m_prompts.message(m_parent, QMessageBox::Critical, title, text,
                             QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void WindowTablePrompts::showError(const QString &title, const QString &text)
{
    m_prompts.message(m_parent, QMessageBox::Critical, title, text, QMessageBox::Ok);
}
