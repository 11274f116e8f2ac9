#include "TestSupport.h"
#include "base/NumberHelpers.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>
#include <cmath>
#include <cstdlib>
#include <cstring>

class TestNumberHelpers : public QObject
{
    Q_OBJECT
private slots:
    void valeurNumerique_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        for (const char *loc : {"C", "fr_FR"}) {
            QTest::newRow(loc + QByteArray(" comma")) << loc << "2,5" << 2.5;
            QTest::newRow(loc + QByteArray(" point")) << loc << "2.5" << 2.5;
            QTest::newRow(loc + QByteArray(" negative")) << loc << "-0.5" << -0.5;
            QTest::newRow(loc + QByteArray(" unit")) << loc << "3 V" << 3.0;
            QTest::newRow(loc + QByteArray(" letters")) << loc << "abc" << 0.0;
            QTest::newRow(loc + QByteArray(" empty")) << loc << "" << 0.0;
            QTest::newRow(loc + QByteArray(" two separators")) << loc << "1.000,5" << 1.0;
            QTest::newRow(loc + QByteArray(" grouped")) << loc << "1 250,75 ms" << 1250.75;
            QTest::newRow(loc + QByteArray(" nbsp")) << loc << QString("1\u00a0250") << 1250.0;
        }
    }

    void valeurNumerique()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(ValeurNumerique(text), expected);
        QLocale::setDefault(QLocale::c());
    }

    // One reading for a curve cell, typed or from a file.
    void decimalNumberText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept"); // null: not a number
        for (const char *loc : {"C", "fr_FR"}) {
            const QByteArray l(loc);
            TestSupport::row((l + " comma").constData(), loc, "24,5", "24.5");
            TestSupport::row((l + " point").constData(), loc, "24.5", "24.5");
            TestSupport::row((l + " blanks kept").constData(), loc, " 11 ", " 11 ");
            TestSupport::row((l + " signed").constData(), loc, "-0,5", "-0.5");
            TestSupport::row((l + " fraction only").constData(), loc, ",5", ".5");
            TestSupport::row((l + " letter inside").constData(), loc, "2z6", QString());
            TestSupport::row((l + " letters").constData(), loc, "abc", QString());
            TestSupport::row((l + " unit").constData(), loc, "4x00", QString());
            TestSupport::row((l + " two separators").constData(), loc, "1.000,5", QString());
            TestSupport::row((l + " sign only").constData(), loc, "-", QString());
            TestSupport::row((l + " empty").constData(), loc, "", QString());
        }
    }
    void decimalNumberText()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        QLocale::setDefault(QLocale(locale));
        const std::optional<QString> read = DecimalNumberText(text);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(read.has_value(), !kept.isNull());
        if (read)
            QCOMPARE(*read, kept);
    }

    // Each accepted text reads as the double nearest to its decimal value,
    // the same as a correctly rounded conversion of the same digits.
    void nearestDouble_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("digits"); // what the reading accepts
        for (const char *t : {"0.3", "11.875", "0.052", "2.43", "-0.15", "+1.17", "  3.87 V",
                              "123456789.123456789", "0.1000000000000000055511151231257827",
                              "9007199254740993", "1.", ".5", "-", "", "1.2.3"})
            QTest::newRow(t) << t << QString(t).trimmed();
        // Both sides of the short way: 15 and 16 significant digits, 22 and 23 decimals.
        for (const char *t : {"999999999999999", "9999999999999999", "0.1234567890123456",
                              "0.0000000000000000000001", "0.00000000000000000000001",
                              "000000000000000000000000.5", "4503599627370497.5"})
            QTest::newRow(t) << t << QString(t);
        QRandomGenerator random(29);
        for (int r = 0; r < 300; ++r) {
            QString t = QString::number(random.bounded(1000000000));
            t += '.' + QString::number(random.generate64()).left(random.bounded(1, 18));
            t = t.left(random.bounded(1, int(t.size()) + 1));
            QTest::newRow(qPrintable("random " + t)) << t << t;
        }
        QTest::newRow("long") << QString("1") + QString(400, '0') << QString();
        QTest::newRow("tiny") << QString("0.") + QString(400, '0') + "1" << QString();
    }

    void nearestDouble()
    {
        QFETCH(QString, text);
        QFETCH(QString, digits);
        const double v = NombreEnTete(text);
        if (QTest::currentDataTag() == QLatin1String("long")) {
            QVERIFY(std::isinf(v) && v > 0);
            return;
        }
        if (QTest::currentDataTag() == QLatin1String("tiny")) {
            QCOMPARE(v, 0.0);
            return;
        }
        // strtod in the C locale over the accepted prefix
        const QByteArray prefix = digits.section(' ', 0, 0).toLatin1();
        char *end = nullptr;
        const double expected = std::strtod(prefix.constData(), &end);
        QCOMPARE(std::memcmp(&v, &expected, sizeof v) == 0 || (v == 0 && expected == 0), true);
        QCOMPARE(ValeurNumerique(text), v);
    }

    void valeurNumeriqueNull()
    {
        QVERIFY(!ValeurNumerique(std::optional<QString>()).has_value());
        QCOMPARE(ValeurNumerique(std::optional<QString>("4,25")).value(), 4.25);
    }

    void hex()
    {
        QCOMPARE(HexInt(10, 2), QString("0A"));
        QCOMPARE(HexInt(255, 2), QString("FF"));
        QCOMPARE(HexInt(4660, 2), QString("34"));
        QCOMPARE(HexInt(256, 2), QString("00"));
        QCOMPARE(HexInt(-1, 2), QString("FF"));
        QCOMPARE(HexInt(-1, 4), QString("FFFF"));
        QCOMPARE(HexInt(0x782, 4), QString("0782"));
        QCOMPARE(HexInt(5, 0), QString());
        QCOMPARE(HexLong(4096, 4), QString("1000"));
        QCOMPARE(HexLong(-2, 4), QString("FFFE"));
        QCOMPARE(HexLong(-2, 8), QString("FFFFFFFE"));
        QCOMPARE(HexLong(0x4200, 6), QString("004200"));
    }

    void hexBoxes()
    {
        QCOMPARE(HexBoxValue(" 1f "), 0x1F);
        QCOMPARE(HexBoxValue("7Fzz"), 0x7F);
        QCOMPARE(HexBoxValue("FFFF"), -1);              // four digits: 16 bits, signed
        QCOMPARE(HexBoxValue("0FFFF"), 0xFFFF);         // five: 32 bits
        QCOMPARE(HexBoxValue("123456789"), 0x12345678); // eight at most
        QCOMPARE(HexBoxValue(""), 0);
        // A letter outside ASCII ends the digits like any other.
        QCOMPARE(HexBoxValue(QString::fromUtf16(u"\u00e9A")), 0);
        QCOMPARE(HexBoxValue(QString::fromUtf16(u"A\u00e9")), 0xA);
        // Addresses and lengths: the whole text, 1 to 4 digits, no prefix.
        QCOMPARE(HexAddress(u" 1f "), std::optional<int>(0x1F));
        QCOMPARE(HexAddress(u"FFFF"), std::optional<int>(0xFFFF));
        for (const char16_t *refused :
             {u"", u"  ", u"0x10", u"12345", u"1G", u"-1", u"1 2", u"\uFF11"}) // a full-width digit
            QVERIFY2(!HexAddress(refused), qPrintable(QString::fromUtf16(refused)));
        QCOMPARE(HexDigitsValue(u"1FFFFF", 8), std::optional<uint32_t>(0x1FFFFF));
        QCOMPARE(HexDigitsValue(u"FFFFFFFF", 8), std::optional<uint32_t>(0xFFFFFFFF));
        QVERIFY(!HexDigitsValue(u"100000000", 12)); // never more than 32 bits
        QCOMPARE(HexWord(0x3FFF), QString("0x3FFF"));
        QCOMPARE(HexWord(0x560), QString("0x0560"));
    }

    void dumps()
    {
        QCOMPARE(StrToHexDump(QByteArray("A\n")), QString(" 41 0A"));
        QCOMPARE(StrToHexDump(QByteArray("\x0f\x10\xff")), QString(" 0F 10 FF"));
        QCOMPARE(StrToDecDump(QByteArray("A\n")), QString(" 065 010"));
        QCOMPARE(StrToDecDump(QByteArray("\x07")), QString(" 007"));
        QCOMPARE(StrToHexDump(QByteArray(1, '\0')), QString(" 00"));
        QCOMPARE(StrToHexDump({}), QString());
    }

    void couleurIndex()
    {
        QCOMPARE(CouleurIndex(0), 0xFFFFFFu & 0xFFFFFF);
        QCOMPARE(CouleurIndex(1), 0u);
        QCOMPARE(CouleurIndex(17), 0u);
        QCOMPARE(CouleurIndex(-3), 0u);
        QCOMPARE(CouleurIndex(4), 255u);          // red
        QCOMPARE(CouleurIndex(12), 255u * 65536); // blue
        QCOMPARE(CouleurIndex(16), 200u + 0 * 256 + 145u * 65536);
    }

    void numberAtStart()
    {
        QCOMPARE(NombreEnTete(u"45.5"), 45.5);
        QCOMPARE(NombreEnTete(u"45,5"), 45.0);
        QCOMPARE(NombreEnTete(u"1000 rpm"), 1000.0);
        QCOMPARE(NombreEnTete(u"-3.25x"), -3.25);
        QCOMPARE(NombreEnTete(u"x1"), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestNumberHelpers)
#include "tst_numberhelpers.moc"
