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

    void thresholdClamp_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        row("rpm low", "RPM", "200", "500");
        row("rpm high", "RPM", "12000", "10000");
        row("rpm letters", "RPM", "abc", "SEUIL 1 : « abc » n'est pas un nombre.");
        row("rupteur", "Select. RUPTEUR(2)", "499.9", "500");
        row("boost low", "BOOST", "-5", "-1");
        row("boost in range", "BOOST", "-0.5", "-0.5");
        row("sequentiel high", "Coupure SEQUENTIEL", "150", "100");
        row("not only a number", "Coupure SEQUENTIEL", "50 %",
            "SEUIL 1 : « 50 % » n'est pas un nombre.");
        row("comma as decimal point", "Coupure SEQUENTIEL", " 7,5 ", "7.5");
        row("disable", "DISABLE", "3000", "0");
        row("courbe", "Select. COURBE", "12", "0");
        row("unknown", "BATTERIE", "12", "0");
    }

    void thresholdClamp()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        TestSupport::useFrenchTexts();
        const TypedNumber taken = clampThreshold(0, action, typed);
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
