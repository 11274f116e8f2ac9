#include "app/CurveTables.h"

#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "firmware/TableGenerator.h"

namespace CurveTables {

namespace {

QStringList entries(const FirmwareTable &table)
{
    return QStringList(table.begin() + 1, table.end());
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

} // namespace CurveTables
