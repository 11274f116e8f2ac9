#include "app/CurveTables.h"

#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderDownloads.h"
#include "firmware/TableGenerationPrompts.h"
#include "firmware/TableGenerator.h"
#include "firmware/TablePlacement.h"

#include <memory>

namespace CurveTables {

namespace {

QStringList entries(const FirmwareTable &table)
{
    return QStringList(table.begin() + 1, table.end());
}

// The generators' questions handed to the window's own prompts, titled for
// the operation under way (the generators title them for the export).
class PromptFunctions final : public TableGenerationPrompts
{
public:
    PromptFunctions(AskTruncation ask, ShowError error, QString title)
        : m_ask(std::move(ask)), m_error(std::move(error)), m_title(std::move(title))
    {}
    bool askTruncation(const QString &, const QString &text) override
    {
        return m_ask(m_title, text);
    }
    void showError(const QString &, const QString &text) override { m_error(m_title, text); }

private:
    AskTruncation m_ask;
    ShowError m_error;
    QString m_title;
};

void addAreas(QList<CurveTableArea> &out, const PicImage &image,
              const TablePlacement::WordRange &range, int lines, const QString &kind)
{
    for (int line = 0; line < lines; ++line) {
        CurveTableArea area;
        area.adresse = range.first + line * TablePlacement::WordsPerTable;
        area.libelle = QStringLiteral("L%1 %2").arg(line + 1).arg(kind);
        for (int i = 0; i < TablePlacement::WordsPerTable; ++i)
            area.words.push_back(image.codeWord(area.adresse + i));
        out << area;
    }
}

} // namespace

CurveGridSnapshot Grille(const VekContext &context)
{
    return {context.tab_avance.gridRows()};
}

TableHeaderSnapshot EnTete(const VekContext &context)
{
    const EngineParameters &m = context.moteur;
    TableHeaderSnapshot h;
    h.Txt_rpm_maxi = m.Txt_rpm_maxi;
    h.SingleSparck = !m.MultiSparck;
    h.CmbAvanceBasRegime = EngineParameterRules::AvanceBasRegimeItems().value(m.CmbAvanceBasRegime);
    h.Txt_av_statique = m.Txt_av_statique;
    h.TxtDwell = m.TxtDwell;
    h.TxtDureeRetardCliquetis = m.TxtDureeRetardCliquetis;
    h.HardXLED = m.HardXLED;
    h.optionBoard = context.optionBoard;
    return h;
}

int16_t GenererTablesExport(int type, const VekContext &context, TableGenerationPrompts &prompts,
                            TableIncludeFiles::TablesExport &tables)
{
    if (type != 8 && type != 88)
        return -1;
    // One generator for the set: a truncation accepted once holds for all four.
    TableGenerator generator(EnTete(context), prompts);
    const CurveGridSnapshot grid = Grille(context);
    const double statique = NombreEnTete(context.moteur.Txt_av_statique);
    using Generate =
        int16_t (TableGenerator::*)(FirmwareTable &, const CurveGridSnapshot &, double, int);
    const Generate haute = type == 8 ? &TableGenerator::GenereHTAB8 : &TableGenerator::GenereHTAB16;
    const Generate basse = type == 8 ? &TableGenerator::GenereLTAB8 : &TableGenerator::GenereLTAB16;
    const struct {
        Generate generate;
        int column;
        QStringList *target;
    } steps[] = {{haute, 1, &tables.hauteAtmo},
                 {basse, 1, &tables.basseAtmo},
                 {haute, 2, &tables.hauteBoost},
                 {basse, 2, &tables.basseBoost}};
    for (const auto &step : steps) {
        FirmwareTable table;
        if ((generator.*step.generate)(table, grid, statique, step.column) != 0)
            return -1;
        *step.target = entries(table);
    }
    return 0;
}

IcspTables TablesPourProgrammateur(const VekContext &context, AskTruncation ask, ShowError error,
                                   int curveSet)
{
    IcspTables out;
    const MainSettings &settings = context.settings;
    const TablePlacement::Request request =
        DemandePlacement(settings, context.mapBoxes.tbMapAdj, curveSet);
    const TablePlacement::Checked checked = TablePlacement::Verifier(request, context.pic);
    if (!checked.plan) {
        out.title = checked.refusal.title;
        out.refusal = checked.refusal.text;
        return out;
    }
    PromptFunctions prompts(std::move(ask), std::move(error),
                            VEK_LANGUAGE::GetLanguageText("ICSPTablesTitle"));
    TableIncludeFiles::TablesExport tables;
    if (GenererTablesExport(settings.TypeCompilation, context, prompts, tables) != 0)
        return out; // the generator has told the user why
    PicImage image;
    if (auto refused = TablePlacement::Placer(*checked.plan, tables, image)) {
        out.title = refused->title;
        out.refusal = refused->text;
        return out;
    }
    addAreas(out.tables, image, checked.plan->low, checked.plan->lines, QStringLiteral("basse"));
    addAreas(out.tables, image, checked.plan->high, checked.plan->lines, QStringLiteral("haute"));
    return out;
}

CurveDownloadRequest DemandeTelechargement(const VekContext &context, AskTruncation ask,
                                           ShowError error, int curveSet)
{
    CurveDownloadRequest request;
    request.DeviceChip = context.pic.DeviceChip;
    request.gridRows = Grille(context).rowCount();
    request.curveProblem = context.tab_avance.invalidValuesMessage();
    request.placement = DemandePlacement(context.settings, context.mapBoxes.tbMapAdj, curveSet);
    auto prompts = std::make_shared<PromptFunctions>(
        std::move(ask), std::move(error), VEK_LANGUAGE::GetLanguageText("DownloadCourbesTitre"));
    const int16_t type = context.settings.TypeCompilation;
    request.generer = [&context, prompts, type](TableIncludeFiles::TablesExport &tables) {
        return GenererTablesExport(type, context, *prompts, tables);
    };
    return request;
}

} // namespace CurveTables
