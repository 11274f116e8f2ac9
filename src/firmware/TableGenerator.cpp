#include "firmware/TableGenerator.h"

#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/CurveColumn.h"
#include "firmware/OptionChannels.h"
#include "firmware/TableGenerationPrompts.h"

#include <algorithm>
#include <cmath>
#include <limits>

using VEK_LANGUAGE::GetLanguageText;

namespace {

constexpr int kEntries = 256;

// Round half to even, as the firmware tables have always been rounded; values
// far outside any table range are pinned so the conversion cannot overflow.
int64_t roundEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double limit = 1e15;
    return static_cast<int64_t>(std::nearbyint(std::clamp(value, -limit, limit)));
}

const QString &entryText(int byte)
{
    static const auto entries = [] {
        std::array<QString, 256> texts;
        for (int b = 0; b < 256; ++b)
            texts[b] = QStringLiteral("34") + HexInt(static_cast<int16_t>(b), 2);
        return texts;
    }();
    return entries[byte & 0xFF];
}

const QString kJump = QStringLiteral("0782");
const QString kFill = QStringLiteral("3400");

double valText(const QString &text)
{
    return NombreEnTete(text);
}

// "34" and the text of a configuration byte as the catalogue gives it,
// upper-cased when it is a hexadecimal byte.
QString configByteEntry(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 16);
    if (ok && value >= 0 && value <= 0xFF && text.trimmed().size() <= 2)
        return entryText(value);
    return QStringLiteral("34") + text;
}

} // namespace

TableGenerator::TableGenerator(const TableHeaderSnapshot &header, TableGenerationPrompts &prompts)
    : m_header(header), m_prompts(prompts)
{}

QString TableGenerator::retlw(int64_t value)
{
    return entryText(static_cast<int>(value & 0xFF));
}

int16_t TableGenerator::GenereLTAB8(FirmwareTable &table, const CurveGridSnapshot &grid,
                                    double staticAdvance, int col)
{
    static constexpr Layout layout{187500,       12500, 62, 255, true, RangeRule::AskTruncation,
                                   Header::Type8};
    return generate(table, grid, staticAdvance, col, layout);
}

int16_t TableGenerator::GenereHTAB8(FirmwareTable &table, const CurveGridSnapshot &grid,
                                    double staticAdvance, int col)
{
    static constexpr Layout layout{750000,      50000, 75, 250, true, RangeRule::AskTruncation,
                                   Header::None};
    return generate(table, grid, staticAdvance, col, layout);
}

int16_t TableGenerator::GenereLTAB16(FirmwareTable &table, const CurveGridSnapshot &grid,
                                     double staticAdvance, int col)
{
    static constexpr Layout layout{234375,        31250, 61, 256, false, RangeRule::Refuse,
                                   Header::Type88};
    return generate(table, grid, staticAdvance, col, layout);
}

int16_t TableGenerator::GenereHTAB16(FirmwareTable &table, const CurveGridSnapshot &grid,
                                     double staticAdvance, int col)
{
    static constexpr Layout layout{
        937500, 62500, 62, 256, false, RangeRule::ClampHighRefuseLow, Header::None};
    return generate(table, grid, staticAdvance, col, layout);
}

int16_t TableGenerator::generate(FirmwareTable &table, const CurveGridSnapshot &grid,
                                 double staticAdvance, int col, const Layout &layout)
{
    table[1] = kJump;
    for (int i = 2; i < layout.firstData; ++i)
        table[i] = kFill;
    for (int i = layout.lastData + 1; i <= kEntries; ++i)
        table[i] = kFill;
    if (layout.lastIs34FF)
        table[kEntries] = entryText(0xFF);
    if (layout.header != Header::None && !fillLowHeader(table, layout.header == Header::Type88))
        return -1;

    const CurveColumn &numbers = column(grid, col);
    for (int i = layout.firstData; i <= layout.lastData; ++i) {
        const std::optional<uint8_t> entry = dataEntry(numbers, staticAdvance, i, layout);
        if (!entry)
            return -1;
        table[i] = entryText(*entry);
    }
    return 0;
}

const CurveColumn &TableGenerator::column(const CurveGridSnapshot &grid, int col)
{
    if (m_columnRows.constData() != grid.rows.constData() ||
        m_columnRows.size() != grid.rows.size()) {
        m_columns.clear();
        m_columnRows = grid.rows;
    }
    auto found = m_columns.find(col);
    if (found == m_columns.end())
        found =
            m_columns
                .emplace(col, m_columns.empty() ? CurveColumn(grid, col)
                                                : CurveColumn(m_columns.begin()->second, grid, col))
                .first;
    return found->second;
}

std::optional<uint8_t> TableGenerator::dataEntry(const CurveColumn &column, double staticAdvance,
                                                 int i, const Layout &layout)
{
    const double rpm = layout.k1 / i;
    const std::optional<double> advance = column.at(rpm);
    if (!advance) {
        m_prompts.showError(GetLanguageText("ExportError"), GetLanguageText("InterpoError"));
        return std::nullopt;
    }
    // (static - advance) * K2 / (3 * K1 / i), with K2 * i and 3 * K1 exact
    // integers: a delay that is a half in decimal stays a half.
    const double delay =
        (staticAdvance - *advance) * (double(layout.k2) * i) / (3.0 * double(layout.k1));
    const std::optional<double> kept = checkRange(delay, rpm, *advance, layout.rule);
    if (!kept)
        return std::nullopt;
    return static_cast<uint8_t>(roundEven(*kept));
}

// The reason, then the speed and the curve's advance in degrees, each on its
// own line: what the user knows, not the table's internal delay.
QString TableGenerator::rangeMessage(const QString &reason, double rpm, double advance)
{
    return reason + QStringLiteral("\r\n") +
           GetLanguageText("MessAvanceAuRegime",
                           {"{REGIME}", QString::number(std::floor(rpm), 'f', 0), "{AVANCE}",
                            QString::number(advance, 'g', 4)});
}

// The range message, then the question on its own line.
QString TableGenerator::truncationQuestion(const QString &reason, double rpm, double advance)
{
    return rangeMessage(reason, rpm, advance) + QStringLiteral("\r\n") +
           GetLanguageText("MessTronquerAvance");
}

std::optional<double> TableGenerator::checkRange(double delay, double rpm, double advance,
                                                 RangeRule rule)
{
    if (delay >= 0 && delay <= 255)
        return delay;
    const QString title = GetLanguageText("ExportError");
    switch (rule) {
    case RangeRule::AskTruncation:
        if (delay > 255) {
            if (!TroncatureAcceptee &&
                !m_prompts.askTruncation(
                    title, truncationQuestion(GetLanguageText("DifAvStAvTooBig"), rpm, advance)))
                return std::nullopt;
            TroncatureAcceptee = true;
            delay = 255;
        }
        if (delay < 0) {
            if (!TroncatureAcceptee &&
                !m_prompts.askTruncation(
                    title, truncationQuestion(GetLanguageText("DifAvStAvNotEnough"), rpm, advance)))
                return std::nullopt;
            TroncatureAcceptee = true;
            delay = 0;
        }
        return delay;
    case RangeRule::Refuse:
        if (delay > 255) {
            m_prompts.showError(title,
                                rangeMessage(GetLanguageText("DifAvStAvTooBig"), rpm, advance));
            return std::nullopt;
        }
        [[fallthrough]];
    case RangeRule::ClampHighRefuseLow:
        if (delay > 255)
            delay = 255;
        if (delay < 0) {
            m_prompts.showError(title,
                                rangeMessage(GetLanguageText("DifAvStAvNotEnough"), rpm, advance));
            return std::nullopt;
        }
        return delay;
    }
    return std::nullopt;
}

bool TableGenerator::fillLowHeader(FirmwareTable &table, bool type88)
{
    const TableHeaderSnapshot &h = m_header;
    const OptionBoardState &board = h.optionBoard;

    if (type88) {
        // The firmware reads the rev limit here as a byte: the value itself up
        // to 255, above that the two hexadecimal digits before its last one.
        const double revLimit = ValeurNumerique(h.Txt_rpm_maxi);
        const double v = revLimit > 0 ? std::nearbyint(3750000.0 / revLimit) : 0;
        if (v <= 0 || v > std::numeric_limits<int16_t>::max()) {
            m_prompts.showError(GetLanguageText("ExportError"), GetLanguageText("RpmMaxTooLittle") +
                                                                    QStringLiteral("\r\n") +
                                                                    GetLanguageText("SupRpm5900"));
            return false;
        }
        const int64_t iv = static_cast<int64_t>(v);
        table[3] = retlw(iv <= 255 ? iv : (iv / 16) % 256);
    } else {
        table[3] = entryText(0xFF);
    }
    table[4] = entryText(0x04);
    table[5] = entryText(h.SingleSparck ? 0x01 : 0x02);
    table[6] = retlw(roundEven(valText(h.CmbAvanceBasRegime) + 1));
    table[7] = retlw(roundEven(valText(h.Txt_av_statique)));
    const int64_t dwell = roundEven(ValeurNumerique(h.TxtDwell) * 125);
    table[8] = retlw(dwell % 256);
    table[9] = retlw(dwell / 256);
    table[10] = retlw(roundEven(valText(h.TxtDureeRetardCliquetis)));

    // Revolution period at the rev limit, in 20 us (type 8) or 16 us units.
    const double revNumber = ValeurNumerique(h.Txt_rpm_maxi);
    const double period = valText(h.Txt_rpm_maxi) > 500 && revNumber > 0
                              ? (type88 ? 3750000.0 : 3000000.0) / revNumber
                              : 0;
    const int64_t p = roundEven(period);
    table[11] = retlw(p % 256);
    table[12] = retlw(p / 256);

    const int led = h.HardXLED;
    table[13] = led > 0 && led < 31 ? retlw((int64_t(1) << led) + 1) : kFill;

    if (ValeurNumerique(board.CarteOptionId) == 0) {
        table[22] = kFill;
        table[23] = entryText(0xFF);
        table[24] = entryText(0x06);
    } else {
        table[22] = retlw(roundEven(valText(board.CarteOptionId)));
        table[23] = configByteEntry(board.DeviceCfgP);
        table[24] = configByteEntry(board.DeviceCfgA);
    }

    if (type88) {
        fillInputBlock(table, 42);
    } else {
        fillOutputBlocks(table);
        fillInputBlock(table, 52);
    }
    return true;
}

void TableGenerator::fillOutputBlocks(FirmwareTable &table) const
{
    const OptionBoardState &board = m_header.optionBoard;
    for (int k = 1; k <= 3; ++k) {
        const int line = 32 + 4 * (k - 1);
        const int c = IndexVoieOption(board, QStringLiteral("O"), k);
        if (c == 0) {
            for (int l = 0; l < 4; ++l)
                table[line + l] = kFill;
            continue;
        }
        const int64_t v = ValeurVoieOption(board, c);
        table[line] = retlw(int64_t(1) << c);
        table[line + 1] = retlw(board.VoiesTOR[c].Action);
        table[line + 2] = retlw(v % 256);
        table[line + 3] = retlw(v / 256);
    }
}

void TableGenerator::fillInputBlock(FirmwareTable &table, int first) const
{
    const OptionBoardState &board = m_header.optionBoard;
    const int c1 = IndexVoieOption(board, QStringLiteral("I"), 1);
    const int c2 = IndexVoieOption(board, QStringLiteral("I"), 2);
    const int c3 = IndexVoieOption(board, QStringLiteral("I"), 3);

    table[first] = c1 ? retlw((int64_t(1) << c1) + 1) : kFill;
    table[first + 1] = c2 ? retlw((int64_t(1) << c2) + 1) : entryText(0x41);
    if (c2) {
        // Rev limit of the second ignition cut, as a period in 20 us units.
        const int32_t threshold = board.VoiesTOR[c2 - 1].Seuil;
        const int64_t p = threshold > 500 ? roundEven(3000000.0 / threshold) : 0;
        table[first + 2] = retlw(p % 256);
        table[first + 3] = retlw(p / 256);
    } else {
        table[first + 2] = kFill;
        table[first + 3] = kFill;
    }
    table[first + 4] = c3 ? retlw((int64_t(1) << c3) + 1) : entryText(0x44);
    table[first + 5] = c3 ? retlw(board.VoiesTOR[c3 - 1].Seuil) : entryText(0x45);
}
