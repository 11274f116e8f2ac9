#include "firmware/TablePlacement.h"

#include "base/FileRefusal.h"
#include "base/LoadTexts.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "icsp/PicDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using VEK_LANGUAGE::GetLanguageText;

namespace TablePlacement {

namespace {

// At least four digits: an area that runs past 0xFFFF keeps its real end, one
// that starts before 0 its sign.
QString hexAddress(int value)
{
    const QString digits = QString::number(std::abs(int64_t(value)), 16).toUpper();
    return (value < 0 ? QStringLiteral("-") : QString()) +
           digits.rightJustified(4, QLatin1Char('0'));
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

// The words of program memory the areas of `chip` may use. 18F sizes count
// bytes: those chips keep the image as their limit, as does no chip chosen.
int memoryWords(const PicDevice &chip)
{
    int words = PicImage::CodeWords;
    if (chip.DevicePgmSize > 0 && chip.family() != PicDevice::Family::F18)
        words = std::min(words, int(chip.DevicePgmSize));
    return words;
}

// What the two table areas break, the low and the high tables named apart
// and their overlap included, each sentence once, then once what follows:
// nothing sent, or the set-up's settings not taken. Empty when they fit.
// (Overlapping areas would have the high tables overwrite the low ones.)
QString tableAreasRefusal(const WordRange &low, const WordRange &high, int words, AreasFor use)
{
    QStringList lines;
    const struct {
        const WordRange &range;
        const char *blocks, *memory;
    } sets[] = {{low, "MessTablesBassesBlocs", "MessTablesBassesMemoire"},
                {high, "MessTablesHautesBlocs", "MessTablesHautesMemoire"}};
    for (const auto &set : sets)
        for (const WordRange::Fault fault : set.range.faults(words))
            lines << GetLanguageText(
                fault == WordRange::Fault::NotWholeBlocks ? set.blocks : set.memory,
                {"{DEBUT}", hexAddress(set.range.first), "{FIN}", hexAddress(set.range.end - 1),
                 "{MOTS}", QString::number(words), "{DERNIER}", hexAddress(words - 1)});
    if (low.first < high.end && high.first < low.end)
        lines << GetLanguageText("MessTablesChevauchent",
                                 {"{BDEBUT}", hexAddress(low.first), "{BFIN}",
                                  hexAddress(low.end - 1), "{HDEBUT}", hexAddress(high.first),
                                  "{HFIN}", hexAddress(high.end - 1)});
    lines.removeDuplicates();
    if (lines.isEmpty())
        return {};
    lines << GetLanguageText(use == AreasFor::Setup ? "MessReglagesNonPris" : "MessRienEnvoye");
    return lines.join(QLatin1Char('\n'));
}

// An address or length of the settings, read by its declared rule; an empty
// one is no area, which the caller refuses where the area must be there.
std::optional<int> settingWord(ValueRules::Value value, const QString &text)
{
    const ValueRules::Outcome read =
        ValueRules::read(value, text, ValueRules::Source::box(ValueRules::Path::SettingsFile));
    return read.taken() && read.value ? std::optional<int>(int(*read.value)) : std::nullopt;
}

// The `lines` tables of a set from the address `start`; nothing when it is no address.
std::optional<WordRange> tablesFrom(const QString &start, int lines)
{
    const std::optional<int> first = settingWord(ValueRules::Value::TableAddress, start);
    if (!first)
        return std::nullopt;
    return WordRange{*first, *first + lines * WordsPerTable};
}

} // namespace

QList<WordRange::Fault> WordRange::faults(int words) const
{
    if (first >= end)
        return {Fault::Empty};
    QList<Fault> broken;
    if (first % BlockWords != 0 || end % BlockWords != 0)
        broken << Fault::NotWholeBlocks;
    if (first < 0 || end > words)
        broken << Fault::PastMemory;
    return broken;
}

WordRange::Fault WordRange::fault(int words) const
{
    const QList<Fault> broken = faults(words);
    return broken.isEmpty() ? Fault::None : broken.first();
}

ZoneTexts ZoneTexts::load(AreasFor use)
{
    using VEK_LANGUAGE::LangKey;
    const bool setup = use == AreasFor::Setup;
    ZoneTexts t;
    VEK_LANGUAGE::LoadTexts(
        t, {{&ZoneTexts::empty, setup ? LangKey("MessZoneVideReglage") : LangKey("MessZoneVide")},
            {&ZoneTexts::blocks,
             setup ? LangKey("MessZoneRefuseeReglage") : LangKey("MessZoneRefusee")},
            {&ZoneTexts::memory,
             setup ? LangKey("MessZoneMemoireReglage") : LangKey("MessZoneMemoire")}});
    return t;
}

QString ZoneRefuseeTexte(const ZoneTexts &texts, const WordRange &range, int words)
{
    QStringList reasons;
    for (const WordRange::Fault fault : range.faults(words)) {
        const QString *tmpl = &texts.memory;
        if (fault == WordRange::Fault::Empty)
            tmpl = &texts.empty;
        else if (fault == WordRange::Fault::NotWholeBlocks)
            tmpl = &texts.blocks;
        reasons << VEK_LANGUAGE::ReplacePlaceholders(
            *tmpl, {"{DEBUT}", hexAddress(range.first), "{FIN}", hexAddress(range.end - 1),
                    "{MOTS}", QString::number(words), "{DERNIER}", hexAddress(words - 1)});
    }
    return reasons.join(QLatin1Char('\n'));
}

QString ZonesRefusees(const ZoneTexts &texts, const QList<WordRange> &areas, const PicDevice &chip)
{
    const int words = memoryWords(chip);
    QStringList refused;
    for (const WordRange &area : areas)
        if (const QString text = ZoneRefuseeTexte(texts, area, words); !text.isEmpty())
            refused << text;
    return refused.join(QLatin1Char('\n'));
}

CodeArea ZoneCode(const QString &HEXADD, const QString &HEXLNG, const PicDevice &chip, AreasFor use)
{
    CodeArea out;
    const std::optional<int> start = settingWord(ValueRules::Value::CodeStart, HEXADD);
    const std::optional<int> length = settingWord(ValueRules::Value::CodeLength, HEXLNG);
    if (!start || !length) {
        out.refusal = GetLanguageText("IcspSetupBadCode");
        return out;
    }
    const WordRange range{*start, *start + *length};
    out.refusal = ZonesRefusees(ZoneTexts::load(use), {range}, chip);
    if (out.refusal.isEmpty())
        out.range = range;
    return out;
}

QString ZoneSansMot(const WordRange &range, const QBitArray &given, const QString &file,
                    AreasFor use)
{
    for (int k = std::max(range.first, 0); k < std::min(range.end, int(given.size())); ++k)
        if (given.testBit(k))
            return {};
    return FileRefusal::OfFile(
        use == AreasFor::Package ? VEK_LANGUAGE::LangKey("MessZoneSansMotPaquet")
                                 : VEK_LANGUAGE::LangKey("MessZoneSansMot"),
        file, {"{DEBUT}", hexAddress(range.first), "{FIN}", hexAddress(range.end - 1)});
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

QString LignesRefusees(const QString &ICSPNbTables)
{
    return GetLanguageText("MessNbCourbes",
                           {"{NB}", ICSPNbTables, "{MAX}", QString::number(MaxLines)});
}

TableAreas ZonesTables(const Request &request, const PicDevice &chip, AreasFor use)
{
    TableAreas out;
    const std::optional<int> lines = TableIncludeFiles::LignesCourbe(request.ICSPNbTables);
    if (!lines) {
        out.refusal = warning(LignesRefusees(request.ICSPNbTables));
        return out;
    }
    for (const QString &address : {request.LTAB, request.HTAB}) {
        if (!tablesFrom(address, *lines)) {
            out.refusal = warning(GetLanguageText("IcspSetupBadTable", {"%1", address}));
            return out;
        }
    }
    const WordRange low = *tablesFrom(request.LTAB, *lines);
    const WordRange high = *tablesFrom(request.HTAB, *lines);
    if (const QString refused = tableAreasRefusal(low, high, memoryWords(chip), use);
        !refused.isEmpty()) {
        out.refusal = warning(refused);
        return out;
    }
    out.lowHigh = {low, high};
    out.lines = *lines;
    return out;
}

Checked Verifier(const Request &request, const PicDevice &chip)
{
    Checked checked;
    if (request.TypeCompilation != 8 && request.TypeCompilation != 88) {
        checked.refusal = {GetLanguageText("MSGBAsm2"), GetLanguageText("MSGBAsm1")};
        return checked;
    }
    const TableAreas areas = ZonesTables(request, chip);
    if (!areas.lowHigh) {
        checked.refusal = areas.refusal;
        return checked;
    }
    Plan plan;
    plan.lines = areas.lines;
    plan.low = areas.lowHigh->first;
    plan.high = areas.lowHigh->second;
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
