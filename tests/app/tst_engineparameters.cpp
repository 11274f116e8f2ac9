#include "TestSupport.h"
#include "app/EngineParameters.h"
#include "base/NumberHelpers.h"

#include <QLocale>
#include <QtTest>

using namespace EngineParameterRules;

class TestEngineParameters : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void validation_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        auto row = [](const char *name, Box b, const char *typed, const char *shown) {
            QTest::newRow(name) << int(b) << QString(typed) << QString(shown);
        };
        row("static 45.3", Box::AvanceStatique, "45.3", "45.5");
        row("static 45.2", Box::AvanceStatique, "45.2", "45.0");
        row("static half to even", Box::AvanceStatique, "45.25", "45.0");
        row("static 45.75", Box::AvanceStatique, "45.75", "46.0");
        row("static 200", Box::AvanceStatique, "200", "127.5");
        row("static -3", Box::AvanceStatique, "-3", "0.0");
        row("static comma", Box::AvanceStatique, "45,5", "45.5");
        row("static letters", Box::AvanceStatique, "abc", "0.0");
        row("rpm 12000", Box::RegimeMaxi, "12000", "10000");
        row("rpm half to even", Box::RegimeMaxi, "6650.5", "6650");
        row("rpm 6651.5", Box::RegimeMaxi, "6651.5", "6652");
        row("rpm negative", Box::RegimeMaxi, "-20", "0");
        row("rpm huge", Box::RegimeMaxi, QByteArray(400, '9').constData(), "10000");
        row("duration 300", Box::DureeRetardCliquetis, "300", "255");
        row("duration 2.5", Box::DureeRetardCliquetis, "2.5", "2");
        row("duration letters", Box::DureeRetardCliquetis, "x", "0");
        row("dwell comma", Box::Dwell, "2,5", "2.50");
        row("dwell 7", Box::Dwell, "7", "5.00");
        row("dwell -1", Box::Dwell, "-1", "0.00");
        row("dwell letters", Box::Dwell, "abc", "0.00");
    }

    void validation()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QCOMPARE(valider(Box(box), typed), shown);
    }

    void stepping()
    {
        QCOMPARE(pas(Box::AvanceStatique, "127.5", +1), QString("127.5"));
        QCOMPARE(pas(Box::AvanceStatique, "45.0", -1), QString("44.5"));
        QCOMPARE(pas(Box::RegimeMaxi, "50", -1), QString("0"));
        QCOMPARE(pas(Box::RegimeMaxi, "6650", +1), QString("6750"));
        QCOMPARE(pas(Box::DureeRetardCliquetis, "255", +1), QString("255"));
        QCOMPARE(pas(Box::DureeRetardCliquetis, "10", -1), QString("9"));
        QCOMPARE(pas(Box::Dwell, "4.8", +1), QString("5.00"));
        QCOMPARE(pas(Box::Dwell, "2,5", -1), QString("2.00"));
    }

    // Values from a file or a package: out of range or off their step they are
    // brought in and listed; in range they keep their text.
    void loadedValuesAreBroughtIntoRange_data()
    {
        QTest::addColumn<QStringList>("loaded"); // static, rev limit, duration, dwell
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<int>("listed");
        QTest::newRow("in range") << QStringList{"45", "6650", "10", "2,5"}
                                  << QStringList{"45", "6650", "10", "2,5"} << 0;
        QTest::newRow("all beyond") << QStringList{"200", "12000", "300", "7"}
                                    << QStringList{"127.5", "10000", "255", "5.00"} << 4;
        QTest::newRow("below and off step") << QStringList{"-3", "6650.5", "10", "-1"}
                                            << QStringList{"0.0", "6650", "10", "0.00"} << 3;
        QTest::newRow("static off step") << QStringList{"45.3", "6650", "10", "2.5"}
                                         << QStringList{"45.5", "6650", "10", "2.5"} << 1;
        // Read as a box reads them: "," or "." as the decimal point.
        QTest::newRow("commas and trailing text") << QStringList{"12,5", "6650,5", "10x", "2,7"}
                                                  << QStringList{"12,5", "6650", "10", "2,7"} << 2;
    }
    void loadedValuesAreBroughtIntoRange()
    {
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, kept);
        QFETCH(int, listed);
        EngineParameters p;
        p.Txt_av_statique = loaded[0];
        p.Txt_rpm_maxi = loaded[1];
        p.TxtDureeRetardCliquetis = loaded[2];
        p.TxtDwell = loaded[3];
        const QList<ValeurRamenee> changed = ramener(p);
        QCOMPARE(
            (QStringList{p.Txt_av_statique, p.Txt_rpm_maxi, p.TxtDureeRetardCliquetis, p.TxtDwell}),
            kept);
        QCOMPARE(changed.size(), listed);
        const QString message = messageRamenees(changed);
        QCOMPARE(message.isEmpty(), listed == 0);
        QCOMPARE(message.count('\n'), listed); // a line per value under the heading
        for (const ValeurRamenee &v : changed)
            QVERIFY(message.contains(v.lu + QStringLiteral(" \u2192 ") + v.retenu));
    }

    void formatIgnoresLocale()
    {
        // Boxes are read with "." whatever the locale, so they are written with it too.
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        const QString shown = valider(Box::AvanceStatique, "45.5");
        QCOMPARE(shown, QString("45.5"));
        QCOMPARE(NombreEnTete(shown), 45.5);
        QCOMPARE(valider(Box::Dwell, "2,25"), QString("2.25"));
        QCOMPARE(pas(Box::AvanceStatique, shown, +1), QString("46.0"));
        QLocale::setDefault(QLocale::c());
    }

    void listsAndDefaults()
    {
        QCOMPARE(CylinderItems(), QStringList({"1", "2", "4", "6", "8"}));
        QCOMPARE(AvanceBasRegimeItems().size(), 13);
        QCOMPARE(AvanceBasRegimeItems().at(11), QString("11.0"));
        QCOMPARE(CliquetisItems().size(), 9);
        QCOMPARE(CliquetisItems().at(3), QString("1.5"));
        QCOMPARE(cliquetisPlus(3), QString("6")); // "1.5" shows 6
        QCOMPARE(cliquetisPlus(5), QString("10"));
        const EngineParameters p;
        QCOMPARE(HardXLEDItems().at(p.HardXLED), QString("RUPTEUR"));
        QCOMPARE(CliquetisItems().at(p.CmbCliquetis), QString("2.5"));
        QCOMPARE(p.retardCliquetis(), 2.5);
        QCOMPARE(p.Txt_av_statique, QString("45.0"));
    }
};

QTEST_GUILESS_MAIN(TestEngineParameters)
#include "tst_engineparameters.moc"
