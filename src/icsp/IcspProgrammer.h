#pragma once

#include "base/PortFailureTexts.h"
#include "icsp/ChipTable.h"
#include "icsp/IcspLines.h"
#include "icsp/IcspPort.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class CancelToken;
class Clock;
class PicDevice;
class ProgressSink;
struct MainSettings;
struct PicImage;

// Language texts of the programmer's own messages, looked up on the GUI thread
// before an operation starts (the operation itself runs on a worker thread).
struct IcspTexts {
    PortFailureTexts portFailure;  // a port that would not open
    QString noChip;                // no chip answers on the lines
    QString noChipAuto;            // the same under "AUTO", where a 16F84 (no ID) reads so too
    ChipTable::AutoTexts autoChip; // an ID "AUTO" does not take (ChipTable::unidentifiedWith)
    QString eraseNotBlank;         // %ADRESSE%: first address an erase left unblank
    QString calibrationKept;       // %OSCCAL%, %BG%: factory calibration put back
    QString calibrationLost;       // %OSCCAL%: the word read before an erase is no RETLW
    QString calibrationTyped;      // %OSCCAL%, %BG%: the value the user typed written
    QString calibrationNotWritten; // %BG%: the erase went on without the OSCCAL value
    QString readBackMismatch;      // %ADRESSE%, %LU%, %ATTENDU%: a written cell read again
    QString chooseChip;            // no record the programmer can program
    QString otherChip;             // %CHOISI%, %LU%, %ID%: another chip answers
    QString otherChipId;           // %CHOISI%, %ID%: an ID no known chip has
    QString autoOtherChip;         // otherChip under "AUTO", for a chip AUTO recognises
    QString blankOrAbsent;         // a chip without ID that reads blank throughout
    QString noAnswer;              // {MODULE}: the box failed its self-test
    QString selfTestBad;           // heads the self-test's report
    QString dataStuckLow, dataInverted, dataStuckHigh; // what the self-test's pattern says
    QString readingParameters;                         // progress of the configuration read
    QString addressIs;                                 // %1: "Adresse = 0x..."
    QString writeRead;                                 // %1 %2: the word written and the word read
    QString errorsAre;                                 // %1: errors counted so far
    QString attemptsAre;                               // %1: attempts allowed
    QString writtenIs, readIs;                         // %1: a word written and read again
    QString badReadPin; // {BROCHE}: a data-in pin that is no input of the port
    // Progress-bar texts of the window (empty unless it sets them).
    QString readingCode, readingEeprom, writingCode, writingEeprom, writingConfig, erasing;

    // The programmer's own messages (the window adds its progress texts).
    static IcspTexts load();
};

// Result of the adapter self-test: the code of the four answers (0x3210 for a
// working adapter) and, on failure, the report for the user.
struct IcspSelfTest {
    bool failed = false;
    int code = 0;
    QStringList messages; // report, then what the pattern says (if anything)
};

// The in-circuit programmer: line driver, bit frames, opening and self-test, and
// the PIC's serial programming protocol, with the programming state of one
// operation. Plain synchronous code over the port seams and a clock; windows run
// it off the GUI thread. The settings are copied when it is made.
class IcspProgrammer
{
public:
    // Results of opening (OuvrirProgrammateur), besides 0.
    static constexpr uint8_t OpenNoAnswer = 1; // the adapter failed its self-test
    static constexpr uint8_t OpenPortFailed = 2;
    static constexpr uint8_t OpenBadPins = 3;
    // Result codes, one set per procedure: 0 is success in each, and the
    // values are the codes the windows report ("Code erreur").
    struct FrameResult { // EnvoyerCommandeDonnee and the erase sequences
        enum : uint8_t { Done = 0, NotEchoed = 99 };
    };
    struct ReadFrameResult { // LireMot
        enum : uint8_t { Done = 0, CommandNotEchoed = 11 };
    };
    struct JumpResult {
        enum : uint8_t { Done = 0, LoadConfigurationNotEchoed = 91, IncrementNotEchoed = 92 };
    };
    struct ReadWordResult { // LireMotCode
        enum : uint8_t { Done = 0, ReadNotEchoed = 20, IncrementNotEchoed = 21 };
    };
    struct ReadByteResult { // LireOctetEEPROM
        enum : uint8_t { Done = 0, ReadNotEchoed = 30, IncrementNotEchoed = 31 };
    };
    struct ReadAreaResult { // LireParametres
        enum : uint8_t { Done = 0, ReadNotEchoed = 11, IncrementNotEchoed = 12 };
    };
    struct ProgWordResult { // ProgMotCode
        enum : uint8_t { Done = 0, LoadNotEchoed = 12, CycleNotEchoed = 13, AttemptsUsedUp = 19 };
    };
    struct ProgByteResult { // ProgOctetEEPROM
        enum : uint8_t {
            Done = 0,
            ReadNotEchoed = 20,
            ReadBackNotEchoed = 21,
            AttemptsUsedUp = 29
        };
    };
    // ProgrammerCode: besides the frames' failures, a word read back differs,
    // the run was cancelled, or a mode it has no steps for (codeRun() names the
    // word where it stopped).
    struct StreamResult {
        enum : uint8_t {
            Done = 0,
            VerifyFailed = 1,
            Cancelled = 2,
            UnknownMode = 3,
            ReadNotEchoed = 11,
            IncrementNotEchoed = 12,
            CycleNotEchoed = 84,
            LoadNotEchoed = 99,
        };
    };

    IcspProgrammer(const MainSettings &settings, const Clock &clock,
                   IcspPortOpener opener = OpenIcspPort, const IcspTexts &texts = {});
    ~IcspProgrammer();
    IcspProgrammer(const IcspProgrammer &) = delete;
    IcspProgrammer &operator=(const IcspProgrammer &) = delete;

    // The chip worked on: its write and erase times, configuration mask, erase
    // commands. Until set, the slowest times of the chip table are used.
    void setChip(const ChipTraits &traits) { m_chip = traits; }
    const ChipTraits &chip() const { return m_chip; }

    // Where progress goes and what may stop the long loops (both may be null).
    void attach(ProgressSink *sink, const CancelToken *cancel);
    bool cancelled() const;
    ProgressSink *sink() const { return m_sink; }
    // Bar 1 at `done` of `total` (rounded percent), when there is a sink.
    void showProgress(int done, int total, const QString &text) const;

    // Programming state.
    int PicPC = 0;
    bool ProgrammateurOuvert = false;
    int ModeProgrammation = 0;
    int NbErreurs = 0;
    // What the windows do before each operation.
    void resetState();

    const QString &label() const { return m_label; }
    const IcspTexts &texts() const { return m_texts; }
    // The set-up leaves the chip to "AUTO": the chip of the image is the one last read.
    bool automaticChip() const { return m_automaticChip; }
    const Clock &clock() const { return m_clock; }
    // The message of the last failed opening (cannot open, pins, no answer).
    const QString &failureText() const { return m_failure; }
    // What the last failed self-test found: its report, then what the
    // pattern of answers says (one row per line); empty when it passed.
    const QString &selfTestReport() const { return m_selfTestReport; }
    // The seam's own error once a line call failed (port gone), else empty.
    QString lineError() const;

    // Bit frames.
    uint32_t PipeBites(uint32_t word, int bits);
    uint8_t EnvoyerCommandeDonnee(int command, int data); // 0 or 99
    uint8_t LireMot(int command, uint16_t &value);        // 0 or 11

    // Opening, closing, self-test.
    uint8_t OuvrirProgrammateur();
    void FermerProgrammateur();
    void EntrerModeProg();
    IcspSelfTest AutoDiag();
    bool portOpen() const { return m_port != nullptr; }

    // Protocol.
    uint8_t InitProgrammation(); // 0, or the result of a failed opening
    uint8_t JumpTo(int target);
    uint8_t LireMotCode(uint16_t &value);
    uint8_t LireOctetEEPROM(uint16_t &value);
    uint8_t LireParametres(PicImage &image);
    uint8_t ProgMotCode(int address, uint8_t NbEssais, uint16_t word);
    uint8_t ProgOctetEEPROM(int value, uint8_t NbEssais);
    uint8_t EffacerProtection();
    uint8_t EffacerCode();
    uint8_t EffacerEEPROM();
    // The chip's own bulk erase commands (program area and configuration, then data).
    uint8_t EffacerBulk();
    // The word last read back by ProgMotCode (a configuration word as the chip keeps it).
    uint16_t lastWordRead() const { return m_lastRead; }

    // Whole code memory from address 0, no retry; `barText` and `statusText`
    // are the window's progress texts.
    struct CodeRun {
        int address = -1; // word that failed or was not reached (-1 on success)
        uint16_t written = 0, read = 0;
    };
    uint8_t ProgrammerCode(const PicDevice &device, const QString &barText = {},
                           const QString &statusText = {});
    const CodeRun &codeRun() const { return m_codeRun; }

    // Command codes.
    enum Command : int {
        LoadConfiguration = 0x00,
        LoadDataProgram = 0x02,
        LoadDataData = 0x03,
        ReadDataProgram = 0x04,
        ReadDataData = 0x05,
        IncrementAddress = 0x06,
        BeginEraseProgramming = 0x08,
        BulkEraseSetup1 = 0x01,
        BulkEraseSetup2 = 0x07,
        BulkEraseProgram = 0x09,
        BulkEraseData = 0x0B,
    };

private:
    bool command(int code);
    bool beginCycle(int waitMs);
    void waitWriteDone();
    bool waitDataR(int level, int limitMs);
    void settle();
    void line(int which, int value);
    int dataR();
    bool increment();
    uint8_t failedAttempt(int &attempts);
    uint8_t eraseSetupSequence(int load, int value, bool toConfiguration);

    IcspLineSettings m_lineSettings;
    QString m_label;
    qint64 m_delayUs = 15;
    const Clock &m_clock;
    IcspPortOpener m_opener;
    IcspTexts m_texts;
    bool m_automaticChip = false;
    ChipTraits m_chip;
    std::unique_ptr<IcspPort> m_port;
    std::unique_ptr<IcspLineDriver> m_lines;
    bool m_selfTested = false;
    QString m_failure;
    QString m_selfTestReport;
    qint64 m_busyUntilUs = 0;
    uint16_t m_lastRead = 0;
    CodeRun m_codeRun;
    ProgressSink *m_sink = nullptr;
    const CancelToken *m_cancel = nullptr;
};
