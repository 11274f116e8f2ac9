#pragma once

#include <QList>
#include <QString>

// Rebuilds curve points from the 8-bit table include files (the inverse of the
// table generation): every table word that stands for an engine speed gives
// one point (rpm, atmospheric advance).
namespace TableImport {

enum class TableKind { High, Low };

constexpr int MaxItems = 256;
constexpr int MinRpm = 735;
constexpr int MaxRpm = 10000;
constexpr double MinAdvance = 0;
constexpr double MaxAdvance = 50;

struct ImportedPoint {
    int rpm = 0;
    double atmo = 0; // degrees, to the tenth
};

enum class Status { Ok, TooManyItems, TooFewItems, PointOutOfRange, DamagedItem };

struct Result {
    Status status = Status::Ok;
    QList<ImportedPoint> points; // in file order (descending rpm); empty unless Ok
    int itemCount = 0;           // items read (stops at the first one too many)
    int badItem = 0;             // number of the first refused item
    double badRpm = 0;           // and its point
    double badAdvance = 0;
    int refusedPoints = 0; // points outside the range in the whole file
    int damagedLine = 0;   // line (from 1) of the first item that is no table word
    QString damagedItem;   // and that item as written
};

// Speed and advance of item n (numbered from 1) with low byte b, when n is one
// of the table's speed items.
bool ItemPoint(TableKind kind, int n, int b, double staticAdvance, double &rpm, double &advance);

// Parses the whole text of one include file. Lines end with CR LF or LF alone;
// the end of the text ends the last line. After a line's leading blanks and its
// directive ("DW" in either case, then a blank) come the items, each exactly four
// hexadecimal digits, joined by "," (a "," may end the line); the third and
// fourth digits give the byte. Items are numbered along the file from 1. Any
// other directive or item (a comment, a damaged word) refuses the whole file,
// naming the directive or the item alone: the tables are written only this way.
// So does a file of other than MaxItems items (empty, or short of lines).
Result ParseTableFile(const QString &text, TableKind kind, double staticAdvance);

// The points of both tables in ascending rpm.
QList<ImportedPoint> MergeTables(const QList<ImportedPoint> &high, const QList<ImportedPoint> &low);

// Cell text of an imported advance ("45", "37.8").
QString AdvanceText(double advance);

} // namespace TableImport
