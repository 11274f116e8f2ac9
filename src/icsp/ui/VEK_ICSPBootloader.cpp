// The programmer window's bootloader buttons: the connection at 19200 bauds
// (the hello only), the curve-table download of curve set 1 and the firmware
// update, through the bootloader services of the shared context.
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "icsp/ui/StatusPanel.h"
#include "icsp/ui/VEK_ICSP.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

void VEK_ICSP::connectBootloader()
{
    connect(BP_tst, &QPushButton::clicked, this, &VEK_ICSP::BP_tst_Click);
    connect(BP_DLOAD, &QPushButton::clicked, this, &VEK_ICSP::BP_DLOAD_Click);
    connect(BP_MAJHEX, &QPushButton::clicked, this, &VEK_ICSP::BP_MAJHEX_Click);
}

bool VEK_ICSP::bootloaderConnected() const
{
    return m_bootloader && m_bootloader->connected();
}

// The checks come before the connect-or-disconnect decision.
void VEK_ICSP::BP_tst_Click()
{
    if (!m_bootloader && m_context.transfer.bootloader)
        m_bootloader = m_context.transfer.bootloader();
    if (transferRunning() || !m_bootloader)
        return;
    const QString &port = m_context.settings.ICSPPort;
    if (const std::optional<QString> refused =
            m_bootloader->refusal(port, m_context.TypeVersionOS)) {
        tellFailure(QMessageBox::NoIcon, {}, *refused);
        return;
    }
    if (bootloaderConnected()) {
        startTransfer(m_bootloader->disconnect(),
                      [this](const JobOutcome &outcome) { tellDisconnection(outcome); });
        return;
    }
    startTransfer(m_bootloader->connect(port, NomProgrammateur), [this](const JobOutcome &outcome) {
        if (!outcome.succeeded()) {
            tellConnectionFailure(outcome);
            return;
        }
        showLink(true);
        L_Info->clear();
    });
}

void VEK_ICSP::BP_DLOAD_Click()
{
    if (transferRunning() || !bootloaderConnected())
        return;
    const BootloaderJob prepared = m_bootloader->prepareCurves(
        m_context,
        [this](const QString &title, const QString &text) {
            return m_prompts.message(this, QMessageBox::Critical, title, text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        },
        [this](const QString &title, const QString &text) {
            m_prompts.message(this, QMessageBox::Critical, title, text, QMessageBox::Ok);
        });
    AfficherMemoire();
    if (refusedDownload(prepared, QMessageBox::Critical))
        return;
    // The areas about to be written, before anything is sent.
    m_prompts.message(this, QMessageBox::NoIcon, QCoreApplication::applicationName(),
                      prepared.notice, QMessageBox::Ok);
    startDownload(prepared.job, "MessTablesPartielles");
}

void VEK_ICSP::BP_MAJHEX_Click()
{
    if (transferRunning() || !bootloaderConnected())
        return;
    const BootloaderJob prepared =
        m_bootloader->prepareFirmware(m_context.settings, m_context.TypeVersionOS, m_context.pic);
    chipPrepared();
    if (refusedDownload(prepared, QMessageBox::NoIcon))
        return;
    panel(3)->setText(VEK_LANGUAGE::GetLanguageText("ICSPProcesseur") + m_context.pic.DeviceChip);
    startDownload(prepared.job, "MessFirmwarePartiel");
}

// A download leaves the connection open; a lost line leaves the window disconnected.
void VEK_ICSP::startDownload(const TransferJob &job, const char *leftWhenStopped)
{
    useProgressColour(VEK_BarGraph::Blue);
    startTransfer(
        job,
        [this](const JobOutcome &outcome) {
            if (!outcome.succeeded() && !bootloaderConnected())
                showLink(false);
            tellDownload(outcome);
        },
        VEK_LANGUAGE::GetLanguageText(leftWhenStopped));
}

// The bootloader's close when the line is still there; the programmer's own
// operations end their programming mode themselves.
TransferJob VEK_ICSP::closingAfterStop()
{
    if (!bootloaderConnected())
        return {};
    return m_bootloader->disconnect();
}
