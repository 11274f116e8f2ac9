#pragma once

#include "firmware/TableIncludeFiles.h"

#include <QStringList>

// Tables as the generators give them, for the tests that place, export or
// write them: the program word "0782", then return-with-literal words whose
// bytes count up from `base` (wrapping at 0xFF), so that each table and each
// of its words tells itself apart.
namespace GeneratedTables {

inline QStringList table(int base)
{
    QStringList words{QStringLiteral("0782")};
    for (int i = 1; i < TableIncludeFiles::WordsPerTable; ++i)
        words << QStringLiteral("34%1").arg((base + i) & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    return words;
}

// A curve line's four tables: low and high atmospheric, low and high boost.
inline TableIncludeFiles::TablesExport lineTables()
{
    return {table(0x40), table(0x10), table(0x80), table(0x20)};
}

} // namespace GeneratedTables
