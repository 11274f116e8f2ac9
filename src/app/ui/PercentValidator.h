#pragma once

#include <QValidator>

class QLineEdit;

// Keeps a MAP percentage box within 0 to 100 (one decimal at most): a box
// holding more would carry the map past the boost curve and off its palette.
class PercentValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;

    // Sets the validator and the length limit on a box.
    static void Install(QLineEdit *box);
};
