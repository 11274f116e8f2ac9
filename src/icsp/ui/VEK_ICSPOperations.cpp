// The programmer window's operations: read, write, erase, verification and
// table programming through the programmer, the HEX files, INIT BUFF, the user
// IDs.
#include "icsp/ui/VEK_ICSP.h"

#include "app/CurveTables.h"
#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "icsp/ChipTable.h"
#include "icsp/ProgrammerOperations.h"
#include "icsp/ui/StatusPanel.h"
#include "platform/DataPaths.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>

#include <memory>

using Stage = IcspResult::Stage;
using Format = ImageFileServices::Format;
using VEK_LANGUAGE::GetLanguageText;
namespace Reports = ProgrammerReports;

namespace {

JobOutcome outcomeOf(const IcspResult &result)
{
    if (result.ok())
        return JobOutcome::success();
    if (result.stage == Stage::Cancelled)
        return JobOutcome::cancelled({});
    return JobOutcome::failure({}, result.code);
}

QString packageFolder()
{
    return DataPaths::UserProgramDirectory() + QStringLiteral("HEX_XEH/");
}

} // namespace

void VEK_ICSP::connectOperations()
{
    const std::pair<QPushButton *, void (VEK_ICSP::*)()> handlers[] = {
        {BP_ReadModule, &VEK_ICSP::BP_ReadModule_Click},
        {BP_WriteModule, &VEK_ICSP::BP_WriteModule_Click},
        {BP_EraseDevice, &VEK_ICSP::BP_EraseDevice_Click},
        {BP_VerifyDevice, &VEK_ICSP::BP_VerifyDevice_Click},
        {BP_ProgTables, &VEK_ICSP::BP_ProgTables_Click},
        {KivCommand1, &VEK_ICSP::KivCommand1_Click},
        {BP_IMPORT_HEX, &VEK_ICSP::BP_IMPORT_HEX_Click},
        {BP_EXPORT_HEX, &VEK_ICSP::BP_EXPORT_HEX_Click},
        {BP_IMPORT_XEH, &VEK_ICSP::BP_IMPORT_XEH_Click},
        {BP_EXPORT_XEH, &VEK_ICSP::BP_EXPORT_XEH_Click},
        {BP_Clear, &VEK_ICSP::BP_Clear_Click},
    };
    for (const auto &[button, handler] : handlers)
        connect(button, &QPushButton::clicked, this, handler);
    connect(MnuEditHex, &QAction::triggered, this, &VEK_ICSP::MnuEditHex_Click);
    T_ProgramMem->viewport()->installEventFilter(this);
}

void VEK_ICSP::runProgrammer(Operation operation, Finished finished, const QString &leftWhenStopped)
{
    auto result = std::make_shared<IcspResult>();
    auto device = std::make_shared<PicDevice>(m_context.pic);
    const IcspTexts texts = ProgrammerOperationTexts(m_context.pic);
    startTransfer(
        [operation, result, device, texts](TransferContext &t) {
            IcspProgrammer programmer(t.settings, t.clock, t.programmerPort, texts);
            programmer.attach(&t.progress, &t.cancel);
            *result = operation(programmer, *device);
            return outcomeOf(*result);
        },
        [this, result, device, finished](const JobOutcome &) {
            const bool done = finished(*result, *device);
            if (!transferRunning())
                showOutcome(done, L_Info->text());
        },
        leftWhenStopped);
}

void VEK_ICSP::clearBar()
{
    panel(2)->setPicture(QImage());
}

// ---- read -------------------------------------------------------------------

void VEK_ICSP::BP_ReadModule_Click()
{
    if (transferRunning())
        return;
    tellProgress(GetLanguageText("ICSPLectureModule", {"{MODULE}", NomProgrammateur}));
    useProgressColour(VEK_BarGraph::Blue);
    const QString chip = m_context.settings.ICSPChip;
    runProgrammer([chip](IcspProgrammer &p, PicDevice &d) { return ReadChip(p, d, chip); },
                  [this](const IcspResult &r, PicDevice &d) { return readFinished(r, d); });
}

bool VEK_ICSP::readFinished(const IcspResult &result, PicDevice &read)
{
    // What was read up to a failure or a cancel stays in the image.
    if (result.stage != Stage::Open)
        m_context.pic = read;
    // The chip the read found is the chip in force; one it could not use
    // leaves none.
    if (result.stage == Stage::Identify)
        m_chipKnown = false;
    else if (!QList<Stage>{Stage::Open, Stage::JumpConfig, Stage::ReadConfig}.contains(
                 result.stage))
        m_chipKnown = true;
    chipPrepared();
    clearBar();
    const QString status = Reports::readStatus(result, NomProgrammateur);
    L_Info->setText(status);
    if (result.ok())
        m_prompts.message(
            this, result.notes.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
            GetLanguageText("ICSPReadPIC"),
            (QStringList{GetLanguageText("ICSPReadOK1")} + result.notes).join(QLatin1Char('\n')),
            QMessageBox::Ok);
    else if (result.stage == Stage::Cancelled)
        m_prompts.message(this, QMessageBox::Warning, GetLanguageText("ICSPReadPIC"), status,
                          QMessageBox::Ok);
    else
        m_prompts.message(this, QMessageBox::Critical, GetLanguageText("ICSPReadPB"), status,
                          QMessageBox::Ok);
    return result.ok();
}

// ---- write ------------------------------------------------------------------

void VEK_ICSP::showDeviceRecord(bool withAlgo)
{
    const PicDevice &pic = m_context.pic;
    const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("HexTimeStamp = ") +
                   QLocale::system().toString(pic.HexTimeStamp, QLocale::ShortFormat) + crlf +
                   QStringLiteral("HexFileName = ") + pic.HexFileName + crlf +
                   QStringLiteral("DeviceName = ") + pic.DeviceChip + crlf +
                   QStringLiteral("DeviceChip = ") + pic.DeviceChip + crlf;
    if (withAlgo)
        text += QStringLiteral("DeviceAlgo = ") + QString::number(pic.DeviceAlgo) + crlf;
    text += QStringLiteral("DevicePgmSize = ") + QString::number(pic.DevicePgmSize) + crlf +
            QStringLiteral("DeviceEESize = ") + QString::number(pic.DeviceEESize) + crlf;
    m_prompts.message(this, QMessageBox::NoIcon, GetLanguageText("ICSPDebogage"), text,
                      QMessageBox::Ok);
}

bool VEK_ICSP::imageLacksFileWords()
{
    // Programming part of a firmware would leave a chip that does not run:
    // nothing is written, nothing called verified.
    const QString outside = m_context.pic.wordsOutsideChip;
    if (outside.isEmpty())
        return false;
    tellFailure(QMessageBox::Critical, GetLanguageText("ICSPWritePB"),
                outside + QLatin1Char('\n') + GetLanguageText("ICSPHorsPuceRefus"));
    return true;
}

void VEK_ICSP::BP_WriteModule_Click()
{
    if (transferRunning() || imageLacksFileWords())
        return;
    tellProgress(GetLanguageText("PBNDef"));
    showDeviceRecord(false);
    useProgressColour(VEK_BarGraph::Red);
    const uint8_t attempts = m_context.settings.ICSPNBWRT;
    runProgrammer([attempts](IcspProgrammer &p, PicDevice &d) { return WriteChip(p, d, attempts); },
                  [this](const IcspResult &r, PicDevice &d) { return writeFinished(r, d); },
                  GetLanguageText("MessFirmwarePartiel"));
}

bool VEK_ICSP::writeFinished(const IcspResult &result, PicDevice &written)
{
    clearBar();
    const QString status = Reports::writeStatus(result, NomProgrammateur);
    if (result.ok()) {
        // The chip's calibration and configuration bits as it keeps them.
        m_context.pic = written;
        AfficherMemoire();
        L_Info->setText(status);
        return true;
    }
    L_Info->setText(status);
    if (result.stage == Stage::Cancelled) {
        m_prompts.message(this, QMessageBox::Warning, GetLanguageText("ICSPWritePB"), status,
                          QMessageBox::Ok);
    } else if (result.protectedChip) {
        // Only an erase lifts the protection: offered at once.
        if (m_prompts.message(this, QMessageBox::Critical, GetLanguageText("ICSPWritePB"),
                              Reports::writeFailureBox(result) + QStringLiteral("\r\n\r\n") +
                                  GetLanguageText("ICSPProtegeEffacer"),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
            eraseAgreed();
    } else {
        m_prompts.message(this, QMessageBox::Critical, GetLanguageText("ICSPWritePB"),
                          Reports::writeFailureBox(result), QMessageBox::Ok);
    }
    return false;
}

// ---- quick code programming ------------------------------------------------

void VEK_ICSP::KivCommand1_Click()
{
    if (transferRunning() || imageLacksFileWords())
        return;
    tellProgress(GetLanguageText("PBNDef"));
    showDeviceRecord(true);
    useProgressColour(VEK_BarGraph::Red);
    const QString current = GetLanguageText("ProgCODECurrent") + QLatin1Char(' ');
    runProgrammer(
        [current](IcspProgrammer &p, PicDevice &d) { return ProgrammerCodeRapide(p, d, current); },
        [this](const IcspResult &r, PicDevice &) { return codeTestFinished(r); },
        GetLanguageText("MessFirmwarePartiel"));
}

bool VEK_ICSP::codeTestFinished(const IcspResult &result)
{
    clearBar();
    if (result.ok()) {
        L_Info->setText(GetLanguageText("ProgCODEEnded"));
        return true;
    }
    // The status line keeps the failure once its box is closed.
    const QString report = Reports::codeFailure(result, NomProgrammateur);
    L_Info->setText(result.stage == Stage::Cancelled
                        ? report
                        : GetLanguageText("ErrICSPWritePIC") + QLatin1Char('\n') + report);
    m_prompts.message(
        this, result.stage == Stage::Cancelled ? QMessageBox::Warning : QMessageBox::Critical,
        QCoreApplication::applicationName(), report, QMessageBox::Ok);
    return false;
}

// ---- erase ------------------------------------------------------------------

void VEK_ICSP::BP_EraseDevice_Click()
{
    if (transferRunning())
        return;
    L_Info->setText(GetLanguageText("MessAlertCopy"));
    if (m_prompts.message(this, QMessageBox::Warning, GetLanguageText("ICSPEffacerTitre"),
                          eraseQuestion() + QStringLiteral(" ?"),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        m_context.pic.HexFileName.clear();
        eraseDeclined(eraseQuestion());
        return;
    }
    eraseAgreed();
}

QString VEK_ICSP::eraseQuestion() const
{
    return GetLanguageText("NotErrasedProgModule1") + QLatin1Char(' ') + NomProgrammateur;
}

void VEK_ICSP::eraseAgreed()
{
    // Said for both jobs (the calibration read, then the erase): not a
    // progress text, which the first job's end would take away.
    L_Info->setText(GetLanguageText("ICSPEffacementModule", {"{MODULE}", NomProgrammateur}));
    if (ChipTable::traitsOf(m_context.pic.DeviceChip).calibrationWord < 0) {
        startErase({});
        return;
    }
    // The calibration is read first: a lost one is asked about before anything is erased.
    auto osccal = std::make_shared<uint16_t>(0x3400);
    runProgrammer(
        [osccal](IcspProgrammer &p, PicDevice &d) { return ReadFactoryCalibration(p, d, *osccal); },
        [this, osccal](const IcspResult &r, PicDevice &d) {
            if (!r.ok())
                return eraseFinished(r, d);
            if (const auto answer = askCalibration(*osccal)) {
                startErase(*answer);
                return true;
            }
            eraseDeclined(eraseQuestion());
            return false;
        });
}

void VEK_ICSP::eraseDeclined(const QString &question)
{
    const QString info = question + QLatin1Char(' ') + GetLanguageText("NotErrasedProgModule2");
    L_Info->setText(info);
    showOutcome(false, info);
}

std::optional<CalibrationAnswer> VEK_ICSP::askCalibration(uint16_t osccal)
{
    if (IsRetlw(osccal))
        return CalibrationAnswer{};
    const QString label =
        GetLanguageText("ICSPCalibrationLost", {QStringLiteral("%OSCCAL%"), HexWord(osccal)}) +
        QLatin1Char('\n') + GetLanguageText("ICSPCalibrationAsk");
    for (;;) {
        const std::optional<QString> typed =
            m_prompts.askText(this, GetLanguageText("ICSPEffacerTitre"), label);
        if (!typed)
            return std::nullopt;
        if (const auto answer = TypedCalibration(*typed))
            return answer;
    }
}

void VEK_ICSP::startErase(const CalibrationAnswer &answer)
{
    const uint8_t attempts = m_context.settings.ICSPNBWRT;
    runProgrammer([attempts, answer](IcspProgrammer &p,
                                     PicDevice &d) { return EraseChip(p, d, attempts, answer); },
                  [this](const IcspResult &r, PicDevice &d) { return eraseFinished(r, d); },
                  GetLanguageText("MessFirmwarePartiel"));
}

bool VEK_ICSP::eraseFinished(const IcspResult &result, PicDevice &erased)
{
    // Only an erase that left the chip blank blanks the image.
    if (result.ok())
        m_context.pic = erased;
    m_context.pic.HexFileName.clear();
    clearBar();
    AfficherMemoire();
    if (result.ok()) {
        L_Info->setText(QStringList(QStringList{GetLanguageText("ErrasePICEnded")} + result.notes)
                            .join(QLatin1Char('\n')));
        return true;
    }
    const QString detail = result.stage == Stage::Cancelled
                               ? Reports::cancelled(result)
                               : Reports::eraseDetail(result, NomProgrammateur);
    L_Info->setText(GetLanguageText("ErrasePICNotDone") + QLatin1Char('\n') + detail);
    m_prompts.message(this, QMessageBox::Critical, GetLanguageText("ICSPReadPB"),
                      GetLanguageText("ReadModuleError") + QLatin1Char(' ') + NomProgrammateur +
                          QLatin1Char('\n') + detail,
                      QMessageBox::Ok);
    return false;
}

// ---- verification -----------------------------------------------------------

void VEK_ICSP::BP_VerifyDevice_Click()
{
    if (transferRunning())
        return;
    tellProgress(GetLanguageText("ICSPVerificationModule", {"{MODULE}", NomProgrammateur}));
    useProgressColour(VEK_BarGraph::Green);
    const QString chip = m_context.settings.ICSPChip;
    runProgrammer([chip](IcspProgrammer &p, PicDevice &d) { return VerifierModule(p, d, chip); },
                  [this](const IcspResult &r, PicDevice &d) { return verifyFinished(r, d); });
}

bool VEK_ICSP::verifyFinished(const IcspResult &result, PicDevice &verified)
{
    clearBar();
    if (!result.ok()) {
        const QString status = Reports::verifyStatus(result, NomProgrammateur);
        L_Info->setText(status);
        // No chip, or not the one chosen: said as a read says it.
        if (result.stage == Stage::Identify)
            m_prompts.message(this, QMessageBox::Critical, GetLanguageText("ICSPReadPB"), status,
                              QMessageBox::Ok);
        return false;
    }
    m_context.pic.ImagePIC.UserID = verified.ImagePIC.UserID;
    m_context.pic.ImagePIC.DeviceID = verified.ImagePIC.DeviceID;
    m_context.pic.ImagePIC.ConfigWord = verified.ImagePIC.ConfigWord;
    m_prompts.message(this, QMessageBox::NoIcon, GetLanguageText("ICSPVerifieTitre"),
                      QStringLiteral("TypeChip=") + HexLong(verified.ImagePIC.DeviceID, 4),
                      QMessageBox::Ok);
    IdentifierPIC();
    AfficherMemoire();
    L_Info->setText(Reports::verifyStatus(result, NomProgrammateur));
    return true;
}

// ---- table programming ------------------------------------------------------

void VEK_ICSP::BP_ProgTables_Click()
{
    if (transferRunning())
        return;
    const QString title = GetLanguageText("ICSPTablesTitle");
    // A chip the programmer cannot program is refused before any question.
    if (!ChipTable::programmable(m_context.pic.DeviceChip)) {
        tablesRefused(title, ChipTable::unprogrammableText(m_context.pic.DeviceChip), {});
        return;
    }
    if (const QString problem = m_context.tab_avance.invalidValuesMessage(); !problem.isEmpty()) {
        tablesRefused(title, problem, {});
        return;
    }
    QString stopped; // why the generators stopped, once they have said it
    const CurveTables::IcspTables placed = CurveTables::TablesPourProgrammateur(
        m_context,
        [this, &stopped](const QString &t, const QString &text) {
            const bool truncate =
                m_prompts.message(this, QMessageBox::Critical, t, text,
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
            if (!truncate) // the reason, without the question
                stopped = text.section(QLatin1Char('\n'), 0, 0).trimmed();
            return truncate;
        },
        [this, &stopped](const QString &t, const QString &text) {
            m_prompts.message(this, QMessageBox::Critical, t, text, QMessageBox::Ok);
            stopped = text;
        },
        1);
    if (placed.tables.isEmpty()) {
        tablesRefused(placed.title.isEmpty() ? title : placed.title, placed.refusal, stopped);
        return;
    }
    const QList<CurveTableArea> tables = placed.tables;
    const CurveTableTexts texts{GetLanguageText("P1.DrawPanelProgCurve"),
                                GetLanguageText("P1.DrawPanelProgCurveCurrent"),
                                GetLanguageText("Bytes"), GetLanguageText("ICSPErreurCompte")};
    const uint8_t attempts = m_context.settings.ICSPNBWRT;
    auto failed = std::make_shared<int>(-1);
    useProgressColour(VEK_BarGraph::Red);
    L_Info->clear();
    runProgrammer(
        [tables, texts, attempts, failed](IcspProgrammer &p, PicDevice &d) {
            return ProgrammerCourbes(p, d, tables, attempts, texts, *failed);
        },
        [this, tables, failed, title](const IcspResult &r, PicDevice &) {
            clearBar();
            if (r.ok()) {
                L_Info->setText(GetLanguageText("ICSPTablesEnded"));
                return true;
            }
            const QString libelle = *failed >= 0 ? tables[*failed].libelle : QString();
            const QString status = Reports::tableStatus(r, libelle, NomProgrammateur);
            L_Info->setText(status);
            m_prompts.message(this, QMessageBox::Critical, title, status, QMessageBox::Ok);
            return false;
        },
        GetLanguageText("MessTablesPartielles"));
}

void VEK_ICSP::tablesRefused(const QString &title, const QString &refusal, const QString &stopped)
{
    if (!refusal.isEmpty()) {
        tellFailure(QMessageBox::Critical, title, refusal);
        return;
    }
    // The generators' own box has been shown.
    const QString info = stopped + QLatin1Char('\n') + GetLanguageText("MessCourbesNonProgrammees");
    L_Info->setText(info);
    showOutcome(false, info);
}

// ---- files ------------------------------------------------------------------

void VEK_ICSP::importImage(Format format, const QString &pattern, const QString &filter,
                           const QString &title)
{
    const QString file = m_prompts.chooseFile(this, title, packageFolder() + pattern, filter);
    if (file.isEmpty() || !m_context.transfer.imageFiles.read)
        return;
    // Read into a copy: a file refused part way leaves the image as it was.
    PicDevice scratch = m_context.pic;
    scratch.InitMemoire();
    const ImageFileOutcome read = m_context.transfer.imageFiles.read(scratch, file, format);
    if (read.ok) {
        m_context.pic = scratch;
        if (format == Format::Xeh)
            IdentifierPIC();
    }
    AfficherMemoire();
    QString info = read.info;
    if (!read.ok)
        info = (info.isEmpty() ? QString() : info + QLatin1Char('\n')) +
               GetLanguageText("ICSPImportRefused");
    L_Info->setText(info);
    showOutcome(read.ok, info);
    if (!read.notice.isEmpty())
        m_prompts.message(this, QMessageBox::Information, title, read.notice, QMessageBox::Ok);
    if (!read.ok)
        m_prompts.message(this, QMessageBox::Critical, title, info, QMessageBox::Ok);
}

void VEK_ICSP::exportImage(Format format, const QString &pattern, const QString &filter,
                           const QString &title)
{
    const QString file = m_prompts.chooseSaveFile(this, title, packageFolder() + pattern, filter);
    if (file.isEmpty() || !m_context.transfer.imageFiles.write)
        return;
    const ImageFileOutcome written =
        m_context.transfer.imageFiles.write(m_context.pic, file, format);
    AfficherMemoire();
    showOutcome(written.ok, written.info);
    if (written.ok) {
        L_Info->setText(GetLanguageText("ICSPExportDone") + QLatin1Char(' ') + file);
        return;
    }
    L_Info->setText(written.info);
    m_prompts.message(this, QMessageBox::Critical, title, written.info, QMessageBox::Ok);
}

void VEK_ICSP::BP_IMPORT_HEX_Click()
{
    importImage(Format::Hex, QStringLiteral("*.hex"),
                GetLanguageText("HEXFile") + QStringLiteral(" (*.hex)"),
                GetLanguageText("ReadHEXFile"));
}

void VEK_ICSP::BP_EXPORT_HEX_Click()
{
    exportImage(Format::Hex, QStringLiteral("*.hex"),
                GetLanguageText("HEXFile") + QStringLiteral(" (*.hex)"),
                GetLanguageText("SaveHEXFile"));
}

void VEK_ICSP::BP_IMPORT_XEH_Click()
{
    importImage(Format::Xeh, QStringLiteral("*.xeh"),
                GetLanguageText("UpdateFiles") + QStringLiteral(" (*.xeh)"),
                GetLanguageText("ImportUpdateFile"));
}

void VEK_ICSP::BP_EXPORT_XEH_Click()
{
    exportImage(Format::Xeh, QStringLiteral("*.xeh"),
                GetLanguageText("UpdateFiles") + QStringLiteral(" (*.xeh)"),
                GetLanguageText("ExportUpdateFile"));
}

// ---- buffer, edit menu, user IDs ---------------------------------------------

void VEK_ICSP::BP_Clear_Click()
{
    // No programmer stays open between operations: nothing to close here.
    // The buffer is cleared as the menu clears it, its file forgotten too.
    clearBar();
    m_context.pic.HexFileName.clear();
    MnuClsBuff_Click();
}

void VEK_ICSP::MnuEditHex_Click()
{
    clearOutcome();
    L_Info->setText(GetLanguageText("MessEditerLocation"));
    T_ProgramMem->setPlainText(GetLanguageText("MessEditionTest"));
}

void VEK_ICSP::UserID_Commit(int index)
{
    QLineEdit *box = UserID[size_t(index)];
    const int32_t value = std::clamp<int32_t>(HexBoxValue(box->text()), 0, 255);
    box->setText(HexLong(value, 2));
    m_context.pic.ImagePIC.UserID[size_t(2 * index)] = uint8_t(HexBoxValue(box->text()) & 0xFF);
}

bool VEK_ICSP::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == T_ProgramMem->viewport() && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && MnuHex->isEnabled())
            MnuHex->popup(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return false;
    }
    const auto found = std::find(UserID.begin(), UserID.end(), watched);
    if (found == UserID.end())
        return TransferFrame::eventFilter(watched, event);
    const int index = int(found - UserID.begin());
    if (event->type() == QEvent::FocusOut) {
        UserID_Commit(index);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        QLineEdit *box = *found;
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            const int step = key == Qt::Key_PageUp ? 1 : -1;
            box->setText(HexInt(int16_t(HexBoxValue(box->text()) + step), 2));
            UserID_Commit(index);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            UserID_Commit(index);
            return true;
        }
    }
    return TransferFrame::eventFilter(watched, event);
}
