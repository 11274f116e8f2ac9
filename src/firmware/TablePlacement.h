#pragma once

#include "firmware/TableIncludeFiles.h"
#include "icsp/PicImage.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

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
constexpr int MaxLines = 4;

// Words first to end - 1 of the program memory.
struct WordRange {
    int first = 0;
    int end = 0;
    bool operator==(const WordRange &) const = default;
    // The rule the range breaks for a memory of `words` words, the first one
    // in this order: not empty, whole 8-word blocks, within the memory.
    enum class Fault { None, Empty, NotWholeBlocks, PastMemory };
    Fault fault(int words) const;
    bool fitsBlocks(int words) const { return fault(words) == Fault::None; }
};

// A message box for a refused transfer.
struct Refusal {
    QString title; // empty: the default title
    QString text;
};

// The texts of a refused area, one for each rule, placeholders kept: read on
// the GUI thread, filled in wherever the area is checked.
struct ZoneTexts {
    QString empty;  // "MessZoneVide": {DEBUT}
    QString blocks; // "MessZoneRefusee": {DEBUT} {FIN}
    QString memory; // "MessZoneMemoire": {DEBUT} {FIN} {MOTS} {DERNIER}
    static ZoneTexts load();
};

// The text that says which rule `range` breaks in a memory of `words` words,
// naming the area; empty when it breaks none.
QString ZoneRefuseeTexte(const ZoneTexts &texts, const WordRange &range, int words);

// The one rule of where an area may be sent or programmed, for every path that
// writes areas into a module or a chip: whole 8-word blocks within the program
// memory of `chip` as its device record gives it. The text names every area
// that breaks the rule, one line each in the order given; empty when all fit.
// 18F chips count their memory in bytes and are not laid out as these areas
// are: they keep the image's 16384 words as their limit, as does a record with
// no chip chosen.
QString ZonesRefusees(const ZoneTexts &texts, const QList<WordRange> &areas, const PicDevice &chip);

// A MAP percentage typed by the user: a number from 0 to 100 ("." or ","
// decimal point), rounded half to even; nothing for anything else.
std::optional<int> PourcentageStrict(const QString &text);

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

// The refusal when the low and high tables of the request's curve lines would
// overlap (the high ones overwriting the low ones): the programmer set-up
// refuses such addresses at once, saying that its settings are not taken.
// Nothing when they do not, or when the line count or an address cannot be
// read (Verifier refuses those).
enum class OverlapFor { Transfer, Setup };
std::optional<Refusal> Chevauchement(const Request &request, OverlapFor use = OverlapFor::Transfer);

// Compilation type 8 or 88, 1 to 4 lines, aligned addresses whose tables fit
// `chip` (ZonesRefusees) without overlapping, and a percentage of 0 to 100 for
// each line (GUI thread).
Checked Verifier(const Request &request, const PicDevice &chip);

// Blends and places the four tables (as the generators fill them, entry 1 first)
// into `image` at the plan's ranges. Every word is checked first: entries 2 to
// 256 of a placed table must be RETLW words (0x34xx); on a refusal the image is
// left as it was and the text says which word (GUI thread).
std::optional<Refusal> Placer(const Plan &plan, const TableIncludeFiles::TablesExport &tables,
                              PicImage &image);

} // namespace TablePlacement
