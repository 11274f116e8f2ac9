#pragma once

#include "icsp/ui/TransferFrame.h"

// The compatible-family window: link to a module of the compatible family and
// upload of its tables. The operations are added beside this file.
class VEK_KORVAL : public TransferFrame
{
    Q_OBJECT
public:
    explicit VEK_KORVAL(VekContext &context, QWidget *parent = nullptr,
                        WindowPrompts *prompts = nullptr);

    QPushButton *BP_DLOAD = nullptr;

protected:
    bool buildsProgrammerLabel() const override { return false; }
    QString caption() const override;
    std::optional<QString> initialPanel3() const override;
    void InitLangue() override;
    QList<QWidget *> lockedWhileRunning() const override;
};
