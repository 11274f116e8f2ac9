#include "icsp/ProgrammerOperations.h"

#include "base/Jobs.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

#include <algorithm>

using Stage = IcspResult::Stage;
using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::ReplacePlaceholders;

namespace {

constexpr int TableWords = 256;

QString sizeText(const char *key, int size)
{
    return GetLanguageText(key) + QLatin1Char(' ') + QString::number(size) + QLatin1Char(' ') +
           GetLanguageText("Bytes") + QLatin1Char(' ');
}

// " [0x0123]"
QString at(int address, int width = 4)
{
    return QStringLiteral(" [0x") + HexLong(address, width) + QLatin1Char(']');
}

// `text`, then what the protocol's code says, when it says something.
QString withReason(const QString &text, const IcspResult &r, bool stream = false)
{
    const QString reason = ProgrammerReports::codeReason(r, stream);
    return reason.isEmpty() ? text : text + QStringLiteral(" : ") + reason;
}

// A failed read of the configuration area, naming where it stopped.
QString configurationFailure(const IcspResult &r)
{
    if (r.stage == Stage::JumpConfig)
        return withReason(GetLanguageText("MessPBJumpCONFIG"), r);
    return withReason(GetLanguageText("MessPBReadCONFIG") + at(r.address), r);
}

// A fresh read after a write: a cell unlike the image carries its own report;
// a read that failed on the lines names the area and the address.
QString readBackFailure(const IcspResult &r)
{
    if (!r.message.isEmpty())
        return r.message;
    if (r.address >= 0x2100)
        return withReason(GetLanguageText("MessPBReadEEPROM") + at(r.address), r);
    if (r.address >= 0x2000)
        return withReason(GetLanguageText("MessPBReadCONFIG") + at(r.address), r);
    return withReason(GetLanguageText("MessPBReadCODE") + at(std::max(r.address, 0)), r);
}

// The opening failure: the window's text, then the programmer's reason.
QString openFailure(const IcspResult &r, const QString &nom)
{
    QString text = GetLanguageText("InitModuleBad") + QLatin1Char(' ') + nom;
    if (!r.message.isEmpty())
        text += QLatin1Char('\n') + r.message;
    return text;
}

// The whole program memory from address 0 in one pass.
IcspResult streamCode(IcspProgrammer &p, const PicDevice &device, const QString &statusText)
{
    if (const uint8_t jumped = p.JumpTo(0))
        return IcspResult::failure(Stage::JumpCode, jumped, 0);
    const uint8_t code = p.ProgrammerCode(device, p.texts().writingCode, statusText);
    const IcspProgrammer::CodeRun &run = p.codeRun();
    switch (code) {
    case 0:
        return {};
    case IcspProgrammer::StreamResult::Cancelled:
        return IcspResult::failure(Stage::Cancelled, 0, run.address);
    case IcspProgrammer::StreamResult::VerifyFailed:
        return IcspResult::failure(
            Stage::WriteCode, code, run.address,
            ReplacePlaceholders(p.texts().addressIs, {"%1", QString::number(run.address)}) +
                QStringLiteral("\r\n") +
                ReplacePlaceholders(p.texts().writtenIs, {"%1", HexLong(run.written, 4)}) +
                QStringLiteral("\r\n") +
                ReplacePlaceholders(p.texts().readIs, {"%1", HexLong(run.read, 4)}));
    default:
        return IcspResult::failure(Stage::WriteCode, code, run.address);
    }
}

} // namespace

IcspTexts ProgrammerOperationTexts(const PicDevice &device)
{
    IcspTexts texts = IcspTexts::load();
    texts.readingCode = sizeText("DP1ReadingProg", device.DevicePgmSize);
    texts.readingEeprom = sizeText("DP1ReadingEEPROM", device.DeviceEESize);
    texts.writingCode = sizeText("DP1ProgCODE", device.DevicePgmSize);
    texts.writingEeprom = sizeText("DP1ProgEEPROM", device.DeviceEESize);
    texts.writingConfig = GetLanguageText("ProgParam");
    texts.chooseChip = ChipTable::unprogrammableText(device.DeviceChip);
    return texts;
}

IcspResult VerifierModule(IcspProgrammer &p, PicDevice &device, const QString &icspChip)
{
    ProgrammerSession session(p);
    return StartForChoice(session, device, icspChip);
}

IcspResult ProgrammerCodeRapide(IcspProgrammer &p, const PicDevice &device,
                                const QString &statusText)
{
    ProgrammerSession session(p);
    IcspResult r = StartOperation(session, device);
    if (r.ok())
        r = streamCode(p, device, statusText);
    if (r.ok())
        r = ReadBackImage(p, device, true);
    return r;
}

int MauvaisMotTable(const std::vector<uint16_t> &words)
{
    if (words.size() != size_t(TableWords))
        return int(std::min<size_t>(words.size(), TableWords));
    if (words[0] > 0x3FFF)
        return 0;
    for (int i = 1; i < TableWords; ++i)
        if ((words[size_t(i)] & 0xFF00) != 0x3400)
            return i;
    return -1;
}

IcspResult ProgrammerTablesCourbes(IcspProgrammer &p, const CurveTableArea &table, uint8_t essais,
                                   const CurveTableTexts &texts, int barDone, int barTotal)
{
    // Column 0 or a failed generation leaves no table: nothing is written then.
    if (const int bad = MauvaisMotTable(table.words); bad >= 0)
        return IcspResult::failure(Stage::WriteCode, 0, bad);
    const QString prefix = texts.bar + QLatin1Char(' ') + table.libelle;
    p.showProgress(barDone, barTotal, prefix + QStringLiteral(" : "));
    if (const uint8_t code = p.JumpTo(table.adresse))
        return IcspResult::failure(Stage::JumpCode, code, table.adresse);
    for (int i = 0; i < TableWords; ++i) {
        p.showProgress(barDone + i, barTotal,
                       prefix + QStringLiteral(" (512) ") + texts.bytes + QStringLiteral(" : "));
        if (p.sink())
            p.sink()->setStatus(
                prefix + QLatin1Char(' ') + texts.current + QStringLiteral("    ") +
                ReplacePlaceholders(texts.errors, {"%1", QString::number(p.NbErreurs)}));
        if (const uint8_t code = p.ProgMotCode(table.adresse + i, essais, table.words[size_t(i)]))
            return IcspResult::failure(Stage::WriteCode, code, i);
        if (p.cancelled())
            return IcspResult::failure(Stage::Cancelled, 0, table.adresse + i);
    }
    return {};
}

IcspResult ProgrammerCourbes(IcspProgrammer &p, const PicDevice &device,
                             const QList<CurveTableArea> &tables, uint8_t essais,
                             const CurveTableTexts &texts, int &failedTable)
{
    failedTable = -1;
    ProgrammerSession session(p);
    IcspResult r = StartOperation(session, device);
    if (!r.ok()) {
        failedTable = 0;
    } else {
        const int total = int(tables.size()) * TableWords;
        for (qsizetype t = 0; t < tables.size() && r.ok(); ++t) {
            r = ProgrammerTablesCourbes(p, tables[t], essais, texts, int(t) * TableWords, total);
            if (!r.ok())
                failedTable = int(t);
        }
        for (qsizetype t = 0; t < tables.size() && r.ok(); ++t) {
            r = ReadBackWords(p, tables[t].adresse, tables[t].words);
            if (!r.ok())
                failedTable = int(t);
        }
    }
    return r;
}

namespace ProgrammerReports {

// The codes are numbered per procedure (IcspProgrammer's result sets): the
// stage tells which procedure gave one, as a program word's 12 (its load not
// echoed) from a configuration read's 12 (an increment not echoed).
QString codeReason(const IcspResult &r, bool stream)
{
    using P = IcspProgrammer;
    const char *echo = "ICSPRaisonEcho", *increment = "ICSPRaisonIncrement";
    const char *key = nullptr;
    switch (r.code) {
    case P::StreamResult::VerifyFailed:
        key = stream ? "ICSPRaisonVerif" : nullptr;
        break;
    case P::StreamResult::UnknownMode:
        key = stream ? "ICSPRaisonMode" : nullptr;
        break;
    case P::ReadFrameResult::CommandNotEchoed: // and the reads of an area or of the stream
    case P::ProgWordResult::CycleNotEchoed:
    case P::ReadWordResult::ReadNotEchoed:
    case P::ReadByteResult::ReadNotEchoed:
    case P::StreamResult::CycleNotEchoed:
    case P::JumpResult::LoadConfigurationNotEchoed:
    case P::FrameResult::NotEchoed: // and the stream's load
        key = echo;
        break;
    case P::ProgWordResult::LoadNotEchoed: { // or an area read's or the stream's increment
        const bool read = r.stage == Stage::JumpConfig || r.stage == Stage::ReadConfig ||
                          r.stage == Stage::Identify || r.stage == Stage::ReadBack;
        key = stream || read ? increment : echo;
        break;
    }
    case P::ReadWordResult::IncrementNotEchoed: // or an EEPROM byte's read back not echoed
        key = r.stage == Stage::WriteEeprom ? echo : increment;
        break;
    case P::ReadByteResult::IncrementNotEchoed:
    case P::JumpResult::IncrementNotEchoed:
        key = increment;
        break;
    case P::ProgWordResult::AttemptsUsedUp:
    case P::ProgByteResult::AttemptsUsedUp:
        key = "ICSPRaisonEssais";
        break;
    default:
        break;
    }
    return key ? GetLanguageText(key) : QString();
}

QString cancelled(const IcspResult &r)
{
    QString text = GetLanguageText("ICSPCancelled");
    if (r.address >= 0)
        text += at(r.address);
    return text;
}

QString readStatus(const IcspResult &r, const QString &nom)
{
    switch (r.stage) {
    case Stage::Done:
        return (QStringList{GetLanguageText("ReadPICEnded")} + r.notes).join(QLatin1Char('\n'));
    case Stage::Cancelled:
        return cancelled(r);
    case Stage::Open:
        return openFailure(r, nom);
    case Stage::JumpConfig:
    case Stage::ReadConfig:
        return configurationFailure(r);
    case Stage::JumpCode:
        return withReason(GetLanguageText("MessPBJumpCODE"), r);
    case Stage::ReadCode:
        return withReason(GetLanguageText("MessPBReadCODE") + at(r.address), r);
    case Stage::JumpEeprom:
        return withReason(GetLanguageText("MessPBJumpEEPROM"), r);
    case Stage::ReadEeprom:
        return withReason(GetLanguageText("MessPBReadEEPROM") + at(r.address), r);
    case Stage::Protected:
        return GetLanguageText("ICSPProtegeLecture");
    default:
        return r.message;
    }
}

QString writeStatus(const IcspResult &r, const QString &nom)
{
    switch (r.stage) {
    case Stage::Done:
        return (QStringList{GetLanguageText("WritePICEnded")} + r.notes).join(QLatin1Char('\n'));
    case Stage::Cancelled:
        return cancelled(r);
    case Stage::Open:
        return openFailure(r, nom);
    case Stage::Calibration:
        return withReason(GetLanguageText("ICSPCalibrationFailed") + at(r.address), r);
    case Stage::JumpCode:
        return withReason(GetLanguageText("MessPBJumpCODE"), r);
    case Stage::WriteCode:
        return withReason(GetLanguageText("MessErrProgCODE") + at(r.address), r) +
               (r.protectedChip ? QLatin1Char('\n') + GetLanguageText("ICSPProtegeEcriture")
                                : QString());
    case Stage::JumpEeprom:
        return withReason(GetLanguageText("MessPBJumpEEPROM"), r);
    case Stage::WriteEeprom:
        return withReason(GetLanguageText("MessErrProgEEPROM") + at(r.address), r);
    case Stage::JumpUserId:
        return withReason(GetLanguageText("MessPBJumpUSERID"), r);
    case Stage::WriteUserId:
        return withReason(GetLanguageText("MessErrProgUSERID") + at(r.address, 1), r);
    case Stage::JumpConfig:
    case Stage::ReadConfig: // the chip check at the start
        return configurationFailure(r);
    case Stage::WriteConfig:
        return withReason(GetLanguageText("MessBPProgFUSES"), r);
    case Stage::ReadBack:
        return readBackFailure(r);
    default:
        return r.message;
    }
}

QString writeFailureBox(const IcspResult &r)
{
    // The address in the chip's own space: EEPROM bytes from 0x2100, IDs from 0x2000.
    int address = -1;
    switch (r.stage) {
    case Stage::WriteCode:
    case Stage::Calibration:
        address = r.address;
        break;
    case Stage::JumpCode:
        address = 0;
        break;
    case Stage::WriteEeprom:
        address = 0x2100 + r.address;
        break;
    case Stage::JumpEeprom:
        address = 0x2100;
        break;
    case Stage::WriteUserId:
        address = 0x2000 + r.address;
        break;
    case Stage::JumpUserId:
        address = 0x2000;
        break;
    case Stage::JumpConfig:
    case Stage::WriteConfig:
        address = 0x2007;
        break;
    default:
        break;
    }
    const QString crlf = QStringLiteral("\r\n");
    QString text = GetLanguageText("ErrICSPWritePIC") + crlf;
    // These messages name the chip or the cell themselves.
    if (r.stage == Stage::Identify)
        return text + r.message;
    if (r.stage == Stage::ReadBack)
        return text + readBackFailure(r);
    if (address >= 0)
        text += GetLanguageText("ICSPAdresseEgale", {"%1", at(address)}) + crlf;
    text += GetLanguageText("ICSPCodeErreur", {"%1", QString::number(r.code)});
    if (const QString reason = codeReason(r); !reason.isEmpty())
        text += QStringLiteral(" : ") + reason;
    if (!r.message.isEmpty())
        text += crlf + r.message;
    if (r.protectedChip)
        text += crlf + GetLanguageText("ICSPProtegeEcriture");
    return text;
}

QString eraseDetail(const IcspResult &r, const QString &nom)
{
    switch (r.stage) {
    case Stage::Open:
        return openFailure(r, nom);
    case Stage::Calibration:
        if (!r.message.isEmpty())
            return r.message;
        return GetLanguageText("ICSPCalibrationFailed") + at(r.address);
    case Stage::BlankCheck:
    case Stage::Identify:
        return r.message;
    default:
        return withReason(GetLanguageText("ICSPCodeErreur", {"%1", QString::number(r.code)}), r);
    }
}

QString verifyStatus(const IcspResult &r, const QString &nom)
{
    switch (r.stage) {
    case Stage::Done:
        return GetLanguageText("ICSPFinVerification", {"{MODULE}", nom});
    case Stage::Open: {
        QString text = GetLanguageText("ICSPProblemeCommunication", {"{MODULE}", nom});
        return r.message.isEmpty() ? text : text + QLatin1Char('\n') + r.message;
    }
    case Stage::Identify:
        return r.message;
    default:
        return configurationFailure(r);
    }
}

QString codeFailure(const IcspResult &r, const QString &nom)
{
    switch (r.stage) {
    case Stage::Open:
        return openFailure(r, nom);
    case Stage::JumpCode:
        return withReason(GetLanguageText("MessPBJumpCODE"), r);
    case Stage::Cancelled:
        return cancelled(r);
    default:
        if (r.stage == Stage::ReadBack)
            return readBackFailure(r);
        // The other codes name the word.
        if (!r.message.isEmpty())
            return r.message;
        return withReason(GetLanguageText("ICSPErreurCode", {"%1", QString::number(r.code)}) +
                              (r.address >= 0 ? at(r.address) : QString()),
                          r, true);
    }
}

QString tableStatus(const IcspResult &r, const QString &libelle, const QString &nom)
{
    switch (r.stage) {
    case Stage::Open:
        return openFailure(r, nom);
    case Stage::Cancelled:
        return cancelled(r);
    case Stage::JumpCode:
        return withReason(GetLanguageText("MessErrJumpAdrTables") + QLatin1Char(' ') + libelle, r);
    case Stage::WriteCode:
        if (r.code == 0)
            return GetLanguageText("MessErrMakeTables") + QLatin1Char(' ') + libelle;
        return withReason(
            GetLanguageText("MessErrProgTables") + QLatin1Char(' ') + libelle + at(r.address), r);
    case Stage::JumpConfig:
    case Stage::ReadConfig:
        return configurationFailure(r);
    case Stage::ReadBack:
        return readBackFailure(r);
    default:
        return r.message;
    }
}

} // namespace ProgrammerReports
