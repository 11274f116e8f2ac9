#include "icsp/ConfigurationWord.h"
#include "icsp/MemoryViewText.h"
#include "icsp/PicDevice.h"

#include <QtTest>

using namespace ConfigurationWord;

namespace {

ConfigControls controls(int oscillator, int protect, std::initializer_list<int> tickedBoxes)
{
    ConfigControls c;
    c.oscillator = oscillator;
    c.protect = protect;
    for (int box : tickedBoxes)
        c.ticked[size_t(box)] = true;
    return c;
}

PicDevice blank(const char *chip, int words, int eeprom)
{
    PicDevice device;
    device.DeviceChip = chip;
    device.DevicePgmSize = words;
    device.DeviceEESize = int16_t(eeprom);
    device.InitMemoire();
    return device;
}

} // namespace

class TestConfigurationWord : public QObject
{
    Q_OBJECT

private slots:
    void wordFromControls_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<int>("oscillator");
        QTest::addColumn<int>("protect");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<int>("word");
        // IntRC I/O, CP OFF, PWRT, MCLR and BODEN ticked.
        QTest::newRow("16F628") << "16F628" << 4 << 3 << QList<int>{1, 2, 3} << 0x3D70;
        QTest::newRow("16F88 as 16F628") << "16F88" << 4 << 3 << QList<int>{1, 2, 3} << 0x3D70;
        // XT, PWRT ticked, CP not ticked; then CP ticked.
        QTest::newRow("16F84") << "16F84" << 1 << -1 << QList<int>{1} << 0x3FF1;
        QTest::newRow("16F84 CP") << "16F84A" << 1 << -1 << QList<int>{1, 2} << 0x0001;
        // IntRC, WDT ticked, CP and MCLR not ticked.
        QTest::newRow("12C508") << "12C508" << 2 << -1 << QList<int>{0} << 0x0FEE;
        // HS, WP OFF, PWRT and BODEN ticked.
        QTest::newRow("16F876A") << "16F876A" << 2 << 3 << QList<int>{1, 2} << 0x3F72;
        // No oscillator selection sets every oscillator bit of the family.
        QTest::newRow("16F628 no selection")
            << "16F628" << -1 << 3 << QList<int>{1, 2, 3} << (0x3D70 | 0x13);
        // Protect index 0 on a 16F876: no copies; index 3 sets bits 4, 5, 12, 13.
        QTest::newRow("16F876 CP all") << "16F876" << 0 << 0 << QList<int>{0, 1, 2, 3, 4, 5, 6}
                                       << (0x0400 | 0x04 | 0x40 | 0x80 | 0x200);
        QTest::newRow("16F876 CP OFF")
            << "16F876" << 0 << 3 << QList<int>{1} << (0x0400 | 0x3030 | 0x100 | 0x800);
        QTest::newRow("12F629") << "12F629" << 7 << -1 << QList<int>{0}
                                << (0x7 | 0x8 | 0x10 | 0x80 | 0x100);
        QTest::newRow("18F2550") << "18F2550" << 1 << 1 << QList<int>{0, 1} << 0;
        QTest::newRow("unknown") << "16F877" << 1 << 1 << QList<int>{0} << 0;
    }

    void wordFromControls()
    {
        QFETCH(QString, chip);
        QFETCH(int, oscillator);
        QFETCH(int, protect);
        QFETCH(QList<int>, ticked);
        QFETCH(int, word);
        ConfigControls c = controls(oscillator, protect, {});
        for (int box : ticked)
            c.ticked[size_t(box)] = true;
        QCOMPARE(int(MotConfigDepuisControles(chip, c)), word);
    }

    // Every setting of the controls a family shows comes back from its word.
    void everySettingRoundTrips()
    {
        for (const char *chip : {"16F84", "16F84A", "12C508", "12C508A", "16F628", "16F88",
                                 "12F629", "16F876", "16F876A"}) {
            const ConfigLayout layout = layoutFor(chip);
            const int boxes = int(layout.options.size());
            const int protections = std::max<int>(1, int(layout.protections.size()));
            for (int osc = 0; osc < layout.oscillators.size(); ++osc)
                for (int prot = 0; prot < protections; ++prot)
                    for (int ticks = 0; ticks < (1 << boxes); ++ticks) {
                        ConfigControls c;
                        c.oscillator = osc;
                        c.protect = layout.protections.isEmpty() ? -1 : prot;
                        for (int b = 0; b < boxes; ++b)
                            c.ticked[size_t(b)] = ticks & (1 << b);
                        const uint16_t word = MotConfigDepuisControles(chip, c);
                        const auto back = controlsFromWord(chip, word);
                        QVERIFY(back);
                        QVERIFY2(*back == c,
                                 qPrintable(QString("%1 word %2").arg(chip).arg(word, 4, 16)));
                    }
        }
    }

    void wordToControls()
    {
        const auto c = controlsFromWord("16F628", 0x3D70);
        QVERIFY(c);
        QCOMPARE(*c, controls(4, 3, {1, 2, 3}));
        // A blank 16F84: RC, WDT ticked, PWRT and CP not ticked.
        QCOMPARE(*controlsFromWord("16F84", 0x3FFF), controls(3, -1, {0}));
        QVERIFY(!controlsFromWord("18F4550", 0x3FFF));
        QVERIFY(!controlsFromWord("16F877", 0x3FFF));
    }

    void layoutsFollowTheFamily()
    {
        QCOMPARE(supportOf("16F84A"), Support::Coded);
        QCOMPARE(supportOf("18F2455"), Support::NoControls);
        QCOMPARE(supportOf(""), Support::Unknown);
        const ConfigLayout f628 = layoutFor("16F628");
        const ConfigLayout f88 = layoutFor("16F88");
        QCOMPARE(f88.oscillators, f628.oscillators);
        QCOMPARE(f88.protections, f628.protections);
        QCOMPARE(f88.options, f628.options);
        QCOMPARE(f628.oscillatorIndex, 4);
        QCOMPARE(f628.oscillators.value(4), QString("IntRC I/O"));
        const ConfigLayout f84 = layoutFor("16F84");
        QCOMPARE(f84.oscillators, QStringList({"LP", "XT", "HS", "RC"}));
        QCOMPARE(f84.oscillatorIndex, 1);
        QVERIFY(f84.protections.isEmpty());
        QCOMPARE(f84.options, QStringList({"WDT", "PWRT", "CP"}));
        QCOMPARE(layoutFor("16F876A").protections.last(), QString("WP OFF"));
        QCOMPARE(layoutFor("16F876").options.size(), 7);
        QVERIFY(layoutFor("18F2550").oscillators.isEmpty());
    }

    void blank16F84View()
    {
        const PicDevice device = blank("16F84", 1024, 64);
        const auto lines = MemoryViewText::programLines(device);
        QCOMPARE(lines.size(), 128);
        QCOMPARE(lines.first().address + lines.first().data,
                 QString("0000: ") + QString("3FFF ").repeated(8));
        QVERIFY(lines.last().address.startsWith("03F8: "));
        const auto eeprom = MemoryViewText::eepromLines(device);
        QCOMPARE(eeprom.size(), 8);
        QCOMPARE(eeprom.first().address + eeprom.first().data,
                 QString("000: ") + QString("FF ").repeated(8));
        QCOMPARE(eeprom.last().address, QString("038: "));
    }

    void wordsAreShownHighByteFirst()
    {
        PicDevice device = blank("16F628", 2048, 128);
        device.ImagePIC.setCodeWord(9, 0x2A05);
        device.ImagePIC.ImageEEPROM[10] = 0x0C;
        QCOMPARE(MemoryViewText::programLines(device)[1].data.left(10), QString("3FFF 2A05 "));
        QCOMPARE(MemoryViewText::eepromLines(device)[1].data.left(9), QString("FF FF 0C "));
    }

    // Chips larger than the image are shown up to the image's end and no further.
    void viewsStopAtTheImageEnd()
    {
        PicDevice device = blank("18F2550", 32768, 256);
        device.DevicePgmSize = 1 << 30; // a size no image holds
        device.DeviceEESize = 30000;
        const auto lines = MemoryViewText::programLines(device);
        QCOMPARE(lines.size(), PicImage::CodeWords / 8);
        QCOMPARE(lines.last().address, QString("3FF8: "));
        QCOMPARE(MemoryViewText::eepromLines(device).size(), PicImage::EepromBytes / 8);
        device.DevicePgmSize = -5;
        QVERIFY(MemoryViewText::programLines(device).isEmpty());
    }

    void codeTextHasNoFinalLineEnd()
    {
        const PicDevice device = blank("16F84A", 1024, 64);
        const QString text = MemoryViewText::AfficherCodeTexte(device);
        QCOMPARE(text.count("\r\n"), 127);
        QVERIFY(text.endsWith("3FFF "));
        QVERIFY(text.startsWith("0000: 3FFF"));
    }
};

QTEST_GUILESS_MAIN(TestConfigurationWord)
#include "tst_configurationword.moc"
