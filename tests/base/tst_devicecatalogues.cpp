#include "TestSupport.h"
#include "base/VEK_XML.h"

#include <QRegularExpression>
#include <QtTest>

using TestSupport::row;

namespace {

const QByteArray kThreeBoards = R"(<?xml version="1.0"?>
<catalogue>
  <device name="Sans"><DeviceCfg>------</DeviceCfg><DeviceCfgP>FF</DeviceCfgP></device>
  <group>
    <device name="OPT_A"><DeviceCfg>OOOIII</DeviceCfg><DeviceCfgP>C7</DeviceCfgP>
      <DeviceCfgA>06</DeviceCfgA><DeviceAnalogue>0</DeviceAnalogue>
      <DeviceInput>3</DeviceInput><DeviceOuput>3</DeviceOuput></device>
  </group>
  <device name="OPT_B"><DeviceCfg>OOIIAA</DeviceCfg><DeviceCfgP>CF</DeviceCfgP>
    <DeviceCfgA>04</DeviceCfgA></device>
</catalogue>
)";

const QByteArray kTwoChips = R"(<catalogue>
  <device name="AUTO" id="0000"><DeviceChip>AUTO</DeviceChip></device>
  <device name="PIC-16F84A" id="10E0"><DeviceFamille>16F</DeviceFamille>
    <DeviceChip>16F84A</DeviceChip><DevicePgmSize>1024</DevicePgmSize>
    <DeviceEESize>64</DeviceEESize></device>
</catalogue>
)";

} // namespace

class TestDeviceCatalogues : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    void write(const char *file, const QByteArray &bytes)
    {
        QVERIFY(TestSupport::writeFile(dir_.path() + "/Bin/" + file, bytes));
    }

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void pathJoinsWithOneSlash()
    {
        QCOMPARE(VEK_XML::CataloguePath("/", "Bin/up_chip.xml"), QString("/Bin/up_chip.xml"));
        QCOMPARE(VEK_XML::CataloguePath("/opt/vek/", "Bin/carte_option.xml"),
                 QString("/opt/vek/Bin/carte_option.xml"));
        QCOMPARE(VEK_XML::CataloguePath("/opt/vek", "Bin/up_chip.xml"),
                 QString("/opt/vek/Bin/up_chip.xml"));
    }

    // Entries in document order with their positions; selecting one gives its
    // description, from its own catalogue only.
    void entriesAndTheirDescriptions()
    {
        write("carte_option.xml", kThreeBoards);
        write("up_chip.xml", kTwoChips);
        VEK_XML xml(dir_.path());
        const CatalogueLoad loaded = xml.LoadOptionBoardCatalogue();
        QVERIFY(loaded.ok);
        QCOMPARE(loaded.entries.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(loaded.entries[i].position, i);
        QCOMPARE(loaded.entries[1].name, QString("OPT_A"));
        QCOMPARE(loaded.entries[2].name, QString("OPT_B"));
        // The chip catalogue loaded later must not stand in for the boards.
        QVERIFY(xml.LoadChipCatalogue().ok);
        OptionBoardState board;
        xml.SelectOptionBoard(2, board);
        QCOMPARE(board.CarteOptionId, QString("2"));
        QCOMPARE(board.CarteOptionNom, QString("OPT_B"));
        QCOMPARE(board.DeviceCfg, QString("OOIIAA"));
        QCOMPARE(board.DeviceCfgP, QString("CF"));
        QCOMPARE(board.DeviceCfgA, QString("04"));
        QVERIFY(board.DeviceInput.isEmpty()); // element absent: empty text

        xml.SelectOptionBoard(1, board);
        QCOMPARE(board.DeviceInput, QString("3"));
        QCOMPARE(board.DeviceOuput, QString("3"));
        QCOMPARE(board.DeviceAnalogue, QString("0"));

        const ChipCatalogueRecord chip = xml.SelectChip(1);
        QCOMPARE(chip.name, QString("PIC-16F84A"));
        QCOMPARE(chip.id, QString("10E0"));
        QCOMPARE(chip.DeviceFamille, QString("16F"));
        QCOMPARE(chip.DevicePgmSize, QString("1024"));
        QCOMPARE(chip.DeviceEESize, QString("64"));
        QVERIFY(xml.SelectChip(7).name.isEmpty());
        QVERIFY(xml.SelectChip(-1).name.isEmpty());
    }

    void noSelectionAndMissingDevice()
    {
        write("carte_option.xml", kThreeBoards);
        VEK_XML xml(dir_.path());
        OptionBoardState board;
        board.CarteOptionNom = "kept";
        xml.SelectOptionBoard(-1, board);
        QCOMPARE(board.CarteOptionNom, QString("kept"));
        // Not loaded yet: a position without a device gives empty texts and
        // tables without a board, but a design entry keeps its name.
        xml.SelectOptionBoard(2, board);
        QCOMPARE(board.CarteOptionId, QString("0"));
        QCOMPARE(board.CarteOptionNom, QString("OPT_Q29"));
        QVERIFY(board.DeviceCfg.isEmpty());
        xml.SelectOptionBoard(3, board);
        QVERIFY(board.CarteOptionNom.isEmpty());
    }

    // A catalogue that cannot be taken says which file and why, promises
    // nothing, and the catalogue loaded before stays in use.
    void refusedCatalogueKeepsThePreviousOne_data()
    {
        QTest::addColumn<bool>("chips");          // else the option boards
        QTest::addColumn<QByteArray>("document"); // null: no file
        QTest::addColumn<QString>("why");
        row("broken", false, QByteArray("<catalogue><device name=\"x\"></catalogue>"), "ligne 1");
        row("missing", false, QByteArray(),
            " ne peut être chargé :\nfichier ou dossier introuvable");
        QByteArray big = kTwoChips;
        big.insert(big.indexOf("</catalogue>"), QByteArray(1024 * 1024, ' '));
        row("oversized", true, big, "octets");
        // The document parser's time grows with the square of the depth:
        // parsed, this file (within the size bound) took about a minute. An
        // element of an undeclared namespace prefix is nested as deep for it.
        for (const auto &[element, depth] :
             {std::pair{QByteArray("device"), 40000}, std::pair{QByteArray("x:device"), 2000}})
            row((element + " nested too deep").constData(), true,
                "<c>" + ("<" + element + " name=\"a\">").repeated(depth) +
                    ("</" + element + ">").repeated(depth) + "</c>",
                "32 niveaux");
        row("entity", true,
            QByteArray(
                "<!DOCTYPE c [<!ENTITY e \"PIC\">]>\n<c><device name=\"&e;\" id=\"1\"/></c>"),
            "entité");
        // Within the size bound, one entity used many times would expand to about a gigabyte.
        row("entity expanding to a gigabyte", false,
            "<!DOCTYPE c [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]><c><device name=\"" +
                QByteArray("&e;").repeated(340000) + "\"/></c>",
            "entité");
    }

    void refusedCatalogueKeepsThePreviousOne()
    {
        QFETCH(bool, chips);
        QFETCH(QByteArray, document);
        QFETCH(QString, why);
        const char *file = chips ? "up_chip.xml" : "carte_option.xml";
        VEK_XML xml(dir_.path());
        const auto load = [&] {
            return chips ? xml.LoadChipCatalogue() : xml.LoadOptionBoardCatalogue();
        };
        const auto second = [&] {
            OptionBoardState board;
            xml.SelectOptionBoard(1, board);
            return chips ? xml.SelectChip(1).name : board.CarteOptionNom;
        };
        write(file, chips ? kTwoChips : kThreeBoards);
        QVERIFY(load().ok);
        const QString before = second();
        QCOMPARE(before, QString(chips ? "PIC-16F84A" : "OPT_A"));

        const QString path = chips ? xml.chipCataloguePath() : xml.optionBoardCataloguePath();
        if (document.isNull())
            QVERIFY(QFile::remove(path));
        else
            write(file, document);
        // A bound found only after the parse would take about a minute here:
        // the test's own time-out catches that, no clock is read.
        const CatalogueLoad refused = load();
        QVERIFY(!refused.ok);
        QVERIFY(refused.entries.isEmpty());
        QVERIFY(refused.message.contains(path));
        QVERIFY2(refused.message.contains(why), qPrintable(refused.message));
        QVERIFY(!refused.message.contains("créer")); // nothing is created, nothing promised
        QCOMPARE(second(), before);
    }

    // Thirty-two levels, or a document type without entities, are still a catalogue.
    void nestingAndDocumentTypeWithinBoundsAreRead()
    {
        VEK_XML xml(dir_.path());
        for (const QByteArray &document :
             {QByteArray("<g>").repeated(31) + "<device name=\"ok\"/>" +
                  QByteArray("</g>").repeated(31),
              QByteArray("<!DOCTYPE c><c><device name=\"ok\"/></c>")}) {
            write("up_chip.xml", document);
            const CatalogueLoad loaded = xml.LoadChipCatalogue();
            QVERIFY2(loaded.ok, qPrintable(loaded.message));
            QCOMPARE(loaded.entries.size(), 1);
            QCOMPARE(xml.SelectChip(0).name, QString("ok"));
        }
    }

    void unreadableCatalogueIsNamedOnce()
    {
        TestSupport::useFrenchTexts();
        VEK_XML xml(dir_.filePath("nowhere"));
        const CatalogueLoad loaded = xml.LoadChipCatalogue();
        QVERIFY(!loaded.ok);
        QCOMPARE(loaded.message, "Le document " + xml.chipCataloguePath() +
                                     " ne peut être chargé :\nfichier ou dossier introuvable");
    }

    void shippedCataloguesFitTheirUsers()
    {
        VEK_XML xml(TestSupport::dataDirectory());
        const CatalogueLoad chips = xml.LoadChipCatalogue();
        QVERIFY2(chips.ok, qPrintable(chips.message));
        QStringList names;
        for (const CatalogueEntry &e : chips.entries)
            names << e.name;
        QCOMPARE(names.first(), QString("AUTO"));
        for (const char *chip :
             {"12C508", "12C508A", "16F84", "16F84A", "16F628", "12F629", "16F88", "16F876",
              "16F876A", "18F2455", "18F2550", "18F4455", "18F4550"}) {
            const int at = int(names.indexOf(QString("PIC-") + chip));
            QVERIFY2(at > 0, chip);
            QCOMPARE(xml.SelectChip(at).DeviceChip, QString(chip));
        }

        const CatalogueLoad boards = xml.LoadOptionBoardCatalogue();
        QVERIFY2(boards.ok, qPrintable(boards.message));
        QCOMPARE(boards.entries.size(), 3);
        QCOMPARE(boards.entries[0].name, QString("Sans"));
        QCOMPARE(boards.entries[1].name, QString("OPT_Q17"));
        QCOMPARE(boards.entries[2].name, QString("OPT_Q29"));
        static const QRegularExpression hexByte("^[0-9A-F]{2}$");
        for (int i = 0; i < 3; ++i) {
            OptionBoardState board;
            xml.SelectOptionBoard(i, board);
            QCOMPARE(board.DeviceCfg.size(), 6);
            QVERIFY(hexByte.match(board.DeviceCfgP).hasMatch());
            QVERIFY(hexByte.match(board.DeviceCfgA).hasMatch());
        }
        OptionBoardState none;
        xml.SelectOptionBoard(0, none);
        QVERIFY(!none.DeviceCfg.contains('I') && !none.DeviceCfg.contains('O'));
    }
};

QTEST_GUILESS_MAIN(TestDeviceCatalogues)
#include "tst_devicecatalogues.moc"
