#include "icsp/IcspProgrammer.h"

#include "base/LoadTexts.h"

#include "base/Jobs.h"
#include "base/MainSettings.h"
#include "base/MainSettingsLoader.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "icsp/PicDevice.h"
#include "icsp/ProgrammerLabel.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cmath>

namespace {

// Shortest time a line keeps its level before the next change or read; a real
// port's own call takes longer, so this only bounds a very fast one.
constexpr qint64 kSettleUs = 1;
// How long a line may take to come back low (opening, closing, self-test).
constexpr int kLineSettleLimitMs = 20;

} // namespace

IcspTexts IcspTexts::load()
{
    IcspTexts texts;
    VEK_LANGUAGE::LoadTexts(texts,
                            {
                                {&IcspTexts::noChip, "ICSPNoChip"},
                                {&IcspTexts::eraseNotBlank, "ICSPEraseNotBlank"},
                                {&IcspTexts::calibrationKept, "ICSPCalibrationKept"},
                                {&IcspTexts::calibrationLost, "ICSPCalibrationLost"},
                                {&IcspTexts::calibrationTyped, "ICSPCalibrationTyped"},
                                {&IcspTexts::calibrationNotWritten, "ICSPCalibrationNotWritten"},
                                {&IcspTexts::readBackMismatch, "ICSPReadBackMismatch"},
                                {&IcspTexts::chooseChip, "ICSPChooseChip"},
                                {&IcspTexts::otherChip, "ICSPOtherChip"},
                                {&IcspTexts::otherChipId, "ICSPOtherChipID"},
                                {&IcspTexts::autoOtherChip, "ICSPAutoOtherChip"},
                                {&IcspTexts::blankOrAbsent, "ICSPBlankOrAbsent"},
                                {&IcspTexts::noAnswer, "ICSPPasDeReponseModule"},
                                {&IcspTexts::selfTestBad, "ICSPAutoDiagBad"},
                                {&IcspTexts::dataStuckLow, "ICSPDataBloquee0"},
                                {&IcspTexts::dataInverted, "ICSPDataInversee"},
                                {&IcspTexts::dataStuckHigh, "ICSPDataBloquee1"},
                                {&IcspTexts::readingParameters, "ICSPLectureParametres"},
                                {&IcspTexts::addressIs, "ICSPAdresseEgale"},
                                {&IcspTexts::writeRead, "ICSPEcritLu"},
                                {&IcspTexts::errorsAre, "ICSPErreurEgale"},
                                {&IcspTexts::attemptsAre, "ICSPNbEssais"},
                                {&IcspTexts::writtenIs, "ICSPDonneeEcrite"},
                                {&IcspTexts::readIs, "ICSPDonneeLue"},
                                {&IcspTexts::badReadPin, "ICSPBrocheLecture"},
                            });
    texts.portFailure = PortFailureTexts::load();
    texts.autoChip = ChipTable::AutoTexts::load();
    texts.noChipAuto = ChipTable::unidentifiedText(0x3FFF);
    return texts;
}

IcspProgrammer::IcspProgrammer(const MainSettings &settings, const Clock &clock,
                               IcspPortOpener opener, const IcspTexts &texts)
    : m_lineSettings(IcspLineSettings::from(settings)), m_label(NomProgrammateur(settings)),
      m_delayUs(MainSettingsLoader::ProgrammingDelayUs(settings.ICSPDELAY)), m_clock(clock),
      m_opener(std::move(opener)), m_texts(texts),
      m_automaticChip(settings.ICSPChip == QLatin1String("AUTO"))
{}

IcspProgrammer::~IcspProgrammer()
{
    if (m_port)
        FermerProgrammateur();
}

void IcspProgrammer::attach(ProgressSink *sink, const CancelToken *cancel)
{
    m_sink = sink;
    m_cancel = cancel;
}

bool IcspProgrammer::cancelled() const
{
    return m_cancel && m_cancel->cancelled();
}

void IcspProgrammer::showProgress(int done, int total, const QString &text) const
{
    if (m_sink && total > 0)
        m_sink->setBar(1, std::nearbyint(100.0 * done / total), text);
}

void IcspProgrammer::resetState()
{
    ProgrammateurOuvert = false;
    ModeProgrammation = 0;
    NbErreurs = 0;
}

QString IcspProgrammer::lineError() const
{
    return m_lines ? m_lines->errorText() : QString();
}

// ---- lines and timing

void IcspProgrammer::line(int which, int value)
{
    if (m_lines)
        m_lines->EcrireLigneICSP(which, value);
}

int IcspProgrammer::dataR()
{
    return m_lines ? m_lines->LireLigneICSP(LineDATA_R) : 0;
}

void IcspProgrammer::settle()
{
    m_clock.waitUs(kSettleUs);
}

void IcspProgrammer::waitWriteDone()
{
    const qint64 left = m_busyUntilUs - m_clock.nowUs();
    if (left > 0)
        m_clock.waitUs(left);
    m_busyUntilUs = 0;
}

bool IcspProgrammer::waitDataR(int level, int limitMs)
{
    const qint64 end = m_clock.nowUs() + qint64(limitMs) * 1000;
    while (dataR() != level) {
        if (m_clock.nowUs() >= end)
            return false;
        m_clock.waitUs(1);
    }
    return true;
}

// ---- bit frames

uint32_t IcspProgrammer::PipeBites(uint32_t word, int bits)
{
    waitWriteDone(); // a chip busy writing would lose the frame
    uint32_t result = 0;
    // The chip samples DATA on the falling clock and drives it after the rising
    // one: the data is held before the clock falls, and the clock stays low a
    // moment before the line is read. The other steps need no pause of their own.
    for (int i = 0; i < bits; ++i) {
        line(LineCLOCK, 1);
        line(LineDATA, int(word & 1u));
        settle();
        line(LineCLOCK, 0);
        settle();
        result |= uint32_t(dataR() & 1) << i;
        word >>= 1;
    }
    line(LineDATA, 1);
    if (m_delayUs > 0)
        m_clock.waitUs(m_delayUs);
    return result;
}

uint8_t IcspProgrammer::EnvoyerCommandeDonnee(int command, int data)
{
    const uint32_t frame = uint32_t(data * 2) & 0x7FFEu;
    if (PipeBites(uint32_t(command), 6) != uint32_t(command))
        return FrameResult::NotEchoed;
    if (PipeBites(frame, 16) != frame)
        return FrameResult::NotEchoed;
    return FrameResult::Done;
}

uint8_t IcspProgrammer::LireMot(int command, uint16_t &value)
{
    if (PipeBites(uint32_t(command), 6) != uint32_t(command))
        return ReadFrameResult::CommandNotEchoed;
    const uint32_t r = PipeBites(0x7FFE, 16);
    value = uint16_t((r & 0x7FFEu) / 2);
    return ReadFrameResult::Done;
}

bool IcspProgrammer::command(int code)
{
    return PipeBites(uint32_t(code), 6) == uint32_t(code);
}

bool IcspProgrammer::beginCycle(int waitMs)
{
    if (!command(BeginEraseProgramming))
        return false;
    m_busyUntilUs = m_clock.nowUs() + qint64(waitMs) * 1000;
    return true;
}

bool IcspProgrammer::increment()
{
    if (!command(IncrementAddress))
        return false;
    ++PicPC;
    return true;
}

// ---- opening, closing, self-test

uint8_t IcspProgrammer::OuvrirProgrammateur()
{
    m_selfTestReport.clear();
    if (!m_port) {
        m_selfTested = false;
        auto opened = m_opener(m_lineSettings);
        if (!opened) {
            m_failure = m_texts.portFailure.describe(m_lineSettings.ICSPPort, opened);
            return OpenPortFailed;
        }
        m_port = std::move(opened.device);
        m_lines = std::make_unique<IcspLineDriver>(m_lineSettings, m_port->modem.get(),
                                                   m_port->parallel.get());
        const QString pins = m_lines->pinProblem(m_texts.badReadPin);
        if (!pins.isEmpty()) {
            m_failure = pins;
            m_lines.reset();
            m_port.reset();
            return OpenBadPins;
        }
    }
    if (m_selfTested)
        return 0;
    const IcspSelfTest test = AutoDiag();
    if (test.failed) {
        // The self-test's own report tells a wrong box type or wiring apart.
        QStringList rows;
        for (const QString &message : test.messages)
            rows << message.trimmed().replace(QLatin1String("\r\n"), QLatin1String("\n"));
        m_selfTestReport = rows.join(QLatin1Char('\n'));
        m_failure = VEK_LANGUAGE::ReplacePlaceholders(m_texts.noAnswer, {"{MODULE}", m_label}) +
                    QLatin1Char('\n') + m_selfTestReport;
        if (m_lines->failed())
            m_failure += QStringLiteral("\n") + m_lines->errorText();
        return OpenNoAnswer;
    }
    m_selfTested = true;
    m_failure.clear();
    return 0;
}

void IcspProgrammer::FermerProgrammateur()
{
    if (!m_port)
        return;
    waitWriteDone(); // MCLR never drops on a write
    line(LineMCLR, 0);
    m_clock.sleepMs(1);
    line(LineCLOCK, 0);
    line(LineDATA, 0);
    waitDataR(0, kLineSettleLimitMs);
    m_lines.reset();
    m_port.reset();
    m_selfTested = false;
}

void IcspProgrammer::EntrerModeProg()
{
    waitWriteDone();
    line(LineMCLR, 0);
    line(LineCLOCK, 0);
    line(LineDATA, 0);
    waitDataR(0, kLineSettleLimitMs);
    m_clock.sleepMs(2);
    line(LineMCLR, 0);
    m_clock.sleepMs(50);
    line(LineMCLR, 1);
    m_clock.waitUs(100);
}

IcspSelfTest IcspProgrammer::AutoDiag()
{
    IcspSelfTest test;
    EntrerModeProg();
    int answers[4] = {};
    for (int i = 0; i < 4; ++i) {
        const int data = (i & 2) / 2;
        line(LineCLOCK, i & 1);
        line(LineDATA, data);
        waitDataR(data, kLineSettleLimitMs);
        m_clock.waitUs(300);
        answers[i] = dataR() * 2 + (i & 1);
    }
    line(LineCLOCK, 0);
    line(LineDATA, 0);
    test.code = answers[3] * 4096 + answers[2] * 256 + answers[1] * 16 + answers[0];
    if (test.code == 0x3210)
        return test;
    test.failed = true;
    QString report =
        m_texts.selfTestBad + QStringLiteral("\r\n[DATA, CLOCK] -> [DATA_R, CLOCK_R]:\r\n");
    for (int i = 0; i < 4; ++i)
        report += QStringLiteral("[    %1    ,    %2    ] -> [    %3    ,    %4    ]\r\n")
                      .arg((i & 2) / 2)
                      .arg(i & 1)
                      .arg((answers[i] & 2) / 2)
                      .arg(answers[i] & 1);
    test.messages << report;
    switch (test.code & 0x2222) {
    case 0x0000:
        test.messages << m_texts.dataStuckLow;
        break;
    case 0x0022:
        test.messages << m_texts.dataInverted;
        break;
    case 0x2222:
        test.messages << m_texts.dataStuckHigh;
        break;
    default:
        break;
    }
    return test;
}

// ---- protocol

uint8_t IcspProgrammer::InitProgrammation()
{
    if (!ProgrammateurOuvert) {
        if (const uint8_t opened = OuvrirProgrammateur())
            return opened;
        ProgrammateurOuvert = true;
    }
    EntrerModeProg();
    PicPC = 0;
    ModeProgrammation = 0;
    return 0;
}

uint8_t IcspProgrammer::JumpTo(int target)
{
    const bool toEeprom = target >= 0x2100;
    if (!ProgrammateurOuvert || target < PicPC || (toEeprom && PicPC >= 1 && PicPC < 0x2100)) {
        if (const uint8_t opened = InitProgrammation())
            return opened;
    }
    if (toEeprom && PicPC == 0) {
        PicPC = 0x2100;
    } else if (PicPC < 0x2000 && target >= 0x2000) {
        if (EnvoyerCommandeDonnee(LoadConfiguration, 0x3FFF) != 0)
            return JumpResult::LoadConfigurationNotEchoed;
        PicPC = 0x2000;
    }
    while (PicPC < target)
        if (!increment())
            return JumpResult::IncrementNotEchoed;
    return JumpResult::Done;
}

uint8_t IcspProgrammer::LireMotCode(uint16_t &value)
{
    if (LireMot(ReadDataProgram, value) != 0)
        return ReadWordResult::ReadNotEchoed;
    return increment() ? ReadWordResult::Done : ReadWordResult::IncrementNotEchoed;
}

uint8_t IcspProgrammer::LireOctetEEPROM(uint16_t &value)
{
    if (LireMot(ReadDataData, value) != 0)
        return ReadByteResult::ReadNotEchoed;
    return increment() ? ReadByteResult::Done : ReadByteResult::IncrementNotEchoed;
}

uint8_t IcspProgrammer::LireParametres(PicImage &image)
{
    for (int i = 0; i < 8; ++i) {
        const double percent = std::nearbyint(100.0 / 8 * i);
        if (m_sink)
            m_sink->setBar(1, percent, m_texts.readingParameters);
        uint16_t value = 0;
        if (LireMot(ReadDataProgram, value) != 0)
            return ReadAreaResult::ReadNotEchoed;
        if (!increment())
            return ReadAreaResult::IncrementNotEchoed;
        if (i < 4) {
            image.UserID[size_t(2 * i)] = uint8_t(value & 0xFF);
            image.UserID[size_t(2 * i + 1)] = uint8_t(value / 256);
        } else if (i == 6) {
            image.DeviceID = value;
        } else if (i == 7) {
            image.ConfigWord = value;
        }
    }
    return ReadAreaResult::Done;
}

uint8_t IcspProgrammer::failedAttempt(int &attempts)
{
    ++NbErreurs;
    --attempts;
    return InitProgrammation();
}

uint8_t IcspProgrammer::ProgMotCode(int address, uint8_t NbEssais, uint16_t word)
{
    int attempts = NbEssais;
    // The configuration word compares on the bits the chip implements (the
    // others read back as 1).
    const uint16_t mask = address == 0x2007 ? m_chip.configMask : 0x3FFF;
    bool first = true;
    for (;;) {
        if (attempts <= 0)
            return ProgWordResult::AttemptsUsedUp;
        if (JumpTo(address) != 0) {
            if (attempts <= 1) {
                ++NbErreurs;
                return ProgWordResult::AttemptsUsedUp;
            }
            first = false;
            failedAttempt(attempts); // start again from a known counter
            continue;
        }
        uint16_t value = 0;
        bool ok = LireMot(ReadDataProgram, value) == 0;
        if (ok && !(first && (value & mask) == (word & mask))) {
            if (EnvoyerCommandeDonnee(LoadDataProgram, word) != 0)
                return ProgWordResult::LoadNotEchoed;
            if (!beginCycle(m_chip.programMs))
                return ProgWordResult::CycleNotEchoed;
            ok = LireMot(ReadDataProgram, value) == 0;
        }
        if (ok && (value & mask) == (word & mask)) {
            m_lastRead = value;
            // A lost increment would put every later word one cell too low.
            if (increment())
                return ProgWordResult::Done;
        } else if (ok && !first && m_sink) {
            using VEK_LANGUAGE::ReplacePlaceholders;
            const QString crlf = QStringLiteral("\r\n");
            m_sink->setStatus(
                ReplacePlaceholders(m_texts.addressIs, {"%1", HexInt(int16_t(PicPC), 4)}) + crlf +
                ReplacePlaceholders(m_texts.writeRead, {"%1", HexInt(int16_t(word), 4), "%2",
                                                        HexInt(int16_t(value & 0x3FFF), 4)}) +
                crlf + crlf +
                ReplacePlaceholders(m_texts.errorsAre, {"%1", QString::number(NbErreurs)}) + crlf +
                ReplacePlaceholders(m_texts.attemptsAre, {"%1", QString::number(attempts)}) + crlf);
        }
        first = false;
        failedAttempt(attempts);
    }
}

uint8_t IcspProgrammer::ProgOctetEEPROM(int value, uint8_t NbEssais)
{
    const int address = PicPC;
    int attempts = NbEssais;
    for (bool first = true;; first = false) {
        if (attempts <= 0)
            return ProgByteResult::AttemptsUsedUp;
        // A retry starts from a fresh programming mode: it goes back to the byte
        // first, and a jump that falls short is a failed attempt, never another cell.
        if (!first && JumpTo(address) != 0) {
            failedAttempt(attempts);
            continue;
        }
        uint16_t read = 0;
        if (LireMot(ReadDataData, read) != 0)
            return ProgByteResult::ReadNotEchoed;
        bool ok = true;
        if ((read & 0xFF) != value) {
            ok = EnvoyerCommandeDonnee(LoadDataData, value) == 0 && beginCycle(m_chip.eepromMs);
            if (ok && LireMot(ReadDataData, read) != 0)
                return ProgByteResult::ReadBackNotEchoed;
        }
        if (ok && (read & 0xFF) == value && increment())
            return ProgByteResult::Done;
        failedAttempt(attempts);
    }
}

uint8_t IcspProgrammer::eraseSetupSequence(int load, int value, bool toConfiguration)
{
    // Every frame is checked: an erase half sent is no erase.
    if (EnvoyerCommandeDonnee(load, value) != 0)
        return FrameResult::NotEchoed;
    if (toConfiguration)
        for (int i = 0; i < 7; ++i)
            if (!command(IncrementAddress))
                return FrameResult::NotEchoed;
    if (!command(BulkEraseSetup1) || !command(BulkEraseSetup2) || !beginCycle(m_chip.eraseMs))
        return FrameResult::NotEchoed;
    if (!command(BulkEraseSetup1) || !command(BulkEraseSetup2))
        return FrameResult::NotEchoed;
    return FrameResult::Done;
}

uint8_t IcspProgrammer::EffacerProtection()
{
    return eraseSetupSequence(LoadConfiguration, 0x3FFF, true);
}

uint8_t IcspProgrammer::EffacerCode()
{
    return eraseSetupSequence(LoadDataProgram, 0x3FFF, false);
}

uint8_t IcspProgrammer::EffacerEEPROM()
{
    return eraseSetupSequence(LoadDataData, 0x3FFF, false);
}

uint8_t IcspProgrammer::EffacerBulk()
{
    // From the configuration area the program erase takes the IDs and the
    // configuration word too.
    if (EnvoyerCommandeDonnee(LoadConfiguration, 0x3FFF) != 0 || !command(BulkEraseProgram))
        return FrameResult::NotEchoed;
    m_busyUntilUs = m_clock.nowUs() + qint64(m_chip.eraseMs) * 1000;
    if (!command(BulkEraseData))
        return FrameResult::NotEchoed;
    m_busyUntilUs = m_clock.nowUs() + qint64(m_chip.eraseMs) * 1000;
    return FrameResult::Done;
}

uint8_t IcspProgrammer::ProgrammerCode(const PicDevice &device, const QString &barText,
                                       const QString &statusText)
{
    m_codeRun = {};
    if (ModeProgrammation != 0)
        return StreamResult::UnknownMode;
    const int words = device.programByteCount() / 2;
    for (int k = 0; k < words; ++k) {
        // Every stop names the word it stopped at.
        m_codeRun = {k, 0, 0};
        if (cancelled())
            return StreamResult::Cancelled;
        showProgress(k, words, barText);
        if (m_sink) {
            m_sink->setStatus(statusText + QStringLiteral("(Erreur=%1)").arg(NbErreurs));
        }
        if (k == m_chip.calibrationWord) {
            // The factory calibration is the chip's, never the image's.
            if (!command(IncrementAddress))
                return StreamResult::IncrementNotEchoed;
            continue;
        }
        const uint16_t word = device.ImagePIC.codeWord(k) & 0x3FFF;
        m_codeRun.written = word;
        if (EnvoyerCommandeDonnee(LoadDataProgram, word) != 0)
            return StreamResult::LoadNotEchoed;
        if (!beginCycle(m_chip.programMs))
            return StreamResult::CycleNotEchoed;
        uint16_t value = 0;
        if (LireMot(ReadDataProgram, value) != 0)
            return StreamResult::ReadNotEchoed;
        m_codeRun.read = uint16_t(value & 0x3FFF);
        if (m_codeRun.read != word)
            return StreamResult::VerifyFailed;
        if (!command(IncrementAddress))
            return StreamResult::IncrementNotEchoed;
    }
    m_codeRun = {};
    return StreamResult::Done;
}
