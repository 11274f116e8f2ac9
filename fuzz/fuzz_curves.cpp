// Curve files: ".vek" of either layout and ".mrt". A curve that reads must
// write to a file that reads again (else saving loses it), and writing what was
// read back must change nothing more. Files are written in Windows-1252 and read
// as UTF-8 where the bytes are valid UTF-8 (and characters Windows-1252 lacks are
// written as '?'), so texts are compared whole only when the file written is
// plain ASCII; otherwise every row must stay.
#include "app/CurveDocument.h"

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Plain ASCII, without the '?' that stands for a character Windows-1252 lacks.
bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return (c & 0x80) == 0 && c != '?'; });
}

// Speeds are read digit by digit into a double: beyond 15 digits they cannot
// come back exactly, which no real curve meets.
bool speedsFitADouble(const CurveDocument &doc)
{
    return std::all_of(doc.rows.begin(), doc.rows.end(),
                       [](const QStringList &row) { return row.value(0).size() <= 15; });
}

void checkSame(const CurveDocument &a, const CurveDocument &b, const QByteArray &written)
{
    if (isAscii(written) && speedsFitADouble(b)) {
        check(a == b);
        return;
    }
    check(a.rows.size() == b.rows.size());
}

void vekRoundTrip(const CurveDocument &read, const CurveDocument &base)
{
    const CurveReadResult again = CurveDocument::parseVek(read.toVek(), base);
    check(again.ok() && again.layout == CurveDocument::Layout::Keyword);
    check(again.document.rows.size() == read.rows.size()); // no row lost on saving
    const QByteArray written = again.document.toVek();
    const CurveReadResult third = CurveDocument::parseVek(written, base);
    check(third.ok());
    checkSame(third.document, again.document, written);
}

// A single-curve file holds the speeds and the atmospheric column only.
void mrtRoundTrip(const CurveDocument &read, const CurveDocument &base)
{
    const auto atmo = CurveDocument::MrtColumn::Atmo;
    const CurveReadResult again = CurveDocument::parseMrt(read.toMrt(), base, atmo);
    check(again.ok());
    check(again.document.rows.size() == read.rows.size());
    const QByteArray written = again.document.toMrt();
    const CurveReadResult third = CurveDocument::parseMrt(written, base, atmo);
    check(third.ok());
    checkSame(third.document, again.document, written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const CurveDocument base;

    const CurveReadResult vek = CurveDocument::parseVek(bytes, base);
    if (vek.ok())
        vekRoundTrip(vek.document, base);
    else
        check(vek.errorLine >= 0);

    for (const auto column : {CurveDocument::MrtColumn::Atmo, CurveDocument::MrtColumn::Turbo}) {
        const CurveReadResult mrt = CurveDocument::parseMrt(bytes, base, column);
        if (mrt.ok()) {
            check(mrt.layout == CurveDocument::Layout::SingleCurve);
            mrtRoundTrip(mrt.document, base);
        }
    }
    return 0;
}
