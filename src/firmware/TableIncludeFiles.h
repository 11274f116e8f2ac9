#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Table include files: the firmware's lookup tables written as assembler source,
// one low and one high file per curve (MAP) line. Each file holds the 256 table
// words as 64 "DW" lines of four words, the atmospheric table blended toward the
// boost table by the line's MAP pressure percentage.
namespace TableIncludeFiles {

constexpr int WordsPerTable = 256;
constexpr int WordsPerLine = 4;

// Name of the file of curve line `line`: the number inserted before the last four
// characters ("LTAB.TXT", 1 -> "LTAB1.TXT"); a name shorter than that gets it appended.
QString NomFichierLigne(const QString &name, int line);

// Percentage of a MAP box text: the number at its start, rounded half to even and
// held within 0..100 so that every blended word stays between its two sources.
int PourcentageMap(const QString &text);

// One word moved from the atmospheric value toward the boost value by `pct` percent
// (both read as hexadecimal); four upper-case hexadecimal digits.
QString MelangeMot(const QString &atmo, const QString &boost, int pct);

// The file text: 64 lines of nine blanks, "DW", nine blanks and four words, each
// line ended by CR LF. Both tables must hold 256 words.
QByteArray ContenuFichier(const QStringList &atmo, const QStringList &boost, int pct);

// The items of an include file's text, as the firmware's tables are written:
// lines (CR LF or LF alone; the end of the text ends the last line) of a data
// directive ("DW" in either case, letters in any order, then a blank), then
// items of exactly four hexadecimal digits joined by "," (a "," may end the
// line). Reading stops at the first other directive or item, naming its line
// (from 1) and the item as written, and at an item past `most`.
struct Items {
    QStringList words;   // the items read, in file order
    int damagedLine = 0; // line of the first item that is no table word, 0 for none
    QString damagedItem;
    bool tooMany = false; // an item past `most`
};
Items LireMots(const QString &text, int most = WordsPerTable);

// The read-back of a file written with `text` (ContenuFichier): the file at
// `written`, read as the import reads it, gives the same 256 words; empty when
// it does, else why not.
QString RelectureTable(const QString &written, const QByteArray &text);

// The four tables of one export, as the generators fill them (entry 1 first).
struct TablesExport {
    QStringList hauteAtmo;  // high table, column 1
    QStringList basseAtmo;  // low table, column 1
    QStringList hauteBoost; // high table, column 2
    QStringList basseBoost; // low table, column 2
};

struct ExportRequest {
    QString folder;          // destination folder
    QString nomBasse;        // low-table file name ("LTAB.TXT")
    QString nomHaute;        // high-table file name ("HTAB.TXT")
    int lineCount = 0;       // curve lines to write
    QStringList percentages; // text of each MAP percentage box, line 0 first
    TablesExport tables;
};

// Why the low and high names cannot name the export's files, the message to
// show; empty when they can. A name the file name rule refuses (an empty
// one among them, which would give files named "0", "1"...), or two files of
// the export that would have one name, compared without regard to case as
// other systems compare them (the same name twice, "T" and "T1" past ten
// lines): the later would replace the earlier.
QString NamesRefusal(const QString &nomBasse, const QString &nomHaute, int lineCount);

struct ExportResult {
    enum Status { Ok, LineCountRefused, BadTables, BadNames, WriteFailed };
    Status status = Ok;
    QStringList written;    // files written whole, in order
    QStringList notWritten; // files of the export that existed, left as they were, in order
    QStringList notMade;    // files of the export that did not exist and were not written
    QString failedPath;     // the file that could not be written
    QString error;          // why it failed (FileFailureReason, NamesRefusal)
    bool ok() const { return status == Ok; }
};

// Curve lines a firmware may have: each takes its MAP percentage from a box of
// the main window, which shows eight at most.
constexpr int MaxLignesCourbe = 8;

// The curve lines of the `ICSPNbTables` text, read as its declared value (a
// whole number), when they are 1 to MaxLignesCourbe; nothing otherwise. The curve download, the
// table programming and the table export all take their line count from here.
std::optional<int> LignesCourbe(const QString &nbTables);

// Writes the low then the high file of each line 0 .. lineCount-1. Nothing is written
// when the count is not 1 to MaxLignesCourbe, exceeds the percentage boxes, a
// table is not 256 words or the names are refused (NamesRefusal); each file is
// replaced only once it has been written whole. The first file that cannot be
// written ends the export: it and the files after it are left as they were.
ExportResult Exporter(const ExportRequest &request);

} // namespace TableIncludeFiles
