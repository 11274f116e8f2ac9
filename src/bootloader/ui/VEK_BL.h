#pragma once

#include "icsp/ui/TransferFrame.h"

#include <array>

// The bootloader window: connection to the module's bootloader, curve-table
// download for each curve line and firmware download. The operations are
// added beside this file.
class VEK_BL : public TransferFrame
{
    Q_OBJECT
public:
    explicit VEK_BL(VekContext &context, QWidget *parent = nullptr,
                    WindowPrompts *prompts = nullptr);

    std::array<QPushButton *, 3> BP_DLOAD{}; // indexes 1 and 2

protected:
    std::optional<QString> initialPanel3() const override;
    void InitLangue() override;
    QList<QWidget *> lockedWhileRunning() const override;
};
