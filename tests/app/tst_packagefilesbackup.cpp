#include "TestSupport.h"
#include "app/PackageFilesBackup.h"

#include <QFile>
#include <QtTest>

class TestPackageFilesBackup : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_GUILESS_MAIN(TestPackageFilesBackup)
#include "tst_packagefilesbackup.moc"
