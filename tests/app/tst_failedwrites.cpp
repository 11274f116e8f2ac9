#include "FailingWrites.h"
#include "TestSupport.h"
#include "app/CurveFiles.h"
#include "firmware/HexFiles.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageDescription.h"
#include "firmware/TableIncludeFiles.h"
#include "firmware/ccZip.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using TestSupport::row;

// Each kind of file the program writes, over an older file of that name on a
// disk that fills: the write fails, says why and names the file where its
// message does, and the older file stays byte for byte.
class TestFailedWrites : public QObject
{
    Q_OBJECT

    enum Kind { Curve, SingleCurve, Description, Hex, Xeh, Tables, Archive, Member, Package };

    // Bytes that do not pack smaller, so that archives of them outgrow the limit.
    static QByteArray noise(int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        quint32 x = 12345;
        for (char &c : bytes) {
            x = x * 1103515245u + 12345u;
            c = char(x >> 24);
        }
        return bytes;
    }

    // An archive holding `member` with `bytes`, built before the disk fills.
    static void makeArchive(const QString &archive, const QString &folder, const QString &member,
                            const QByteArray &bytes)
    {
        QVERIFY(TestSupport::writeFile(folder + '/' + member, bytes));
        ccZip zip;
        zip.Init(archive);
        QCOMPARE(zip.AddFile(folder + '/' + member, 0, -1), int32_t(ccZip::ZipOk));
    }

    // Writes a file of `kind` at `path`; the message of the failure, empty when written.
    static QString write(Kind kind, const QString &path, const QString &other)
    {
        PicDevice device;
        device.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-16F84A")));
        switch (kind) {
        case Curve:
        case SingleCurve: {
            QString error;
            return CurveFiles::WriteAll(path, QByteArray(2048, '#'), &error) ? QString() : error;
        }
        case Description: {
            PackageDescription description;
            description.setInfo("NomDuFichier", QString(2048, 'A'));
            QString error;
            return description.write(path, &error) ? QString() : error;
        }
        case Hex:
            return EcrireFichierHex(device, path).info;
        case Xeh:
            return EcrireFichierXeh(device, path).info;
        case Tables: {
            const QStringList table(256, QStringLiteral("0x40"));
            const TableIncludeFiles::ExportResult result =
                TableIncludeFiles::Exporter({QFileInfo(path).path(),
                                             "LTAB.TXT",
                                             "HTAB.TXT",
                                             1,
                                             {"0"},
                                             {table, table, table, table}});
            return result.ok() ? QString() : result.failedPath + ": " + result.error;
        }
        case Archive: {
            ccZip zip;
            zip.Init(path);
            zip.AddFile(other, 0, -1);
            return zip.GetZipInfo();
        }
        case Member: {
            ccZip zip;
            zip.Init(other);
            return zip.Decompress(QFileInfo(path).path(), QFileInfo(path).fileName()) ==
                           ccZip::ZipOk
                       ? QString()
                       : zip.GetZipInfo();
        }
        case Package: {
            const PackageArchive::Outcome outcome =
                PackageArchive::build(path, {{other, QStringLiteral("OS.NFO")}});
            return outcome.ok() ? QString() : outcome.details;
        }
        }
        return {};
    }

private slots:
    void initTestCase() { TestSupport::useTexts("english.ini"); }

    void olderFileStays_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("named"); // the message names the file itself
        row("curve", int(Curve), QString("c.vek"), false);
        row("single curve", int(SingleCurve), QString("c.mrt"), false);
        row("package description", int(Description), QString("OS.NFO"), false);
        row("HEX export", int(Hex), QString("CODE.HEX"), true);
        row("XEH export", int(Xeh), QString("CODE.XEH"), true);
        row("table include file", int(Tables), QString("LTAB0.TXT"), true);
        row("archive", int(Archive), QString("c.zip"), true);
        row("file unpacked", int(Member), QString("OS.NFO"), true);
        row("package", int(Package), QString("c.XOS"), true);
    }

    void olderFileStays()
    {
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(bool, named);
        QTemporaryDir dir, source;
        const QString path = dir.filePath(name);
        // What each kind takes in: a file to add, an archive to unpack from.
        const QString other = source.filePath(kind == Member ? "in.zip" : "OS.NFO");
        QVERIFY(TestSupport::writeFile(source.filePath("OS.NFO"), noise(4096)));
        if (kind == Member)
            makeArchive(other, source.path() + "/m", "OS.NFO", QByteArray(4096, 'N'));
        const QByteArray old = "the older file, as it was";
        if (kind == Archive || kind == Package)
            makeArchive(path, source.path() + "/old", "OLD.TXT", old);
        else
            QVERIFY(TestSupport::writeFile(path, old));
        const QByteArray before = TestSupport::readFile(path);

        QString message;
        {
            const FailingWrites full(1024);
            message = write(Kind(kind), path, other);
        }
        QVERIFY2(message.contains("file too large for the system"), qPrintable(message));
        if (named)
            QVERIFY2(message.contains(name), qPrintable(message));
        QCOMPARE(TestSupport::readFile(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{name});
    }
};

QTEST_GUILESS_MAIN(TestFailedWrites)
#include "tst_failedwrites.moc"
