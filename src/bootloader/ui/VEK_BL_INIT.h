#pragma once

#include "icsp/ui/TransferFrame.h"

#include <array>

// The first-load window: three guided steps that load a firmware into a
// module for the first time. The steps are added beside this file.
class VEK_BL_INIT : public TransferFrame
{
    Q_OBJECT
public:
    explicit VEK_BL_INIT(VekContext &context, QWidget *parent = nullptr,
                         WindowPrompts *prompts = nullptr);

    QLabel *Label1 = nullptr;
    std::array<QPushButton *, 4> BP_STEP{}; // indexes 1 to 3
    std::array<QLabel *, 4> Lb_step{};      // indexes 1 to 3

protected:
    std::optional<QString> initialPanel3() const override { return std::nullopt; }
    bool showsReadyHelp() const override { return false; }
    void InitLangue() override;
    QList<QWidget *> lockedWhileRunning() const override;
};
