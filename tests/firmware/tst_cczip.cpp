#include "TestSupport.h"
#include "ZipTestTools.h"
#include "firmware/ccZip.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

#include <cerrno>

using TestSupport::readFile;
using TestSupport::row;
using TestSupport::writeFile;
using ZipTestTools::run;

class TestCcZip : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    QString root; // fresh folder per test

    QString path(const QString &name) const { return root + '/' + name; }

    // An archive made by Info-ZIP's zip from files written here.
    void makeZip(const QString &archive, const QStringList &args, const QByteArray &input = {})
    {
        const auto result = run("zip", QStringList{"-q", archive} + args, root, input);
        QVERIFY2(result.exitCode == 0, result.output.constData());
    }

private slots:
    void init()
    {
        QVERIFY(tmp.isValid());
        static int n = 0;
        root = tmp.path() + QStringLiteral("/t%1").arg(++n);
        QVERIFY(QDir().mkpath(root));
    }

    void listsMembersInOrderAndTheComment()
    {
        QVERIFY(writeFile(path("one.txt"), "1"));
        QVERIFY(writeFile(path("TWO.TXT"), "2"));
        QVERIFY(writeFile(path("Three.Txt"), "3"));
        makeZip("c.zip", {"-z", "one.txt", "TWO.TXT", "Three.Txt"}, "Archive comment\n");
        makeZip("n.zip", {"one.txt", "TWO.TXT", "Three.Txt"});

        ccZip zip;
        zip.setComm("kept");
        zip.Init(path("n.zip"));
        QCOMPARE(zip.count(), 3);
        QCOMPARE(zip.GetFile(1), QString("one.txt"));
        QCOMPARE(zip.GetFile(2), QString("TWO.TXT"));
        QCOMPARE(zip.GetFile(3), QString("Three.Txt"));
        QCOMPARE(zip.GetFile(0), QString());
        QCOMPARE(zip.GetFile(4), QString());
        QCOMPARE(zip.Comm(), QString("kept")); // no archive comment: the old one stays
        QCOMPARE(zip.Level(), 5);

        zip.Init(path("c.zip"));
        QCOMPARE(zip.Comm(), QString("Archive comment"));
        QCOMPARE(zip.Col(), QStringList({"one.txt", "TWO.TXT", "Three.Txt"}));

        zip.Init(path("missing.zip")); // no archive: empty list, no error
        QCOMPARE(zip.count(), 0);
        QCOMPARE(zip.Name(), path("missing.zip"));
    }

    void extractsAllOrOneMemberWithoutRegardToCase()
    {
        QVERIFY(writeFile(path("src/Code.HEX"), ":00000001FF\r\n"));
        QVERIFY(writeFile(path("src/sub/os.nfo"), "[INFO]\r\n"));
        makeZip("p.zip", {"-r", "src"});
        ccZip zip;
        zip.Init(path("p.zip"));

        QCOMPARE(zip.Decompress(path("one"), "SRC/CODE.hex"), int32_t(ccZip::ZipOk));
        QCOMPARE(readFile(path("one/src/Code.HEX")), QByteArray(":00000001FF\r\n"));
        QVERIFY(!QFileInfo::exists(path("one/src/sub")));

        QCOMPARE(zip.Decompress(path("all"), QString()), int32_t(ccZip::ZipOk));
        QCOMPARE(readFile(path("all/src/sub/os.nfo")), QByteArray("[INFO]\r\n"));

        QCOMPARE(zip.Decompress(path("one"), "absent.txt"), int32_t(ccZip::ZipErrNotFound));
        QVERIFY(zip.GetZipInfo().contains("absent.txt"));
    }

    void emptyTargetDoesNothingAndExistingFilesAreReplaced()
    {
        QVERIFY(writeFile(path("a.txt"), "new"));
        makeZip("a.zip", {"a.txt"});
        QVERIFY(writeFile(path("out/a.txt"), "old"));
        ccZip zip;
        zip.Init(path("a.zip"));
        const QStringList before = QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QCOMPARE(zip.Decompress(QString(), QString()), int32_t(ccZip::ZipWarning));
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(zip.Decompress(path("out"), QString()), int32_t(ccZip::ZipOk));
        QCOMPARE(readFile(path("out/a.txt")), QByteArray("new"));
    }

    void refusesMembersThatLeaveTheTarget()
    {
        QVERIFY(writeFile(path("in/good.txt"), "good"));
        QVERIFY(writeFile(path("escape.txt"), "escape"));
        QVERIFY(writeFile(path("abs.txt"), "abs"));
        // Made from a subfolder, zip stores "../escape.txt" as given.
        const auto made =
            run("zip", {"-q", "../hostile.zip", "../escape.txt", "good.txt"}, path("in"));
        QVERIFY2(made.exitCode == 0, made.output.constData());
        makeZip("abs.zip", {"abs.txt", "in/good.txt"});
        QVERIFY(ZipTestTools::renameMember("abs.zip", "abs.txt", path("stolen.txt"), root));
        QFile::remove(path("escape.txt"));

        ccZip zip;
        zip.Init(path("hostile.zip"));
        QCOMPARE(zip.Col(), QStringList({"../escape.txt", "good.txt"}));
        QCOMPARE(zip.Decompress(path("out/deep"), QString()), int32_t(ccZip::ZipErrUnsafe));
        QVERIFY(zip.GetZipInfo().contains("../escape.txt"));
        QVERIFY(!QFileInfo::exists(path("out/escape.txt")));
        QCOMPARE(readFile(path("out/deep/good.txt")), QByteArray("good")); // the rest is extracted

        zip.Init(path("abs.zip"));
        QCOMPARE(zip.GetFile(1), path("stolen.txt"));
        QCOMPARE(zip.Decompress(path("out2"), QString()), int32_t(ccZip::ZipErrUnsafe));
        QVERIFY(!QFileInfo::exists(path("stolen.txt")));
        QVERIFY(!QFileInfo::exists(path("out2") + path("stolen.txt")));
        QCOMPARE(readFile(path("out2/in/good.txt")), QByteArray("good"));
    }

    void refusesLinksStoredOrFoundInTheWay()
    {
        QVERIFY(writeFile(path("outside/secret.txt"), "secret"));
        QVERIFY(writeFile(path("plain.txt"), "plain"));
        QVERIFY(QFile::link(path("outside/secret.txt"), path("link.txt")));
        makeZip("links.zip", {"-y", "link.txt", "plain.txt"});
        ccZip zip;
        zip.Init(path("links.zip"));
        QCOMPARE(zip.count(), 2);
        QCOMPARE(zip.Decompress(path("out"), QString()), int32_t(ccZip::ZipErrUnsafe));
        QVERIFY(!QFileInfo(path("out/link.txt")).isSymLink());
        QVERIFY(!QFileInfo::exists(path("out/link.txt")));
        QCOMPARE(readFile(path("out/plain.txt")), QByteArray("plain"));

        // Links already in the target folder are never followed.
        QVERIFY(writeFile(path("dir/x/plain.txt"), "inner"));
        makeZip("nested.zip", {"dir/x/plain.txt"});
        QVERIFY(QDir().mkpath(path("out3")));
        QVERIFY(QFile::link(path("outside"), path("out3/dir")));
        zip.Init(path("nested.zip"));
        QCOMPARE(zip.Decompress(path("out3"), QString()), int32_t(ccZip::ZipErrUnsafe));
        QVERIFY(!QFileInfo::exists(path("outside/x")));

        QVERIFY(QDir().mkpath(path("out4")));
        QVERIFY(QFile::link(path("outside/secret.txt"), path("out4/plain.txt")));
        zip.Init(path("links.zip"));
        QCOMPARE(zip.Decompress(path("out4"), "plain.txt"), int32_t(ccZip::ZipOk));
        QVERIFY(!QFileInfo(path("out4/plain.txt")).isSymLink());
        QCOMPARE(readFile(path("out4/plain.txt")), QByteArray("plain"));
        QCOMPARE(readFile(path("outside/secret.txt")), QByteArray("secret"));
    }

    void boundsWhatOneMemberUnpacksTo()
    {
        QVERIFY(writeFile(path("big.bin"), QByteArray(100000, 'A')));
        QVERIFY(writeFile(path("small.bin"), "small"));
        makeZip("bomb.zip", {"big.bin", "small.bin"});
        ccZip zip;
        zip.Init(path("bomb.zip"));
        zip.setMemberSizeLimit(100000 - 1); // one byte short
        QCOMPARE(zip.Decompress(path("out"), QString()), int32_t(ccZip::ZipErrTooLarge));
        QVERIFY(!QFileInfo::exists(path("out/big.bin")));
        QCOMPARE(readFile(path("out/small.bin")), QByteArray("small"));
        zip.setMemberSizeLimit(100000); // exactly its size
        QCOMPARE(zip.Decompress(path("out"), "big.bin"), int32_t(ccZip::ZipOk));
        QCOMPARE(readFile(path("out/big.bin")).size(), 100000);
    }

    void theFirstMemberOfANameWinsWhateverItsCase()
    {
        for (const char *name : {"a.bin", "b.bin", "c.bin"})
            QVERIFY(writeFile(path(name), QByteArray(3000, *name)));
        makeZip("same.zip", {"a.bin", "b.bin", "c.bin"});
        QVERIFY(ZipTestTools::renameMember(path("same.zip"), "b.bin", "a.bin", root));
        QVERIFY(ZipTestTools::renameMember(path("same.zip"), "c.bin", "./A.BIN", root));
        ccZip zip;
        zip.Init(path("same.zip"));
        QCOMPARE(zip.count(), 3);
        QCOMPARE(zip.Decompress(path("one"), "A.bin"), int32_t(ccZip::ZipOk));
        QCOMPARE(readFile(path("one/a.bin")), QByteArray(3000, 'a'));
        QCOMPARE(zip.extractedFiles(), QStringList({path("one/a.bin")}));

        QCOMPARE(zip.Decompress(path("all"), QString()), int32_t(ccZip::ZipOk));
        QCOMPARE(QDir(path("all")).entryList(QDir::Files), QStringList({"a.bin"}));
        QCOMPARE(readFile(path("all/a.bin")), QByteArray(3000, 'a'));
        QVERIFY2(zip.GetZipInfo().contains("./A.BIN: skipped"), qPrintable(zip.GetZipInfo()));
        QCOMPARE(zip.Decompress(path("none"), "./"), int32_t(ccZip::ZipErrNotFound));
        QVERIFY(!QFileInfo::exists(path("none/a.bin")));
    }

    void boundsWhatOneArchiveUnpacksTo()
    {
        for (const char *name : {"a.bin", "b.bin", "c.bin"})
            QVERIFY(writeFile(path(name), QByteArray(3000, *name)));
        makeZip("three.zip", {"a.bin", "b.bin", "c.bin"});
        ccZip zip;
        zip.Init(path("three.zip"));
        QCOMPARE(zip.totalSizeLimit(), ccZip::DefaultTotalSizeLimit);
        zip.setTotalSizeLimit(7000);
        QCOMPARE(zip.Decompress(path("out"), "a.bin"), int32_t(ccZip::ZipOk));
        QCOMPARE(zip.Decompress(path("out"), "b.bin"), int32_t(ccZip::ZipOk));
        QCOMPARE(zip.Decompress(path("out"), "c.bin"), int32_t(ccZip::ZipErrTooLarge));
        QVERIFY(zip.GetZipInfo().contains("more than 7000 bytes"));
        QVERIFY(!QFileInfo::exists(path("out/c.bin")));

        zip.Init(path("three.zip")); // the count starts again with the archive
        QCOMPARE(zip.Decompress(path("out"), "c.bin"), int32_t(ccZip::ZipOk));
    }

    void readsNoMemberPastItsDeclaredSize()
    {
        // One megabyte of zeros said to be 100 bytes, by many entries sharing it.
        using namespace ZipTestTools::Crafted;
        QList<Entry> entries;
        for (int i = 0; i < 200; ++i)
            entries << Entry{QStringLiteral("m%1.bin").arg(i), 0, 100};
        QVERIFY(writeFile(path("lie.zip"), archive({{QByteArray(1 << 20, '\0')}}, entries)));
        ccZip zip;
        zip.Init(path("lie.zip"));
        QCOMPARE(zip.count(), 200);
        zip.setTotalSizeLimit(1 << 20);
        QCOMPARE(zip.Decompress(path("out"), "m7.bin"), int32_t(ccZip::ZipErrMember));
        QVERIFY2(zip.GetZipInfo().contains("m7.bin: refused, it holds more than the 100 bytes"),
                 qPrintable(zip.GetZipInfo()));
        QCOMPARE(zip.Decompress(path("out"), QString()), int32_t(ccZip::ZipErrMember));
        QVERIFY(!zip.GetZipInfo().contains("unpacks to more than")); // 101 bytes each at most
        QCOMPARE(QDir(path("out")).entryList(QDir::Files), QStringList());
    }

    void everyByteUnpackedCountsTowardsTheArchiveBound()
    {
        // Entries sharing 200 kB whose check value is wrong: each is unpacked whole
        // before it is refused, and that work counts all the same.
        using namespace ZipTestTools::Crafted;
        QList<Entry> entries;
        for (int i = 0; i < 60; ++i)
            entries << Entry{QStringLiteral("m%1.bin").arg(i), 0, -1, true};
        QVERIFY(writeFile(path("crc.zip"),
                          archive({{ZipTestTools::noise(200000, 5), false}}, entries)));
        ccZip zip;
        zip.Init(path("crc.zip"));
        zip.setTotalSizeLimit(1000000);
        QCOMPARE(zip.Decompress(path("out"), QString()), int32_t(ccZip::ZipErrMember));
        const QString info = zip.GetZipInfo();
        QVERIFY2(info.contains("unpacks to more than 1000000 bytes"), qPrintable(info));
        QVERIFY2(!info.contains("m6.bin"), qPrintable(info)); // nothing read past the bound
        QCOMPARE(zip.Decompress(path("out"), "m50.bin"), int32_t(ccZip::ZipErrTooLarge));
        QCOMPARE(QDir(path("out")).entryList(QDir::Files), QStringList());
    }

    void oversizedArchiveIsNeitherListedNorUnpacked()
    {
        QVERIFY(writeFile(path("one.txt"), "1"));
        makeZip("big.zip", {"one.txt"});
        QFile big(path("big.zip"));
        QVERIFY(big.resize(ccZip::MaxArchiveBytes + 1)); // sparse: nothing written
        ccZip zip;
        zip.Init(path("big.zip"));
        QCOMPARE(zip.count(), 0);
        QVERIFY(zip.GetZipInfo().contains("larger than"));
        QCOMPARE(zip.Decompress(path("out"), QString()), int32_t(ccZip::ZipErrTooLarge));
        QVERIFY(!QFileInfo::exists(path("out/one.txt")));
    }

    void damagedOrForeignArchivesFail()
    {
        QVERIFY(writeFile(path("notzip.zip"), "this is not an archive"));
        ccZip zip;
        zip.Init(path("notzip.zip"));
        QCOMPARE(zip.count(), 0);
        QCOMPARE(zip.Decompress(path("out"), QString()), int32_t(ccZip::ZipErrArchive));
        QVERIFY(!zip.GetZipInfo().isEmpty());

        // A stored member with one byte changed fails its check and leaves no file.
        QVERIFY(writeFile(path("data.txt"), "0123456789abcdef"));
        makeZip("bad.zip", {"-0", "data.txt"});
        QByteArray bytes = readFile(path("bad.zip"));
        const qsizetype at = bytes.indexOf("0123456789");
        QVERIFY(at > 0);
        bytes[at] = 'X';
        QVERIFY(writeFile(path("bad.zip"), bytes));
        zip.Init(path("bad.zip"));
        QCOMPARE(zip.Decompress(path("out"), QString()), int32_t(ccZip::ZipErrMember));
        QVERIFY(!QFileInfo::exists(path("out/data.txt")));
    }

    void addedFilesAreListedTestedAndCarryCommentAndLevel()
    {
        QVERIFY(writeFile(path("src/a/OS.NFO"), QByteArray(3000, 'n')));
        QVERIFY(writeFile(path("src/b/CODE.XEH"), QByteArray(3000, 'x')));
        ccZip zip;
        zip.Init(path("new.zip"));
        zip.setComm("Paquet d'essai");
        zip.setLevel(9);
        QCOMPARE(zip.AddFile(path("src/a/OS.NFO"), 0, -1), int32_t(ccZip::ZipOk));
        zip.setLevel(0);
        QCOMPARE(zip.AddFile(path("src/b/CODE.XEH"), 0, -1), int32_t(ccZip::ZipOk));
        QCOMPARE(zip.Col(), QStringList({"OS.NFO", "CODE.XEH"}));

        QCOMPARE(run("unzip", {"-tq", "new.zip"}, root).exitCode, 0);
        const auto listing = run("zipinfo", {"new.zip"}, root).output;
        QVERIFY2(listing.contains("defX") && listing.contains("OS.NFO"), listing.constData());
        QVERIFY2(listing.contains("stor") && listing.contains("CODE.XEH"), listing.constData());
        QCOMPARE(run("unzip", {"-z", "new.zip"}, root).output.contains("Paquet d'essai"), true);
        QVERIFY(!run("unzip", {"-Z1", "new.zip"}, root).output.contains("src"));

        // Adding a file of a name already there replaces that member.
        QVERIFY(writeFile(path("src/c/OS.NFO"), "second"));
        zip.setLevel(5);
        QCOMPARE(zip.AddFile(path("src/c/OS.NFO"), 0, 1), int32_t(ccZip::ZipOk));
        ccZip again;
        again.Init(path("new.zip"));
        QCOMPARE(again.Col(), QStringList({"OS.NFO", "CODE.XEH"}));
        QCOMPARE(run("unzip", {"-p", "new.zip", "OS.NFO"}, root).output, QByteArray("second"));

        QCOMPARE(zip.AddFile(path("src/none.txt"), 0, 1), int32_t(ccZip::ZipErrNotFound));
        QCOMPARE(zip.AddFile(path("src"), 0, 1), int32_t(ccZip::ZipErrNotFound));
        QCOMPARE(zip.AddFile(path("src/b"), 1, 0), int32_t(ccZip::ZipOk));
        QVERIFY(run("unzip", {"-Z1", "new.zip"}, root).output.contains("b/CODE.XEH"));
    }

    void aFailedAddLeavesTheArchiveAsItWas()
    {
        QVERIFY(writeFile(path("first.txt"), "first"));
        QVERIFY(writeFile(path("big.bin"), ZipTestTools::noise(200000, 7)));
        ccZip zip;
        zip.Init(path("keep.zip"));
        QCOMPARE(zip.AddFile(path("first.txt"), 0, 1), int32_t(ccZip::ZipOk));
        const QByteArray before = readFile(path("keep.zip"));
        {
            ZipTestTools::FileSizeLimit full(64 * 1024);
            QCOMPARE(zip.AddFile(path("big.bin"), 0, 1), int32_t(ccZip::ZipErrWrite));
        }
        QVERIFY(!zip.GetZipInfo().isEmpty());
        QCOMPARE(readFile(path("keep.zip")), before);
        QCOMPARE(zip.Col(), QStringList({"first.txt"}));
    }

    void memberNameSafety()
    {
        for (const char *safe : {"OS.NFO", "a/b..c/./d"})
            QVERIFY2(ccZip::isSafeMemberName(safe), safe);
        for (const char *unsafe :
             {"", "/etc/passwd", "\\windows\\x", "C:/x", "a/../../b", "a\\..\\b"})
            QVERIFY2(!ccZip::isSafeMemberName(unsafe), unsafe);
    }

    // libzip's errors as the user reads them: a few causes, the system's reason
    // in the user's words where there is one.
    void errorReasonsInTheUsersWords_data()
    {
        QTest::addColumn<int>("zipError");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<QString>("reason");
        row("not a zip", ZIP_ER_NOZIP, 0, false, QString("ce n'est pas une archive zip"));
        row("checksum", ZIP_ER_CRC, 0, false, QString("l'archive est endommagée"));
        row("inconsistent", ZIP_ER_INCONS, 0, false, QString("l'archive est endommagée"));
        row("end of file", ZIP_ER_EOF, 0, false, QString("l'archive est tronquée, sa fin manque"));
        row("no such file", ZIP_ER_NOENT, 0, false,
            QString("erreur de lecture (fichier ou dossier introuvable)"));
        row("read error", ZIP_ER_READ, EIO, false,
            QString("erreur de lecture (erreur d'entrée-sortie du support "
                    "(défaillant ou retiré))"));
        row("seek while writing", ZIP_ER_SEEK, ENOSPC, true,
            QString("erreur d'écriture (disque plein)"));
        row("temporary file", ZIP_ER_TMPOPEN, EACCES, false,
            QString("erreur d'écriture (accès refusé)"));
    }

    void errorReasonsInTheUsersWords()
    {
        QFETCH(int, zipError);
        QFETCH(int, systemError);
        QFETCH(bool, writing);
        QFETCH(QString, reason);
        TestSupport::useFrenchTexts();
        QCOMPARE(
            ccZip::ErrorReason(zipError, systemError,
                               writing ? ccZip::Direction::Writing : ccZip::Direction::Reading),
            reason);
    }
};

QTEST_GUILESS_MAIN(TestCcZip)
#include "tst_cczip.moc"
