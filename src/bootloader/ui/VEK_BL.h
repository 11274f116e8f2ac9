#pragma once

#include "bootloader/BootloaderSession.h"
#include "icsp/ui/TransferFrame.h"

#include <QMessageBox>

#include <array>
#include <memory>

// The bootloader window: connection to the module's bootloader, curve-table
// download for each curve set and firmware download. Each exchange runs as a
// job of the frame (buttons locked, progress on the bars, status in L_Info);
// the window only prepares it and shows its outcome.
class VEK_BL : public TransferFrame
{
    Q_OBJECT
public:
    explicit VEK_BL(VekContext &context, QWidget *parent = nullptr,
                    WindowPrompts *prompts = nullptr);

    std::array<QPushButton *, 3> BP_DLOAD{}; // indexes 1 and 2

    void BP_tst_Click();
    void BP_DLOAD_Click(int index);
    void BP_MAJHEX_Click();

    // The connection and the module's identity (tests).
    const BootloaderSession &session() const { return *m_session; }

protected:
    std::optional<QString> initialPanel3() const override;
    void InitLangue() override;
    QList<QWidget *> lockedWhileRunning() const override;
    TransferJob closingAfterStop() override;
    void reject() override;

private:
    void connectionDone(const JobOutcome &outcome);
    void disconnectionDone(const JobOutcome &outcome);
    void startDownload(TransferJob job, const char *leftWhenStopped);
    void downloadDone(const JobOutcome &outcome);

    std::shared_ptr<BootloaderSession> m_session = std::make_shared<BootloaderSession>();
};
