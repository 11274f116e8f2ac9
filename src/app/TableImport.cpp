#include "app/TableImport.h"

#include "app/AdvancePoint.h"
#include "firmware/TableIncludeFiles.h"

#include <algorithm>
#include <cmath>

namespace TableImport {

namespace {

// Byte of a table word "hhhh": its third and fourth digits.
int byteOf(const QString &item)
{
    return item.mid(2, 2).toInt(nullptr, 16);
}

double tenth(double value)
{
    return AdvanceCurveMath::RoundHalfEven(value * 10) / 10.0;
}

} // namespace

bool ItemPoint(TableKind kind, int n, int b, double staticAdvance, double &rpm, double &advance)
{
    const bool high = kind == TableKind::High;
    if (high ? (n < 75 || n >= 251) : (n < 63 || n >= 256))
        return false;
    rpm = (high ? 750000.0 : 187500.0) / n;
    advance = staticAdvance - b * 3.0 * rpm / (high ? 50000.0 : 12500.0);
    return true;
}

Result ParseTableFile(const QString &text, TableKind kind, double staticAdvance)
{
    Result result;
    const TableIncludeFiles::Items items = TableIncludeFiles::LireMots(text, MaxItems);
    if (items.damagedLine > 0) {
        result.status = Status::DamagedItem;
        result.damagedLine = items.damagedLine;
        result.damagedItem = items.damagedItem;
        return result;
    }
    if (items.tooMany) {
        result.status = Status::TooManyItems;
        result.itemCount = MaxItems + 1;
        return result;
    }
    QList<ImportedPoint> points;
    int n = 0;
    for (const QString &item : items.words) {
        ++n;
        double rpm = 0;
        double advance = 0;
        if (!ItemPoint(kind, n, byteOf(item), staticAdvance, rpm, advance))
            continue;
        const ImportedPoint point{AdvanceCurveMath::RoundHalfEven(rpm), tenth(advance)};
        if (point.rpm < MinRpm || point.rpm > MaxRpm || point.atmo < MinAdvance ||
            point.atmo > MaxAdvance) {
            if (result.refusedPoints++ == 0) {
                result.badItem = n;
                result.badRpm = point.rpm;
                result.badAdvance = point.atmo;
            }
            continue;
        }
        points.append(point);
    }
    result.itemCount = n;
    if (n < MaxItems) // a short file is no table: its words would be misplaced
        result.status = Status::TooFewItems;
    else if (result.refusedPoints > 0)
        result.status = Status::PointOutOfRange;
    else
        result.points = points;
    return result;
}

QList<ImportedPoint> MergeTables(const QList<ImportedPoint> &high, const QList<ImportedPoint> &low)
{
    QList<ImportedPoint> all = high + low;
    std::stable_sort(all.begin(), all.end(),
                     [](const ImportedPoint &a, const ImportedPoint &b) { return a.rpm < b.rpm; });
    return all;
}

QString AdvanceText(double advance)
{
    return QString::number(advance + 0.0); // no "-0"
}

} // namespace TableImport
