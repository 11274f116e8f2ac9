#include "Keyboard.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "app/ui/VEK_cfg_carte_fille.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestUiOptionBoard : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestSupport::useFrenchTexts(); }

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

    // OK reads every threshold, also those whose box never had the focus: the
    // refused ones are all named in one message, their boxes show their
    // values again and the dialog stays open; once mended, OK stores them.
    void okNamesEveryRefusedThreshold()
    {
        TestSupport::useFrenchTexts();
        VekContext ctx;
        ctx.optionBoard.DeviceCfg = "OOIIAI"; // the first channel an input
        ctx.optionBoard.VoiesTOR[0] = {2, 4000};
        ctx.optionBoard.VoiesTOR[4] = {1, 3000};
        VEK_cfg_carte_fille dialog(ctx);
        QSignalSpy refused(&dialog, &VEK_cfg_carte_fille::refused);
        dialog.ActionTOR(5)->setCurrentText("BOOST");
        QVERIFY(dialog.SeuilTOR(5)->isEnabled());
        const auto type = [](QLineEdit *box, const QString &text) {
            QVERIFY(Keyboard::focus(box));
            Keyboard::retype(text);
        };
        type(dialog.SeuilTOR(5), "7,5");
        type(dialog.SeuilTOR(4), "200");
        dialog.ActionTOR(3)->setCurrentText("Coupure SEQUENTIEL");
        type(dialog.SeuilTOR(3), "150");
        dialog.ActionTOR(2)->setCurrentText("Select. COURBE");
        QVERIFY(!dialog.SeuilTOR(2)->isEnabled());
        refused.clear(); // leaving boxes 5 and 4 refused them on the way
        QPushButton *ok = dialog.findChild<QPushButton *>("BP_OK");
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.at(0).at(0).toString(),
                 "SEUIL 4 : « 150 » n'est pas accepté : entrez un nombre entier de 0 à 100.");
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(dialog.SeuilTOR(3)->text(), QString("0"));

        // Three bad thresholds, none of them left before OK, the first one's
        // box never given the focus.
        dialog.SeuilTOR(5)->setText("-5");
        dialog.SeuilTOR(4)->setText("12000");
        dialog.SeuilTOR(0)->setText("300");
        refused.clear();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.at(0).at(0).toString(),
                 "SEUIL 1 : « 300 » n'est pas accepté : entrez un nombre entier de 500 à "
                 "10000.\nSEUIL 5 : « 12000 » n'est pas accepté : entrez un nombre entier de 500 à "
                 "10000.\nSEUIL 6 : « -5 » n'est pas accepté : entrez un nombre entier de -1 à "
                 "100.");
        QCOMPARE(dialog.SeuilTOR(0)->text(), QString("4000"));
        QCOMPARE(dialog.SeuilTOR(4)->text(), QString("3000"));
        QCOMPARE(dialog.SeuilTOR(5)->text(), QString("0"));
        QCOMPARE(ctx.optionBoard.VoiesTOR[4].Seuil, 3000);

        type(dialog.SeuilTOR(5), "-1");
        type(dialog.SeuilTOR(3), "50");
        refused.clear();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(refused.size(), 0);
        const auto &v = ctx.optionBoard.VoiesTOR;
        QCOMPARE(v[0].Action, 2);
        QCOMPARE(v[0].Seuil, 4000);
        QCOMPARE(v[5].Action, 2);
        QCOMPARE(v[5].Seuil, -1);
        QCOMPARE(v[4].Action, 1);
        QCOMPARE(v[4].Seuil, 3000);
        QCOMPARE(v[3].Action, 3);
        QCOMPARE(v[3].Seuil, 50);
        QCOMPARE(v[2].Action, 1);
        QCOMPARE(v[2].Seuil, 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // A threshold typed and left is read by its action's rule: taken, or
    // refused with a message and its previous value shown again.
    void leavingThresholdReadsIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("refusal");
        TestSupport::row("taken", " 7000 ", "7000", "");
        TestSupport::row("beyond", "12000", "4500",
                         "SEUIL 5 : « 12000 » n'est pas accepté : entrez un nombre entier de 500 "
                         "à 10000.");
        TestSupport::row("fraction", "7000,5", "4500",
                         "SEUIL 5 : « 7000,5 » n'est pas un nombre entier.");
        TestSupport::row("no number", "abc", "4500", "SEUIL 5 : « abc » n'est pas un nombre.");
    }

    void leavingThresholdReadsIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, refusal);
        TestSupport::useFrenchTexts();
        VekContext ctx;
        ctx.optionBoard.DeviceCfg = "OOIIAA";
        ctx.optionBoard.VoiesTOR[4] = {1, 3000};
        VEK_cfg_carte_fille dialog(ctx);
        QSignalSpy refused(&dialog, &VEK_cfg_carte_fille::refused);
        // A good value first: a refused text gives way to the value last taken,
        // not to the one the dialog opened with.
        for (const QString &text : {QString("4500"), typed}) {
            QVERIFY(Keyboard::focus(dialog.SeuilTOR(4)));
            Keyboard::retype(text);
            Keyboard::press(Qt::Key_Tab);
        }
        QCOMPARE(dialog.SeuilTOR(4)->text(), shown);
        QCOMPARE(refused.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty())
            QCOMPARE(refused.at(0).at(0).toString(), refusal);
        dialog.valider();
        QCOMPARE(ctx.optionBoard.VoiesTOR[4].Seuil, shown.toInt());
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
        TestSupport::settle();
        QVERIFY(dialog.grab().save(TestSupport::screenshotPath("option_board.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestUiOptionBoard)
#include "tst_ui_optionboard.moc"
