#include "TestSupport.h"
#include "base/BoundedFile.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/HexFiles.h"
#include "firmware/XehScrambling.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {

PicDevice deviceFor(const char *setting)
{
    PicDevice device;
    device.setChip(*ChipTable::fixedChip(QString::fromLatin1(setting)));
    device.InitMemoire();
    return device;
}

// Fills the chip's program words, EEPROM bytes, IDs and configuration word with
// reproducible values.
void fillImage(PicDevice &device, quint32 seed)
{
    QRandomGenerator random(seed);
    PicImage &im = device.ImagePIC;
    for (int k = 0; k < device.programByteCount() / 2; ++k)
        im.setCodeWord(k, static_cast<uint16_t>(random.bounded(0x4000)));
    for (int i = 0; i < device.eepromByteCount(); ++i)
        im.ImageEEPROM[i] = static_cast<uint8_t>(random.bounded(256));
    for (uint8_t &id : im.UserID)
        id = static_cast<uint8_t>(random.bounded(256));
    im.ConfigWord = static_cast<uint16_t>(random.bounded(0x4000));
}

QStringList lines(const QByteArray &text)
{
    QStringList out = QString::fromLatin1(text).split("\r\n");
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

// Intel HEX record with its checksum.
QByteArray record(int count, int address, int type, const QByteArray &data)
{
    QByteArray bytes;
    bytes.append(char(count)).append(char(address >> 8)).append(char(address & 0xFF));
    bytes.append(char(type)).append(data);
    uint8_t sum = 0;
    for (char c : bytes)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
    bytes.append(char(static_cast<uint8_t>(0x100 - sum)));
    return ":" + bytes.toHex().toUpper() + "\r\n";
}

bool sameImage(const PicImage &a, const PicImage &b)
{
    return a.ImageCode == b.ImageCode && a.ImageEEPROM == b.ImageEEPROM && a.UserID == b.UserID &&
           a.ConfigWord == b.ConfigWord;
}

} // namespace

class TestHexFiles : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString writeText(const QString &name, const QByteArray &text) const
    {
        const QString p = path(name);
        TestSupport::writeFile(p, text);
        return p;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        VEK_LANGUAGE::InitLanguage();
    }

    void endRecordOnly()
    {
        PicDevice device = deviceFor("PIC-16F84A");
        fillImage(device, 1);
        const PicImage before = device.ImagePIC;
        const QString p = writeText("end.hex", ":00000001FF\r\n");
        const HexFileResult r = LireFichierHex(device, p);
        QVERIFY(r.succeeded());
        QCOMPARE(r.info, QString("Importation du fichier HEX effectuée"));
        QVERIFY(r.notice.isEmpty());
        for (int k = 0; k < 1024; ++k)
            QCOMPARE(device.ImagePIC.codeWord(k), uint16_t(0x3FFF));
        QCOMPARE(device.ImagePIC.ConfigWord, uint16_t(0x3FFF));
        QVERIFY(device.ImagePIC.ImageEEPROM == before.ImageEEPROM);
        QVERIFY(device.ImagePIC.UserID == before.UserID);
        QCOMPARE(r.checksum.value(), int32_t(0x3CFE));
        QCOMPARE(device.HexFileName, p);
        QCOMPARE(device.HexTimeStamp, QFileInfo(p).lastModified());
    }

    void addressMap()
    {
        PicDevice device = deviceFor("PIC-16F84A");
        QByteArray text = record(2, 0, 4, QByteArray::fromHex("0000")); // upper address 0
        text += record(4, 0, 0, QByteArray::fromHex("05308600"));
        text += record(2, 0x7FE, 0, QByteArray::fromHex("AB2C")); // last word
        text += record(2, 0x800, 0, QByteArray::fromHex("1111")); // beyond the chip
        text += record(2, 0x010, 0, QByteArray::fromHex("00EF")); // 16 bits: an 18F word
        text += record(8, 0x4000, 0, QByteArray::fromHex("0102030405060708"));
        text += record(2, 0x400E, 0, QByteArray::fromHex("F13F"));
        // Words 0x2008 and 0x2010: no ID, no configuration word of a 16F84A.
        text += record(2, 0x4010, 0, QByteArray::fromHex("FF3F"));
        text += record(2, 0x4020, 0, QByteArray::fromHex("0000"));
        text += record(4, 0x4200, 0, QByteArray::fromHex("12003400"));
        // EEPROM bytes 0x50, 0x51 and 0xFF: past the 64 bytes of a 16F84A.
        text += record(4, 0x42A0, 0, QByteArray::fromHex("AB00CD00"));
        text += record(2, 0x43FE, 0, QByteArray::fromHex("5600"));
        text += "not a record\r\n" + record(3, 0, 2, QByteArray::fromHex("123456")); // skipped
        // Nothing after the end record is read, damaged or not.
        text +=
            ":00000001FF\r\n" + record(2, 0, 0, QByteArray::fromHex("0000")) + ":0200000000\r\n";
        const HexFileResult r = LireFichierHex(device, writeText("map.hex", text));
        QVERIFY(r.succeeded());
        const PicImage &im = device.ImagePIC;
        QCOMPARE(im.codeWord(0), uint16_t(0x3005));
        QCOMPARE(im.codeWord(1), uint16_t(0x0086));
        QCOMPARE(im.codeWord(1023), uint16_t(0x2CAB));
        QCOMPARE(im.ImageCode[0x800], uint8_t(0));
        QCOMPARE(im.UserID[7], uint8_t(8));
        QCOMPARE(im.ConfigWord, uint16_t(0x3FF1));
        QCOMPARE(im.ImageEEPROM[0], uint8_t(0x12));
        QCOMPARE(im.ImageEEPROM[1], uint8_t(0x34));
        QCOMPARE(im.ImageEEPROM[2], uint8_t(0xFF));
        QCOMPARE(im.ImageEEPROM[0x50], uint8_t(0)); // not loaded
        QCOMPARE(im.ImageEEPROM[255], uint8_t(0));
        // The words given inside the chip; what the chip cannot hold (a word
        // past its 1024 words, EEPROM bytes past its 64, configuration words it
        // has not, a word of 16 bits) is named, each kind on a line.
        QCOMPARE(r.wordsGiven.count(true), 4);
        QVERIFY(r.wordsGiven.testBit(0) && r.wordsGiven.testBit(1) && r.wordsGiven.testBit(1023));
        QCOMPARE(r.wordsOutside, (QList<HexFileResult::WordRun>{{0x400, 0x400}}));
        QCOMPARE(r.eepromOutside, (QList<HexFileResult::WordRun>{{0x50, 0x51}, {0xFF, 0xFF}}));
        QCOMPARE(r.configOutside,
                 (QList<HexFileResult::WordRun>{{0x2008, 0x2008}, {0x2010, 0x2010}}));
        QCOMPARE(r.wordsTooWide, (QList<HexFileResult::WordRun>{{8, 8}}));
        const QString file = path("map.hex");
        const QString notLoaded =
            "1 mots du fichier " + file +
            " sont hors de la mémoire de programme du PIC 16F84A (0x0000-0x03FF) et ne sont pas "
            "chargés : 0x0400.\n3 octets EEPROM du fichier " +
            file +
            " sont hors de l'EEPROM du PIC 16F84A (0x00-0x3F) et ne sont pas chargés : "
            "0x50-0x51, 0xFF.\n2 mots de la zone de configuration du fichier " +
            file +
            " ne sont ni les ID ni le mot de configuration du PIC 16F84A et ne sont pas chargés : "
            "0x2008, 0x2010.\n1 mots du fichier " +
            file + " dépassent les 14 bits des mots du PIC 16F84A : 0x0008.";
        QCOMPARE(r.info, "Importation du fichier HEX effectuée\n" + notLoaded);
        QCOMPARE(r.notice, notLoaded);
        QCOMPARE(device.wordsOutsideChip, notLoaded);

        // Past 64 KiB nothing is a word of these chips: the data after an
        // upper address lies outside, it does not land at word 0.
        text = record(2, 0, 4, QByteArray::fromHex("0001")) +
               record(2, 0, 0, QByteArray::fromHex("0528")) + ":00000001FF\r\n";
        const HexFileResult upper = LireFichierHex(device, writeText("upper.hex", text));
        QCOMPARE(device.ImagePIC.codeWord(0), uint16_t(0x3FFF));
        QCOMPARE(upper.wordsOutside, (QList<HexFileResult::WordRun>{{0x8000, 0x8000}}));
    }

    // Small files whose records land where the chip may not take them.
    void recordsLandWhereTheChipTakesThem()
    {
        const auto load = [this](PicDevice &device, auto read, const QByteArray &records) {
            return read(device, writeText("land.hex", records + ":00000001FF\r\n"), {});
        };
        // Byte addresses from 0x8000 up and configuration bytes from 0x80 up are
        // plain numbers: dropped or stored, never an overflow.
        PicDevice f876 = deviceFor("PIC-16F876A");
        HexFileResult r = load(f876, &LireFichierHex,
                               record(16, 0xFFF8, 0, QByteArray(16, '\x77')) +
                                   record(2, 0x8000, 0, QByteArray::fromHex("AAAA")) +
                                   record(2, 0x400E, 0, QByteArray::fromHex("FFFF")));
        QVERIFY(r.succeeded());
        QCOMPARE(f876.ImagePIC.ConfigWord, uint16_t(0xFFFF));
        QCOMPARE(f876.ImagePIC.codeWord(0), uint16_t(0x3FFF));
        QCOMPARE(r.checksum.value(), f876.CalculChecksum(0x3FFF & 0x3BFF));

        // A chip without EEPROM takes none of the file's EEPROM bytes.
        PicDevice c508 = deviceFor("PIC-12C508A");
        r = load(c508, &LireFichierHex, record(2, 0x4204, 0, QByteArray::fromHex("4100")));
        QCOMPARE(r.notice, "1 octets EEPROM du fichier " + path("land.hex") +
                               " ne sont pas chargés : le PIC 12C508A n'a pas d'EEPROM (0x02).");

        for (auto read : {&LireFichierHex, &LireFichierXeh}) {
            // Files written by earlier versions put a 12F chip's word at 0x1FFE.
            PicDevice f629 = deviceFor("PIC-12F629");
            QVERIFY(
                load(f629, read, record(2, 0x1FFE, 0, QByteArray::fromHex("8431"))).succeeded());
            QCOMPARE(f629.ImagePIC.ConfigWord, uint16_t(0x3184));
            // A chip name outside the known families with a program size: both
            // readers still blank the program area to the word 0x3FFF.
            PicDevice other;
            other.setChip({"10F200", 0, 256, 0});
            other.InitMemoire(); // words of 0x0000 for an unknown family
            QVERIFY(load(other, read, QByteArray()).succeeded());
            for (int k = 0; k < 256; ++k)
                QCOMPARE(other.ImagePIC.codeWord(k), uint16_t(0x3FFF));
            QCOMPARE(other.ImagePIC.codeWord(256), uint16_t(0));
        }

        // Outside the program area a long scrambled record is no trouble
        // (inside, it is refused: refusedFileKeepsImage).
        PicDevice f84 = deviceFor("PIC-16F84A");
        QVERIFY(
            load(f84, &LireFichierXeh, record(17, 0x4000, 0, QByteArray(17, '\x01'))).succeeded());
        // A record that starts inside the program area but not on a block
        // boundary has destinations beyond it: each is checked, none is written.
        f84.ImagePIC.ImageCode.fill(0x55);
        f84.InitMemoire();
        QVERIFY(load(f84, &LireFichierXeh, record(8, 0x7F8, 0, QByteArray(8, '\x00'))).succeeded());
        for (int a = 0x800; a < 0x810; ++a)
            QCOMPARE(f84.ImagePIC.ImageCode[a], uint8_t(0x55));

        // An extended address of 0xFFFF and a record at the top of its 64 KiB:
        // the bytes past 4 GiB are outside the image, not at the reset vector.
        PicDevice f18 = deviceFor("PIC-18F2455");
        QVERIFY(load(f18, &LireFichierHex,
                     record(2, 0x0000, 4, QByteArray::fromHex("FFFF")) +
                         record(4, 0xFFFE, 0, QByteArray::fromHex("A1A2A3A4")))
                    .succeeded());
        for (int a = 0; a < f18.programByteCount(); ++a)
            QCOMPARE(f18.ImagePIC.ImageCode[a], uint8_t(0xFF));
    }

    // A file that is missing, too large or damaged before its end record is
    // refused whole: the image, its file name and date stay as they were, and
    // the text says why (for a damaged record, on which line).
    void refusedFileKeepsImage_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<QByteArray>("text"); // null: no file
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("info"); // %1: the file's path

        const int open = int(HexFileStatus::OpenFailed);
        const int read = int(HexFileStatus::ReadFailed);
        const int damaged = int(HexFileStatus::DamagedRecord);
        const QByteArray huge = ":00000001FF\r\n" + QByteArray(BoundedFile::MaxHexFileBytes, '\n');
        const QString tooLarge = QString("Le fichier %1 n'est pas lu : il dépasse %2 octets.")
                                     .arg("%1", QString::number(BoundedFile::MaxHexFileBytes));
        // Line 3 is damaged; whole, it reads :0400100004030201E2.
        const auto third = [](const QByteArray &line) {
            return ":020000040000FA\r\n"
                   "\r\n" +
                   line + "\r\n" + record(4, 0x20, 0, "\x01\x02\x03\x04") + ":00000001FF\r\n";
        };
        const QString checksum =
            "Fichier %1 refusé : la somme de contrôle de la ligne 3 est fausse.";
        const QString length =
            "Fichier %1 refusé : la ligne 3 n'a pas la longueur que donne son nombre d'octets.";
        const QString notHex = "Fichier %1 refusé : la ligne 3 contient en colonne %2 un caractère "
                               "qui n'est pas un chiffre hexadécimal.";
        for (const bool scrambled : {false, true}) {
            const char *kind = scrambled ? "XEH" : "HEX";
            const auto row = [kind](const char *name) -> QTestData & {
                return QTest::addRow("%s %s", kind, name);
            };
            row("missing")
                << scrambled << QByteArray() << open
                << QString("Lecture impossible du fichier %1 : fichier ou dossier introuvable");
            row("oversized") << scrambled << huge << read << tooLarge;
            row("wrong checksum") << scrambled << third(":0400100004030201E3") << damaged
                                  << checksum;
            row("checksum missing") << scrambled << third(":0400100004030201") << damaged << length;
            row("record cut short") << scrambled << third(":040010000403") << damaged << length;
            row("one byte too many")
                << scrambled << third(":040010000403020100E2") << damaged << length;
            row("odd digit count")
                << scrambled << third(":0400100004030201E20") << damaged << length;
            row("bare colon") << scrambled << third(":") << damaged << length;
            row("letter O for a zero")
                << scrambled << third(":04001000O4030201E2") << damaged << notHex.arg("%1", "10");
            row("space inside") << scrambled << third(":04001000 04030201E2") << damaged
                                << notHex.arg("%1", "10");
            row("trailing space") << scrambled << third(":0400100004030201E2 ") << damaged
                                  << notHex.arg("%1", "20");
            row("damaged end record")
                << scrambled << third(":0400100004030201E2").replace(":00000001FF", ":00000001FE")
                << damaged << "Fichier %1 refusé : la somme de contrôle de la ligne 5 est fausse.";
        }
        QTest::newRow("XEH program record over 16 bytes")
            << true
            << ":020000040000FA\r\n" + record(17, 0, 0, QByteArray(17, '\x01')) + ":00000001FF\r\n"
            << int(HexFileStatus::RecordTooLong)
            << "Fichier %1 refusé : l'enregistrement de programme de la ligne 2 contient plus de "
               "16 "
               "octets.";
    }
    void refusedFileKeepsImage()
    {
        QFETCH(bool, scrambled);
        QFETCH(QByteArray, text);
        QFETCH(int, status);
        QFETCH(QString, info);
        const QString file = text.isNull() ? path("no/such/file.hex") : writeText("bad.hex", text);
        PicDevice device = deviceFor("PIC-16F628");
        fillImage(device, 2);
        device.HexFileName = "previous.hex";
        const QDateTime stamp = device.HexTimeStamp = QDateTime(QDate(2001, 2, 3), QTime(4, 5));
        const PicImage before = device.ImagePIC;

        const HexFileResult r = (scrambled ? LireFichierXeh : LireFichierHex)(device, file, {});
        QCOMPARE(int(r.status), status);
        QCOMPARE(r.info, info.arg(file));
        QVERIFY(!r.imageReplaced());
        QVERIFY(sameImage(device.ImagePIC, before));
        QCOMPARE(device.HexFileName, QString("previous.hex"));
        QCOMPARE(device.HexTimeStamp, stamp);
    }

    // A file without its end record still gives the image what its records
    // hold; the text names the file and the line it stops at.
    void noEndRecord_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("info"); // %1: the file's path
        QTest::addColumn<int>("word1");    // -1: not checked
        const QByteArray cut = record(2, 2, 0, QByteArray::fromHex("FF00")) + "\x1a";
        const QString stops =
            "Fichier %1 corrompu : il s'arrête à la ligne 2 sans enregistrement de fin.";
        const QString empty = "Fichier %1 vide : il ne contient aucun enregistrement.";
        QTest::newRow("HEX cut short") << false << cut << stops << 0x00FF;
        QTest::newRow("XEH cut short") << true << cut << stops << -1;
        QTest::newRow("HEX empty") << false << QByteArray("") << empty << 0x3FFF;
        QTest::newRow("XEH empty") << true << QByteArray("") << empty << 0x3FFF;
        QTest::newRow("HEX of blank lines") << false << QByteArray("\r\n \r\n") << empty << 0x3FFF;
        QTest::newRow("HEX without a record")
            << false << QByteArray("\r\nnot a record\r\n")
            << "Fichier %1 refusé : il ne contient aucun enregistrement HEX ; sa ligne 2 est "
               "« not a record »."
            << 0x3FFF;
        QTest::newRow("XEH of binary bytes")
            << true << QByteArrayLiteral("PK\x03\x04\x14\0\0\0\x08\0\xe9t")
            << "Fichier %1 refusé : il ne contient aucun enregistrement HEX ; sa ligne 1 est "
               "« PK········ét »."
            << 0x3FFF;
    }

    void noEndRecord()
    {
        QFETCH(bool, scrambled);
        QFETCH(QByteArray, text);
        QFETCH(QString, info);
        QFETCH(int, word1);
        PicDevice device = deviceFor("PIC-16F84");
        fillImage(device, 5);
        const QString p = writeText(scrambled ? "noend.xeh" : "noend.hex", text);
        const HexFileResult r = (scrambled ? LireFichierXeh : LireFichierHex)(device, p, {});
        QCOMPARE(r.status, HexFileStatus::NoEndRecord);
        QCOMPARE(r.info, info.arg(p));
        QVERIFY(r.checksum.has_value());
        QCOMPARE(device.HexFileName, p);
        if (word1 >= 0)
            QCOMPARE(device.ImagePIC.codeWord(1), uint16_t(word1));
    }

    void writerLayout()
    {
        PicDevice device = deviceFor("PIC-16F84A");
        device.ImagePIC.ConfigWord = 0x3FF1;
        device.ImagePIC.ImageEEPROM[0] = 0x12;
        QVERIFY(EcrireFichierHex(device, path("w.hex")).succeeded());
        const QStringList l = lines(TestSupport::readFile(path("w.hex")));
        QCOMPARE(l.size(), 140);
        QCOMPARE(l.first(), QString(":020000040000FA"));
        QCOMPARE(l[1], QString(":10000000FF3FFF3FFF3FFF3FFF3FFF3FFF3FFF3F00"));
        QCOMPARE(l[128], QString(":1007F000FF3FFF3FFF3FFF3FFF3FFF3FFF3FFF3F09"));
        QCOMPARE(l[129], QString(":084000007F7F7F7F7F7F7F7FC0"));
        QCOMPARE(l[130], QString(":02400E00F13F80"));
        QCOMPARE(l[131], QString(":104200001200FF00FF00FF00FF00FF00FF00FF00A3"));
        QCOMPARE(l.last(), QString(":00000001FF"));

        PicDevice c12 = deviceFor("PIC-12C508A");
        c12.ImagePIC.ConfigWord = 0x0FEA;
        QVERIFY(EcrireFichierHex(c12, path("c12.hex")).succeeded());
        QVERIFY(lines(TestSupport::readFile(path("c12.hex"))).contains(":021FFE00EA0FE8"));

        // The 14-bit 12F chips keep their word at 0x2007, where the assemblers put it.
        PicDevice f12 = deviceFor("PIC-12F629");
        f12.ImagePIC.ConfigWord = 0x31C4;
        for (auto write : {&EcrireFichierHex, &EcrireFichierXeh}) {
            QVERIFY(write(f12, path("f12.hex")).succeeded());
            const QStringList f12Lines = lines(TestSupport::readFile(path("f12.hex")));
            QVERIFY(f12Lines.contains(":02400E00C431BB"));
            QVERIFY(!f12Lines.join(' ').contains(":021FFE"));
        }

        PicDevice none; // no chip: address, ID and end records only
        QVERIFY(EcrireFichierHex(none, path("none.hex")).succeeded());
        QCOMPARE(lines(TestSupport::readFile(path("none.hex"))).size(), 3);
    }

    void roundTrips_data()
    {
        QTest::addColumn<QString>("chip");
        for (const char *chip : {"PIC-16F84A", "PIC-12C508A", "PIC-12F629", "PIC-16F876A"})
            QTest::newRow(chip) << QString(chip);
    }
    void roundTrips()
    {
        QFETCH(QString, chip);
        PicDevice device;
        device.setChip(*ChipTable::fixedChip(chip));
        device.InitMemoire();
        fillImage(device, 3);
        const PicImage written = device.ImagePIC;

        QVERIFY(EcrireFichierXeh(device, path("rt.xeh")).succeeded());
        PicDevice back = device;
        back.InitMemoire();
        const HexFileResult r = LireFichierXeh(back, path("rt.xeh"));
        QVERIFY(r.succeeded());
        QCOMPARE(r.info, QString("Importation du fichier de mise à jour effectuée"));
        QVERIFY(sameImage(back.ImagePIC, written));

        QVERIFY(EcrireFichierHex(device, path("rt.hex")).succeeded());
        back.InitMemoire();
        QVERIFY(LireFichierHex(back, path("rt.hex")).succeeded());
        QVERIFY(sameImage(back.ImagePIC, written));

        // Plain and scrambled files differ only in the program and EEPROM data.
        const QStringList plain = lines(TestSupport::readFile(path("rt.hex")));
        const QStringList scrambled = lines(TestSupport::readFile(path("rt.xeh")));
        QCOMPARE(plain.size(), scrambled.size());
        int differing = 0;
        for (int i = 0; i < plain.size(); ++i) {
            QCOMPARE(plain[i].left(9), scrambled[i].left(9));
            differing += plain[i] != scrambled[i];
            if (plain[i].startsWith(":084000") || plain[i].startsWith(":02400E") ||
                plain[i].startsWith(":021FFE"))
                QCOMPARE(plain[i], scrambled[i]);
        }
        QVERIFY(differing > plain.size() / 2);
    }

    void scramblingIsABijection()
    {
        using namespace XehScrambling;
        std::array<bool, 16> seen{};
        for (uint8_t offset : PositionTable) {
            QVERIFY(offset < 16);
            QVERIFY(!seen[offset]);
            seen[offset] = true;
        }
        for (uint8_t key : {OddAddressKey, EvenAddressKey}) {
            std::array<bool, 256> images{};
            for (int b = 0; b < 256; ++b) {
                const uint8_t s = scramble(uint8_t(b), key);
                QCOMPARE(unscramble(s, key), uint8_t(b));
                images[s] = true;
            }
            QVERIFY(std::all_of(images.begin(), images.end(), [](bool b) { return b; }));
        }
    }

    // Records worked out by hand from the format's rules. Program block 0 holds
    // the bytes 00 to 0F in order; data position i carries the image byte at the
    // block offset given by entry i of the position table (11 4 14 1 8 15 2 9 6
    // 13 0 7 12 3 10 5), stored as (b Xor K) - K with K = 5C at even and A7 at
    // odd positions:
    //   i=0  0B: 0B^5C=57, 57-5C=FB     i=1  04: 04^A7=A3, A3-A7=FC
    //   i=2  0E: 0E^5C=52, 52-5C=F6     i=3  01: 01^A7=A6, A6-A7=FF
    //   i=4  08: 08^5C=54, 54-5C=F8     i=5  0F: 0F^A7=A8, A8-A7=01
    //   i=6  02: 02^5C=5E, 5E-5C=02     i=7  09: 09^A7=AE, AE-A7=07
    //   i=8  06: 06^5C=5A, 5A-5C=FE     i=9  0D: 0D^A7=AA, AA-A7=03
    //   i=10 00: 00^5C=5C, 5C-5C=00     i=11 07: 07^A7=A0, A0-A7=F9
    //   i=12 0C: 0C^5C=50, 50-5C=F4     i=13 03: 03^A7=A4, A4-A7=FD
    //   i=14 0A: 0A^5C=56, 56-5C=FA     i=15 05: 05^A7=A2, A2-A7=FB
    // checksum: 10 + the data's sum ACE = ADE, 100 - DE = 22; the same block at
    // address 10 sums to AEE, checksum 12. EEPROM bytes take A7 and a plain 00
    // after each: 12^A7=B5, B5-A7=0E; 3A^A7=9D, 9D-A7=F6; FF^A7=58, 58-A7=B1;
    // checksum 10+42 + 0E+F6+6*B1 = 57C, 100 - 7C = 84.
    void scrambledRecordsWorkedByHand()
    {
        const QString program = ":10000000FBFCF6FFF8010207FE0300F9F4FDFAFB22";
        const QString eeprom = ":104200000E00F600B100B100B100B100B100B10084";
        PicDevice device = deviceFor("PIC-16F84A");
        for (int b = 0; b < 16; ++b)
            device.ImagePIC.ImageCode[b] = uint8_t(b);
        device.ImagePIC.ImageEEPROM[0] = 0x12;
        device.ImagePIC.ImageEEPROM[1] = 0x3A;
        QVERIFY(EcrireFichierXeh(device, path("hand.xeh")).succeeded());
        const QStringList written = lines(TestSupport::readFile(path("hand.xeh")));
        QCOMPARE(written.value(1), program);
        QCOMPARE(written.value(131), eeprom);

        // Read back from the hand-made text, the same block moved to 0x10.
        QByteArray text = program.toLatin1() + "\r\n";
        text += ":10001000FBFCF6FFF8010207FE0300F9F4FDFAFB12\r\n";
        text += eeprom.toLatin1() + "\r\n:00000001FF\r\n";
        PicDevice back = deviceFor("PIC-16F84A");
        QVERIFY(LireFichierXeh(back, writeText("hand-read.xeh", text)).succeeded());
        for (int b = 0; b < 32; ++b)
            QCOMPARE(back.ImagePIC.ImageCode[b], uint8_t(b % 16));
        QCOMPARE(back.ImagePIC.ImageEEPROM[0], uint8_t(0x12));
        QCOMPARE(back.ImagePIC.ImageEEPROM[1], uint8_t(0x3A));
        QCOMPARE(back.ImagePIC.ImageEEPROM[2], uint8_t(0xFF));
    }

    void family18()
    {
        PicDevice device = deviceFor("PIC-18F2455");
        QByteArray text = record(4, 0x0010, 0, QByteArray::fromHex("01020304"));
        text += record(2, 0x5FFF, 0, QByteArray::fromHex("AABB")); // one byte inside
        text += record(2, 0x0001, 4, QByteArray::fromHex("0030")); // configuration area
        text += record(2, 0x0000, 0, QByteArray::fromHex("1234"));
        text += ":00000001FF\r\n";
        const HexFileResult r = LireFichierHex(device, writeText("f18.hex", text));
        QVERIFY(r.succeeded());
        QCOMPARE(r.notice, VEK_LANGUAGE::GetLanguageText("MessHexFamille18Lecture"));
        QVERIFY(!r.notice.isEmpty());
        const PicImage &im = device.ImagePIC;
        QCOMPARE(im.ImageCode[0x10], uint8_t(1));
        QCOMPARE(im.ImageCode[0x13], uint8_t(4));
        QCOMPARE(im.ImageCode[0x5FFF], uint8_t(0xAA));
        QCOMPARE(im.ImageCode[0x6000], uint8_t(0x00)); // beyond the chip
        QCOMPARE(im.ImageCode[0], uint8_t(0xFF));      // not moved by the 04 record

        for (auto write : {&EcrireFichierHex, &EcrireFichierXeh}) {
            const HexFileResult w = write(device, path("f18-out.hex"));
            QCOMPARE(w.status, HexFileStatus::Family18Refused);
            QCOMPARE(w.info, VEK_LANGUAGE::GetLanguageText("MessHexFamille18Ecriture"));
            QVERIFY(!QFileInfo::exists(path("f18-out.hex")));
        }
    }

    void unwritableTarget()
    {
        PicDevice device = deviceFor("PIC-16F84A");
        const HexFileResult r = EcrireFichierHex(device, path("missing-folder/x.hex"));
        QCOMPARE(r.status, HexFileStatus::WriteFailed);
        QCOMPARE(r.info, "Écriture impossible du fichier " + path("missing-folder/x.hex") +
                             " : fichier ou dossier introuvable");
    }

    // Independent readers see the same bytes in what we write.
    void readByOtherTools()
    {
        PicDevice device = deviceFor("PIC-16F628");
        fillImage(device, 5);
        const QString hex = path("tools.hex");
        QVERIFY(EcrireFichierHex(device, hex).succeeded());

        QByteArray expected(0x4200 + 2 * 128, '\0');
        for (int a = 0; a < 4096; ++a)
            expected[a] = char(device.ImagePIC.ImageCode[a]);
        for (int i = 0; i < 8; ++i)
            expected[0x4000 + i] = char(device.ImagePIC.UserID[i]);
        expected[0x400E] = char(device.ImagePIC.ConfigWord & 0xFF);
        expected[0x400F] = char(device.ImagePIC.ConfigWord >> 8);
        for (int i = 0; i < 128; ++i)
            expected[0x4200 + 2 * i] = char(device.ImagePIC.ImageEEPROM[i]);

        int toolsRun = 0;
        const QString objcopy = QStandardPaths::findExecutable("objcopy");
        if (!objcopy.isEmpty()) {
            QProcess p;
            p.start(objcopy, {"-I", "ihex", "-O", "binary", hex, path("objcopy.bin")});
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitCode(), 0);
            QCOMPARE(TestSupport::readFile(path("objcopy.bin")), expected);
            ++toolsRun;
        }
        const QString srecCat = QStandardPaths::findExecutable("srec_cat");
        if (!srecCat.isEmpty()) {
            // srec_cat checks every record's checksum while it reads.
            QProcess p;
            p.start(srecCat, {hex, "-intel", "-fill", "0x00", "0", QString::number(expected.size()),
                              "-o", path("srec.bin"), "-binary"});
            QVERIFY(p.waitForFinished(30000));
            QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
            QCOMPARE(TestSupport::readFile(path("srec.bin")), expected);
            ++toolsRun;
        }
        if (toolsRun == 0)
            QSKIP("neither objcopy (binutils) nor srec_cat (srecord) is installed");
    }

    // A program assembled by gpasm loads into the words its listing shows.
    void readsAssemblerOutput()
    {
        const QString gpasm = QStandardPaths::findExecutable("gpasm");
        if (gpasm.isEmpty())
            QSKIP("gpasm (gputils) is not installed");
        const QString source = writeText("prog.asm", "\tlist p=16f84a\n"
                                                     "\tinclude \"p16f84a.inc\"\n"
                                                     "\t__config _XT_OSC & _WDT_OFF & _PWRTE_ON\n"
                                                     "\torg 0\n"
                                                     "\tmovlw 0x05\n"
                                                     "\tmovwf PORTB\n"
                                                     "loop\tcall table\n"
                                                     "\tgoto loop\n"
                                                     "\torg 0x300\n"
                                                     "table\taddwf PCL,F\n"
                                                     "\tretlw 0x12\n"
                                                     "\tretlw 0xFF\n"
                                                     "\torg 0x3FF\n"
                                                     "\tsleep\n"
                                                     "\t__idlocs 0x1234\n"
                                                     "\torg 0x2100\n"
                                                     "\tde 0x12, 0x34\n"
                                                     "\tend\n");
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(gpasm, {"-o", path("prog.hex"), source});
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardOutput().constData());

        PicDevice device = deviceFor("PIC-16F84A");
        QVERIFY(LireFichierHex(device, path("prog.hex")).succeeded());

        // Listing lines: address, then a word, or EEPROM bytes two per word.
        static const QRegularExpression word("^([0-9A-F]{4})   ((?:[0-9A-F]{4} )+)");
        static const QRegularExpression bytes("^(21[0-9A-F]{2})   ((?:[0-9A-F]{2} 00 ?)+) ");
        int checked = 0;
        const QStringList listing =
            QString::fromLatin1(TestSupport::readFile(path("prog.lst"))).split('\n');
        for (const QString &line : listing) {
            if (const auto m = word.match(line); m.hasMatch()) {
                int address = m.captured(1).toInt(nullptr, 16);
                for (const QString &w : m.captured(2).split(' ', Qt::SkipEmptyParts)) {
                    const uint16_t value = w.toUShort(nullptr, 16);
                    if (address == 0x2007) {
                        QCOMPARE(device.ImagePIC.ConfigWord, value);
                    } else if (address >= 0x2000 && address < 0x2004) {
                        const int k = 2 * (address - 0x2000);
                        QCOMPARE(device.ImagePIC.UserID[k] | device.ImagePIC.UserID[k + 1] << 8,
                                 int(value));
                    } else {
                        QCOMPARE(device.ImagePIC.codeWord(address), value);
                    }
                    ++address;
                    ++checked;
                }
            } else if (const auto e = bytes.match(line); e.hasMatch()) {
                const int first = e.captured(1).toInt(nullptr, 16) - 0x2100;
                const QStringList values = e.captured(2).split(' ', Qt::SkipEmptyParts);
                for (int i = 0; i < values.size(); i += 2)
                    QCOMPARE(device.ImagePIC.ImageEEPROM[first + i / 2],
                             uint8_t(values[i].toUInt(nullptr, 16)));
                ++checked;
            }
        }
        QVERIFY2(checked >= 13, qPrintable(QString::number(checked)));
        QCOMPARE(device.ImagePIC.codeWord(4), uint16_t(0x3FFF)); // not in the program
    }
};

QTEST_GUILESS_MAIN(TestHexFiles)
#include "tst_hexfiles.moc"
