#include "firmware/TablePlacement.h"

#include "base/LoadTexts.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "icsp/PicDevice.h"

#include <algorithm>
#include <cmath>
#include <vector>

using VEK_LANGUAGE::GetLanguageText;

namespace TablePlacement {

namespace {

QString hex4(int value)
{
    return HexInt(static_cast<int16_t>(value), 4);
}

Refusal warning(const QString &text)
{
    return {GetLanguageText("MessWARNING"), text};
}

// The blended words of one table for every line, or the first word refused.
struct Placed {
    int address;
    uint16_t word;
};

std::optional<Refusal> blend(const Plan &plan, const QStringList &atmo, const QStringList &boost,
                             int first, std::vector<Placed> &out)
{
    if (atmo.size() != WordsPerTable || boost.size() != WordsPerTable)
        return Refusal{GetLanguageText("MSGBAsmExportEr2"), GetLanguageText("MSGBAsmExportEr1")};
    for (int line = 0; line < plan.lines; ++line) {
        for (int i = 0; i < WordsPerTable; ++i) {
            bool ok = false;
            const QString text = TableIncludeFiles::MelangeMot(atmo[i], boost[i], plan.pct[line]);
            const int word = text.toInt(&ok, 16);
            // Entry 1 is the table's jump; every other entry must stay a RETLW.
            const bool retlw = ok && word >= 0x3400 && word <= 0x34FF;
            if (i > 0 ? !retlw : !ok || word > 0x3FFF)
                return warning(
                    GetLanguageText("MessMotTable", {"{LIGNE}", QString::number(line), "{INDEX}",
                                                     QString::number(i + 1), "{MOT}", text}));
            out.push_back({first + line * WordsPerTable + i, uint16_t(word & 0x3FFF)});
        }
    }
    return std::nullopt;
}

// Overlapping areas would have the high tables overwrite the low ones.
std::optional<Refusal> overlapping(const WordRange &low, const WordRange &high,
                                   OverlapFor use = OverlapFor::Transfer)
{
    if (low.first >= high.end || high.first >= low.end)
        return std::nullopt;
    return warning(GetLanguageText(use == OverlapFor::Setup ? "MessZonesChevauchentReglage"
                                                            : "MessZonesChevauchent",
                                   {"{BDEBUT}", hex4(low.first), "{BFIN}", hex4(low.end - 1),
                                    "{HDEBUT}", hex4(high.first), "{HFIN}", hex4(high.end - 1)}));
}

// The `lines` tables of a set from the address `start`; nothing when it is no address.
std::optional<WordRange> tablesFrom(const QString &start, int lines)
{
    const std::optional<int> first = HexAddress(start);
    if (!first)
        return std::nullopt;
    return WordRange{*first, *first + lines * WordsPerTable};
}

} // namespace

WordRange::Fault WordRange::fault(int words) const
{
    if (first >= end)
        return Fault::Empty;
    if (first % BlockWords != 0 || end % BlockWords != 0)
        return Fault::NotWholeBlocks;
    if (first < 0 || end > words)
        return Fault::PastMemory;
    return Fault::None;
}

ZoneTexts ZoneTexts::load()
{
    using VEK_LANGUAGE::LangKey;
    ZoneTexts t;
    VEK_LANGUAGE::LoadTexts(t, {{&ZoneTexts::empty, LangKey("MessZoneVide")},
                                {&ZoneTexts::blocks, LangKey("MessZoneRefusee")},
                                {&ZoneTexts::memory, LangKey("MessZoneMemoire")}});
    return t;
}

QString ZoneRefuseeTexte(const ZoneTexts &texts, const WordRange &range, int words)
{
    const QString *tmpl = nullptr;
    switch (range.fault(words)) {
    case WordRange::Fault::None:
        return {};
    case WordRange::Fault::Empty:
        tmpl = &texts.empty;
        break;
    case WordRange::Fault::NotWholeBlocks:
        tmpl = &texts.blocks;
        break;
    case WordRange::Fault::PastMemory:
        tmpl = &texts.memory;
        break;
    }
    return VEK_LANGUAGE::ReplacePlaceholders(
        *tmpl, {"{DEBUT}", hex4(range.first), "{FIN}", hex4(range.end - 1), "{MOTS}",
                QString::number(words), "{DERNIER}", hex4(words - 1)});
}

QString ZonesRefusees(const ZoneTexts &texts, const QList<WordRange> &areas, const PicDevice &chip)
{
    // 18F sizes count bytes: those chips keep the image as their limit.
    int words = PicImage::CodeWords;
    if (chip.DevicePgmSize > 0 && chip.family() != PicDevice::Family::F18)
        words = std::min(words, int(chip.DevicePgmSize));
    QStringList refused;
    for (const WordRange &area : areas)
        if (const QString text = ZoneRefuseeTexte(texts, area, words); !text.isEmpty())
            refused << text;
    return refused.join(QLatin1Char('\n'));
}

std::optional<int> PourcentageStrict(const QString &text)
{
    // Read by the rule of MAP percentages, as the boxes read it.
    const ValueRules::Outcome read =
        ValueRules::read(ValueRules::Value::MapPercentage, text, ValueRules::Source::box());
    if (!read.taken())
        return std::nullopt;
    return static_cast<int>(std::nearbyint(*read.value));
}

std::optional<Refusal> Chevauchement(const Request &request, OverlapFor use)
{
    const int lines = TableIncludeFiles::NombreLignes(request.ICSPNbTables);
    const std::optional<WordRange> low = tablesFrom(request.LTAB, lines);
    const std::optional<WordRange> high = tablesFrom(request.HTAB, lines);
    if (lines < 1 || !low || !high)
        return std::nullopt;
    return overlapping(*low, *high, use);
}

Checked Verifier(const Request &request, const PicDevice &chip)
{
    Checked checked;
    if (request.TypeCompilation != 8 && request.TypeCompilation != 88) {
        checked.refusal = {GetLanguageText("MSGBAsm2"), GetLanguageText("MSGBAsm1")};
        return checked;
    }
    Plan plan;
    plan.lines = TableIncludeFiles::NombreLignes(request.ICSPNbTables);
    if (plan.lines < 1 || plan.lines > MaxLines) {
        checked.refusal = warning(GetLanguageText("MessNbCourbes", {"{NB}", request.ICSPNbTables}));
        return checked;
    }
    for (const QString &address : {request.LTAB, request.HTAB}) {
        if (!HexAddress(address)) {
            checked.refusal = warning(GetLanguageText("IcspSetupBadTable", {"%1", address}));
            return checked;
        }
    }
    plan.low = *tablesFrom(request.LTAB, plan.lines);
    plan.high = *tablesFrom(request.HTAB, plan.lines);
    if (const QString outside = ZonesRefusees(ZoneTexts::load(), {plan.low, plan.high}, chip);
        !outside.isEmpty()) {
        checked.refusal = warning(outside);
        return checked;
    }
    if (auto overlap = overlapping(plan.low, plan.high)) {
        checked.refusal = *overlap;
        return checked;
    }
    for (int line = 0; line < plan.lines; ++line) {
        const std::optional<int> pct = PourcentageStrict(request.tbMapAdj[line]);
        if (!pct) {
            checked.refusal =
                warning(GetLanguageText("MessMapPourcentage", {"{LIGNE}", QString::number(line),
                                                               "{TEXTE}", request.tbMapAdj[line]}));
            return checked;
        }
        plan.pct[line] = *pct;
    }
    checked.plan = plan;
    return checked;
}

std::optional<Refusal> Placer(const Plan &plan, const TableIncludeFiles::TablesExport &tables,
                              PicImage &image)
{
    std::vector<Placed> words;
    words.reserve(2 * plan.lines * WordsPerTable);
    if (auto refused = blend(plan, tables.basseAtmo, tables.basseBoost, plan.low.first, words))
        return refused;
    if (auto refused = blend(plan, tables.hauteAtmo, tables.hauteBoost, plan.high.first, words))
        return refused;
    for (const Placed &p : words)
        image.setCodeWord(p.address, p.word);
    return std::nullopt;
}

} // namespace TablePlacement
