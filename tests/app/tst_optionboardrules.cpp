#include "TestSupport.h"
#include "app/OptionBoardRules.h"

#include <QtTest>

using TestSupport::row;
using namespace OptionBoardRules;
Q_DECLARE_METATYPE(OptionBoardRules::Action)

class TestOptionBoardRules : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void kindsReadFromTheRight()
    {
        const QString cfg = "OOIIAA";
        QStringList labels;
        for (int n = 0; n < ChannelCount; ++n)
            labels << kindLabel(kind(cfg, n));
        QCOMPARE(labels, QStringList({"ANA", "ANA", "INP", "INP", "OUT", "OUT"}));
        QCOMPARE(kind("O-xIA", 0), ChannelKind::None);  // too short: no channel
        QCOMPARE(kind("O-xIAi", 0), ChannelKind::None); // lower case is no kind
        QCOMPARE(kind("O-xIAi", 1), ChannelKind::Analogue);
        QCOMPARE(kind("", 3), ChannelKind::None);
        QCOMPARE(kind("OOOOOO", 6), ChannelKind::None);
    }

    void actionLists()
    {
        const auto labels = [](ChannelKind k) {
            QStringList shown;
            for (const Action a : actions(k))
                shown << actionLabel(a);
            return shown;
        };
        QCOMPARE(labels(ChannelKind::Output), QStringList({"DISABLE", "RPM", "BOOST"}));
        QCOMPARE(
            labels(ChannelKind::Input),
            QStringList({"DISABLE", "Select. COURBE", "Select. RUPTEUR(2)", "Coupure SEQUENTIEL"}));
        QCOMPARE(labels(ChannelKind::Analogue), QStringList({"DISABLE"}));
        QCOMPARE(labels(ChannelKind::None), QStringList({"DISABLE"}));
        QCOMPARE(actionAt(ChannelKind::Output, 2), Action::Boost);
        QCOMPARE(actionAt(ChannelKind::Output, 3), Action::Disable);
        // Codes from a file that the list lacks show "DISABLE".
        QCOMPARE(shownAction(ChannelKind::Output, 2), 2);
        QCOMPARE(shownAction(ChannelKind::Output, 3), 0);
        QCOMPARE(shownAction(ChannelKind::Analogue, 1), 0);
        QCOMPARE(shownAction(ChannelKind::Input, 255), 0);
        QVERIFY(!hasThreshold(Action::Disable));
        QVERIFY(!hasThreshold(Action::SelectCurve));
        QVERIFY(hasThreshold(Action::Rpm));
        QVERIFY(hasThreshold(Action::SelectBreaker));
        QVERIFY(hasThreshold(Action::Boost));
        QVERIFY(hasThreshold(Action::SequentialCut));
    }

    // A typed threshold is read by the rule of its action's value: a whole
    // number within the action's range, or refused naming the box.
    void thresholdReading_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        row("rpm", Action::Rpm, " 3000 ", "3000");
        row("rpm low", Action::Rpm, "200",
            "SEUIL 1 : « 200 » n'est pas accepté : entrez un nombre entier de 500 à 10000.");
        row("rpm high", Action::Rpm, "12000",
            "SEUIL 1 : « 12000 » n'est pas accepté : entrez un nombre entier de 500 à 10000.");
        row("rpm letters", Action::Rpm, "abc", "SEUIL 1 : « abc » n'est pas un nombre.");
        row("rupteur fraction", Action::SelectBreaker, "4000,5",
            "SEUIL 1 : « 4000,5 » n'est pas un nombre entier.");
        row("boost lowest", Action::Boost, "-1", "-1");
        row("boost low", Action::Boost, "-5",
            "SEUIL 1 : « -5 » n'est pas accepté : entrez un nombre entier de -1 à 100.");
        row("boost fraction", Action::Boost, "7,5",
            "SEUIL 1 : « 7,5 » n'est pas un nombre entier.");
        row("sequentiel high", Action::SequentialCut, "150",
            "SEUIL 1 : « 150 » n'est pas accepté : entrez un nombre entier de 0 à 100.");
        row("not only a number", Action::SequentialCut, "50 %",
            "SEUIL 1 : « 50 % » n'est pas un nombre : « % » suit le nombre.");
        row("disable", Action::Disable, "3000", "0");
        row("courbe", Action::SelectCurve, "12", "0");
    }

    void thresholdReading()
    {
        QFETCH(Action, action);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        TestSupport::useFrenchTexts();
        const TypedNumber taken = readThreshold(0, action, typed);
        QCOMPARE(taken.number.value_or(taken.refusal), kept);
    }

    void storedThreshold()
    {
        QCOMPARE(seuil("3000"), 3000);
        QCOMPARE(seuil("600.7"), 600);
        QCOMPARE(seuil("-0.5"), -1); // rounded down
        QCOMPARE(seuil(""), 0);
        QCOMPARE(seuil(QString(40, '9')), std::numeric_limits<int32_t>::max());
    }
};

QTEST_GUILESS_MAIN(TestOptionBoardRules)
#include "tst_optionboardrules.moc"
