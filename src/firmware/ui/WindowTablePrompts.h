#pragma once

#include "firmware/TableGenerationPrompts.h"

class QWidget;
class WindowPrompts;

// The table generators' questions and errors as message boxes of a window.
class WindowTablePrompts : public TableGenerationPrompts
{
public:
    WindowTablePrompts(QWidget *parent, WindowPrompts &prompts)
        : m_parent(parent), m_prompts(prompts)
    {}
    bool askTruncation(const QString &title, const QString &text) override;
    void showError(const QString &title, const QString &text) override;

private:
    QWidget *m_parent;
    WindowPrompts &m_prompts;
};
