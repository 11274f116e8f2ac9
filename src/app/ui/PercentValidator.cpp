#include "app/ui/PercentValidator.h"

#include "app/MapAdvanceTable.h"

#include <QLineEdit>

QValidator::State PercentValidator::validate(QString &input, int &) const
{
    return MapAdvanceTable::IsPercentText(input) ? Acceptable : Invalid;
}

void PercentValidator::Install(QLineEdit *box)
{
    box->setMaxLength(6); // " 100.0"
    box->setValidator(new PercentValidator(box));
}
