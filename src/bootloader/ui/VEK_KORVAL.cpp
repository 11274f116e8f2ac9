#include "bootloader/ui/VEK_KORVAL.h"

#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "base/PortFailureTexts.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "bootloader/BootloaderSession.h"
#include "bootloader/BootloaderTexts.h"
#include "icsp/MemoryViewText.h"
#include "icsp/ui/StatusPanel.h"
#include "platform/TtyByteLink.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using VEK_LANGUAGE::GetLanguageText;

namespace {

// The table's bytes as the programmer window shows memory: the address, then
// eight bytes in hexadecimal per line.
QString tableText(const QString &title, const std::array<uint8_t, 256> &table)
{
    QString text = title;
    for (const MemoryViewText::Line &line : MemoryViewText::byteLines(table.data(), 256))
        text += QLatin1Char('\n') + line.address + line.data;
    return text;
}

} // namespace

VEK_KORVAL::VEK_KORVAL(VekContext &context, QWidget *parent, WindowPrompts *prompts)
    : TransferFrame(context, {.panelTwips = {1147, 8643, 2117}, .hoverHelp = true}, parent, prompts)
{
    setObjectName(QStringLiteral("VEK_KORVAL"));
    T_Tables = new QPlainTextEdit(this);
    T_Tables->setObjectName(QStringLiteral("T_Tables"));
    T_Tables->setReadOnly(true);
    T_Tables->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    T_Tables->setMinimumSize(T_Tables->fontMetrics().horizontalAdvance(QString(34, 'W')), 160);
    body()->addWidget(T_Tables);
    BP_DLOAD = addButton("BP_DLOAD", GetLanguageText("MBdownload"));
    addLinkButtons({BP_DLOAD});
    BP_Annuler = addButton("BP_Annuler", GetLanguageText("MAnnuler"), nullptr, Starts::Nothing);
    BP_Annuler->setEnabled(false);
    buttonRow()->addWidget(BP_Annuler);
    // The port is the programmer's: its set-up chooses it, and the link bar shows it.
    addSetupButton([this](bool) { drawLinkBar(linkOpen()); });
    addQuitButton();
    panel(3)->setWholeText(GetLanguageText("ModuleConnecte")); // as wide as it from the start
    connect(BP_tst, &QPushButton::clicked, this, &VEK_KORVAL::BP_tst_Click);
    connect(BP_UPLOAD, &QPushButton::clicked, this, &VEK_KORVAL::BP_UPLOAD_Click);
    connect(BP_Annuler, &QPushButton::clicked, this, &VEK_KORVAL::BP_Annuler_Click);
    Form_Load();
}

QString VEK_KORVAL::caption() const
{
    return GetLanguageText("KorvalTitre");
}

std::optional<QString> VEK_KORVAL::initialPanel3() const
{
    return GetLanguageText("ModuleLocal");
}

void VEK_KORVAL::InitLangue()
{
    BP_DLOAD->setText(GetLanguageText("MBdownload"));
    BP_Annuler->setText(GetLanguageText("MAnnuler"));
    frameCaptions();
    panel(3)->setText(GetLanguageText("ModuleLocal"));
}

QList<QWidget *> VEK_KORVAL::lockedWhileRunning() const
{
    return {BP_DLOAD};
}

void VEK_KORVAL::BP_tst_Click()
{
    const QString &port = m_context.settings.ICSPPort;
    if (const std::optional<QString> refusal = RefusTransfert(port, m_context.TypeVersionOS)) {
        tellFailure(QMessageBox::NoIcon, QCoreApplication::applicationName(), *refusal);
        return;
    }
    if (linkOpen())
        disconnectLink();
    else
        connectLink();
}

// A port that cannot be opened is reported and leaves the window disconnected.
void VEK_KORVAL::connectLink()
{
    m_link.reset();
    const QString &port = m_context.settings.ICSPPort;
    auto opened = TtyByteLink::open(PortBootloader(port), LinkSettings);
    if (!opened) {
        tellFailure(QMessageBox::Critical, QCoreApplication::applicationName(),
                    PortFailureTexts::load().describe(port, opened));
        return;
    }
    m_link = std::shared_ptr<ByteLink>(std::move(opened.device));
    m_link->discardInput();
    showLink(linkOpen()); // and ready in status panel 2
    L_Info->clear();      // an earlier failure is over
    panel(3)->setText(GetLanguageText("ModuleConnecte"));
    // The module of this family takes neither download nor update: only the upload.
    BP_DLOAD->setEnabled(false);
    BP_MAJHEX->setEnabled(false);
    BP_UPLOAD->setEnabled(true);
}

void VEK_KORVAL::disconnectLink()
{
    panel(2)->setText(QString());
    panel(3)->setText(GetLanguageText("ModuleLocal"));
    m_link.reset();
    showLink(linkOpen());
}

void VEK_KORVAL::BP_UPLOAD_Click()
{
    if (!m_link)
        return;
    // The tables of the last complete upload stay in view until this one
    // completes: one that stops short replaces nothing.
    useProgressColour(VEK_BarGraph::Yellow);
    L_Info->clear(); // the ready help does not stand during the upload
    auto upload =
        std::make_shared<CompatibleFamilyUpload>(*m_link, byteTimeoutMs, FamilyUploadTexts::load());
    // The job keeps the port it reads alive, whatever the window does meanwhile.
    const bool started = startTransfer(
        [upload, link = m_link](TransferContext &t) { return (*upload)(t.progress, t.cancel); },
        [this, upload](const JobOutcome &) { uploadEnded(*upload); });
    BP_Annuler->setEnabled(started);
}

void VEK_KORVAL::BP_Annuler_Click()
{
    runner().cancel();
}

// The end, whatever the outcome: the bar leaves the status bar, then the
// module's texts (or the reason of the stop) and the closing message.
void VEK_KORVAL::uploadEnded(const CompatibleFamilyUpload &upload)
{
    BP_Annuler->setEnabled(false);
    L_Info->clear();
    panel(2)->setPicture(QImage());
    const QString title = GetLanguageText("MessKorvalTitre");
    if (upload.end() == FamilyUploadEnd::Complete) {
        m_tables = upload.tables();
        showTables();
        L_Info->setText(
            GetLanguageText("MessKorvalLu") + QLatin1Char('\n') +
            GetLanguageText("MessKorvalTextes",
                            {"{NOM}", TextEncoding::visibleControls(m_tables->texte8()), "{TEXTE}",
                             TextEncoding::visibleControls(m_tables->texte40())}));
        showOutcome(true, L_Info->text());
        m_prompts.message(this, QMessageBox::Information, title, L_Info->text(), QMessageBox::Ok);
        return;
    }
    QString reason = stopReason(upload);
    if (m_tables) // what the view still shows
        reason += QLatin1Char('\n') + GetLanguageText("MessKorvalTablesPrecedentes");
    L_Info->setText(reason);
    if (upload.end() == FamilyUploadEnd::LinkFailed)
        disconnectLink(); // the port is gone: connect again once it is back
    showOutcome(false, reason);
    m_prompts.message(this, QMessageBox::Critical, title,
                      GetLanguageText("ICSPReadStopped") + QLatin1Char('\n') + reason,
                      QMessageBox::Ok);
}

QString VEK_KORVAL::stopReason(const CompatibleFamilyUpload &upload) const
{
    const QString received = QString::number(upload.received());
    switch (upload.end()) {
    case FamilyUploadEnd::NoAnswer:
        return GetLanguageText("MessKorvalSilence", {"{MS}", QString::number(byteTimeoutMs)});
    case FamilyUploadEnd::ShortStream:
        return GetLanguageText("MessKorvalIncomplet", {"{RECUS}", received});
    case FamilyUploadEnd::WrongMarker:
        return GetLanguageText("MessKorvalMarqueur", {"{OCTET}", HexInt(upload.markerSeen(), 2)});
    case FamilyUploadEnd::Cancelled:
        return GetLanguageText("MessKorvalAnnule", {"{RECUS}", received});
    case FamilyUploadEnd::LinkFailed:
        return GetLanguageText("MessPortPerdu",
                               {"{PORT}", m_context.settings.ICSPPort, "{RAISON}",
                                PortFailureTexts::load().lossReason(upload.linkFailure())});
    case FamilyUploadEnd::Complete:
        break;
    }
    return {};
}

void VEK_KORVAL::showTables()
{
    T_Tables->setPlainText(tableText(GetLanguageText("MLTableBasse"), m_tables->basse) +
                           QStringLiteral("\n\n") +
                           tableText(GetLanguageText("MLTableHaute"), m_tables->haute));
}
