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

// Value of the leading hexadecimal digits of (up to) two characters, 0 when none.
int byteOf(QStringView digits)
{
    const int h = digits.isEmpty() ? -1 : hexDigit(digits.at(0));
    if (h < 0)
        return 0;
    const int l = digits.size() < 2 ? -1 : hexDigit(digits.at(1));
    return l < 0 ? h : h * 16 + l;
}

bool isDirectiveChar(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('D') ||
           c == QLatin1Char('W');
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
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        QStringView line = QStringView(text).mid(start, end - start);
        start = end + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        qsizetype i = 0;
        while (i < line.size() && isDirectiveChar(line.at(i)))
            ++i;
        for (; line.size() - i >= 3; i += 5) {
            if (++n > MaxItems) {
                result.status = Status::TooManyItems;
                result.itemCount = n;
                return result;
            }
            double rpm = 0;
            double advance = 0;
            if (!ItemPoint(kind, n, byteOf(line.mid(i + 2, 2)), staticAdvance, rpm, advance))
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
    if (result.refusedPoints > 0)
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
