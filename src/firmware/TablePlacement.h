#pragma once

#include "firmware/TableIncludeFiles.h"
#include "icsp/PicImage.h"

#include <QBitArray>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

class PicDevice;

// Where the curve's tables go in the program memory of the module: for each
// curve (MAP) line, the atmospheric tables blended toward the boost tables by
// the line's pressure percentage, at the table addresses of the firmware, one
// 256-word table after the other. Shared by the bootloader's curve download and
// the programmer's table programming. Checks run on the GUI thread (their
// messages are language texts) and refuse before the image is touched.
namespace TablePlacement {

constexpr int WordsPerTable = TableIncludeFiles::WordsPerTable;
constexpr int BlockWords = 8; // a bootloader write frame
constexpr int MaxLines = TableIncludeFiles::MaxLignesCourbe;

// Words first to end - 1 of the program memory.
struct WordRange {
    int first = 0;
    int end = 0;
    bool operator==(const WordRange &) const = default;
    // The rules the range breaks for a memory of `words` words, in this order:
    // not empty (an empty range breaks no other), whole 8-word blocks, within
    // the memory; `fault` gives the first one.
    enum class Fault { None, Empty, NotWholeBlocks, PastMemory };
    QList<Fault> faults(int words) const;
    Fault fault(int words) const;
    bool fitsBlocks(int words) const { return fault(words) == Fault::None; }
};

// A message box for a refused transfer.
struct Refusal {
    QString title; // empty: the default title
    QString text;
};

// What a refusal of areas leads to: nothing sent or programmed, the
// programmer set-up's settings not taken, or no package created.
enum class AreasFor { Transfer, Setup, Package };

// The texts of a refused area, one for each rule, placeholders kept: read on
// the GUI thread, filled in wherever the area is checked.
struct ZoneTexts {
    QString empty;  // "MessZoneVide": {DEBUT}
    QString blocks; // "MessZoneRefusee": {DEBUT} {FIN}
    QString memory; // "MessZoneMemoire": {DEBUT} {FIN} {MOTS} {DERNIER}
    static ZoneTexts load(AreasFor use = AreasFor::Transfer);
};

// The text that says which rules `range` breaks in a memory of `words` words,
// one line each, naming the area; empty when it breaks none.
QString ZoneRefuseeTexte(const ZoneTexts &texts, const WordRange &range, int words);

// The one rule of where an area may be sent or programmed, for every path that
// writes areas into a module or a chip: whole 8-word blocks within the program
// memory of `chip` as its device record gives it. The text names every area
// that breaks the rule with every reason, one line each in the order given;
// empty when all fit.
// 18F chips count their memory in bytes and are not laid out as these areas
// are: they keep the image's 16384 words as their limit, as does a record with
// no chip chosen.
QString ZonesRefusees(const ZoneTexts &texts, const QList<WordRange> &areas, const PicDevice &chip);

// The code area of the settings (ICSPHEXADD, ICSPHEXLNG: start and length of
// one to four hexadecimal digits) checked by ZonesRefusees for `chip`: the
// range, or the refusal. The firmware download and the programmer set-up.
struct CodeArea {
    std::optional<WordRange> range;
    QString refusal;
};
CodeArea ZoneCode(const QString &HEXADD, const QString &HEXLNG, const PicDevice &chip,
                  AreasFor use = AreasFor::Transfer);

// The refusal of a firmware range that holds none of the words `file` gave
// (bit k of `given`: word k), naming the file and the range; empty when it
// holds one at least (GUI thread).
QString ZoneSansMot(const WordRange &range, const QBitArray &given, const QString &file,
                    AreasFor use = AreasFor::Transfer);

// A MAP percentage typed by the user: a number from 0 to 100 ("." or ","
// decimal point), rounded half to even; nothing for anything else.
std::optional<int> PourcentageStrict(const QString &text);

// The refusal of a curve line count that LignesCourbe does not take, naming
// the text; the same for every path that takes the count (GUI thread).
QString LignesRefusees(const QString &ICSPNbTables);

// What the placement reads of the settings, for one curve set.
struct Request {
    int16_t TypeCompilation = 8;
    QString ICSPNbTables;            // curve lines
    QString LTAB, HTAB;              // start addresses of the set's low and high tables
    std::array<QString, 9> tbMapAdj; // MAP percentage of each line
};

// The checked request: ranges and percentages the tables will be placed at.
struct Plan {
    int lines = 0;
    std::array<int, MaxLines> pct{};
    WordRange low, high;
};

struct Checked {
    std::optional<Plan> plan;
    Refusal refusal; // when there is no plan
};

// The table areas of the request: 1 to MaxLines lines (LignesCourbe), start
// addresses of one to four hexadecimal digits, tables in whole blocks within
// the memory of `chip` (the rule of ZonesRefusees) and low tables the high
// ones do not overlap; a refusal names every fault of the low and the high
// tables apart, each sentence once. The curve
// download, the table programming (through Verifier) and the programmer set-up
// all check the areas here (GUI thread).
struct TableAreas {
    std::optional<std::pair<WordRange, WordRange>> lowHigh;
    Refusal refusal;
    int lines = 0;
};
TableAreas ZonesTables(const Request &request, const PicDevice &chip,
                       AreasFor use = AreasFor::Transfer);

// Compilation type 8 or 88, table areas that ZonesTables takes, and a
// percentage of 0 to 100 for each line (GUI thread).
Checked Verifier(const Request &request, const PicDevice &chip);

// Blends and places the four tables (as the generators fill them, entry 1 first)
// into `image` at the plan's ranges. Every word is checked first: entries 2 to
// 256 of a placed table must be RETLW words (0x34xx); on a refusal the image is
// left as it was and the text says which word (GUI thread).
std::optional<Refusal> Placer(const Plan &plan, const TableIncludeFiles::TablesExport &tables,
                              PicImage &image);

} // namespace TablePlacement
