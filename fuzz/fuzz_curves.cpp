// Curve files: ".vek" of either layout and ".mrt" into either column. A curve
// that reads must write to a file that reads again (else saving loses it), and
// writing what was read back must change nothing more.
#include "app/CurveDocument.h"

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

void vekRoundTrip(const CurveDocument &read, const CurveDocument &base)
{
    const CurveReadResult again = CurveDocument::parseVek(read.toVek(), base);
    check(again.ok() && again.layout == CurveDocument::Layout::Keyword);
    const CurveReadResult third = CurveDocument::parseVek(again.document.toVek(), base);
    check(third.ok() && third.document == again.document);
}

void mrtRoundTrip(const CurveDocument &read, const CurveDocument &base,
                  CurveDocument::MrtColumn column)
{
    const CurveReadResult again = CurveDocument::parseMrt(read.toMrt(), base, column);
    check(again.ok());
    const CurveReadResult third = CurveDocument::parseMrt(again.document.toMrt(), base, column);
    check(third.ok() && third.document == again.document);
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
            mrtRoundTrip(mrt.document, base, column);
        }
    }
    return 0;
}
