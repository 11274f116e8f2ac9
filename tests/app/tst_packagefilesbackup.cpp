#include "FailingWrites.h"
#include "TestSupport.h"
#include "app/FirmwareProfile.h"
#include "app/PackageFilesBackup.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/PackageArchive.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestPackageFilesBackup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::useTexts("english.ini"); }

    void restoresWhatWasThere()
    {
        QTemporaryDir dir;
        const QString nfo = dir.filePath("~TEMP.NFO"), hex = dir.filePath("~TEMP.HEX");
        QVERIFY(TestSupport::writeFile(nfo, "[INFO]\r\nNomDuFichier=A\r\n"));
        PackageFilesBackup backup({nfo, hex});
        QVERIFY(backup.save());

        // An unpacking that went wrong half way.
        QFile::remove(nfo);
        QVERIFY(TestSupport::writeFile(hex, ":00000001FF\r\n"));
        backup.restore();
        QCOMPARE(TestSupport::readFile(nfo), QByteArray("[INFO]\r\nNomDuFichier=A\r\n"));
        QVERIFY(!QFile::exists(hex));
    }

    // A package chosen while the copy of the package in use cannot be written
    // (the disk fills) is not unpacked, as nothing could put the earlier files
    // back if it were refused: the copy's failure is said, naming the file and
    // the reason, and the earlier files stay.
    void aCopyThatCannotBeMadeUnpacksNothing()
    {
        QTemporaryDir program, made;
        VEK_Gestion_OS::SetDossierProgramme(program.path() + '/');
        const QString hex = VEK_Gestion_OS::CheminTemp("~TEMP.HEX");
        const QString nfo = VEK_Gestion_OS::CheminTemp("~TEMP.NFO");
        const QByteArray oldHex(4096, 'H'), oldNfo = "[INFO]\r\nNomDuFichier=A\r\n";
        QVERIFY(TestSupport::writeFile(hex, oldHex));
        QVERIFY(TestSupport::writeFile(nfo, oldNfo));
        // A package whose description is refused: it would be undone.
        QVERIFY(
            TestSupport::writeFile(made.filePath("OS.NFO"), "[REGLAGE]\r\nLIMITE_RUPTEUR=abc\r\n"));
        QVERIFY(TestSupport::writeFile(made.filePath("CODE.HEX"), ":00000001FF\r\n"));
        QVERIFY(QDir().mkpath(VEK_Gestion_OS::DossierPaquets()));
        QVERIFY(PackageArchive::build(
                    VEK_Gestion_OS::DossierPaquets() + "B.XOS",
                    {{made.filePath("OS.NFO"), "OS.NFO"}, {made.filePath("CODE.HEX"), "CODE.HEX"}})
                    .ok());

        PackageChoice choice;
        {
            const FailingWrites full(1024); // the package's files fit, the copy does not
            choice = LoadPackageProfile("B.XOS");
        }
        QVERIFY(!choice.profile);
        QVERIFY2(choice.message.endsWith("~TEMP.HEX: file too large for the system"),
                 qPrintable(choice.message));
        QCOMPARE(TestSupport::readFile(hex), oldHex);
        QCOMPARE(TestSupport::readFile(nfo), oldNfo);
    }
};

QTEST_GUILESS_MAIN(TestPackageFilesBackup)
#include "tst_packagefilesbackup.moc"
