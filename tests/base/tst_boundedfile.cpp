#include "TestSupport.h"
#include "base/BoundedFile.h"
#include "base/FileFailureReason.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"

#include <QtTest>

#include <cerrno>
#include <cstring>

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
        TestSupport::useTexts("francais.ini");
        QCOMPARE(BoundedFile::userError(missing), path + ": fichier ou dossier introuvable");
    }

    // The reasons a user meets are given in the user's words, as Qt or the C
    // library word them; any other keeps the system's words.
    void systemReasonsInTheUsersWords_data()
    {
        QTest::addColumn<int>("errnum");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("words"); // empty: the system's own
        TestSupport::row("no such file", ENOENT, QString("francais.ini"),
                         QString("fichier ou dossier introuvable"));
        TestSupport::row("not a folder", ENOTDIR, QString("francais.ini"),
                         QString("un élément du chemin n'est pas un dossier"));
        TestSupport::row("denied", EACCES, QString("francais.ini"), QString("accès refusé"));
        TestSupport::row("disk full", ENOSPC, QString("francais.ini"), QString("disque plein"));
        TestSupport::row("read-only", EROFS, QString("francais.ini"),
                         QString("système de fichiers en lecture seule"));
        TestSupport::row("read-only, German", EROFS, QString("deutch.ini"),
                         QString("schreibgeschütztes Dateisystem"));
        TestSupport::row("input/output error", EIO, QString("francais.ini"),
                         QString("erreur d'entrée-sortie du support (défaillant ou retiré)"));
        TestSupport::row("input/output error, English", EIO, QString("english.ini"),
                         QString("input/output error of the medium (faulty or removed)"));
        TestSupport::row("a folder", EISDIR, QString("francais.ini"), QString("c'est un dossier"));
        TestSupport::row("too large", EFBIG, QString("francais.ini"),
                         QString("fichier trop grand pour le système"));
        TestSupport::row("name too long", ENAMETOOLONG, QString("francais.ini"),
                         QString("nom de fichier trop long"));
        TestSupport::row("another error", EBUSY, QString("francais.ini"), QString());
    }

    void systemReasonsInTheUsersWords()
    {
        QFETCH(int, errnum);
        QFETCH(QString, language);
        QFETCH(QString, words);
        TestSupport::useTexts(language);
        const QString system = QString::fromLocal8Bit(std::strerror(errnum));
        const QString expected = words.isEmpty() ? system : words;
        QCOMPARE(FileFailureReason::wording(errnum, system), expected);
        QCOMPARE(FileFailureReason::wording(system), expected);
        QCOMPARE(FileFailureReason::wording(qt_error_string(errnum)),
                 words.isEmpty() ? qt_error_string(errnum) : words);
        TestSupport::useTexts("francais.ini");
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
