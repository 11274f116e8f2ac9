#pragma once

#include "bootloader/BootloaderSession.h"
#include "icsp/ui/TransferFrame.h"

#include <QMessageBox>

#include <array>
#include <memory>

// The first-load window: three guided steps that load a firmware into a
// module for the first time. Step 1 only unlocks step 2; step 2 connects to the
// bootloader (hello, three tries) and sends the package's firmware; step 3
// closes the transfer. The exchanges run as jobs, the step buttons locked.
class VEK_BL_INIT : public TransferFrame
{
    Q_OBJECT
public:
    explicit VEK_BL_INIT(VekContext &context, QWidget *parent = nullptr,
                         WindowPrompts *prompts = nullptr);

    QLabel *Label1 = nullptr;
    std::array<QPushButton *, 4> BP_STEP{}; // indexes 1 to 3
    std::array<QLabel *, 4> Lb_step{};      // indexes 1 to 3

    void BP_STEP1_Click();
    void BP_STEP2_Click();
    void BP_STEP3_Click();

    // The bootloader connection of step 2 (tests look at it).
    const BootloaderSession &session() const { return *m_session; }

protected:
    std::optional<QString> initialPanel3() const override { return std::nullopt; }
    bool showsReadyHelp() const override { return false; }
    void InitLangue() override;
    QList<QWidget *> lockedWhileRunning() const override;
    TransferJob closingAfterStop() override;

private:
    bool connected(const JobOutcome &outcome);
    void downloadFirmware();
    void downloaded(const JobOutcome &outcome);
    void closed(const JobOutcome &outcome);
    void message(QMessageBox::Icon icon, const QString &text);

    std::shared_ptr<BootloaderSession> m_session = std::make_shared<BootloaderSession>();
};
