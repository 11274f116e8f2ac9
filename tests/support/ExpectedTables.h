#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <cmath>
#include <cstdint>

// Firmware lookup tables worked out in the tests from the table rules, apart
// from the product's generators, to check what those produce.
//
// Entry i stands for the speed K1 / i; a data entry is the RETLW 0x34 of the
// spark delay (static advance - advance) * K2 / (3 * rpm), rounded half to even.
namespace ExpectedTables {

enum class Kind { Low8, High8, Low88, High88 };

struct Layout {
    double k1;
    double k2;
    int firstData;
    int lastData;
};

inline Layout layoutOf(Kind kind)
{
    switch (kind) {
    case Kind::Low8:
        return {187500, 12500, 62, 255};
    case Kind::High8:
        return {750000, 50000, 75, 250};
    case Kind::Low88:
        return {234375, 31250, 61, 256};
    case Kind::High88:
        break;
    }
    return {937500, 62500, 62, 256};
}

// The advance of `column` at `rpm`: linear between the points (rpm in column 0),
// the first or last point's value beyond them.
inline double advanceAt(const QVector<QStringList> &points, int column, double rpm)
{
    const auto x = [&](int k) { return points[k][0].toDouble(); };
    const auto y = [&](int k) { return points[k][column].toDouble(); };
    const int last = int(points.size()) - 1;
    if (rpm <= x(0))
        return y(0);
    if (rpm >= x(last))
        return y(last);
    int k = 1;
    while (x(k) < rpm)
        ++k;
    return y(k - 1) + (y(k) - y(k - 1)) * (rpm - x(k - 1)) / (x(k) - x(k - 1));
}

// Entries 1 to 256 (0 unused): the jump 0x0782, the header lines given
// (other lines 0x3400), the data entries, and 0x34FF closing the type-8 tables.
inline std::array<uint16_t, 257> table(Kind kind, const QVector<QStringList> &points, int column,
                                       double staticAdvance, const QMap<int, uint16_t> &header = {})
{
    const Layout l = layoutOf(kind);
    std::array<uint16_t, 257> t{};
    t.fill(0x3400);
    t[0] = 0;
    t[1] = 0x0782;
    for (auto it = header.begin(); it != header.end(); ++it)
        t[size_t(it.key())] = it.value();
    for (int i = l.firstData; i <= l.lastData; ++i) {
        const double rpm = l.k1 / i;
        const double delay = (staticAdvance - advanceAt(points, column, rpm)) * l.k2 / (3 * rpm);
        t[size_t(i)] = uint16_t(0x3400 + std::nearbyint(delay));
    }
    if (kind == Kind::Low8 || kind == Kind::High8)
        t[256] = 0x34FF;
    return t;
}

inline QStringList words(const std::array<uint16_t, 257> &t)
{
    QStringList out;
    for (size_t i = 1; i < t.size(); ++i)
        out << QStringLiteral("%1").arg(t[i], 4, 16, QLatin1Char('0')).toUpper();
    return out;
}

} // namespace ExpectedTables
