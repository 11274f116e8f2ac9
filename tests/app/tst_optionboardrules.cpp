#include "TestSupport.h"
#include "app/OptionBoardRules.h"

#include <QtTest>

using TestSupport::row;
using namespace OptionBoardRules;

class TestOptionBoardRules : public QObject
{
    Q_OBJECT
private slots:
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
        QCOMPARE(actions(ChannelKind::Output), QStringList({"DISABLE", "RPM", "BOOST"}));
        QCOMPARE(actions(ChannelKind::Input).indexOf("Coupure SEQUENTIEL"), 3);
        QCOMPARE(actions(ChannelKind::Analogue), QStringList({"DISABLE"}));
        QCOMPARE(actions(ChannelKind::None), QStringList({"DISABLE"}));
        // Codes from a file that the list lacks show "DISABLE".
        QCOMPARE(shownAction(ChannelKind::Output, 2), 2);
        QCOMPARE(shownAction(ChannelKind::Output, 3), 0);
        QCOMPARE(shownAction(ChannelKind::Analogue, 1), 0);
        QCOMPARE(shownAction(ChannelKind::Input, 255), 0);
        QVERIFY(!hasThreshold("DISABLE"));
        QVERIFY(!hasThreshold("Select. COURBE"));
        QVERIFY(!hasThreshold("CLIQUETIS"));
        QVERIFY(hasThreshold("RPM"));
        QVERIFY(hasThreshold("Coupure SEQUENTIEL"));
    }

    // A typed threshold is read by the rule of its action's value: a whole
    // number within the action's range, or refused naming the box.
    void thresholdReading_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        row("rpm", "RPM", " 3000 ", "3000");
        row("rpm low", "RPM", "200",
            "SEUIL 1 : « 200 » n'est pas accepté : entrez un nombre entier de 500 à 10000.");
        row("rpm high", "RPM", "12000",
            "SEUIL 1 : « 12000 » n'est pas accepté : entrez un nombre entier de 500 à 10000.");
        row("rpm letters", "RPM", "abc", "SEUIL 1 : « abc » n'est pas un nombre.");
        row("rupteur fraction", "Select. RUPTEUR(2)", "4000,5",
            "SEUIL 1 : « 4000,5 » n'est pas un nombre entier.");
        row("boost lowest", "BOOST", "-1", "-1");
        row("boost low", "BOOST", "-5",
            "SEUIL 1 : « -5 » n'est pas accepté : entrez un nombre entier de -1 à 100.");
        row("boost fraction", "BOOST", "7,5", "SEUIL 1 : « 7,5 » n'est pas un nombre entier.");
        row("sequentiel high", "Coupure SEQUENTIEL", "150",
            "SEUIL 1 : « 150 » n'est pas accepté : entrez un nombre entier de 0 à 100.");
        row("not only a number", "Coupure SEQUENTIEL", "50 %",
            "SEUIL 1 : « 50 % » n'est pas un nombre : « % » suit le nombre.");
        row("disable", "DISABLE", "3000", "0");
        row("courbe", "Select. COURBE", "12", "0");
        row("unknown", "BATTERIE", "12", "0");
    }

    void thresholdReading()
    {
        QFETCH(QString, action);
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
