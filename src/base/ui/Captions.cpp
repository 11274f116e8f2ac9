#include "base/ui/Captions.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

void SetCaption(QWidget *control, const QString &text)
{
    if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
}
