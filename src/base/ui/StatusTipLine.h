#pragma once

#include "base/ui/ElidedLabel.h"

// Where a dialog shows the status tip of the control under the pointer (its
// hover help): one line of its own, so that help never covers what the
// window's information line says of the latest operation. It takes the status
// tips that reach `window` (Qt sends a control's tip when the pointer enters
// it, and an empty one when it leaves).
class StatusTipLine : public ElidedLabel
{
    Q_OBJECT
public:
    explicit StatusTipLine(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
