#include "bootloader/ui/VEK_BL.h"

#include "app/CurveTables.h"
#include "app/VekContext.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "bootloader/BootloaderDownloads.h"
#include "firmware/ui/WindowTablePrompts.h"
#include "icsp/ui/StatusPanel.h"

#include <QLabel>
#include <QPushButton>

using VEK_LANGUAGE::GetLanguageText;

VEK_BL::VEK_BL(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {.panelTwips = {1147, 8819, 4410}, .hoverHelp = true}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_BL"));
    BP_DLOAD[1] = addButton("BP_DLOAD1", GetLanguageText("MBdownload_L1"));
    BP_DLOAD[2] = addButton("BP_DLOAD2", GetLanguageText("MBdownload_L2"));
    addLinkButtons({BP_DLOAD[1], BP_DLOAD[2]});
    // After the set-up only the port shown on the link bar changes.
    addSetupButton([this](bool) { drawLinkBar(m_session->connected()); });
    addQuitButton();
    connect(BP_tst, &QPushButton::clicked, this, &VEK_BL::BP_tst_Click);
    connect(BP_DLOAD[1], &QPushButton::clicked, this, [this] { BP_DLOAD_Click(1); });
    connect(BP_DLOAD[2], &QPushButton::clicked, this, [this] { BP_DLOAD_Click(2); });
    connect(BP_MAJHEX, &QPushButton::clicked, this, &VEK_BL::BP_MAJHEX_Click);
    Form_Load();
}

std::optional<QString> VEK_BL::initialPanel3() const
{
    return GetLanguageText("BLModuleLocal");
}

void VEK_BL::InitLangue()
{
    BP_DLOAD[1]->setText(GetLanguageText("MBdownload_L1"));
    BP_DLOAD[2]->setText(GetLanguageText("MBdownload_L2"));
    frameCaptions();
    panel(3)->setText(localModule());
}

QString VEK_BL::localModule()
{
    return GetLanguageText("BEPItem3") + QLatin1Char(' ') + GetLanguageText("ModuleLocal");
}

QList<QWidget *> VEK_BL::lockedWhileRunning() const
{
    return {BP_DLOAD[1], BP_DLOAD[2]};
}

// The checks come before the connect-or-disconnect decision, which the
// session's connected state makes.
void VEK_BL::BP_tst_Click()
{
    const MainSettings &s = m_context.settings;
    if (const std::optional<QString> refused =
            RefusTransfert(s.ICSPPort, m_context.TypeVersionOS)) {
        tellFailure(QMessageBox::NoIcon, {}, *refused);
        return;
    }
    if (m_session->connected()) {
        startTransfer(DisconnectionJob(m_session, true),
                      [this](const JobOutcome &outcome) { disconnectionDone(outcome); });
        return;
    }
    const ConnectionRequest request =
        ConnectionRequest::forPort(s.ICSPPort, ModuleLinkSettings, true, NomProgrammateur);
    startTransfer(ConnectionJob(m_session, request),
                  [this](const JobOutcome &outcome) { connectionDone(outcome); });
}

void VEK_BL::connectionDone(const JobOutcome &outcome)
{
    if (!outcome.succeeded()) {
        tellConnectionFailure(outcome);
        return;
    }
    showLink(true);
    // A firmware without a second set of tables has no curve 2 to send.
    BP_DLOAD[2]->setEnabled(JeuDeCourbes(m_context.settings, 2));
    L_Info->setText(outcome.message);
    // What a user checks before a download: never cut, on one line.
    panel(3)->setWholeText(TextEncoding::visibleControls(m_session->identity.texteEtat()));
}

void VEK_BL::disconnectionDone(const JobOutcome &outcome)
{
    panel(3)->setText(GetLanguageText("ModuleLocal"));
    tellDisconnection(outcome);
}

void VEK_BL::BP_DLOAD_Click(int index)
{
    if (!m_session->connected())
        return;
    if (!JeuDeCourbes(m_context.settings, index)) {
        m_session->transferRefused(); // for what the disconnection says
        tellFailure(QMessageBox::Critical, GetLanguageText("DownloadCourbesTitre"),
                    GetLanguageText("MessPasDeCourbe2"));
        return;
    }
    WindowTablePrompts questions(this, m_prompts);
    const CurveDownloadRequest request = CurveTables::DemandeTelechargement(
        m_context,
        [&questions](const QString &title, const QString &text) {
            return questions.askTruncation(title, text);
        },
        [&questions](const QString &title, const QString &text) {
            questions.showError(title, text);
        },
        index);
    const BootloaderJob prepared =
        PreparerJobCourbes(m_session, request, m_context.pic, m_context.settings.ICSPPort);
    chipPrepared();
    if (refusedDownload(prepared, QMessageBox::Critical))
        return;
    startDownload(prepared.job, "MessTablesPartielles");
}

void VEK_BL::BP_MAJHEX_Click()
{
    if (!m_session->connected())
        return;
    const BootloaderJob prepared =
        PreparerJobFirmware(m_session, m_context.settings, m_context.TypeVersionOS, m_context.pic);
    chipPrepared();
    if (refusedDownload(prepared, QMessageBox::NoIcon))
        return;
    startDownload(prepared.job, "MessFirmwarePartiel");
}

// The download runs on the window's connection, as a job of the window.
void VEK_BL::startDownload(TransferJob job, const char *leftWhenStopped)
{
    useProgressColour(VEK_BarGraph::Blue);
    startTransfer(
        std::move(job), [this](const JobOutcome &outcome) { downloadDone(outcome); },
        GetLanguageText(leftWhenStopped));
}

// The window's own ending of a transfer, when the line is still there.
TransferJob VEK_BL::closingAfterStop()
{
    if (!m_session->connected())
        return {};
    return DisconnectionJob(m_session, true);
}

// Quitting (the quit button, the close box, Escape) with the link open and
// idle ends the transfer as the connection button does, so that the module
// gets its close; the window closes once it has.
void VEK_BL::reject()
{
    if (transferRunning() || !m_session->connected()) {
        TransferFrame::reject();
        return;
    }
    startTransfer(DisconnectionJob(m_session, true), [this](const JobOutcome &outcome) {
        disconnectionDone(outcome);
        TransferFrame::reject();
    });
}

// Success and failure are both told in this window; a lost line leaves it
// disconnected.
void VEK_BL::downloadDone(const JobOutcome &outcome)
{
    if (!outcome.succeeded() && !m_session->connected()) {
        showLink(false);
        panel(3)->setText(GetLanguageText("ModuleLocal"));
    }
    tellDownload(outcome);
}
