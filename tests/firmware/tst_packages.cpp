#include "TestSupport.h"
#include "ZipTestTools.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageDescription.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace VEK_Gestion_OS;
using TestSupport::readFile;
using TestSupport::writeFile;
using ZipTestTools::run;

class TestPackages : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    QString root;    // fresh folder per test
    QString program; // the program folder of the test, ending with "/"

    QString temp(const QString &name) const { return program + name; }
    QString packages() const { return program + "HEX_XEH/"; }

    // A package made by Info-ZIP's zip in the package folder from (member, content) pairs.
    void makePackage(const QString &name, const QList<QPair<QString, QByteArray>> &members)
    {
        const QString work = root + "/make-" + name;
        QStringList names;
        for (const auto &[member, content] : members) {
            QVERIFY(writeFile(work + '/' + member, content));
            names << member;
        }
        QVERIFY(QDir().mkpath(packages()));
        const auto made = run("zip", QStringList{"-q", packages() + name} + names, work);
        QVERIFY2(made.exitCode == 0, made.output.constData());
    }

    void writeTemps(const QByteArray &nfo, const QByteArray &hex, const QByteArray &xeh,
                    const QByteArray &vek)
    {
        for (const auto &[name, content] : {std::pair{"~TEMP.NFO", nfo},
                                            {"~TEMP.HEX", hex},
                                            {"~TEMP.XEH", xeh},
                                            {"~TEMP.VEK", vek}})
            if (!content.isNull())
                QVERIFY(writeFile(temp(name), content));
    }

    // A project written from the temporary files as no save of the program
    // would write it: only its opening is then under test.
    void saveUnchecked(const QString &project)
    {
        QList<PackageArchive::Member> members;
        for (const auto &[file, member] : {std::pair{"~TEMP.NFO", "OS.NFO"},
                                           {"~TEMP.HEX", "CODE.HEX"},
                                           {"~TEMP.XEH", "CODE.XEH"},
                                           {"~TEMP.VEK", "COURBE.VEK"}})
            members.append({temp(file), member});
        QVERIFY(PackageArchive::build(project, members).ok());
    }

    QStringList leftovers(const QString &folder) const
    {
        return QDir(folder).entryList({".vek-*"}, QDir::AllEntries | QDir::Hidden);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        VEK_LANGUAGE::SetRepertoireLangue(TestSupport::dataDirectory() + "Languages/");
        TestSupport::useFrenchTexts();
    }

    void init()
    {
        static int n = 0;
        root = tmp.path() + QStringLiteral("/t%1").arg(++n);
        program = root + "/prog/";
        QVERIFY(QDir().mkpath(program));
        SetDossierProgramme(program);
    }

    void descriptionRoundTripsEveryKey()
    {
        PackageDescription description;
        QHash<QString, QString> expected;
        int i = 0;
        for (const QString &key : PackageDescription::infoKeys()) {
            const QString value = QStringLiteral("é%1 = v ").arg(++i);
            description.setInfo(key, value);
            expected.insert("INFO/" + key, value);
        }
        for (const QString &key : PackageDescription::reglageKeys()) {
            const QString value = QStringLiteral("%1").arg(++i, 3, 16, QChar('0'));
            description.setReglage(key, value);
            expected.insert("REGLAGE/" + key, value);
        }
        description.setReglage("EXTRA", "line\r\nINJECTED=1");
        QVERIFY(description.write(temp("~TEMP.NFO")));

        InitGestionOS(QString(), "~TEMP.NFO");
        for (const QString &key : PackageDescription::infoKeys())
            QCOMPARE(LireInfoOS(key), expected.value("INFO/" + key));
        for (const QString &key : PackageDescription::reglageKeys())
            QCOMPARE(LireReglageOS(key), expected.value("REGLAGE/" + key));
        QCOMPARE(LireReglageOS("EXTRA"), QString("line INJECTED=1"));
        QCOMPARE(LireReglageOS("INJECTED"), QString());
        QCOMPARE(LireReglageOS("Module"), QString()); // keys belong to their section

        const QByteArray bytes = readFile(temp("~TEMP.NFO"));
        QVERIFY(bytes.startsWith("[INFO]\r\nModule=\xe9"
                                 "1 = v \r\nVersionOS="));
        QVERIFY(bytes.contains("\r\n[REGLAGE]\r\nTYPEBOITIER=006\r\nMODCHIP=007\r\n"));
        QVERIFY(bytes.endsWith("ADD_TABLE_H16_L2=024\r\nEXTRA=line INJECTED=1\r\n"));
    }

    void onlyExactOuiIsYes()
    {
        QVERIFY(PackageDescription::isYes("OUI"));
        for (const char *no : {"oui", "Oui", "OUI ", " OUI", "", "NON", "YES"})
            QVERIFY2(!PackageDescription::isYes(no), no);
        QCOMPARE(PackageDescription::yesNo(true), QString("OUI"));
        QCOMPARE(PackageDescription::yesNo(false), QString("NON"));
    }

    void lookUpsAreCachedUntilTheNextInit()
    {
        QVERIFY(writeFile(temp("d.nfo"), "[INFO]\r\nNomDuFichier=%1 et %2\r\n"
                                         "[REGLAGE]\r\nMODCHIP=16F628\r\n"));
        InitGestionOS(program, "d.nfo");
        QCOMPARE(LireReglageOS("modchip"), QString("16F628"));
        QCOMPARE(LireReglageOS("NOPE"), QString());
        QCOMPARE(LireInfoOS("NomDuFichier", {"%1", "A", "%2", "%1"}), QString("A et %1"));
        QVERIFY(writeFile(temp("d.nfo"), "[REGLAGE]\r\nMODCHIP=16F877\r\nNOPE=now\r\n"));
        QCOMPARE(LireReglageOS("MODCHIP"), QString("16F628"));
        QCOMPARE(LireReglageOS("nope"), QString());
        InitGestionOS(program.chopped(1), "d.nfo"); // folder without its closing slash
        QCOMPARE(LireReglageOS("MODCHIP"), QString("16F877"));
        QCOMPARE(LireReglageOS("NOPE"), QString("now"));
        InitGestionOS(program, "absent.nfo");
        QCOMPARE(LireReglageOS("MODCHIP"), QString());
    }

    void tableAddressesOfBothLayouts()
    {
        QVERIFY(writeFile(temp("old.nfo"), "[REGLAGE]\r\nADD_TABLE_BASSE_L1=\r\n"
                                           "ADD_TABLE_HAUTE_L1=999\r\nADD_TABLE_BASSE=300\r\n"
                                           "ADD_TABLE_HAUTE=500\r\nADD_TABLE_H16=1500\r\n"));
        InitGestionOS(program, "old.nfo");
        TableAddresses a = LireAdressesTables();
        QCOMPARE(QStringList({a.LTAB_L1, a.HTAB_L1, a.LTAB16_L1, a.HTAB16_L1, a.LTAB_L2, a.HTAB_L2,
                              a.LTAB16_L2, a.HTAB16_L2}),
                 QStringList({"300", "500", "0", "1500", "300", "500", "0", "1500"}));

        QVERIFY(writeFile(temp("new.nfo"), "[REGLAGE]\r\nADD_TABLE_BASSE_L1=300\r\n"
                                           "ADD_TABLE_HAUTE_L1=500\r\nADD_TABLE_BASSE_L2=700\r\n"
                                           "ADD_TABLE_HAUTE_L2=900\r\nADD_TABLE_BASSE=1\r\n"));
        InitGestionOS(program, "new.nfo");
        a = LireAdressesTables();
        QCOMPARE(QStringList({a.LTAB_L1, a.HTAB_L1, a.LTAB16_L1, a.HTAB16_L1, a.LTAB_L2, a.HTAB_L2,
                              a.LTAB16_L2, a.HTAB16_L2}),
                 QStringList({"300", "500", "0", "0", "700", "900", "0", "0"}));
    }

    void listHoldsTheFreeSettingAndUpperCasePackages()
    {
        QCOMPARE(ListerOS(), QStringList({ParametrageLibre()})); // no package folder yet
        for (const char *name : {"C.ZIP", "b.xos", "A.XOS", "Z.XOS"})
            QVERIFY(writeFile(packages() + name, "x"));
        QVERIFY(QDir().mkpath(packages() + "D.XOS")); // a folder is no package
        QCOMPARE(ListerOS(), QStringList({"Paramétrage Libre", "A.XOS", "Z.XOS"}));
    }

    void choosingAPackageUnpacksItsMembersOnly()
    {
        makePackage("P.XOS", {{"os.nfo", "[INFO]\r\nNomDuFichier=P\r\n"},
                              {"Code.Hex", ":00000001FF\r\n"},
                              {"CODE.XEH", "xeh"},
                              {"extra.txt", "never unpacked"}});
        makePackage("N.XOS", {{"OS.NFO", "[INFO]\r\nNomDuFichier=N\r\n"}, {"CODE.XEH", "n"}});

        Result r = ChargerOS("P.XOS");
        QVERIFY2(r.ok(), qPrintable(r.details));
        QCOMPARE(readFile(temp("~TEMP.NFO")), QByteArray("[INFO]\r\nNomDuFichier=P\r\n"));
        QCOMPARE(readFile(temp("~TEMP.HEX")), QByteArray(":00000001FF\r\n"));
        QCOMPARE(readFile(temp("~TEMP.XEH")), QByteArray("xeh"));

        r = ChargerOS("N.XOS"); // no CODE.HEX: the one of the package before goes
        QVERIFY(r.ok());
        QVERIFY(!QFileInfo::exists(temp("~TEMP.HEX")));
        QCOMPARE(readFile(temp("~TEMP.XEH")), QByteArray("n"));
        QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"HEX_XEH", "~TEMP.NFO", "~TEMP.XEH"}));
    }

    void hostilePackagesWriteNothingOutsideAndAreReported()
    {
        QVERIFY(writeFile(root + "/secret.txt", "secret"));
        makePackage("H.XOS", {{"OS.NFO", "[INFO]\r\n"}, {"x.txt", "escape"}, {"y.txt", "y"}});
        QVERIFY(
            ZipTestTools::renameMember(packages() + "H.XOS", "x.txt", "../../escape.txt", root));
        QVERIFY(ZipTestTools::renameMember(packages() + "H.XOS", "y.txt", root + "/abs.txt", root));
        QVERIFY(QFile::link(root + "/secret.txt", root + "/CODE.XEH"));
        const auto added = run("zip", {"-q", "-y", packages() + "H.XOS", "CODE.XEH"}, root);
        QVERIFY(added.exitCode == 0);

        const Result r = ChargerOS("H.XOS");
        QVERIFY(!r.ok());
        QCOMPARE(r.message, "Le fichier " + packages() +
                                "H.XOS ne peut pas être lu : son membre « ../../escape.txt » sort "
                                "de son dossier");
        QVERIFY2(r.details.contains("../../escape.txt"), qPrintable(r.details));
        QVERIFY(!QFileInfo::exists(temp("~TEMP.NFO"))); // nothing of it is taken
        QVERIFY(!QFileInfo::exists(temp("~TEMP.XEH")));
        QVERIFY(!QFileInfo::exists(root + "/escape.txt"));
        QVERIFY(!QFileInfo::exists(root + "/abs.txt"));
        QCOMPARE(readFile(root + "/secret.txt"), QByteArray("secret"));
        QCOMPARE(leftovers(program), QStringList());
    }

    // A package that cannot be unpacked is named with the cause in the user's
    // words, and so is a project made of the same bytes.
    void aPackageThatCannotBeUnpackedIsReported_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message"); // %1: the archive
        const auto fr = [](const char *fault, const char *reason) {
            QTest::addRow("French %s", fault)
                << "francais.ini" << fault
                << QString("Le fichier %1 ne peut pas être lu : ") + reason;
        };
        fr("not an archive", "ce n'est pas une archive zip");
        fr("cut short", "l'archive est tronquée, sa fin manque");
        fr("damaged", "l'archive est endommagée");
        fr("missing", "erreur de lecture (fichier ou dossier introuvable)");
        fr("with a link",
           "l'archive contient un membre refusé (lien, chemin hors de son dossier ou "
           "taille excessive)");
        QTest::newRow("English cut short") << "english.ini"
                                           << "cut short"
                                           << "The file %1 cannot be read: the archive is cut "
                                              "short, its end is missing";
        QTest::newRow("German not an archive") << "deutch.ini"
                                               << "not an archive"
                                               << "Die Datei %1 kann nicht gelesen werden: es ist "
                                                  "kein ZIP-Archiv";
    }

    void aPackageThatCannotBeUnpackedIsReported()
    {
        QFETCH(QString, language);
        QFETCH(QString, fault);
        QFETCH(QString, message);
        writeTemps("old", "old", "old", QByteArray());
        const QByteArray data = ZipTestTools::noise(64, 7); // stored as it is
        makePackage("BAD.XOS", {{"OS.NFO", "[INFO]\r\n"}, {"CODE.HEX", data}});
        const QString bad = packages() + "BAD.XOS";
        QByteArray bytes = readFile(bad);
        if (fault == "not an archive") {
            bytes = "not an archive";
        } else if (fault == "cut short") {
            bytes.truncate(bytes.size() - 30); // the end of the directory is lost
        } else if (fault == "damaged") {
            QVERIFY(bytes.indexOf(data) > 0);
            bytes[bytes.indexOf(data) + 3] = 'x';
        } else if (fault == "with a link") {
            QVERIFY(QFile::link(root + "/secret", root + "/CODE.XEH"));
            QCOMPARE(run("zip", {"-q", "-y", bad, "CODE.XEH"}, root).exitCode, 0);
            bytes = readFile(bad);
        }
        QVERIFY(writeFile(bad, bytes));
        const QString archive = fault == "missing" ? packages() + "GONE.XOS" : bad;
        TestSupport::useTexts(language);
        const auto french = qScopeGuard([] { TestSupport::useFrenchTexts(); });

        Result r = ChargerOS(QFileInfo(archive).fileName());
        QVERIFY(r.status > 1);
        QCOMPARE(r.message, message.arg(archive));
        QVERIFY(!r.details.isEmpty());
        for (const char *name : {"~TEMP.NFO", "~TEMP.HEX", "~TEMP.XEH"}) // as they were
            QCOMPARE(readFile(temp(name)), QByteArray("old"));

        if (fault == "missing")
            return;
        const QString project = root + "/bad.xsc";
        QVERIFY(QFile::copy(bad, project));
        writeTemps("n", "h", "x", "v");
        const ProjectResult opened = OuvrirCourbeOS(project);
        QVERIFY(opened.status > 1);
        QCOMPARE(opened.message, message.arg(project));
        QCOMPARE(opened.paquet, QString());
        QCOMPARE(ListerOS(), QStringList({ParametrageLibre(), "BAD.XOS"}));
    }

    // A project without its curve is refused for that, before any package is
    // made; the program never saves one.
    void aProjectWithoutItsCurveNamesTheMember()
    {
        writeTemps("[INFO]\r\nNomDuFichier=NoCurve\r\n", QByteArray(), "xeh", QByteArray());
        const QString project = root + "/nocurve.xsc";
        const Result saved = EnregistrerCourbeOS(project);
        QVERIFY(!saved.ok());
        QCOMPARE(saved.message, "L'enregistrement de " + project +
                                    " a échoué : relu, il ne pourrait pas être rouvert : Le "
                                    "fichier " +
                                    project +
                                    " ne peut pas être lu : l'archive ne contient pas COURBE.VEK.");
        QVERIFY(!QFileInfo::exists(project)); // none was there: none is said to be kept
        saveUnchecked(project);
        const ProjectResult opened = OuvrirCourbeOS(project);
        QVERIFY(opened.status > 1);
        QCOMPARE(opened.message, "Le fichier " + project +
                                     " ne peut pas être lu : l'archive ne contient pas COURBE.VEK");
        QCOMPARE(ListerOS(), QStringList({ParametrageLibre()}));
    }

    void aPackageThatCannotBeCreatedSaysWhy()
    {
        QVERIFY(writeFile(program + "HEX_XEH.tmp", "x"));
        SetDossierProgramme(program + "HEX_XEH.tmp/"); // the package folder cannot be made
        const Result noFolder = CreerXOS("P");
        QVERIFY(noFolder.status > 1);
        // No package of that name was there: none is said to be kept.
        QCOMPARE(noFolder.message,
                 "L'enregistrement de " + DossierPaquets() +
                     "P.XOS a échoué : erreur d'écriture (un élément du chemin n'est pas un "
                     "dossier).");
        const Result named = CreerXOS("..");
        QCOMPARE(named.details, QString("« .. » n'est pas un nom de paquet utilisable\n"));
        QCOMPARE(named.message, "L'enregistrement de " + DossierPaquets() +
                                    " a échoué : « .. » n'est pas un nom de paquet utilisable.");
    }

    void projectRoundTripRecreatesItsPackage()
    {
        writeTemps("[INFO]\r\nNomDuFichier=Proj\r\n[REGLAGE]\r\nMODCHIP=16F628\r\n", "hex", "xeh",
                   "#VEKP_COURBE 2\r\n");
        const QString project = root + "/curve.xsc";
        Result saved = EnregistrerCourbeOS(project);
        QVERIFY2(saved.ok(), qPrintable(saved.details));
        QCOMPARE(run("unzip", {"-tq", project}, root).exitCode, 0);
        QCOMPARE(run("unzip", {"-Z1", project}, root).output,
                 QByteArray("OS.NFO\nCODE.HEX\nCODE.XEH\nCOURBE.VEK\n"));
        QCOMPARE(leftovers(root), QStringList());

        EffacerTemp();
        QCOMPARE(QDir(program).entryList(QDir::Files), QStringList());
        ProjectResult opened = OuvrirCourbeOS(project);
        QVERIFY2(opened.ok(), qPrintable(opened.details));
        QCOMPARE(opened.paquet, QString("Proj.XOS"));
        QVERIFY(opened.ajouterALaListe);
        QCOMPARE(readFile(temp("~TEMP.VEK")), QByteArray("#VEKP_COURBE 2\r\n"));
        QCOMPARE(LireReglageOS("MODCHIP"), QString("16F628")); // its description is current
        QCOMPARE(ListerOS(), QStringList({ParametrageLibre(), "Proj.XOS"}));
        QCOMPARE(run("unzip", {"-Z1", packages() + "Proj.XOS"}, root).output,
                 QByteArray("OS.NFO\nCODE.HEX\nCODE.XEH\n"));

        opened = OuvrirCourbeOS(project); // the package is there now
        QCOMPARE(opened.paquet, QString("Proj.XOS"));
        QVERIFY(!opened.ajouterALaListe);
    }

    void packageNamesNeverBecomePaths()
    {
        QCOMPARE(NomFichierPaquet("VEK-MZ"), QString("VEK-MZ.XOS"));
        QCOMPARE(NomFichierPaquet("VEK-MZ.XOS"), QString("VEK-MZ.XOS"));
        QCOMPARE(NomFichierPaquet("vek.xos"), QString("vek.XOS"));
        // A name the package editor would refuse names no package: no part of it is taken.
        for (const char *refused : {"..\\..\\Windows\\evil", "/etc/cron.d/job", "A\x01/B", "..",
                                    "dir/", "", "   ", "CON:", "x*y?"})
            QCOMPARE(NomFichierPaquet(refused), QString());

        // A project whose archive names no package keeps the list as it is.
        const QString project = root + "/p.xsc";
        writeTemps(QByteArray(), QByteArray(), QByteArray(), "curve only");
        QVERIFY(EnregistrerCourbeOS(project).ok());
        QCOMPARE(run("unzip", {"-Z1", project}, root).output, QByteArray("COURBE.VEK\n"));
        const ProjectResult bare = OuvrirCourbeOS(project);
        QVERIFY(bare.ok());
        QCOMPARE(bare.paquet, QString());
        QVERIFY(!bare.ajouterALaListe);
    }

    void theFirstMemberOfANameIsTheOneUnpacked()
    {
        makePackage("D.XOS", {{"OS.NFO", "[INFO]\r\nNomDuFichier=first\r\n"},
                              {"second.nfo", "second"},
                              {"third.nfo", "third"}});
        QVERIFY(ZipTestTools::renameMember(packages() + "D.XOS", "second.nfo", "OS.NFO", root));
        QVERIFY(ZipTestTools::renameMember(packages() + "D.XOS", "third.nfo", "os.nfo", root));
        const Result r = ChargerOS("D.XOS");
        QVERIFY2(r.ok(), qPrintable(r.details));
        QCOMPARE(readFile(temp("~TEMP.NFO")), QByteArray("[INFO]\r\nNomDuFichier=first\r\n"));
        QCOMPARE(leftovers(program), QStringList());
    }

    void aNameFromAProjectNeverReplacesAPackage()
    {
        QVERIFY(writeFile(packages() + "A.XOS", "the package in place"));
        QVERIFY(writeFile(packages() + "A", "a file in place"));
        const QString project = root + "/named.xsc";
        // NUL cuts the name short for the system: "A.XOS\0.XOS" would be "A.XOS".
        for (const QByteArray &name :
             {QByteArray("../../outside"), QByteArray("A.XOS\0", 6), QByteArray("A\0x", 3),
              QByteArray("A\x01"),
              QByteArray("\x7f"
                         "A"),
              QByteArray("A\xc2\x85"
                         "B"),
              QByteArray("A\tB"), QByteArray(".."), QByteArray("dir\\.."), QByteArray("x/A..B"),
              QByteArray("dir/"), QByteArray("."), QByteArray("A/.XOS")}) {
            EffacerTemp();
            writeTemps("[INFO]\r\nNomDuFichier=" + name + "\r\n", QByteArray(), "xeh", "curve");
            QVERIFY(!EnregistrerCourbeOS(project).ok()); // it could not be opened again
            saveUnchecked(project);
            const ProjectResult opened = OuvrirCourbeOS(project);
            QVERIFY2(opened.status > 1, name.toHex().constData());
            // Read whole, refused for its name: the message says it all.
            QVERIFY2(opened.message.contains(project) && opened.details.isEmpty(),
                     qPrintable(opened.message));
            QCOMPARE(opened.paquet, QString());
            QCOMPARE(readFile(packages() + "A.XOS"), QByteArray("the package in place"));
            QCOMPARE(readFile(packages() + "A"), QByteArray("a file in place"));
            QCOMPARE(QDir(packages()).entryList(QDir::Files), QStringList({"A", "A.XOS"}));
            QVERIFY(!QFileInfo::exists(root + "/outside.XOS"));
            QVERIFY(!QFileInfo::exists(root + "/outside"));
        }
        QCOMPARE(NomFichierPaquet(QString("A.XOS") + QChar(0)), QString());

        // Nor does a package re-created under a name that is there.
        QVERIFY(CreerXOS("A").status > 1);
        QCOMPARE(readFile(packages() + "A.XOS"), QByteArray("the package in place"));
        QCOMPARE(leftovers(packages()), QStringList());
    }

    void aRefusedProjectCreatesNoPackage()
    {
        writeTemps("[INFO]\r\nNomDuFichier=Q\r\n", QByteArray(), "xeh", "curve");
        const QString project = root + "/refused.xsc";
        QVERIFY(EnregistrerCourbeOS(project).ok());
        QVERIFY(writeFile(root + "/secret.txt", "secret"));
        QVERIFY(QFile::link(root + "/secret.txt", root + "/CODE.HEX"));
        QCOMPARE(run("zip", {"-q", "-y", project, "CODE.HEX"}, root).exitCode, 0);

        const ProjectResult opened = OuvrirCourbeOS(project);
        QVERIFY(opened.status > 1);
        QCOMPARE(
            opened.message,
            "Le fichier " + project +
                " ne peut pas être lu : l'archive contient un membre refusé (lien, chemin hors de "
                "son dossier ou taille excessive)");
        QCOMPARE(opened.paquet, QString());
        QVERIFY(!opened.ajouterALaListe);
        QVERIFY(!QFileInfo::exists(packages() + "Q.XOS"));
        QCOMPARE(ListerOS(), QStringList({ParametrageLibre()}));
    }

    void aFailedSaveKeepsTheEarlierArchiveAndSaysSo()
    {
        writeTemps("[INFO]\r\nNomDuFichier=Big\r\n", QByteArray(), "small", "curve");
        const QString project = root + "/keep.xsc";
        QVERIFY(EnregistrerCourbeOS(project).ok());
        QVERIFY(CreerXOS("Big").ok());
        const QByteArray earlierProject = readFile(project);
        const QByteArray earlierPackage = readFile(packages() + "Big.XOS");

        QVERIFY(writeFile(temp("~TEMP.XEH"), ZipTestTools::noise(300000, 3)));
        {
            ZipTestTools::FileSizeLimit full(128 * 1024); // the device fills up mid-way
            const Result r = EnregistrerCourbeOS(project);
            QVERIFY(r.status > 1);
            QCOMPARE(r.message, "L'enregistrement de " + project +
                                    " a échoué : erreur d'écriture (fichier trop grand pour le "
                                    "système). Le fichier existant n'a pas été "
                                    "modifié.");
            QVERIFY2(r.details.startsWith(project + ": "), qPrintable(r.details));
            QVERIFY(CreerXOS("Big").status > 1);
        }
        QCOMPARE(readFile(project), earlierProject);
        QCOMPARE(readFile(packages() + "Big.XOS"), earlierPackage);
        QCOMPARE(leftovers(root), QStringList());
        QCOMPARE(leftovers(packages()), QStringList());

        // Folders that cannot take the archive.
        QVERIFY(QDir().mkpath(root + "/adir.xsc/inside"));
        QVERIFY(EnregistrerCourbeOS(root + "/adir.xsc").status > 1);
        QVERIFY(QFileInfo(root + "/adir.xsc/inside").isDir());
        const Result noFolder = EnregistrerCourbeOS(project + "/under-a-file.xsc");
        QVERIFY(noFolder.status > 1);
        QVERIFY(!noFolder.message.isEmpty());
        QCOMPARE(readFile(project), earlierProject);

        // Nothing at all to save is refused too, not an empty or missing archive.
        EffacerTemp();
        QVERIFY(EnregistrerCourbeOS(project).status > 1);
        QCOMPARE(readFile(project), earlierProject);
    }

    void effacerTempDeletesTheFourFilesOnly()
    {
        writeTemps("n", "h", "x", "v");
        QVERIFY(writeFile(temp("~TEMP.KEEP"), "k"));
        EffacerTemp();
        EffacerTemp(); // missing files are no error
        QCOMPARE(QDir(program).entryList(QDir::Files), QStringList({"~TEMP.KEEP"}));
    }
};

QTEST_GUILESS_MAIN(TestPackages)
#include "tst_packages.moc"
