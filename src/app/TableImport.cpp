#include "app/TableImport.h"

#include "app/AdvancePoint.h"

#include <algorithm>
#include <cmath>

namespace TableImport {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// Byte of a table word "hhhh": its third and fourth digits; -1 when the item
// is not exactly four hexadecimal digits.
int byteOf(QStringView item)
{
    if (item.size() != 4)
        return -1;
    for (const QChar c : item)
        if (hexDigit(c) < 0)
            return -1;
    return hexDigit(item.at(2)) * 16 + hexDigit(item.at(3));
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The data directive that opens a line: its leading letters when a blank
// follows them (or nothing does); empty when the line opens with an item.
QStringView directiveOf(QStringView line)
{
    qsizetype end = 0;
    while (end < line.size() && line.at(end).isLetter())
        ++end;
    if (end == 0 || (end < line.size() && !isBlank(line.at(end))))
        return {};
    return line.left(end);
}

// "DW", in either case; the letters in any order, as the tables' readers take it.
bool isDataDirective(QStringView directive)
{
    for (const QChar c : directive)
        if (c.toUpper() != QLatin1Char('D') && c.toUpper() != QLatin1Char('W'))
            return false;
    return true;
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
    QList<ImportedPoint> points;
    int n = 0;
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        QStringView line = QStringView(text).mid(start, end - start).trimmed();
        start = end + 1;
        ++lineNumber;
        const auto damaged = [&](QStringView item) {
            result.status = Status::DamagedItem;
            result.damagedLine = lineNumber;
            result.damagedItem = item.toString();
            return result;
        };
        const QStringView directive = directiveOf(line);
        if (!isDataDirective(directive))
            return damaged(directive);
        line = line.mid(directive.size()).trimmed();
        if (line.endsWith(QLatin1Char(',')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        for (const QStringView item : line.split(QLatin1Char(','))) {
            const int b = byteOf(item);
            if (b < 0)
                return damaged(item);
            if (++n > MaxItems) {
                result.status = Status::TooManyItems;
                result.itemCount = n;
                return result;
            }
            double rpm = 0;
            double advance = 0;
            if (!ItemPoint(kind, n, b, staticAdvance, rpm, advance))
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
