// Curve files (".vek" in both layouts, ".mrt"): the readers must refuse or take
// any text, and a curve they take must write back to a file that reads the same.
#include "app/CurveDocument.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    CurveDocument::parseMrt(bytes, CurveDocument(), CurveDocument::MrtColumn::Turbo);
    const CurveReadResult first = CurveDocument::parseVek(bytes, CurveDocument());
    if (!first.ok())
        return 0;
    const QByteArray written = first.document.toVek();
    const CurveReadResult second = CurveDocument::parseVek(written, CurveDocument());
    if (!second.ok())
        std::abort(); // a file the program wrote must read again
    // Plain ASCII texts come back unchanged (other text may be re-decoded as UTF-8).
    bool ascii = true;
    for (char c : written)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii && second.document.toVek() != written)
        std::abort();
    return 0;
}
