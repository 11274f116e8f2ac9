#include "TestSupport.h"
#include "base/BoundedFile.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"

#include <QtTest>

class TestBoundedFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void readsUpToTheBoundAndRefusesOneByteMore()
    {
        const QString path = dir_.filePath("ten");
        QVERIFY(TestSupport::writeFile(path, "0123456789"));
        const BoundedFile::Read atBound = BoundedFile::readAll(path, 10);
        QVERIFY(atBound.ok);
        QCOMPARE(atBound.bytes, QByteArray("0123456789"));

        const BoundedFile::Read over = BoundedFile::readAll(path, 9);
        QVERIFY(!over.ok);
        QVERIFY(over.opened);
        QVERIFY(over.tooLarge);
        QVERIFY(over.bytes.isEmpty());
        QCOMPARE(over.error, QString(path + ": larger than 9 bytes, not read"));
    }

    void aDeviceWithoutEndIsRefusedNotReadForever()
    {
        const BoundedFile::Read endless = BoundedFile::readAll("/dev/zero", 100000);
        QVERIFY(!endless.ok);
        QVERIFY(endless.tooLarge);
    }

    void missingFileNamesItself()
    {
        const QString path = dir_.filePath("absent");
        const BoundedFile::Read missing = BoundedFile::readAll(path, 10);
        QVERIFY(!missing.ok);
        QVERIFY(!missing.opened);
        QVERIFY(!missing.tooLarge);
        QVERIFY(missing.error.startsWith(path + ": "));
        QVERIFY(missing.error.size() > path.size() + 4);
    }

    void emptyFileIsRead()
    {
        const QString path = dir_.filePath("empty");
        QVERIFY(TestSupport::writeFile(path, {}));
        QVERIFY(BoundedFile::readAll(path, 0).ok);
    }

    void textFilesAboveTheBoundAreNotRead()
    {
        const QString path = dir_.filePath("huge.ini");
        QByteArray bytes = "[GLOBAL]\r\nMBAbout=kept out\r\n";
        bytes.append(BoundedFile::MaxTextFileBytes, 'x');
        QVERIFY(TestSupport::writeFile(path, bytes));
        QStringList lines{"stale"};
        QString error;
        QVERIFY(!TextEncoding::readTextLines(path, lines, &error));
        QVERIFY(error.contains("larger than"));
        QVERIFY(VEK_LANGUAGE::ReadIniValue(path, "GLOBAL", "MBAbout").isEmpty());
    }

    void languageFilesHaveTheirOwnBound()
    {
        const QString path = dir_.filePath("lang.ini");
        const QByteArray head = "[GLOBAL]\r\nMBAbout=read\r\n";
        QVERIFY(TestSupport::writeFile(
            path, head + QByteArray(BoundedFile::MaxIniFileBytes - head.size(), '\n')));
        QCOMPARE(VEK_LANGUAGE::ReadIniValue(path, "GLOBAL", "MBAbout"), QString("read"));
        QVERIFY(TestSupport::writeFile(
            path, head + QByteArray(BoundedFile::MaxIniFileBytes - head.size() + 1, '\n')));
        QVERIFY(VEK_LANGUAGE::ReadIniValue(path, "GLOBAL", "MBAbout").isEmpty());
    }

    void keyAfterAMillionLineEndsIsFound()
    {
        // Each look-up reads the file; its lines are walked, not copied one by one.
        const QString path = dir_.filePath("blank.ini");
        QVERIFY(TestSupport::writeFile(path, "[GLOBAL]" + QByteArray(500000, '\n') +
                                                 QByteArray("\r\n").repeated(250000) +
                                                 "Last=found\r"));
        QCOMPARE(VEK_LANGUAGE::ReadIniValue(path, "global", "LAST"), QString("found"));
    }
};

QTEST_GUILESS_MAIN(TestBoundedFile)
#include "tst_boundedfile.moc"
