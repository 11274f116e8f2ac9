#include "base/ui/HexAddressBox.h"

#include <QLineEdit>

#include <algorithm>

QLineEdit *HexAddressBox(QLineEdit *edit, int maxWidth)
{
    const int digits = edit->fontMetrics().horizontalAdvance(QStringLiteral("1FFFFF"));
    edit->setMinimumWidth(std::min(maxWidth, digits + 12));
    edit->setMaximumWidth(maxWidth);
    return edit;
}
