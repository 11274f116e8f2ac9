#include "TestSupport.h"
#include "ZipTestTools.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageAuthoring.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Outcome = PackageAuthoring::Outcome;
using TestSupport::row;

// Packages built and read through the work files of the package folder.
class TestPackageAuthoring : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString folder;
    QStringList asked; // firmware files handed to the firmware writer

    PackageAuthoring::FirmwareWriter firmware(bool ok = true)
    {
        return [this, ok](const QString &source, const QString &xeh) {
            asked << source;
            if (!ok)
                return Outcome{false, QStringLiteral("no end record")};
            if (!xeh.isEmpty())
                TestSupport::writeFile(xeh, "scrambled:" + TestSupport::readFile(source));
            return Outcome{};
        };
    }

    static PackageDescription desc(const QString &name)
    {
        PackageDescription d;
        d.setInfo("Module", "d");
        d.setInfo("NomDuFichier", name);
        return d;
    }

    QString path(const QString &name) const { return folder + "/" + name; }
    QStringList files() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }

private slots:
    void initTestCase() { TestSupport::useTexts("english.ini"); }

    void init()
    {
        folder = dir.path() + "/HEX_XEH";
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        asked.clear();
    }

    // The one rule of package names: names other systems keep, no blank at either end.
    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("check");
        using N = PackageAuthoring::NameCheck;
        row("plain", QString("MonOS"), int(N::Ok));
        row("with its extension", QString("Mon OS.XOS"), int(N::Ok));
        row("dots inside", QString("A..B"), int(N::Ok));
        row("200 characters", QString(200, 'n'), int(N::Ok));
        row("201 characters", QString(201, 'n'), int(N::Unsafe));
        row("empty", QString(""), int(N::Empty));
        row("blanks", QString("   "), int(N::Empty));
        row("a blank first", QString(" MonOS"), int(N::Unsafe));
        row("a blank last", QString("MonOS "), int(N::Unsafe));
        row("parent folder", QString("../evil"), int(N::Unsafe));
        row("folder", QString("a/b"), int(N::Unsafe));
        row("back slash", QString("a\\b"), int(N::Unsafe));
        row("two dots", QString(".."), int(N::Unsafe));
        row("device", QString("CON:"), int(N::Unsafe));
        row("wildcards", QString("x*y?"), int(N::Unsafe));
    }

    void names()
    {
        QFETCH(QString, name);
        QFETCH(int, check);
        QCOMPARE(int(PackageAuthoring::checkName(name)), check);
    }

    void packagePaths()
    {
        const PackageAuthoring os("/p/HEX_XEH", PackageKind::firmware());
        QCOMPARE(os.packagePath("MonOS"), QString("/p/HEX_XEH/MonOS.XOS"));
        QCOMPARE(os.packagePath("MonOS.xos"), QString("/p/HEX_XEH/MonOS.XOS"));
        QCOMPARE(PackageAuthoring("/p", PackageKind::update()).packagePath("M.XMJ"),
                 QString("/p/M.XMJ"));
    }

    // No firmware, a refused name or a refused firmware: no package, no work file.
    void createRefusesWhatItCannotHold()
    {
        const QString source = dir.path() + "/fw.bin"; // read whatever its extension
        QVERIFY(TestSupport::writeFile(source, ":1000"));
        const PackageAuthoring a(folder, PackageKind::firmware());
        QCOMPARE(a.create("MonOS", desc("MonOS"), QString(), firmware()).status,
                 PackageAuthoring::Result::NoSource);
        QCOMPARE(a.create("../x", desc("../x"), source, firmware()).status,
                 PackageAuthoring::Result::BadName);
        QVERIFY(asked.isEmpty());
        const auto r = a.create("MonOS", desc("MonOS"), source, firmware(false));
        QCOMPARE(r.status, PackageAuthoring::Result::SourceFailed);
        QCOMPARE(r.error, QString("no end record"));
        QCOMPARE(asked, QStringList{source});
        QVERIFY(files().isEmpty());

        QVERIFY(a.create("MonOS", desc("MonOS"), source, firmware()).ok());
        QCOMPARE(files(), QStringList{"MonOS.XOS"}); // the work files went into it
    }

    // A package read is checked, its members taken as they are.
    void aPackageReadIsCheckedAndTakenAsItIs()
    {
        const PackageAuthoring a(folder, PackageKind::firmware());
        QVERIFY(TestSupport::writeFile(path("OS.NFO"), "[INFO]\r\nNomDuFichier=Lu\r\n"));
        QVERIFY(TestSupport::writeFile(path("CODE.XEH"), "as read"));
        QVERIFY(a.create("Lu", desc("Lu"), path("CODE.XEH"), firmware()).ok());
        QCOMPARE(asked, QStringList{path("CODE.XEH")});
        QVERIFY(PackageArchive::unpack(path("Lu.XOS"), {{dir.filePath("x"), "CODE.XEH"}}).ok());
        QCOMPARE(TestSupport::readFile(dir.filePath("x")), QByteArray("as read"));
    }

    // A read refused leaves the work files of the package read before.
    void aRefusedReadKeepsTheWorkFiles_data()
    {
        QTest::addColumn<QByteArray>("member");
        QTest::addColumn<QString>("why");
        row("no description", QByteArray("CODE.HEX"),
            VEK_LANGUAGE::GetLanguageText("MessXosPasUnPaquet", {"%FICHIER%", "MAJ.NFO"}));
        row("a member out of its folder", QByteArray("../MAJ.NFO"),
            QString("its member \"../MAJ.NFO\" leaves its folder"));
    }

    void aRefusedReadKeepsTheWorkFiles()
    {
        QFETCH(QByteArray, member);
        QFETCH(QString, why);
        const PackageAuthoring a(folder, PackageKind::update());
        QVERIFY(TestSupport::writeFile(path("MAJ.NFO"), "[INFO]\r\nNomDuFichier=Before\r\n"));
        QVERIFY(TestSupport::writeFile(path("UPDATE.XEH"), "before"));
        const QString zip = dir.filePath("other.XMJ");
        QVERIFY(TestSupport::writeFile(dir.filePath("m"), "[INFO]\r\n"));
        using namespace ZipTestTools::Crafted;
        QVERIFY(TestSupport::writeFile(
            zip, archive({{"[INFO]\r\n"}}, {{QString::fromLatin1(member), 0}})));
        const Outcome o = a.read(zip);
        QVERIFY(!o.ok);
        QCOMPARE(o.error, why);
        QCOMPARE(TestSupport::readFile(path("UPDATE.XEH")), QByteArray("before"));
        QCOMPARE(files(), (QStringList{"MAJ.NFO", "UPDATE.XEH"}));

        // A package: its members, and no member it lacks.
        QVERIFY(
            PackageArchive::build(dir.filePath("new.XMJ"), {{dir.filePath("m"), "MAJ.NFO"}}).ok());
        QVERIFY(a.read(dir.filePath("new.XMJ")).ok);
        QCOMPARE(files(), QStringList{"MAJ.NFO"});
        QCOMPARE(TestSupport::readFile(path("MAJ.NFO")), QByteArray("[INFO]\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestPackageAuthoring)
#include "tst_packageauthoring.moc"
