#include "base/ValueRules.h"

#include "TestSupport.h"

#include <QtTest>

using namespace ValueRules;

// The reading of the value table on its own, with worked examples; the
// paths that bring each value in are compared in tst_ui_valuerules.
class TestValueRules : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void table()
    {
        QCOMPARE(Table().size(), int(Value::Count));
        for (int i = 0; i < Table().size(); ++i) {
            const Declaration &d = Table().at(i);
            QCOMPARE(int(d.id), i);
            QVERIFY2(!d.name().isEmpty(), d.nameKey);
            QVERIFY2(!d.paths.isEmpty(), d.nameKey);
            QVERIFY2(d.lowest <= d.highest, d.nameKey);
        }
    }

    void reading_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, Value v, const char *text, bool file, Fault f,
                            const char *taken, const char *message) {
            QTest::newRow(name) << int(v) << QString::fromUtf8(text) << file << int(f)
                                << QString::fromUtf8(taken) << QString::fromUtf8(message);
        };
        const Value st = Value::StaticAdvance, rpm = Value::RevLimit;
        row("advance comma typed", st, "12,5", false, Fault::None, "12.5", "");
        row("advance point typed", st, "12.5", false, Fault::None, "12.5", "");
        row("advance onto the half degree", st, "45,3", false, Fault::None, "45.5", "");
        row("advance comma in a file", st, "12,5", true, Fault::ReadAs, "12.5",
            "Fichier c.vek, ligne 3 : Avance statique : « 12,5 » est lu comme 12.5.");
        row("advance point in a file", st, " 12.5", true, Fault::None, "12.5", "");
        row("advance letters", st, "abc", false, Fault::NotANumber, "",
            "Avance statique : « abc » n'est pas un nombre.");
        row("advance empty", st, "", false, Fault::Empty, "",
            "Avance statique : aucune valeur n'est donnée.");
        row("advance blanks", st, "   ", true, Fault::Empty, "",
            "Fichier c.vek, ligne 3 : Avance statique : aucune valeur n'est donnée.");
        row("advance negative", st, "-5", false, Fault::OutOfRange, "",
            "Avance statique : « -5 » est hors limites : entrez un nombre de 0 à 127.5.");
        row("advance exponent", st, "1e3", false, Fault::TrailingText, "",
            "Avance statique : « 1e3 » n'est pas un nombre : « e3 » suit le nombre.");
        row("rpm with its unit", rpm, "7000 rpm", true, Fault::TrailingText, "",
            "Fichier c.vek, ligne 3 : Régime maxi : « 7000 rpm » n'est pas un nombre : "
            "« rpm » suit le nombre.");
        row("rpm with a fraction", rpm, "6500,5", true, Fault::NotWhole, "",
            "Fichier c.vek, ligne 3 : Régime maxi : « 6500,5 » n'est pas un nombre entier.");
        row("rpm with a thousands point", rpm, "7.000", false, Fault::NotWhole, "",
            "Régime maxi : « 7.000 » n'est pas un nombre entier.");
        row("rpm too high", rpm, "12000", false, Fault::OutOfRange, "",
            "Régime maxi : « 12000 » n'est pas accepté : entrez un nombre entier de 0 à 10000.");
        row("rpm taken", rpm, " 6500 ", true, Fault::None, "6500", "");
        row("low-rpm advance off its step", Value::LowRpmAdvance, " 5,6", true, Fault::ReadAs, "6",
            "Fichier c.vek, ligne 3 : Avance à bas régime : « 5,6 » est lu comme 6.");
        row("rpm leading zero typed", rpm, "06000", false, Fault::None, "6000", "");
        row("rpm leading zero in a file", rpm, "06000", true, Fault::ReadAs, "6000",
            "Fichier c.vek, ligne 3 : Régime maxi : « 06000 » est lu comme 6000.");
        row("dwell as a new curve writes it", Value::Dwell, "2.5", true, Fault::None, "2.50", "");
        row("compilation type of no build", Value::CompilationType, "7", false, Fault::OutOfRange,
            "", "Type de compilation : « 7 » n'est pas accepté : entrez l'une des valeurs 8, 16, 88.");
        row("live port number", Value::SerialPort, "+07", false, Fault::None, "7", "");
        row("live port none", Value::SerialPort, " ", false, Fault::Empty, "",
            "Port : Aucun port n'est indiqué : choisissez COM1, COM2… ou le chemin d'un "
            "périphérique série (/dev/ttyUSB0, un lien vers un pseudo-terminal…).");
        row("serial settings in small letters", Value::SerialSettings, "9600,e,7,2", true,
            Fault::None, "9600,E,7,2", "");
        row("serial settings at the dialog's ends", Value::SerialSettings, "115200,o,8,2", false,
            Fault::None, "115200,O,8,2", "");
        const QString notSerial = "Réglages du port série : « %1 » n'est pas un réglage de port "
                                  "série (vitesse,parité,bits de données,bits de stop, par "
                                  "exemple « 9600,N,8,1 »).";
        for (const char *unoffered : {"14400,N,8,1", "9600,M,8,1", "9600,N,5,1", "9600,N,8,1.5"})
            row(unoffered, Value::SerialSettings, unoffered, false, Fault::Refused, "",
                notSerial.arg(unoffered).toUtf8().constData());
        row("map percentage", Value::MapPercentage, "12,5", false, Fault::None, "12.5", "");
        row("map percentage too high", Value::MapPercentage, "150", false, Fault::OutOfRange, "",
            "Pourcentage MAP : « 150 » est hors limites : entrez un nombre de 0 à 100.");
    }

    void reading()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        QFETCH(bool, fromFile);
        QFETCH(int, fault);
        QFETCH(QString, taken);
        QFETCH(QString, message);
        const Source source =
            fromFile ? Source::inFile(Path::CurveFileV2, "c.vek", 3) : Source::box();
        const Outcome o = read(Value(value), text, source);
        QCOMPARE(int(o.fault), fault);
        QCOMPARE(o.taken() ? o.text : QString(), taken);
        QCOMPARE(o.message, message);
    }
};

QTEST_GUILESS_MAIN(TestValueRules)
#include "tst_valuerules.moc"
