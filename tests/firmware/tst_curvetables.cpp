#include "app/CurveTables.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/TableGenerationPrompts.h"
#include "firmware/TableGenerator.h"

#include <QtTest>

namespace {

class Answers : public TableGenerationPrompts
{
public:
    bool yes = true;
    int questions = 0;
    int errors = 0;
    bool askTruncation(const QString &, const QString &) override
    {
        ++questions;
        return yes;
    }
    void showError(const QString &, const QString &) override { ++errors; }
};

QStringList entries(const FirmwareTable &t)
{
    return QStringList(t.begin() + 1, t.end());
}

} // namespace

class TestCurveTables : public QObject
{
    Q_OBJECT
    VekContext context;

private slots:
    void initTestCase() { VEK_LANGUAGE::InitLanguage(); }

    void init()
    {
        context.tab_avance.setRows(
            {{"1000", "10", "6"}, {"4000", "28", "18"}, {"7000", "32", "20"}}, false);
        context.moteur = EngineParameters{};
        context.moteur.Txt_av_statique = "40";
    }

    void headerAndGridComeFromTheSharedState()
    {
        context.moteur.MultiSparck = true;
        context.moteur.CmbAvanceBasRegime = 7;
        const TableHeaderSnapshot h = CurveTables::EnTete(context);
        QVERIFY(!h.SingleSparck);
        QCOMPARE(h.CmbAvanceBasRegime, QString("7.0"));
        QCOMPARE(h.Txt_av_statique, QString("40"));
        const CurveGridSnapshot g = CurveTables::Grille(context);
        QCOMPARE(g.rowCount(), 4);
        QCOMPARE(g.value(2, 1), 28.0);
    }

    void theSetIsTheFourGeneratorsInOrder()
    {
        // Within the reach of the 8 µs timing unit.
        context.tab_avance.setRows(
            {{"1000", "12", "8"}, {"3000", "16", "11"}, {"7000", "18", "15"}}, false);
        context.moteur.Txt_av_statique = "20";
        Answers answers;
        TableIncludeFiles::TablesExport t;
        QCOMPARE(CurveTables::GenererTablesExport(88, context, answers, t), int16_t(0));
        TableGenerator direct(CurveTables::EnTete(context), answers);
        FirmwareTable expected;
        direct.GenereHTAB16(expected, CurveTables::Grille(context), 20, 1);
        QCOMPARE(t.hauteAtmo, entries(expected));
        direct.GenereLTAB16(expected, CurveTables::Grille(context), 20, 2);
        QCOMPARE(t.basseBoost, entries(expected));
        QCOMPARE(t.basseAtmo.size(), 256);
        QCOMPARE(t.basseAtmo.first(), QString("0782"));
    }

    void truncationIsAskedOnceAndARefusalStops()
    {
        context.moteur.Txt_av_statique = "5"; // below the curve: out of range everywhere
        Answers answers;
        TableIncludeFiles::TablesExport t;
        QCOMPARE(CurveTables::GenererTablesExport(8, context, answers, t), int16_t(0));
        QCOMPARE(answers.questions, 1);

        answers.yes = false;
        answers.questions = 0;
        TableIncludeFiles::TablesExport refused;
        QCOMPARE(CurveTables::GenererTablesExport(8, context, answers, refused), int16_t(-1));
        QCOMPARE(answers.questions, 1);
        QVERIFY(refused.hauteAtmo.isEmpty());
        QVERIFY(refused.basseBoost.isEmpty());
    }

    void typeSixteenHasNoTables()
    {
        Answers answers;
        TableIncludeFiles::TablesExport t;
        QCOMPARE(CurveTables::GenererTablesExport(16, context, answers, t), int16_t(-1));
        QCOMPARE(answers.questions + answers.errors, 0);
    }
};

QTEST_GUILESS_MAIN(TestCurveTables)
#include "tst_curvetables.moc"
