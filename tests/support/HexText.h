#pragma once

#include <QByteArray>

#include <algorithm>

// Intel HEX texts for the tests, written here record by record so that the
// program's own writer is never the source of what its reader is fed.
namespace HexText {

// Data records of the program words [first, first + count), word k holding
// 0x2800 + k (low byte first, eight words a record), then the end record.
inline QByteArray program(int first, int count, bool end = true)
{
    QByteArray text;
    for (int k = first; k < first + count; k += 8) {
        const int n = std::min(8, first + count - k);
        QByteArray record;
        record += char(2 * n);
        record += char(((2 * k) >> 8) & 0xFF);
        record += char((2 * k) & 0xFF);
        record += char(0);
        for (int w = k; w < k + n; ++w) {
            record += char((0x2800 + w) & 0xFF);
            record += char(((0x2800 + w) >> 8) & 0xFF);
        }
        quint8 sum = 0;
        for (const char c : record)
            sum = quint8(sum + quint8(c));
        record += char(quint8(0x100 - sum));
        text += ':' + record.toHex().toUpper() + "\r\n";
    }
    return end ? text + ":00000001FF\r\n" : text;
}

} // namespace HexText
