#include "FailingWrites.h"
#include "TestSupport.h"
#include "base/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <sys/stat.h>

#include <cerrno>
#include <optional>

using TestSupport::row;

// The one writer: the old file stays until the new one is whole, and a failure
// says why in the user's words and leaves nothing behind.
class TestFileWriter : public QObject
{
    Q_OBJECT

    static mode_t modeOf(const QString &path)
    {
        struct stat st = {};
        stat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    }

private slots:
    void initTestCase() { TestSupport::useTexts("english.ini"); }

    void writesAndReplacesWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("c.vek");
        const mode_t mask = umask(022);
        QVERIFY(FileWriter::WriteWhole(path, "first"));
        QCOMPARE(TestSupport::readFile(path), QByteArray("first"));
        QCOMPARE(modeOf(path), mode_t(0644)); // a new file: the usual mode under the umask

        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(FileWriter::WriteWhole(path, "second, longer"));
        umask(mask);
        QCOMPARE(TestSupport::readFile(path), QByteArray("second, longer"));
        QCOMPARE(modeOf(path), mode_t(0600)); // a replaced file keeps its mode
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"c.vek"});

        QVERIFY(FileWriter::CopyWhole(path, dir.filePath("copy.vek")));
        QCOMPARE(TestSupport::readFile(dir.filePath("copy.vek")), QByteArray("second, longer"));

        // Every name the file system takes: 255 bytes, its new file beside it too.
        const QString longest = dir.filePath(QString(251, 'c') + ".vek");
        QVERIFY(FileWriter::WriteWhole(longest, "long"));
        QVERIFY(FileWriter::WriteWhole(longest, "longer"));
        QCOMPARE(TestSupport::readFile(longest), QByteArray("longer"));
    }

    // A new file its read-back refuses never takes the old one's place.
    void readBackRefusalKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("c.vek");
        QVERIFY(TestSupport::writeFile(path, "old"));
        QByteArray seen;
        const auto check = [&seen](const QString &written) {
            seen = TestSupport::readFile(written);
            return seen == "good" ? QString() : QString("reads otherwise");
        };
        const FileWriter::Result refused = FileWriter::WriteWhole(
            path, "bad", FileWriter::Existing::Replace, {FileWriter::Kind::Curve, check});
        QVERIFY(!refused && refused.readBack);
        QCOMPARE(refused.reason, QString("reads otherwise"));
        QCOMPARE(seen, QByteArray("bad"));
        QCOMPARE(TestSupport::readFile(path), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"c.vek"});
        QVERIFY(FileWriter::WriteWhole(path, "good", FileWriter::Existing::Replace,
                                       {FileWriter::Kind::Curve, check}));
        QCOMPARE(TestSupport::readFile(path), QByteArray("good"));
    }

    // A link is written through: the file it names gets the new content, also
    // through a second link or one leading to no file yet, and every link stays.
    void writesThroughLinks_data()
    {
        QTest::addColumn<QStringList>("links"); // "name>target", c.vek written
        QTest::addColumn<QString>("written");
        row("link", QStringList{"c.vek>{dir}/files/c.vek"}, "c.vek");
        row("relative link", QStringList{"c.vek>files/c.vek"}, "c.vek");
        row("link to a link", QStringList{"first.vek>{dir}/files/c.vek", "c.vek>first.vek"},
            "c.vek");
        row("link leading to no file yet", QStringList{"c.vek>{dir}/files/new.vek"}, "new.vek");
        row("links in a ring: nothing", QStringList{"a.vek>{dir}/c.vek", "c.vek>{dir}/a.vek"},
            QString());
    }

    void writesThroughLinks()
    {
        QFETCH(QStringList, links);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("files"));
        QVERIFY(TestSupport::writeFile(dir.filePath("files/c.vek"), "old"));
        QStringList names;
        for (const QString &link : links) {
            names << link.section('>', 0, 0);
            const QString target = link.section('>', 1).replace("{dir}", dir.path());
            QVERIFY(QFile::link(target, dir.filePath(names.last())));
        }
        const FileWriter::Result result = FileWriter::WriteWhole(dir.filePath("c.vek"), "new");
        QCOMPARE(result.errnum, written.isEmpty() ? ELOOP : 0);
        // Links in a ring write nothing: the file they stand beside keeps its content.
        QCOMPARE(
            TestSupport::readFile(dir.filePath("files/" + (written.isEmpty() ? "c.vek" : written))),
            QByteArray(written.isEmpty() ? "old" : "new"));
        for (const QString &name : names)
            QVERIFY2(QFileInfo(dir.filePath(name)).isSymLink(), qPrintable(name));
        names.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), names);
        QStringList files{"c.vek", written.isEmpty() ? "c.vek" : written};
        files.removeDuplicates();
        files.sort();
        QCOMPARE(QDir(dir.filePath("files")).entryList(QDir::Files | QDir::Hidden), files);
    }

    void failuresKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("full");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<int>("errnum");
        QTest::addColumn<QString>("reason");
        row("disk fills", "c.vek", true, false, EFBIG, "file too large for the system");
        row("no such folder", "none/c.vek", false, false, ENOENT, "no such file or folder");
        row("never over an older file", "c.vek", false, true, EEXIST, "File exists");
    }

    void failuresKeepTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, full);
        QFETCH(bool, keep);
        QFETCH(int, errnum);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QByteArray old = "the curve as it was";
        QVERIFY(TestSupport::writeFile(dir.filePath("c.vek"), old));
        FileWriter::Result result;
        {
            std::optional<FailingWrites> limit;
            if (full)
                limit.emplace();
            result = FileWriter::WriteWhole(dir.filePath(name), QByteArray(4096, 'x'),
                                            keep ? FileWriter::Existing::Keep
                                                 : FileWriter::Existing::Replace);
        }
        QVERIFY(!result);
        QCOMPARE(result.errnum, errnum);
        QCOMPARE(result.reason, reason);
        QCOMPARE(TestSupport::readFile(dir.filePath("c.vek")), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"c.vek"});
    }
};

QTEST_GUILESS_MAIN(TestFileWriter)
#include "tst_filewriter.moc"
