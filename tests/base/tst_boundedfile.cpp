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

        const QString empty = dir_.filePath("empty");
        QVERIFY(TestSupport::writeFile(empty, {}));
        QVERIFY(BoundedFile::readAll(empty, 0).ok);

        // A device without end is refused, not read for ever.
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
        TestSupport::row("no such file", ENOENT, "francais.ini", "fichier ou dossier introuvable");
        TestSupport::row("not a folder", ENOTDIR, "francais.ini",
                         "un élément du chemin n'est pas un dossier");
        TestSupport::row("denied", EACCES, "francais.ini", "accès refusé");
        TestSupport::row("disk full", ENOSPC, "francais.ini", "disque plein");
        TestSupport::row("read-only", EROFS, "francais.ini",
                         "système de fichiers en lecture seule");
        TestSupport::row("read-only, German", EROFS, "deutch.ini",
                         "schreibgeschütztes Dateisystem");
        TestSupport::row("input/output error", EIO, "francais.ini",
                         "erreur d'entrée-sortie du support (défaillant ou retiré)");
        TestSupport::row("input/output error, English", EIO, "english.ini",
                         "input/output error of the medium (faulty or removed)");
        TestSupport::row("a folder", EISDIR, "francais.ini", "c'est un dossier");
        TestSupport::row("too large", EFBIG, "francais.ini", "fichier trop grand pour le système");
        TestSupport::row("name too long", ENAMETOOLONG, "francais.ini", "nom de fichier trop long");
        TestSupport::row("another error", EBUSY, "francais.ini", QString());
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

    void textFilesAboveTheirBoundAreNotRead()
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

        // Language files have their own bound.
        const QString lang = dir_.filePath("lang.ini");
        const QByteArray head = "[GLOBAL]\r\nMBAbout=read\r\n";
        QVERIFY(TestSupport::writeFile(
            lang, head + QByteArray(BoundedFile::MaxIniFileBytes - head.size(), '\n')));
        QCOMPARE(VEK_LANGUAGE::ReadIniValue(lang, "GLOBAL", "MBAbout"), QString("read"));
        QVERIFY(TestSupport::writeFile(
            lang, head + QByteArray(BoundedFile::MaxIniFileBytes - head.size() + 1, '\n')));
        QVERIFY(VEK_LANGUAGE::ReadIniValue(lang, "GLOBAL", "MBAbout").isEmpty());
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
