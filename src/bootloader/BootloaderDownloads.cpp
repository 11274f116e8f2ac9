#include "bootloader/BootloaderDownloads.h"

#include "base/VEK_LANGUAGE.h"
#include "bootloader/VEK_BOOTLOADER.h"
#include "firmware/HexFiles.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

#include <QFileInfo>

using TablePlacement::Refusal;
using TablePlacement::WordRange;
using VEK_LANGUAGE::GetLanguageText;

namespace {

const QString CrLf = QStringLiteral("\r\n");

Refusal twoLines(const char *title, const char *first, const char *second)
{
    return {GetLanguageText(title), GetLanguageText(first) + CrLf + GetLanguageText(second)};
}

bool refusedChip(const QString &chip)
{
    return chip == QLatin1String("12C508A") || chip == QLatin1String("12C508") ||
           chip == QLatin1String("12F629");
}

// The hello that opens each download; nothing when it was accepted.
std::optional<JobOutcome> greet(BootloaderSession &session, const BootloaderTexts &texts,
                                ProgressSink &sink)
{
    session.transferStarted();
    if (!session.connected()) {
        sink.setStatus(texts.timeout);
        return JobOutcome::failure(texts.helloFailed, BootloaderNotConnected);
    }
    sink.setStatus(texts.startOfCommunication);
    const BootloaderReply hello = BootloaderCommand(*session.port(), VEK_BOOTLOADER::Hello);
    if (hello.status == BootloaderStatus::LineLost) {
        session.close();
        const QString message = texts.lostLine(hello.line);
        sink.setStatus(message);
        return JobOutcome::failure(message, BootloaderLineLost);
    }
    if (!hello.ok()) {
        sink.setStatus(texts.timeout);
        return JobOutcome::failure(texts.helloFailed, BootloaderHelloFailed);
    }
    sink.setStatus(texts.writing);
    return std::nullopt;
}

// The failure of a range, shown in the window that runs the transfer.
JobOutcome rangeFailed(BootloaderSession &session, const WriteRangeResult &result,
                       const BootloaderTexts &texts, ProgressSink &sink)
{
    const QString message = BootloaderRangeMessage(result, texts);
    sink.setStatus(message);
    if (result.stop == WriteRangeResult::Stop::Cancelled)
        return JobOutcome::cancelled(message);
    if (result.reply.status == BootloaderStatus::LineLost) {
        session.close();
        return JobOutcome::failure(message, BootloaderLineLost);
    }
    return JobOutcome::failure(message, BootloaderFrameFailed);
}

QString addressLine(const char *name, int address)
{
    return QStringLiteral("%1 = %2(&H %3)\r\n")
        .arg(QLatin1String(name))
        .arg(address)
        .arg(QString::number(address, 16).toUpper());
}

// The areas the curve download is about to write, as the programmer window shows them.
QString curveAreasText(const TablePlacement::Plan &plan)
{
    return addressLine("L Adddebut", plan.low.first) + addressLine("L Addfin", plan.low.end) +
           addressLine("H Adddebut", plan.high.first) + addressLine("H Addfin", plan.high.end);
}

JobOutcome succeeded(BootloaderSession &session, const QString &message,
                     const BootloaderTexts &texts, ProgressSink &sink)
{
    session.transferDone();
    sink.setStatus(texts.transferDone);
    return JobOutcome::success(message);
}

} // namespace

bool JeuDeCourbes(const MainSettings &settings, int curveSet)
{
    return curveSet != 2 ||
           (!settings.ICSPLTAB_L2.trimmed().isEmpty() && !settings.ICSPHTAB_L2.trimmed().isEmpty());
}

TablePlacement::Request DemandePlacement(const MainSettings &settings,
                                         const std::array<QString, 9> &tbMapAdj, int curveSet)
{
    TablePlacement::Request r;
    r.TypeCompilation = settings.TypeCompilation;
    r.ICSPNbTables = settings.ICSPNbTables;
    r.LTAB = curveSet == 2 ? settings.ICSPLTAB_L2 : settings.ICSPLTAB_L1;
    r.HTAB = curveSet == 2 ? settings.ICSPHTAB_L2 : settings.ICSPHTAB_L1;
    r.tbMapAdj = tbMapAdj;
    return r;
}

CurveDownloadPlan PreparerTelechargementCourbes(const CurveDownloadRequest &request, PicDevice &pic)
{
    CurveDownloadPlan out;
    if (refusedChip(request.DeviceChip)) {
        out.refusal = twoLines("MessWARNING", "MicroFail1", "MicroFail2");
        return out;
    }
    if (request.gridRows <= 2) {
        out.refusal = twoLines("MsgBoxCURVBad3", "MsgBoxCURVBad1", "MsgBoxCURVBad2");
        return out;
    }
    if (!request.curveProblem.isEmpty()) {
        out.refusal = {GetLanguageText("MsgBoxCURVBad3"), request.curveProblem};
        return out;
    }
    TablePlacement::Checked checked = TablePlacement::Verifier(request.placement, pic);
    if (!checked.plan) {
        out.refusal = checked.refusal;
        return out;
    }
    TableIncludeFiles::TablesExport tables;
    if (!request.generer || request.generer(tables) != 0) {
        // The generator has said why; the download was not made.
        out.refusal = {GetLanguageText("DownloadCourbesTitre"),
                       GetLanguageText("MessCourbesNonEnvoyees")};
        return out;
    }
    PicImage image = pic.ImagePIC;
    pic.blankProgram(image);
    if (auto refused = TablePlacement::Placer(*checked.plan, tables, image)) {
        out.refusal = *refused;
        return out;
    }
    pic.InitMemoire();
    pic.ImagePIC.ImageCode = image.ImageCode;
    out.plan = checked.plan;
    return out;
}

JobOutcome TelechargerCourbes(BootloaderSession &session, const PicDevice &device,
                              const TablePlacement::Plan &plan, const BootloaderTexts &texts,
                              ProgressSink &sink, const CancelToken &cancel)
{
    if (auto failed = greet(session, texts, sink))
        return *failed;
    // One bar over both areas: the share of the whole set already sent.
    const int total = (plan.low.end - plan.low.first) + (plan.high.end - plan.high.first);
    int before = 0;
    for (const WordRange &range : {plan.low, plan.high}) {
        const int first = range.first;
        const WriteRangeProgress progress{total * 2 / 16, [first, before, total](int w) {
                                              return 100.0 * (before + w + 1 - first) / total;
                                          }};
        const WriteRangeResult result = BootloaderWriteRange(
            *session.port(), device, first, range.end, progress, texts, sink, cancel);
        if (!result.ok())
            return rangeFailed(session, result, texts, sink);
        before += range.end - first;
    }
    return succeeded(session, texts.curvesOk, texts, sink);
}

FirmwareDownloadPlan PreparerTelechargementFirmware(const MainSettings &settings,
                                                    const QString &paquet, PicDevice &pic)
{
    FirmwareDownloadPlan out;
    const QString hex = VEK_Gestion_OS::CheminTemp(QStringLiteral("~TEMP.HEX"));
    const QString xeh = VEK_Gestion_OS::CheminTemp(QStringLiteral("~TEMP.XEH"));
    // The temporary files are ours: messages name the member of the user's package.
    const auto shown = [&paquet](const QString &path, const char *member) {
        return paquet.isEmpty() ? path
                                : VEK_Gestion_OS::NomMembre(VEK_Gestion_OS::DossierPaquets() +
                                                                QFileInfo(paquet).fileName(),
                                                            QLatin1String(member));
    };
    // Read into a copy: a file refused part way leaves the image as it was. The
    // chip in force is chosen first: the file is read for its memory.
    PicDevice scratch = pic;
    if (auto chip = ChipTable::chipForSetting(settings.ICSPChip, scratch.ImagePIC.DeviceID))
        scratch.setChip(*chip);
    // The frames carry 14-bit words, as the programmer writes them: a chip it
    // cannot program (the 18F and their 16-bit words) is refused alike.
    if (!ChipTable::programmable(scratch.DeviceChip)) {
        out.refusal = {
            GetLanguageText("MessWARNING"),
            ChipTable::unprogrammableText(scratch.DeviceChip, ChipTable::Writer::Bootloader)};
        return out;
    }
    HexFileResult read;
    QString file;
    if (QFileInfo::exists(hex))
        read = LireFichierHex(scratch, hex, file = shown(hex, "CODE.HEX"));
    else if (QFileInfo::exists(xeh))
        read = LireFichierXeh(scratch, xeh, file = shown(xeh, "CODE.XEH"));
    else {
        out.refusal.text = GetLanguageText("BLPasDeFichierOS");
        return out;
    }
    if (!read.succeeded()) {
        // A file read only in part must not be written into the module.
        out.refusal.text = read.info.isEmpty() ? GetLanguageText("BLPasDeFichierOS") : read.info;
        return out;
    }
    pic = scratch;
    // Wider words would reach the module cut to 14 bits.
    if (!read.tooWide.isEmpty()) {
        out.refusal = {GetLanguageText("MessWARNING"),
                       read.tooWide + '\n' + GetLanguageText("MessChargeurMotsLarges")};
        return out;
    }
    const TablePlacement::CodeArea code =
        TablePlacement::ZoneCode(settings.ICSPHEXADD, settings.ICSPHEXLNG, pic);
    if (!code.range) {
        out.refusal = {GetLanguageText("MessWARNING"), code.refusal};
        return out;
    }
    const WordRange range = *code.range;
    // A range the file gives nothing of would write blank words over the
    // module's firmware.
    if (const QString empty = TablePlacement::ZoneSansMot(range, read.wordsGiven, file);
        !empty.isEmpty()) {
        out.refusal = {GetLanguageText("MessWARNING"), empty};
        return out;
    }
    out.range = range;
    return out;
}

JobOutcome TelechargerFirmware(BootloaderSession &session, const PicDevice &device,
                               const WordRange &range, const BootloaderTexts &texts,
                               ProgressSink &sink, const CancelToken &cancel)
{
    if (auto failed = greet(session, texts, sink))
        return *failed;
    const int end = range.end;
    // The bar shows the share already sent, counted from word 0.
    const WriteRangeProgress progress{end / 8, [end](int w) { return 100.0 * w / end; }};
    const WriteRangeResult result = BootloaderWriteRange(*session.port(), device, range.first, end,
                                                         progress, texts, sink, cancel);
    if (!result.ok())
        return rangeFailed(session, result, texts, sink);
    return succeeded(session, texts.firmwareOk, texts, sink);
}

TransferJob CurveDownloadJob(std::shared_ptr<BootloaderSession> session, const PicDevice &device,
                             const TablePlacement::Plan &plan, const BootloaderTexts &texts)
{
    return [session, device, plan, texts](TransferContext &t) {
        return TelechargerCourbes(*session, device, plan, texts, t.progress, t.cancel);
    };
}

TransferJob FirmwareDownloadJob(std::shared_ptr<BootloaderSession> session, const PicDevice &device,
                                const TablePlacement::WordRange &range,
                                const BootloaderTexts &texts)
{
    return [session, device, range, texts](TransferContext &t) {
        return TelechargerFirmware(*session, device, range, texts, t.progress, t.cancel);
    };
}

BootloaderJob PreparerJobCourbes(std::shared_ptr<BootloaderSession> session,
                                 const CurveDownloadRequest &request, PicDevice &pic,
                                 const QString &icspPort)
{
    const CurveDownloadPlan plan = PreparerTelechargementCourbes(request, pic);
    BootloaderJob out;
    if (!plan.plan) {
        session->transferRefused();
        out.title = plan.refusal.title;
        out.refusal = plan.refusal.text;
        return out;
    }
    out.notice = curveAreasText(*plan.plan);
    out.job =
        CurveDownloadJob(std::move(session), pic, *plan.plan, BootloaderTexts::load(icspPort));
    return out;
}

BootloaderJob PreparerJobFirmware(std::shared_ptr<BootloaderSession> session,
                                  const MainSettings &settings, const QString &paquet,
                                  PicDevice &pic)
{
    const FirmwareDownloadPlan plan = PreparerTelechargementFirmware(settings, paquet, pic);
    BootloaderJob out;
    if (!plan.range) {
        session->transferRefused();
        out.title = plan.refusal.title;
        out.refusal = plan.refusal.text;
        out.info = plan.refusal.text;
        return out;
    }
    out.job = FirmwareDownloadJob(std::move(session), pic, *plan.range,
                                  BootloaderTexts::load(settings.ICSPPort));
    return out;
}
