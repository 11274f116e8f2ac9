#pragma once

#include "icsp/IcspChipOperations.h"
#include "icsp/IcspProgrammer.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

class PicDevice;

// What the programmer window does beyond the whole-chip operations: the module
// verification, the programming of the curve's lookup tables, and the texts
// that report every operation. Texts are built on the GUI thread (language
// texts); the operations run on a worker thread.

// The programmer's texts with the window's progress-bar texts for `device`
// ("Lecture mémoire programme 1024 octets ").
IcspTexts ProgrammerOperationTexts(const PicDevice &device);

// Reads the eight words of the configuration area (user IDs, device ID,
// configuration word) into the image, each user ID as the read keeps it (low
// byte, then high byte), with the chip checks of a read (StartForChoice): no
// chip, another chip or one the programmer cannot program stops at stage
// Identify. Opens and closes the programmer; every step is checked and the
// image is only changed when all eight words were read.
IcspResult VerifierModule(IcspProgrammer &programmer, PicDevice &device, const QString &icspChip);

// One lookup table of the curve, as the placement put it in a scratch image.
struct CurveTableArea {
    QString libelle;             // caption used in the texts ("L1 basse")
    int adresse = 0;             // program-memory address of its first word
    std::vector<uint16_t> words; // 256 words: the jump, then 255 return-with-literal
};

// The texts of the table programming, taken on the GUI thread.
struct CurveTableTexts {
    QString bar;     // "P1.DrawPanelProgCurve"
    QString current; // "P1.DrawPanelProgCurveCurrent"
    QString bytes;   // "Bytes"
    QString errors;  // "ICSPErreurCompte": %1 errors so far
};

// Empty when `words` is a firmware lookup table (256 words, the first one a
// program word, the others return-with-literal words 0x34xx); else the index
// (0-based) of the first word that is not.
int MauvaisMotTable(const std::vector<uint16_t> &words);

// Programs one table from its address on, each word verified; the programmer
// must be open and in programming mode (it is left so). The bar runs over
// `barDone` to `barDone` + 256 of `barTotal` words. A table that is not a
// lookup table is refused before any word is written (stage WriteCode, code 0).
IcspResult ProgrammerTablesCourbes(IcspProgrammer &programmer, const CurveTableArea &table,
                                   uint8_t essais, const CurveTableTexts &texts, int barDone,
                                   int barTotal);

// The tables one after the other on a programmer opened for them and closed at
// the end, then each read again from a fresh start (ReadBackWords);
// `failedTable` is the index of the table that stopped it.
IcspResult ProgrammerCourbes(IcspProgrammer &programmer, const PicDevice &device,
                             const QList<CurveTableArea> &tables, uint8_t essais,
                             const CurveTableTexts &texts, int &failedTable);

// The quick code-memory programming: opens the programmer, moves to address 0
// and streams the whole program memory from the image with ProgrammerCode (one
// pass, each word read back, no retry); closes the programmer on every path.
// The bar shows the programmer's code-writing text, the status line
// `statusText` with the error count. A word read back
// wrong fails at stage WriteCode with the code StreamResult::VerifyFailed and the verify
// report as message; a cancel stops between words (stage Cancelled). The
// whole code memory is then read again from a fresh start (ReadBackImage).
IcspResult ProgrammerCodeRapide(IcspProgrammer &programmer, const PicDevice &device,
                                const QString &statusText);

// The window's reports of each operation: the status line and, for failures,
// the message box text. `nom` is the programmer label.
namespace ProgrammerReports {

// What the protocol's code of a failure says in words (a command the chip did
// not echo, a value read back unlike the one written...), empty for a code
// without any; `stream`: the code of the quick code programming.
QString codeReason(const IcspResult &result, bool stream = false);
QString readStatus(const IcspResult &result, const QString &nom);
QString writeStatus(const IcspResult &result, const QString &nom);
// The failure box of a write: the failing address and the protocol's code.
QString writeFailureBox(const IcspResult &result);
QString eraseDetail(const IcspResult &result, const QString &nom);
QString verifyStatus(const IcspResult &result, const QString &nom);
// The failure box of the quick code programming.
QString codeFailure(const IcspResult &result, const QString &nom);
QString tableStatus(const IcspResult &result, const QString &libelle, const QString &nom);
// "Opération annulée ... [0xADDR]" for a stopped operation.
QString cancelled(const IcspResult &result);

} // namespace ProgrammerReports
