#include "bootloader/ui/VEK_BL_INIT.h"

#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "bootloader/BootloaderDownloads.h"
#include "bootloader/BootloaderTexts.h"
#include "icsp/ui/StatusPanel.h"

#include <QApplication>

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;

VEK_BL_INIT::VEK_BL_INIT(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {.panelTwips = {1147, 10583, 0}, .hoverHelp = false}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_BL_INIT"));
    Label1 = new QLabel(GetLanguageText("BLInitTitre"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont title = Label1->font();
    title.setBold(true);
    Label1->setFont(title);
    body()->addWidget(Label1);
    auto *steps = new QGridLayout;
    // Each instruction on its own line.
    const QString powerOff = GetLanguageText("BLCouperAlimentation");
    const QString powerOn = GetLanguageText("BLRetablirAlimentation");
    const QStringList instructions[3] = {
        {powerOff, GetLanguageText("BLBasculerOff"), powerOn},
        {GetLanguageText("BLLancerTransfert")},
        {powerOff, GetLanguageText("BLBasculerOn"), powerOn},
    };
    for (int i = 1; i <= 3; ++i) {
        BP_STEP[size_t(i)] = addButton(qPrintable(QStringLiteral("BP_STEP%1").arg(i)),
                                       GetLanguageText("BLEtape", {"%1", QString::number(i)}));
        Lb_step[size_t(i)] = new QLabel(instructions[i - 1].join(QLatin1Char('\n')), this);
        Lb_step[size_t(i)]->setObjectName(QStringLiteral("Lb_step%1").arg(i));
        steps->addWidget(BP_STEP[size_t(i)], i, 0);
        steps->addWidget(Lb_step[size_t(i)], i, 1);
    }
    steps->setColumnStretch(2, 1);
    body()->addLayout(steps);
    body()->addStretch(); // grown, the steps stay under their title
    BP_STEP[2]->setEnabled(false);
    BP_STEP[3]->setEnabled(false);
    addQuitButton();
    connect(BP_STEP[1], &QPushButton::clicked, this, &VEK_BL_INIT::BP_STEP1_Click);
    connect(BP_STEP[2], &QPushButton::clicked, this, &VEK_BL_INIT::BP_STEP2_Click);
    connect(BP_STEP[3], &QPushButton::clicked, this, &VEK_BL_INIT::BP_STEP3_Click);
    Form_Load();
}

void VEK_BL_INIT::InitLangue()
{
    frameCaptions();
}

QList<QWidget *> VEK_BL_INIT::lockedWhileRunning() const
{
    return {BP_STEP[1], BP_STEP[2], BP_STEP[3]};
}

void VEK_BL_INIT::message(QMessageBox::Icon icon, const QString &text)
{
    m_prompts.message(this, icon, QCoreApplication::applicationName(), text, QMessageBox::Ok);
}

void VEK_BL_INIT::BP_STEP1_Click()
{
    BP_STEP[2]->setEnabled(true);
}

// Connects (three hellos), then sends the package's firmware. A second click
// starts over on a freshly opened port.
void VEK_BL_INIT::BP_STEP2_Click()
{
    const QString &port = m_context.settings.ICSPPort;
    if (const std::optional<QString> refusal = RefusTransfert(port, m_context.TypeVersionOS)) {
        tellFailure(QMessageBox::NoIcon, QCoreApplication::applicationName(), *refusal);
        return;
    }
    m_session->close();
    L_Info->setText(GetLanguageText("BLDebutCommunication"));
    ConnectionRequest request =
        ConnectionRequest::forPort(port, ModuleLinkSettings, false, NomProgrammateur);
    request.unansweredStatus = GetLanguageText("BLModuleNonTrouve");
    startTransfer(ConnectionJob(m_session, request), [this](const JobOutcome &outcome) {
        if (connected(outcome))
            downloadFirmware();
    });
}

// The link as the connection left it; true when it is open.
bool VEK_BL_INIT::connected(const JobOutcome &outcome)
{
    if (!outcome.succeeded()) {
        if (outcome.code == BootloaderGreetingFailed) {
            L_Info->setText(GetLanguageText("BLModuleNonTrouve"));
            BP_STEP[2]->setEnabled(false);
            BP_STEP[3]->setEnabled(false);
        } else {
            // The port could not be opened, or the line went: said, the steps kept.
            L_Info->setText(outcome.message);
        }
        showOutcome(false, L_Info->text());
        if (outcome.code == BootloaderPortFailed)
            message(QMessageBox::Critical, outcome.message);
        return false;
    }
    drawLinkBar(m_session->connected());
    // The module found, the user goes on with step 3 or starts again from step 1.
    BP_STEP[2]->setEnabled(false);
    BP_STEP[3]->setEnabled(true);
    return true;
}

// The package's firmware over the connection step 2 has just opened.
void VEK_BL_INIT::downloadFirmware()
{
    const BootloaderJob prepared =
        PreparerJobFirmware(m_session, m_context.settings, m_context.TypeVersionOS, m_context.pic);
    chipPrepared();
    if (refusedDownload(prepared, QMessageBox::NoIcon))
        return;
    startTransfer(
        prepared.job, [this](const JobOutcome &outcome) { downloaded(outcome); },
        GetLanguageText("MessFirmwarePartiel"));
}

// Step 3's close, when the line is still there.
TransferJob VEK_BL_INIT::closingAfterStop()
{
    if (!m_session->connected())
        return {};
    return DisconnectionJob(m_session, false);
}

// After a failure step 3 stays open while the line is there, so that the user
// can still close the transfer; a lost line leaves nothing to close.
void VEK_BL_INIT::downloaded(const JobOutcome &outcome)
{
    if (!m_session->connected()) {
        drawLinkBar(false);
        BP_STEP[3]->setEnabled(false);
    }
    tellDownload(outcome);
}

void VEK_BL_INIT::BP_STEP3_Click()
{
    startTransfer(DisconnectionJob(m_session, false),
                  [this](const JobOutcome &outcome) { closed(outcome); });
}

void VEK_BL_INIT::closed(const JobOutcome &outcome)
{
    if (outcome.succeeded()) {
        QApplication::beep();
        L_Info->setText(outcome.message); // or that the last transfer failed
    } else {
        // The close's own status stays in the label: the fixed text and why.
        message(QMessageBox::NoIcon, outcome.message);
    }
    showOutcome(outcome.succeeded(), L_Info->text());
    drawLinkBar(m_session->connected());
    BP_STEP[2]->setEnabled(false);
    BP_STEP[3]->setEnabled(false);
}
