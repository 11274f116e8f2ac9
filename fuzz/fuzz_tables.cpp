// Firmware table generators on any curve text and parameter texts: the first
// line holds the parameter texts, the next lines the curve rows, cells split on ";".
#include "firmware/TableGenerationPrompts.h"
#include "firmware/TableGenerator.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {
class AlternatingPrompts : public TableGenerationPrompts
{
public:
    bool answer = false;
    bool askTruncation(const QString &, const QString &) override { return answer = !answer; }
    void showError(const QString &, const QString &) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList lines = text.split('\n');
    const QStringList params = lines.value(0).split(';');
    TableHeaderSnapshot header;
    header.Txt_rpm_maxi = params.value(0);
    header.CmbAvanceBasRegime = params.value(1);
    header.Txt_av_statique = params.value(2);
    header.TxtDwell = params.value(3);
    header.TxtDureeRetardCliquetis = params.value(4);
    header.HardXLED = params.value(5).toInt();
    header.optionBoard.CarteOptionId = params.value(6);
    header.optionBoard.DeviceCfg = params.value(7);
    header.optionBoard.DeviceCfgP = params.value(8);
    for (int k = 0; k < 7; ++k)
        header.optionBoard.VoiesTOR[k] = {static_cast<uint8_t>(params.value(9 + k).toInt()),
                                          params.value(16 + k).toInt()};
    CurveGridSnapshot grid;
    for (const QString &line : lines)
        grid.rows << line.split(';');
    AlternatingPrompts prompts;
    TableGenerator gen(header, prompts);
    FirmwareTable table;
    const double staticAdvance = grid.value(0, 2);
    for (int col = 0; col <= 3; ++col) {
        gen.GenereHTAB8(table, grid, staticAdvance, col);
        gen.GenereLTAB8(table, grid, staticAdvance, col);
        gen.GenereHTAB16(table, grid, staticAdvance, col);
        gen.GenereLTAB16(table, grid, staticAdvance, col);
    }
    return 0;
}
