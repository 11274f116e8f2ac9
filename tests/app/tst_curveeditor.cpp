#include "TestSupport.h"
#include "app/CurveEditor.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"

#include <QSignalSpy>
#include <QtTest>

using TestSupport::row;
using VEK_LANGUAGE::GetLanguageText;

static QString txt(const char *key)
{
    return GetLanguageText(QString::fromLatin1(key));
}

class TestCurveEditor : public QObject
{
    Q_OBJECT

    static QStringList rpmTexts(const CurveModel &m)
    {
        QStringList texts;
        for (const QStringList &r : m.rows())
            texts << r.at(0);
        return texts;
    }

private slots:
    void initTestCase()
    {
        VEK_LANGUAGE::InitLanguage();
        QVERIFY(!txt("BPValideOK").isEmpty()); // texts compared below are real ones
    }

    void entryChecks_data()
    {
        QTest::addColumn<QString>("rpm");
        QTest::addColumn<QString>("atmo");
        QTest::addColumn<QString>("turbo");
        QTest::addColumn<QString>("key"); // empty: accepted
        row("lowest", "735", "0", "50", "");
        row("highest", "10000", "50", "0", "");
        row("rpm empty", "", "10", "10", "BPValideRpmMissed");
        row("rpm 734", "734", "10", "10", "BPValideRpmTooBigOrLittle");
        row("rpm 10001", "10001", "10", "10", "BPValideRpmTooBigOrLittle");
        row("atmo empty", "1000", "", "10", "BPValideAdvATMOMissed");
        row("atmo -0.5", "1000", "-0.5", "10", "BPValideAdvATMOTooBigOrLittle");
        row("turbo empty", "1000", "10", "", "BPValideAdvTURBOMissed");
        row("turbo 50.5", "1000", "10", "50.5", "BPValideAdvTURBOTooBigOrLittle");
    }

    void entryChecks()
    {
        QFETCH(QString, rpm);
        QFETCH(QString, atmo);
        QFETCH(QString, turbo);
        QFETCH(QString, key);
        VekContext ctx;
        CurveEditor editor(ctx);
        QSignalSpy info(&editor, &CurveEditor::info);
        const PointResult r = editor.validerPoint({rpm, atmo, turbo, {}}, -1);
        if (key.isEmpty()) {
            QCOMPARE(r.outcome, PointOutcome::Added);
            QVERIFY(r.warnings.isEmpty());
            QCOMPARE(ctx.tab_avance.rows().first(), QStringList({rpm, atmo, turbo}));
            QVERIFY(ctx.settings.CourbeModifie);
            QCOMPARE(info.last().first().toString(), txt("BPValideOK"));
        } else {
            QCOMPARE(r.outcome, PointOutcome::Refused);
            QCOMPARE(r.warnings.size(), 1);
            QCOMPARE(r.warnings.first().text, GetLanguageText(key));
            QCOMPARE(r.warnings.first().title, txt("MessWARNING"));
            QCOMPARE(ctx.tab_avance.pointCount(), 0);
            QVERIFY(!ctx.settings.CourbeModifie);
            QVERIFY(info.isEmpty());
        }
    }

    // Whatever box it is typed in, a value is a plain number; the decimal
    // comma of a French keyboard is stored as ".".
    void typedNumbers_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused as not a number
        for (int box = 0; box < 3; ++box) {
            const QString b = QString::number(box);
            const QString rpm = box == 0 ? "1500" : "24.5";
            QTest::newRow(qPrintable(b + " comma")) << box << QString(box == 0 ? "1500,0" : "24,5")
                                                    << QString(box == 0 ? "1500.0" : "24.5");
            QTest::newRow(qPrintable(b + " blanks"))
                << box << QString(" 24.5 ").replace("24.5", rpm) << rpm;
            QTest::newRow(qPrintable(b + " text")) << box << "24x" << QString();
            QTest::newRow(qPrintable(b + " exponent")) << box << "2e1" << QString();
            QTest::newRow(qPrintable(b + " two commas")) << box << "2,4,5" << QString();
            QTest::newRow(qPrintable(b + " blank")) << box << " " << QString();
        }
    }

    void typedNumbers()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        VekContext ctx;
        CurveEditor editor(ctx);
        QStringList cells{"1500", "20", "30"};
        cells[box] = typed;
        const PointResult r = editor.validerPoint({cells[0], cells[1], cells[2], {}}, -1);
        if (stored.isEmpty()) {
            QCOMPARE(r.outcome, PointOutcome::Refused);
            QCOMPARE(r.warnings.last().text,
                     GetLanguageText("SaisieNonNombre", {"%VALEUR%", typed}));
            QCOMPARE(ctx.tab_avance.pointCount(), 0);
        } else {
            QCOMPARE(r.outcome, PointOutcome::Added);
            QCOMPARE(ctx.tab_avance.cell(0, box), stored);
            QVERIFY(ctx.tab_avance.invalidValuesMessage().isEmpty());
        }
    }

    void knockColumnEntry()
    {
        VekContext ctx;
        ctx.tab_avance.setKnockColumn(true);
        ctx.moteur.CmbCliquetis = 5; // 2.5 degrees
        CurveEditor editor(ctx);
        PointResult r = editor.validerPoint({"1000", "10", "8", ""}, -1);
        QCOMPARE(r.warnings.size(), 2);
        QCOMPARE(r.warnings.at(0).title, QString("ATTENTION"));
        QCOMPARE(r.warnings.at(0).text, QString("Il manque l'avance mode KNOCK... "));
        QCOMPARE(r.warnings.at(1).text, txt("BPValideAdvKNOCKMissed"));
        r = editor.validerPoint({"1000", "10", "8", "51"}, -1);
        QCOMPARE(r.warnings.at(1).text, txt("BPValideAdvKNOCKTooBigOrLittle"));
        // The stored knock advance is Turbo minus the retard, whatever was typed.
        r = editor.validerPoint({"1000", "10", "8", "30"}, -1);
        QCOMPARE(r.outcome, PointOutcome::Added);
        QCOMPARE(ctx.tab_avance.cell(0, 3), QString("5.5"));
    }

    void addKeepsAscendingOrder()
    {
        VekContext ctx;
        CurveEditor editor(ctx);
        for (const char *rpm : {"4000", "3000", "2000", "1000"})
            editor.validerPoint({rpm, "10", "10", {}}, -1);
        QCOMPARE(rpmTexts(ctx.tab_avance), QStringList({"1000", "2000", "3000", "4000"}));
    }

    void duplicateRpmComparedAsNumber()
    {
        VekContext ctx;
        CurveEditor editor(ctx);
        editor.validerPoint({"1000", "10", "10", {}}, -1);
        ctx.settings.CourbeModifie = false;
        QSignalSpy info(&editor, &CurveEditor::info);
        for (const char *rpm : {"1000", "1000.0", "01000"}) {
            const PointResult r = editor.validerPoint({rpm, "12", "12", {}}, -1);
            QCOMPARE(r.outcome, PointOutcome::Duplicate);
            QCOMPARE(r.warnings.size(), 1);
            QCOMPARE(r.warnings.first().text, txt("BPValideRpmAdvExist"));
        }
        QCOMPARE(ctx.tab_avance.pointCount(), 1);
        QCOMPARE(ctx.tab_avance.cell(0, 1), QString("10"));
        QVERIFY(!ctx.settings.CourbeModifie);
        // Nothing was stored, so no success text either.
        QVERIFY(info.isEmpty());
    }

    void editReplacesAdvancesOfSelectedRow()
    {
        VekContext ctx;
        ctx.tab_avance.setRows({{"1000", "10", "8", "6"}, {"2000", "20", "18", "16"}}, true);
        ctx.moteur.CmbCliquetis = 4; // 2 degrees
        CurveEditor editor(ctx);
        QSignalSpy mode(&editor, &CurveEditor::editModeChanged);
        const auto entry = editor.editerPoint(1);
        QVERIFY(entry);
        QCOMPARE(entry->regime, QString("2000"));
        QCOMPARE(entry->knock, QString("16")); // Turbo minus the retard, not the cell
        QVERIFY(editor.ModeEditionPoint());
        QCOMPARE(editor.RegimeEdite(), QString("2000"));
        const PointResult r = editor.validerPoint({"2000", "21.5", "19", "15"}, 1);
        QCOMPARE(r.outcome, PointOutcome::Replaced);
        QCOMPARE(ctx.tab_avance.rows().at(1), QStringList({"2000", "21.5", "19", "15"}));
        QVERIFY(!editor.ModeEditionPoint());
        QVERIFY(ctx.settings.CourbeModifie);
        QCOMPARE(mode.count(), 2);
    }

    void editOnOtherRowIsNewPoint()
    {
        VekContext ctx;
        ctx.tab_avance.setRows({{"1000", "10", "8"}, {"2000", "20", "18"}}, false);
        CurveEditor editor(ctx);
        editor.editerPoint(1);
        // The selection moved to another row: handled as a new point, refused.
        const PointResult r = editor.validerPoint({"2000", "25", "25", {}}, 0);
        QCOMPARE(r.outcome, PointOutcome::Duplicate);
        QVERIFY(editor.ModeEditionPoint());
    }

    void editModeEndsWhenCurveReplacedOrRowErased()
    {
        VekContext ctx;
        ctx.tab_avance.setRows({{"1000", "10", "8"}, {"2000", "20", "18"}}, false);
        CurveEditor editor(ctx);
        QSignalSpy mode(&editor, &CurveEditor::editModeChanged);
        editor.editerPoint(1);
        ctx.tab_avance.clear(); // a new curve
        QVERIFY(!editor.ModeEditionPoint());
        QCOMPARE(mode.last().first().toBool(), false);

        ctx.tab_avance.setRows({{"1000", "10", "8"}, {"2000", "20", "18"}}, false);
        editor.editerPoint(0);
        ctx.tab_avance.setRows({{"1000", "11", "9"}}, false); // an opened file
        QVERIFY(!editor.ModeEditionPoint());

        editor.editerPoint(0);
        editor.effacerPoint(1, true); // another row: the edit goes on
        QVERIFY(editor.ModeEditionPoint());
        ctx.tab_avance.setRows({{"1000", "10", "8"}, {"2000", "20", "18"}}, false);
        editor.editerPoint(1);
        editor.effacerPoint(1, true);
        QVERIFY(!editor.ModeEditionPoint());
    }

    void eraseAsksAndMarksModified()
    {
        VekContext ctx;
        ctx.tab_avance.setRows({{"1000", "10", "8", "6"}, {"2000", "20", "18", "16"}}, true);
        CurveEditor editor(ctx);
        const QString q = editor.questionEffacer(1);
        const QStringList lines = q.split("\r\n");
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(0), txt("MnuEffacerQuestion1"));
        QCOMPARE(lines.at(1), txt("MLCourbe7") + " 2000 " + txt("MLMoteur3"));
        QCOMPARE(lines.at(2), txt("MLCourbe8") + " 20°");
        QCOMPARE(lines.at(4), txt("MLCourbe11") + " 16°");
        QCOMPARE(lines.at(5), txt("MnuEffacerQuestion2"));

        QSignalSpy info(&editor, &CurveEditor::info);
        editor.effacerPoint(1, false);
        QCOMPARE(ctx.tab_avance.pointCount(), 2);
        QVERIFY(!ctx.settings.CourbeModifie);
        QCOMPARE(info.last().first().toString(), txt("MnuEffacerEnd"));
        editor.effacerPoint(1, true);
        QCOMPARE(ctx.tab_avance.pointCount(), 1);
        QVERIFY(ctx.settings.CourbeModifie);
    }

    void smoothingMarksModifiedAndReports()
    {
        VekContext ctx;
        ctx.tab_avance.setRows({{"1000", "10", "8"}, {"2000", "20", "18"}, {"3000", "30", "28"}},
                               false);
        CurveEditor editor(ctx);
        const CurveMessage report = editor.lisser();
        QCOMPARE(ctx.tab_avance.pointCount(), 2);
        QVERIFY(ctx.settings.CourbeModifie);
        QCOMPARE(report.title, txt("MnulisserTreate"));
        QCOMPARE(report.text, txt("MnulisserBefore1") + " 4 " + txt("MnulisserBefore2") + "\r\n" +
                                  txt("MnulisserAfter1") + " 3 " + txt("MnulisserAfter2"));
        // Nothing removed: nothing to save.
        ctx.settings.CourbeModifie = false;
        editor.lisser();
        QVERIFY(!ctx.settings.CourbeModifie);
    }

    void shiftMarksModified()
    {
        VekContext ctx;
        ctx.tab_avance.setRows({{"1000", "10", "8"}}, false);
        CurveEditor editor(ctx);
        editor.decaler(+1);
        QCOMPARE(ctx.tab_avance.cell(0, 1), QString(" 11"));
        QVERIFY(ctx.settings.CourbeModifie);
        ctx.tab_avance.setRows({{"1000", "50", "50"}}, false);
        ctx.settings.CourbeModifie = false;
        editor.decaler(+1);
        QVERIFY(!ctx.settings.CourbeModifie);
        editor.decaler(-1);
        QCOMPARE(ctx.tab_avance.cell(0, 2), QString(" 49"));
        QVERIFY(ctx.settings.CourbeModifie);
    }
};

QTEST_GUILESS_MAIN(TestCurveEditor)
#include "tst_curveeditor.moc"
