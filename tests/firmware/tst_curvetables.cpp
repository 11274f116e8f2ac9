#include "ExpectedTables.h"
#include "app/CurveTables.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/TableGenerationPrompts.h"

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

        // The high table of the atmospheric column comes first. By hand, entry 62:
        // 937500 / 62 = 15121 rpm, beyond the curve: 18°; (20 - 18) * 62500 /
        // (3 * 15121) = 2.76, "3403".
        using namespace ExpectedTables;
        const QVector<QStringList> &curve = context.tab_avance.rows();
        QCOMPARE(t.hauteAtmo, words(table(Kind::High88, curve, 1, 20)));
        QCOMPARE(t.hauteAtmo[61], QString("3403"));
        // The low table of the boost column last, its header from the engine
        // parameters' defaults: rev limit 6650 gives CInt(3750000 / 6650) = 564,
        // written 564 \ 16 = 35 in line 3, and 564 = 0x234 in lines 11, 12;
        // single spark; low-rpm advance 11 + 1; static advance 20; dwell 2.5 ms
        // * 125 = 312.5, 312 = 0x138; knock 10; LED 2: 2^2 + 1; no option board.
        // Entry 256 by hand: 234375 / 256 = 915.5 rpm, below the curve: 8°;
        // 12 * 31250 / (3 * 915.5) = 136.53, "3489".
        const QMap<int, uint16_t> header{{3, 0x3423},  {4, 0x3404},  {5, 0x3401},  {6, 0x340C},
                                         {7, 0x3414},  {8, 0x3438},  {9, 0x3401},  {10, 0x340A},
                                         {11, 0x3434}, {12, 0x3402}, {13, 0x3405}, {23, 0x34FF},
                                         {24, 0x3406}, {43, 0x3441}, {46, 0x3444}, {47, 0x3445}};
        QCOMPARE(t.basseBoost, words(table(Kind::Low88, curve, 2, 20, header)));
        QCOMPARE(t.basseBoost[255], QString("3489"));
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
