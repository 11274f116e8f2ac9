#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "app/ui/VEK_cfg_carte_fille.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class TestUiOptionBoard : public QObject
{
    Q_OBJECT

private slots:
    void loadsKindsAndFreshChannels()
    {
        VekContext ctx;
        ctx.optionBoard.CarteOptionNom = "TOR-6";
        ctx.optionBoard.DeviceCfg = "OOIIAA";
        VEK_cfg_carte_fille dialog(ctx);
        QCOMPARE(dialog.windowTitle(), QString("Configuration Carte Option - TOR-6"));
        const QStringList kinds{"ANA", "ANA", "INP", "INP", "OUT", "OUT"};
        for (int n = 0; n < 6; ++n) {
            QCOMPARE(dialog.TypeTOR(n)->text(), kinds.at(n));
            QCOMPARE(dialog.ActionTOR(n)->currentText(), QString("DISABLE"));
            QVERIFY(!dialog.SeuilTOR(n)->isEnabled());
            QCOMPARE(dialog.SeuilTOR(n)->text(), QString("0"));
        }
        QCOMPARE(dialog.ActionTOR(4)->count(), 3);
    }

    void unknownCodeShowsDisable()
    {
        VekContext ctx;
        ctx.optionBoard.DeviceCfg = "OOIIAA";
        ctx.optionBoard.VoiesTOR[5] = {3, 1200}; // "CLIQUETIS" from a file
        ctx.optionBoard.VoiesTOR[0] = {1, 0};    // an analogue channel
        ctx.optionBoard.VoiesTOR[4] = {1, 3000};
        VEK_cfg_carte_fille dialog(ctx);
        QCOMPARE(dialog.ActionTOR(5)->currentIndex(), 0);
        QCOMPARE(dialog.ActionTOR(0)->currentIndex(), 0);
        QCOMPARE(dialog.ActionTOR(4)->currentText(), QString("RPM"));
        QVERIFY(dialog.SeuilTOR(4)->isEnabled());
        QCOMPARE(dialog.SeuilTOR(4)->text(), QString("3000"));
        dialog.ActionTOR(4)->setCurrentIndex(0); // greyed, the text stays until OK
        QVERIFY(!dialog.SeuilTOR(4)->isEnabled());
        QCOMPARE(dialog.SeuilTOR(4)->text(), QString("3000"));
        dialog.valider();
        QCOMPARE(ctx.optionBoard.VoiesTOR[4].Seuil, 0);
        QCOMPARE(ctx.optionBoard.VoiesTOR[5].Action, 0);
        QCOMPARE(ctx.optionBoard.VoiesTOR[5].Seuil, 0);
    }

    void okStoresPositionsAndClampsEveryThreshold()
    {
        VekContext ctx;
        ctx.optionBoard.DeviceCfg = "OOIIAA";
        VEK_cfg_carte_fille dialog(ctx);
        dialog.ActionTOR(5)->setCurrentText("BOOST");
        QVERIFY(dialog.SeuilTOR(5)->isEnabled());
        dialog.SeuilTOR(5)->setText("-5");
        dialog.ActionTOR(4)->setCurrentText("RPM");
        dialog.SeuilTOR(4)->setText("200"); // never had the focus
        dialog.ActionTOR(3)->setCurrentText("Coupure SEQUENTIEL");
        dialog.SeuilTOR(3)->setText("50.9");
        dialog.ActionTOR(2)->setCurrentText("Select. COURBE");
        QVERIFY(!dialog.SeuilTOR(2)->isEnabled());
        dialog.valider();
        const auto &v = ctx.optionBoard.VoiesTOR;
        QCOMPARE(v[5].Action, 2);
        QCOMPARE(v[5].Seuil, -1);
        QCOMPARE(v[4].Action, 1);
        QCOMPARE(v[4].Seuil, 500);
        QCOMPARE(v[3].Action, 3);
        QCOMPARE(v[3].Seuil, 50);
        QCOMPARE(v[2].Action, 1);
        QCOMPARE(v[2].Seuil, 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void leavingThresholdClamps_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("stored");
        TestSupport::row("clamped", "12000", "10000", "", 10000);
        TestSupport::row("comma", "7000,5", "7000.5", "", 7000);
        TestSupport::row("no number", "abc", "4500", "SEUIL 5 : « abc » n'est pas un nombre.",
                         4500);
    }

    void leavingThresholdClamps()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, refusal);
        QFETCH(int, stored);
        TestSupport::useFrenchTexts();
        VekContext ctx;
        ctx.optionBoard.DeviceCfg = "OOIIAA";
        ctx.optionBoard.VoiesTOR[4] = {1, 3000};
        VEK_cfg_carte_fille dialog(ctx);
        QSignalSpy refused(&dialog, &VEK_cfg_carte_fille::refused);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        // A good value first: a refused text gives way to the value last taken,
        // not to the one the dialog opened with.
        for (const QString &text : {QString("4500"), typed}) {
            dialog.SeuilTOR(4)->setFocus();
            dialog.SeuilTOR(4)->setText(text);
            dialog.ActionTOR(4)->setFocus();
        }
        QCOMPARE(dialog.SeuilTOR(4)->text(), shown);
        QCOMPARE(refused.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty())
            QCOMPARE(refused.at(0).at(0).toString(), refusal);
        dialog.valider();
        QCOMPARE(ctx.optionBoard.VoiesTOR[4].Seuil, stored);
    }

    void closingWithoutOkChangesNothing()
    {
        VekContext ctx;
        ctx.optionBoard.DeviceCfg = "OOIIAA";
        ctx.optionBoard.VoiesTOR[4] = {1, 3000};
        {
            VEK_cfg_carte_fille dialog(ctx);
            dialog.ActionTOR(4)->setCurrentIndex(2);
            dialog.reject();
        }
        QCOMPARE(ctx.optionBoard.VoiesTOR[4].Action, 1);
        QCOMPARE(ctx.optionBoard.VoiesTOR[4].Seuil, 3000);
    }

    void screenshot()
    {
        VekContext ctx;
        ctx.optionBoard.CarteOptionNom = "TOR-6";
        ctx.optionBoard.DeviceCfg = "OOIIAA";
        ctx.optionBoard.VoiesTOR[4] = {1, 6500};
        ctx.optionBoard.VoiesTOR[2] = {3, 40};
        VEK_cfg_carte_fille dialog(ctx);
        dialog.show();
        QTest::qWait(100);
        QVERIFY(dialog.grab().save(TestSupport::screenshotPath("option_board.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestUiOptionBoard)
#include "tst_ui_optionboard.moc"
