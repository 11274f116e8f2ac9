#pragma once

#include "firmware/CurveColumn.h"
#include "firmware/CurveGridSnapshot.h"
#include "firmware/FirmwareTable.h"
#include "firmware/TableHeaderSnapshot.h"

#include <cstdint>
#include <map>
#include <optional>

class TableGenerationPrompts;

// Builds the module's lookup tables from the curve: a low-speed and a
// high-speed table for each 8-bit firmware build (type 8, and type 88 whose
// generators carry "16" in their names). Use one generator per set of tables:
// the truncation answer given once holds for the whole set, and each column
// of the curve is read into numbers once for all the tables of the set.
class TableGenerator
{
public:
    TableGenerator(const TableHeaderSnapshot &header, TableGenerationPrompts &prompts);

    // Set once the user agreed to truncate an out-of-range delay (type 8 only).
    bool TroncatureAcceptee = false;

    // Each fills entries 1 to 256 of `table` from column `col` (1 atmospheric,
    // 2 boost) and returns 0, or -1 after telling the user why it stopped.
    int16_t GenereLTAB8(FirmwareTable &table, const CurveGridSnapshot &grid, double staticAdvance,
                        int col);
    int16_t GenereHTAB8(FirmwareTable &table, const CurveGridSnapshot &grid, double staticAdvance,
                        int col);
    int16_t GenereLTAB16(FirmwareTable &table, const CurveGridSnapshot &grid, double staticAdvance,
                         int col);
    int16_t GenereHTAB16(FirmwareTable &table, const CurveGridSnapshot &grid, double staticAdvance,
                         int col);

    // "34" and the low byte of `value`.
    static QString retlw(int64_t value);

private:
    enum class RangeRule { AskTruncation, Refuse, ClampHighRefuseLow };
    enum class Header { None, Type8, Type88 };
    struct Layout {
        double k1; // rpm of entry i is k1 / i
        double k2; // delay ticks per second / 2
        int firstData;
        int lastData;
        bool lastIs34FF; // entry 256 is "34FF"
        RangeRule rule;
        Header header; // the low tables carry the parameter header
    };

    int16_t generate(FirmwareTable &table, const CurveGridSnapshot &grid, double staticAdvance,
                     int col, const Layout &layout);
    // Column `col` of `grid` in numbers, read at its first use.
    const CurveColumn &column(const CurveGridSnapshot &grid, int col);
    // The byte of data entry i; the entry is its RETLW word.
    std::optional<uint8_t> dataEntry(const CurveColumn &column, double staticAdvance, int i,
                                     const Layout &layout);
    std::optional<double> checkRange(double delay, double rpm, double advance, RangeRule rule);
    bool fillLowHeader(FirmwareTable &table, bool type88);
    void fillInputBlock(FirmwareTable &table, int first) const;
    void fillOutputBlocks(FirmwareTable &table) const;
    static QString rangeMessage(const QString &reason, double rpm, double advance);
    static QString truncationQuestion(const QString &reason, double rpm, double advance);

    TableHeaderSnapshot m_header;
    TableGenerationPrompts &m_prompts;
    // The rows the columns were read from, held (shared, not copied) so that
    // a grid changed since cannot pass for the same one: changing the rows
    // gives them new storage while these are held.
    QList<QStringList> m_columnRows;
    std::map<int, CurveColumn> m_columns;
};
