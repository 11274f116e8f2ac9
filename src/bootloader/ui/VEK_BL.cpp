#include "bootloader/ui/VEK_BL.h"

#include "app/CurveTables.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "bootloader/BootloaderDownloads.h"
#include "firmware/ui/WindowTablePrompts.h"
#include "icsp/ui/StatusPanel.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

using VEK_LANGUAGE::GetLanguageText;

namespace {

const QString Settings57600 = QStringLiteral("57600,N,8,1");

} // namespace

VEK_BL::VEK_BL(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {{1147, 8819, 4410}, false, true}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_BL"));
    BP_DLOAD[1] = addButton("BP_DLOAD1", QStringLiteral("&Dowload"));
    BP_DLOAD[2] = addButton("BP_DLOAD2", QStringLiteral("&Dowload"));
    addLinkButtons({BP_DLOAD[1], BP_DLOAD[2]});
    // After the set-up only the port shown on the link bar changes.
    addSetupButton([this] { P2->DrawFond(m_context.settings.ICSPPort); });
    addQuitButton();
    connect(BP_tst, &QPushButton::clicked, this, &VEK_BL::BP_tst_Click);
    connect(BP_DLOAD[1], &QPushButton::clicked, this, [this] { BP_DLOAD_Click(1); });
    connect(BP_DLOAD[2], &QPushButton::clicked, this, [this] { BP_DLOAD_Click(2); });
    connect(BP_MAJHEX, &QPushButton::clicked, this, &VEK_BL::BP_MAJHEX_Click);
    Form_Load();
}

std::optional<QString> VEK_BL::initialPanel3() const
{
    return QStringLiteral("Module: LOCAL");
}

void VEK_BL::InitLangue()
{
    BP_DLOAD[1]->setText(GetLanguageText("MBdownload_L1"));
    BP_DLOAD[2]->setText(GetLanguageText("MBdownload_L2"));
    frameCaptions();
    panel(3)->setText(GetLanguageText("BEPItem3") + QStringLiteral(" LOCAL"));
}

QList<QWidget *> VEK_BL::lockedWhileRunning() const
{
    return {BP_DLOAD[1], BP_DLOAD[2]};
}

BootloaderTexts VEK_BL::texts() const
{
    return BootloaderTexts::load(m_context.settings.ICSPPort);
}

void VEK_BL::showBox(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    m_prompts.message(this, icon, title, text, QMessageBox::Ok);
}

// The checks come before the connect-or-disconnect decision, as the caption
// alone tells which one the click is.
void VEK_BL::BP_tst_Click()
{
    const MainSettings &s = m_context.settings;
    if (const std::optional<QString> refused =
            RefusTransfert(s.ICSPPort, m_context.TypeVersionOS)) {
        showBox(QMessageBox::NoIcon, {}, *refused);
        return;
    }
    auto session = m_session;
    if (m_session->connected()) {
        startTransfer(
            [session](TransferContext &t) {
                return Deconnecter(*session, true, t.progress, t.cancel);
            },
            [this](const JobOutcome &outcome) { disconnectionDone(outcome); });
        return;
    }
    ConnectionRequest request;
    request.device = PortBootloader(s.ICSPPort);
    request.settings = Settings57600;
    request.nomProgrammateur = NomProgrammateur;
    request.texts = texts();
    startTransfer(
        [session, request](TransferContext &t) {
            return Connecter(*session, request, t.progress, t.cancel);
        },
        [this](const JobOutcome &outcome) { connectionDone(outcome); });
}

void VEK_BL::showLink(bool connected)
{
    BP_tst->setText(GetLanguageText(connected ? "MBDeconnection" : "MBConnection"));
    P2->setProgressColor(connected ? 65280 : 255);
    P2->DrawFond(m_context.settings.ICSPPort);
    BP_DLOAD[1]->setEnabled(connected);
    BP_DLOAD[2]->setEnabled(connected);
    BP_MAJHEX->setEnabled(connected);
    BP_UPLOAD->setEnabled(false);
}

void VEK_BL::connectionDone(const JobOutcome &outcome)
{
    if (outcome.succeeded()) {
        showLink(true);
        L_Info->setText(BootloaderMessages::Connected);
        panel(3)->setText(m_session->identity.texteEtat());
        return;
    }
    showLink(false);
    if (outcome.code == BootloaderGreetingFailed) {
        showBox(QMessageBox::Question, GetLanguageText("TransferPCModule") + ' ' + NomProgrammateur,
                outcome.message);
        L_Info->clear();
        return;
    }
    showBox(QMessageBox::NoIcon, {}, outcome.message);
}

void VEK_BL::disconnectionDone(const JobOutcome &outcome)
{
    showLink(false);
    panel(3)->setText(QStringLiteral("LOCAL"));
    if (outcome.succeeded()) {
        QApplication::beep();
        L_Info->setText(BootloaderMessages::CloseDone);
        return;
    }
    L_Info->setText(BootloaderMessages::CloseFailedInfo);
    showBox(QMessageBox::NoIcon, {}, BootloaderMessages::CloseFailed);
}

void VEK_BL::BP_DLOAD_Click(int index)
{
    if (!m_session->connected())
        return;
    CurveDownloadRequest request;
    request.DeviceChip = m_context.pic.DeviceChip;
    request.gridRows = CurveTables::Grille(m_context).rowCount();
    request.curveProblem = m_context.tab_avance.invalidValuesMessage();
    request.placement = DemandePlacement(m_context.settings, m_context.mapBoxes.tbMapAdj, index);
    WindowTablePrompts questions(this, m_prompts);
    const int16_t type = m_context.settings.TypeCompilation;
    request.generer = [this, type, &questions](TableIncludeFiles::TablesExport &tables) {
        return CurveTables::GenererTablesExport(type, m_context, questions, tables);
    };
    const CurveDownloadPlan plan = PreparerTelechargementCourbes(request, m_context.pic);
    chipPrepared();
    if (!plan.plan) {
        showBox(QMessageBox::Critical, plan.refusal.title, plan.refusal.text);
        return;
    }
    const PicImage image = m_context.pic.ImagePIC;
    const TablePlacement::Plan tables = *plan.plan;
    const BootloaderTexts t = texts();
    startDownload(
        [image, tables, t](BootloaderSession &s, ProgressSink &p, const CancelToken &c) {
            return TelechargerCourbes(s, image, tables, t, p, c);
        },
        BootloaderMessages::CurvesOk);
}

void VEK_BL::BP_MAJHEX_Click()
{
    if (!m_session->connected())
        return;
    const FirmwareDownloadPlan plan =
        PreparerTelechargementFirmware(m_context.settings, m_context.pic);
    chipPrepared();
    if (!plan.range) {
        L_Info->setText(plan.refusal.text);
        showBox(QMessageBox::NoIcon, plan.refusal.title, plan.refusal.text);
        return;
    }
    const PicImage image = m_context.pic.ImagePIC;
    const TablePlacement::WordRange range = *plan.range;
    const BootloaderTexts t = texts();
    startDownload(
        [image, range, t](BootloaderSession &s, ProgressSink &p, const CancelToken &c) {
            return TelechargerFirmware(s, image, range, t, p, c);
        },
        BootloaderMessages::FirmwareOk);
}

// The download runs on the window's connection, as a job of the window.
void VEK_BL::startDownload(const Download &send, const QString &success)
{
    P1->setTextColor(0);
    P1->setProgressColor(0xFF0000);
    auto session = m_session;
    startTransfer(
        [session, send](TransferContext &c) { return send(*session, c.progress, c.cancel); },
        [this, success](const JobOutcome &outcome) { downloadDone(outcome, success); });
}

// Success and failure are both told in this window; a lost line leaves it
// disconnected.
void VEK_BL::downloadDone(const JobOutcome &outcome, const QString &success)
{
    const QString title = QCoreApplication::applicationName();
    if (outcome.succeeded()) {
        showBox(QMessageBox::NoIcon, title, success);
        L_Info->clear();
        panel(2)->setPicture({}); // the progress bar is taken away
        return;
    }
    if (!m_session->connected()) {
        showLink(false);
        panel(3)->setText(QStringLiteral("LOCAL"));
    }
    showBox(QMessageBox::Critical, title, outcome.message);
}
