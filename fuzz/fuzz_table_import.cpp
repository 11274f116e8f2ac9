// Table include files brought back into a curve: the text of a high and of a
// low table, for a few static advances. What is accepted stays in range, and
// the merged curve runs by engine speed.
#include "app/TableImport.h"
#include "base/TextEncoding.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QList<TableImport::ImportedPoint> parse(const QString &text, TableImport::TableKind kind,
                                        double staticAdvance)
{
    const TableImport::Result r = TableImport::ParseTableFile(text, kind, staticAdvance);
    check(r.itemCount <= TableImport::MaxItems + 1);
    if (r.status != TableImport::Status::Ok) {
        check(r.points.isEmpty());
        return {};
    }
    check(r.points.size() <= TableImport::MaxItems);
    for (const TableImport::ImportedPoint &p : r.points) {
        check(p.rpm >= TableImport::MinRpm && p.rpm <= TableImport::MaxRpm);
        check(p.atmo >= TableImport::MinAdvance && p.atmo <= TableImport::MaxAdvance);
        check(!TableImport::AdvanceText(p.atmo).startsWith(QStringLiteral("-0")));
    }
    return r.points;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        TextEncoding::decodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const double staticAdvance : {0.0, 10.0, 45.0, 99.9}) {
        const auto high = parse(text, TableImport::TableKind::High, staticAdvance);
        const auto low = parse(text, TableImport::TableKind::Low, staticAdvance);
        const auto merged = TableImport::MergeTables(high, low);
        check(merged.size() == high.size() + low.size());
        for (qsizetype i = 1; i < merged.size(); ++i)
            check(merged.at(i - 1).rpm <= merged.at(i).rpm);
    }
    return 0;
}
