#pragma once

#include <QString>

// How the table generators talk to the user: the windows show message boxes,
// the tests answer from a script.
class TableGenerationPrompts
{
public:
    virtual ~TableGenerationPrompts() = default;
    // A Yes/No question with the critical icon; true for Yes.
    virtual bool askTruncation(const QString &title, const QString &text) = 0;
    // A critical message with an OK button.
    virtual void showError(const QString &title, const QString &text) = 0;
};
