// Device catalogues: the same bytes as the chip catalogue and as the option-board
// catalogue, then every listed device selected, and a few positions past the end.
// A piece between two NUL bytes is repeated up to the catalogue's size bound, so
// that short inputs reach large documents (entities used many times, many devices).
#include "FuzzSupport.h"
#include "base/VEK_XML.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray document =
        expanded(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), 1000 * 1000);
    const auto *bytes = reinterpret_cast<const uint8_t *>(document.constData());
    FuzzScratchFile chips(bytes, size_t(document.size()), QStringLiteral("Bin/up_chip.xml"));
    FuzzScratchFile boards(bytes, size_t(document.size()), QStringLiteral("Bin/carte_option.xml"));
    VEK_XML catalogues(QFileInfo(chips.path()).absolutePath() + QStringLiteral("/.."));

    const CatalogueLoad chipList = catalogues.LoadChipCatalogue();
    const CatalogueLoad boardList = catalogues.LoadOptionBoardCatalogue();
    if (chipList.ok != boardList.ok || chipList.entries.size() != boardList.entries.size())
        std::abort(); // one reader, one answer
    if (!chipList.ok && (chipList.message.isEmpty() || !chipList.entries.isEmpty()))
        std::abort(); // a failure says why and lists nothing

    // Each selection walks the document: the first few and the last ones will do.
    const int count = static_cast<int>(chipList.entries.size());
    for (int position = -1; position < count + 2; ++position) {
        if (position == 8 && count > 12)
            position = count - 4;
        const ChipCatalogueRecord chip = catalogues.SelectChip(position);
        OptionBoardState board;
        catalogues.SelectOptionBoard(position, board);
        if (position >= 0 && position < count && chip.name != chipList.entries.at(position).name)
            std::abort();
    }
    return 0;
}
