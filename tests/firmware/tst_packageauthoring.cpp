#include "FailingWrites.h"
#include "TestSupport.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/PackageAuthoring.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Outcome = PackageAuthoring::Outcome;

namespace {

PackageDescription desc()
{
    PackageDescription d;
    d.setInfo("Module", "d");
    return d;
}

} // namespace

class TestPackageAuthoring : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString folder;
    QStringList archived;  // bare names of the files of the last archive
    QStringList converted; // HEX paths handed to the converter
    bool archiveOk = true;
    bool conversionOk = true;

    PackageAuthoring::ArchiveWriter writer()
    {
        return [this](const QString &zip, const QStringList &files) {
            archived.clear();
            QByteArray content;
            for (const QString &f : files) {
                archived << QFileInfo(f).fileName();
                content += QFileInfo(f).fileName().toLatin1() + '\n' + TestSupport::readFile(f);
            }
            if (!archiveOk) {
                TestSupport::writeFile(zip, "partial");
                return Outcome{false, QStringLiteral("disk full")};
            }
            return Outcome{TestSupport::writeFile(zip, content), QString()};
        };
    }

    PackageAuthoring::Converter converter()
    {
        return [this](const QString &hex, const QString &xeh, const QString &) {
            converted << hex;
            if (!conversionOk)
                return Outcome{false, QStringLiteral("no end record")};
            TestSupport::writeFile(xeh, "scrambled:" + TestSupport::readFile(hex));
            return Outcome{};
        };
    }

    QString path(const QString &name) const { return folder + "/" + name; }
    QStringList files() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }

private slots:
    void init()
    {
        folder = dir.path() + "/HEX_XEH";
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        archived.clear();
        converted.clear();
        archiveOk = conversionOk = true;
    }

    void namesAndSourceKinds()
    {
        using N = PackageAuthoring::NameCheck;
        QCOMPARE(PackageAuthoring::checkName("MonOS"), N::Ok);
        QCOMPARE(PackageAuthoring::checkName("Mon OS.XOS"), N::Ok);
        QCOMPARE(PackageAuthoring::checkName(""), N::Empty);
        QCOMPARE(PackageAuthoring::checkName("../evil"), N::Unsafe);
        QCOMPARE(PackageAuthoring::checkName("a/b"), N::Unsafe);
        QCOMPARE(PackageAuthoring::checkName("a\\b"), N::Unsafe);
        QCOMPARE(PackageAuthoring::checkName(".."), N::Unsafe);
        // The one rule of package names: names other systems keep, no blanks around.
        QCOMPARE(PackageAuthoring::checkName("   "), N::Empty);
        QCOMPARE(PackageAuthoring::checkName("CON:"), N::Unsafe);
        QCOMPARE(PackageAuthoring::checkName("x*y?"), N::Unsafe);
        QCOMPARE(PackageAuthoring::checkName(" MonOS"), N::Unsafe);
        QCOMPARE(PackageAuthoring::checkName("A..B"), N::Ok);
        const PackageAuthoring os("/p/HEX_XEH", PackageKind::firmware());
        QCOMPARE(os.packagePath("MonOS"), QString("/p/HEX_XEH/MonOS.XOS"));
        QCOMPARE(os.packagePath("MonOS.xos"), QString("/p/HEX_XEH/MonOS.XOS"));
        QCOMPARE(PackageAuthoring("/p", PackageKind::update()).packagePath("M.XMJ"),
                 QString("/p/M.XMJ"));
        using S = PackageAuthoring::SourceKind;
        QCOMPARE(PackageAuthoring::sourceKind("/x/fw.hex"), S::Hex);
        QCOMPARE(PackageAuthoring::sourceKind("/x/fw.Hex"), S::Hex);
        QCOMPARE(PackageAuthoring::sourceKind("/x/FW.HEX"), S::Hex);
        QCOMPARE(PackageAuthoring::sourceKind("/x/fw.xEh"), S::Xeh);
        QCOMPARE(PackageAuthoring::sourceKind("/x/fw.bin"), S::None);
        QCOMPARE(PackageAuthoring::sourceKind(""), S::None);
    }

    void unsafeNameOrFailedConversionWritesNoPackage()
    {
        const QString source = dir.path() + "/fw.hex";
        QVERIFY(TestSupport::writeFile(source, ":1000"));
        const PackageAuthoring a(folder, PackageKind::firmware());
        QCOMPARE(a.create("../x", desc(), source, converter(), writer()).status,
                 PackageAuthoring::Result::BadName);
        QVERIFY(files().isEmpty());

        conversionOk = false;
        const auto r = a.create("MonOS", desc(), source, converter(), writer());
        QCOMPARE(r.status, PackageAuthoring::Result::ConversionFailed);
        QCOMPARE(r.error, QString("no end record"));
        QVERIFY(files().isEmpty());
    }

    void aFailedArchiveLeavesTheOldPackageWhole()
    {
        QVERIFY(TestSupport::writeFile(path("MonOS.XOS"), "old package"));
        const PackageAuthoring a(folder, PackageKind::firmware());
        archiveOk = false;
        const auto r = a.create("MonOS", desc(), QString(), converter(), writer());
        QCOMPARE(r.status, PackageAuthoring::Result::ArchiveFailed);
        QCOMPARE(r.error, QString("disk full"));
        QCOMPARE(TestSupport::readFile(path("MonOS.XOS")), QByteArray("old package"));
        QVERIFY(!QFile::exists(path("MonOS.ZIP")));

        archiveOk = true;
        QVERIFY(a.create("MonOS", desc(), QString(), converter(), writer()).ok());
        QCOMPARE(archived, QStringList{"OS.NFO"}); // no source: the description alone
        QCOMPARE(TestSupport::readFile(path("MonOS.XOS")),
                 QByteArray("OS.NFO\n[INFO]\r\nModule=d\r\n[REGLAGE]\r\n"));
    }

    // A firmware file that cannot be read is named; one the work folder
    // cannot take (a disk that fills) names the work folder, not the file.
    void firmwareCopyNamesWhatFailed()
    {
        TestSupport::useFrenchTexts();
        const PackageAuthoring a(folder, PackageKind::firmware());
        const QString gone = dir.path() + "/gone.hex";
        const auto missing = a.create("MonOS", desc(), gone, converter(), writer());
        QCOMPARE(missing.status, PackageAuthoring::Result::SourceFailed);
        QCOMPARE(missing.error, gone + ": fichier ou dossier introuvable");
        QVERIFY(!QFile::exists(path("MonOS.XOS")));

        const QString source = dir.path() + "/fw.hex";
        QVERIFY(TestSupport::writeFile(source, QByteArray(4096, 'F')));
        PackageAuthoring::Result full;
        {
            const FailingWrites limit(1024);
            full = a.create("MonOS", desc(), source, converter(), writer());
        }
        QCOMPARE(full.status, PackageAuthoring::Result::SourceFailed);
        QCOMPARE(full.error, "le dossier de travail du programme " + folder +
                                 " ne peut pas être écrit : fichier trop grand pour le système");
        QVERIFY(!QFile::exists(path("MonOS.XOS")));
    }

    void readDeletesOldWorkFilesAndAsksForKnownMembersOnly()
    {
        const PackageAuthoring a(folder, PackageKind::update());
        QVERIFY(TestSupport::writeFile(path("UPDATE.HEX"), "old"));
        QStringList asked;
        const Outcome o = a.read(
            "/p/x.XMJ", [&](const QString &zip, const QString &to, const QStringList &members) {
                asked = members;
                TestSupport::writeFile(path("MAJ.NFO"), "[INFO]\r\n");
                return Outcome{zip == "/p/x.XMJ" && to == folder, QString()};
            });
        QVERIFY(o.ok);
        QCOMPARE(asked, (QStringList{"MAJ.NFO", "UPDATE.HEX", "UPDATE.XEH"}));
        QVERIFY(!QFile::exists(path("UPDATE.HEX")));
    }

    // Any zip unpacks; one without the description is no package, and says so.
    void aZipWithoutTheDescriptionIsNotAPackage()
    {
        TestSupport::useTexts("english.ini");
        const PackageAuthoring a(folder, PackageKind::firmware());
        const Outcome o =
            a.read("/p/photos.zip", [&](const QString &, const QString &, const QStringList &) {
                TestSupport::writeFile(path("CODE.HEX"), ":00000001FF\r\n");
                return Outcome{true, QString()};
            });
        QVERIFY(!o.ok);
        QCOMPARE(o.error,
                 VEK_LANGUAGE::GetLanguageText("MessXosPasUnPaquet", {"%FICHIER%", "OS.NFO"}));
        QVERIFY(
            !QFile::exists(path("CODE.HEX"))); // nothing of it is left to be taken for a package
    }
};

QTEST_GUILESS_MAIN(TestPackageAuthoring)
#include "tst_packageauthoring.moc"
