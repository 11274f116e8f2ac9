#include "TestSupport.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/FirmwarePackageFields.h"
#include "firmware/UpdatePackageFields.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Look-ups of one section of a description text, through the program's INI reader.
struct Description {
    QString path;
    FirmwarePackageFields::Lookup section(const char *name) const
    {
        const QString p = path;
        const QString s = QLatin1String(name);
        return [p, s](const QString &key) { return VEK_LANGUAGE::ReadIniValue(p, s, key); };
    }
};

} // namespace

class TestPackageFields : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QByteArray bytes(const PackageDescription &description)
    {
        const QString path = dir.filePath("written.nfo");
        return description.write(path) ? TestSupport::readFile(path) : QByteArray();
    }

    Description write(const QByteArray &text)
    {
        const QString path = dir.filePath("OS.NFO");
        TestSupport::writeFile(path, text);
        return {path};
    }

private slots:
    void descriptionListsEveryKeyInOrder()
    {
        FirmwarePackageFields f;
        f.Module = "VEK";
        f.VersionOS = "3.9";
        f.Author = "Jérôme";
        f.NomDuFichier = "MonOS";
        f.MODCHIP = "16F876A";
        f.FIX_NBCYL = true;
        f.VAL_NBCYL = "4";
        f.MODE3D = false;
        f.NB_COURBES = "8";
        f.COMPILATION = 88;
        f.ADD_TABLE_BASSE = {"300", "700"};
        f.ADD_TABLE_HAUTE = {"500", "900"};
        f.ADD_TABLE_B16 = {"1300", "1700"}; // hidden while the type is not 16
        const QByteArray text = bytes(f.toDescription());
        QVERIFY(text.startsWith("[INFO]\r\nModule=VEK\r\nVersionOS=3.9\r\nAuthor=J\xe9r\xf4me\r\n"
                                "AuthorEmail=\r\nNomDuFichier=MonOS\r\n[REGLAGE]\r\n"
                                "TYPEBOITIER=JDM\r\nMODCHIP=16F876A\r\nEN_SET_MOTEUR=NON\r\n"
                                "EN_SET_AVANCE=NON\r\nFIX_NBCYL=OUI\r\nVAL_NBCYL=4\r\n"));
        QVERIFY(text.endsWith("TRANSFERT=BL_INIT\r\nCOMPILATION=88\r\nHEX_ADD=\r\nHEX_LNG=\r\n"
                              "NB_COURBES=2\r\nADD_TABLE_BASSE_L1=300\r\nADD_TABLE_HAUTE_L1=500\r\n"
                              "ADD_TABLE_BASSE_L2=700\r\nADD_TABLE_HAUTE_L2=900\r\n"));
        QCOMPARE(text.count("\r\n"), 34);

        f.MODE3D = true;
        f.COMPILATION = 16;
        const QByteArray with16 = bytes(f.toDescription());
        QVERIFY(
            with16.contains("NB_COURBES=8\r\nADD_TABLE_BASSE_L1=300\r\nADD_TABLE_HAUTE_L1=500\r\n"
                            "ADD_TABLE_B16_L1=1300\r\nADD_TABLE_H16_L1=\r\n"
                            "ADD_TABLE_BASSE_L2=700"));
        QCOMPARE(with16.count("\r\n"), 38);
    }

    void readingFollowsTheDescriptionRules()
    {
        const Description d = write("[INFO]\r\nModule=M\r\n[REGLAGE]\r\nTYPEBOITIER=vek-mz300\r\n"
                                    "DWELL=oui\r\nHARDWARE=OUI\r\nCOMPILATION=12\r\n"
                                    "NB_COURBES=2\r\nADD_TABLE_BASSE=310\r\nADD_TABLE_HAUTE=510\r\n"
                                    "ADD_TABLE_B16=1310\r\n");
        const auto read =
            FirmwarePackageFields::fromDescription(d.section("INFO"), d.section("REGLAGE"), 16);
        const FirmwarePackageFields &f = read.fields;
        QCOMPARE(f.Module, QString("M"));
        QCOMPARE(f.TYPEBOITIER, QString("vek-mz300")); // the list matches it without case
        QVERIFY(!f.DWELL);                             // only "OUI" is yes
        QVERIFY(f.HARDWARE);
        QVERIFY(!read.compilationKnown);
        QCOMPARE(f.COMPILATION, 16); // the type in force stays
        QCOMPARE(f.NB_COURBES, QString("2"));
        // Older layout: line 1 empty, its addresses on line 2.
        QCOMPARE(f.ADD_TABLE_BASSE[0], QString());
        QCOMPARE(f.ADD_TABLE_BASSE[1], QString("310"));
        QCOMPARE(f.ADD_TABLE_HAUTE[1], QString("510"));
        QCOMPARE(f.ADD_TABLE_B16[1], QString()); // no option 16 chosen
        const QByteArray again = bytes(f.toDescription());
        QVERIFY(again.contains("ADD_TABLE_BASSE_L1=\r\n"));
        QVERIFY(again.contains("ADD_TABLE_BASSE_L2=310\r\n"));

        const Description d16 = write("[REGLAGE]\r\nCOMPILATION=16\r\nADD_TABLE_B16=1310\r\n");
        const auto as16 =
            FirmwarePackageFields::fromDescription(d16.section("INFO"), d16.section("REGLAGE"), 8);
        QCOMPARE(as16.fields.COMPILATION, 16);
        QCOMPARE(as16.fields.ADD_TABLE_B16[1], QString("1310"));
    }

    void updateDescriptionHasEightLines()
    {
        UpdatePackageFields u{"M", "1.2", "Me", "me@x", "MAJ1", "16F628A"};
        const QByteArray text = bytes(u.toDescription());
        QCOMPARE(text, QByteArray("[INFO]\r\nModule=M\r\nVersionOS=1.2\r\nAuthor=Me\r\n"
                                  "AuthorEmail=me@x\r\nNomDuFichier=MAJ1\r\n[REGLAGE]\r\n"
                                  "MODCHIP=16F628A\r\n"));
        const Description d = write(text);
        const UpdatePackageFields back =
            UpdatePackageFields::fromDescription(d.section("INFO"), d.section("REGLAGE"));
        QCOMPARE(bytes(back.toDescription()), text);
    }
};

QTEST_GUILESS_MAIN(TestPackageFields)
#include "tst_packagefields.moc"
