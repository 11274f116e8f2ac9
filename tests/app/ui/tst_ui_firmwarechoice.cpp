#include "DialogAnswers.h"
#include "FailingWrites.h"
#include "FakePrompts.h"
#include "MainWindowRig.h"
#include "ModalAnswerer.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "ZipTestTools.h"
#include "app/ui/MainWindowCurveFiles.h"
#include "app/ui/VEK_Accueil.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageDescription.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QtTest>

using TestSupport::row;

class TestFirmwareChoice : public QObject
{
    Q_OBJECT

    QTemporaryDir program_;

    // Opens `project` through the window's Open command; the texts of the boxes it showed.
    static QStringList openedProject(VEK_Accueil &w, const QString &project)
    {
        MainWindowCurveFiles files(w);
        ModalAnswerer answers({});
        files.commands().OpenFile(project);
        return answers.texts;
    }

    static bool shown(VEK_Accueil &w, const char *name)
    {
        return !w.control<QWidget>(name)->isHidden();
    }

    // Chooses `package` in the firmware list, as a click on it does; whether
    // the window then uses it.
    static bool choose(VEK_Accueil &w, const QString &package)
    {
        QComboBox *list = w.TypeVersionOS();
        list->setCurrentIndex(list->findText(package));
        w.TypeVersionOS_Click();
        return w.context().TypeVersionOS == package;
    }

    // The text of the box refusing a package, once it is up; the box is gone after.
    static QString refusal(VEK_Accueil &w) { return MainWindowRig::takeBox(w, "FirmwareError"); }

    void makePackage(const QString &name, const QMap<QString, QString> &reglage)
    {
        PackageDescription description;
        description.setInfo("NomDuFichier", name);
        for (auto it = reglage.begin(); it != reglage.end(); ++it)
            description.setReglage(it.key(), it.value());
        const QString nfo = program_.filePath("OS.NFO");
        QVERIFY(description.write(nfo));
        QVERIFY(TestSupport::writeFile(program_.filePath("CODE.XEH"), ":00000001FF\r\n"));
        QVERIFY(
            PackageArchive::build(VEK_Gestion_OS::DossierPaquets() + name + ".XOS",
                                  {{nfo, "OS.NFO"}, {program_.filePath("CODE.XEH"), "CODE.XEH"}})
                .ok());
    }

    // The project `name` in the test's folder, of a description and a curve
    // of these texts (a null one left out); its path.
    QString makeProject(const QString &name, const QByteArray &nfo, const QByteArray &curve)
    {
        QList<PackageArchive::Member> members;
        const std::pair<QByteArray, QString> parts[] = {{nfo, "OS.NFO"}, {curve, "COURBE.VEK"}};
        for (const auto &[text, member] : parts) {
            if (text.isNull())
                continue;
            const QString file = program_.filePath("member");
            members.append({file + member, member});
            if (!TestSupport::writeFile(file + member, text))
                return {};
        }
        const QString project = program_.filePath(name);
        return PackageArchive::build(project, members).ok() ? project : QString();
    }

private slots:
    void initTestCase()
    {
        MainWindowRig::keepSettingsIn(program_.filePath("store"));
        VEK_Gestion_OS::SetDossierProgramme(program_.path());
        QDir().mkpath(VEK_Gestion_OS::DossierPaquets());
        makePackage("BOOT", {{"EN_SET_MOTEUR", "OUI"},
                             {"FIX_NBCYL", "OUI"},
                             {"VAL_NBCYL", "4"},
                             {"EN_SET_AVANCE", "OUI"},
                             {"FIX_AVSTAT", "OUI"},
                             {"VAL_AVSTAT", "10.0"},
                             {"DWELL", "NON"},
                             {"HARDWARE", "NON"},
                             {"IO_TOR", "OUI"},
                             {"MODE3D", "NON"},
                             {"TRANSFERT", "BOOTLOADER"},
                             {"MODCHIP", "AUTO"},
                             {"COMPILATION", "88"},
                             {"NB_COURBES", "4"},
                             {"ADD_TABLE_BASSE", "310"}});
        makePackage("ODD", {{"NB_COURBES", "x"}, {"VAL_NBCYL", "5"}, {"VAL_AVSTAT", "200"}});
        makePackage("PROG", {{"TRANSFERT", "ICSP"}, {"MODCHIP", "PIC-16F628"}});
        makePackage("FIRST", {{"TRANSFERT", "BL_INIT"}, {"MODCHIP", "PIC-16F876A"}});
        makePackage("COMPAT", {{"TRANSFERT", "KORVALx"}});
        makePackage("HUGE", {{"NB_COURBES", QString(400, '9')}, {"COMPILATION", "8"}});
        // A package that cannot be unpacked.
        QVERIFY(TestSupport::writeFile(VEK_Gestion_OS::DossierPaquets() + "DAMAGED.XOS", "PK?"));
    }

    void packageThenFreeSetting()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        QComboBox *list = w.TypeVersionOS();
        QCOMPARE(list->count(), 8);
        QCOMPARE(list->currentIndex(), 0);

        QVERIFY(choose(w, "BOOT.XOS"));
        QVERIFY(shown(w, "FrameMoteur"));
        QVERIFY(!shown(w, "FrameDwell") && !shown(w, "FrameHardware"));
        QVERIFY(!shown(w, "FrameTableMap") && !shown(w, "PicMap"));
        QVERIFY(!shown(w, "FrameLED") && !shown(w, "BP_OpenPort") && !shown(w, "FrameKT5"));
        QVERIFY(!w.control<QComboBox>("NbCylindres")->isEnabled());
        QCOMPARE(w.control<QComboBox>("NbCylindres")->currentText(), QString("4"));
        QVERIFY(!w.control<QLineEdit>("Txt_av_statique")->isEnabled());
        QCOMPARE(w.control<QLineEdit>("Txt_av_statique")->text(), QString("10.0"));
        const MainSettings &s = w.settings();
        QCOMPARE(s.TypeCompilation, int16_t(88));
        QCOMPARE(s.ICSPNbTables, QString("4"));
        QCOMPARE(s.ICSPLTAB_L2, QString("310"));
        QCOMPARE(w.context().TypeTransfert, QString("BOOTLOADER"));
        // Four curves: four pressure boxes, the outer two fixed.
        const auto box = [&w](const QString &name) { return w.control<QLineEdit>(name); };
        QCOMPARE(box("tbMapAdj1")->text(), QString(" 33"));
        QCOMPARE(w.context().mapBoxes.tbMapAdj[1], QString(" 33"));
        QCOMPARE(box("tbMap3")->text(), QString("75-100"));
        QVERIFY(box("tbMapAdj0")->isReadOnly() && box("tbMapAdj3")->isReadOnly());
        QVERIFY(!box("tbMapAdj1")->isReadOnly());
        QVERIFY(box("tbMapAdj4")->isHidden() && box("tbMap8")->isHidden());

        auto *echo = w.control<QCheckBox>("chkTermEcho");
        echo->setChecked(true);
        echo->setEnabled(false);
        QVERIFY(choose(w, "Paramétrage Libre"));
        QVERIFY(shown(w, "FrameDwell") && shown(w, "FrameHardware") && shown(w, "PicMap"));
        // The free setting brings back the terminal and the live instruments,
        // usable, with the values they had.
        QVERIFY(shown(w, "FrameLED") && shown(w, "Term_Recept") && shown(w, "BP_Erraseterm"));
        for (const char *name :
             {"BP_OpenPort", "chkTermEcho", "Label5", "optAsc", "optHex", "optDec", "FrameKT5"}) {
            QVERIFY2(shown(w, name), name);
            QVERIFY2(w.control<QWidget>(name)->isEnabled(), name);
        }
        QVERIFY(echo->isChecked());
        QVERIFY(w.control<QComboBox>("NbCylindres")->isEnabled());
        QVERIFY(w.control<QLineEdit>("Txt_av_statique")->isEnabled());
        QCOMPARE(s.TypeCompilation, int16_t(8));
        QCOMPARE(s.ICSPLTAB_L2, QString("300"));
        QCOMPARE(w.context().TypeTransfert, QString("BOOTLOADER")); // kept from the package

        // Values its editor would refuse refuse the package, each one named.
        QVERIFY(!choose(w, "ODD.XOS"));
        const QString odd = "Fichier " + VEK_Gestion_OS::DossierPaquets() + "ODD.XOS (OS.NFO) : ";
        QCOMPARE(refusal(w),
                 "Ce paquet n'est pas appliqué : des valeurs de sa description sont refusées.\n" +
                     odd + "NB_COURBES : « x » n'est pas un nombre.\n" + odd +
                     "VAL_NBCYL : « 5 » n'est pas un nombre de cylindres de la liste (1, 2, 4, "
                     "6, 8).\n" +
                     odd +
                     "VAL_AVSTAT : « 200 » est hors limites : entrez un nombre de 0 à 127.5.");
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(box("tbMapAdj1")->text(), QString(" 33"));
        QVERIFY(w.control<QComboBox>("NbCylindres")->isEnabled());
    }

    // The programming button opens the window of the package's transfer type.
    void programmingButton()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        FakePrompts prompts;
        w.setTransferPrompts(&prompts);
        QStringList opened;
        w.setTransferWindowShow([&opened](QDialog &dialog) { opened << dialog.objectName(); });
        w.BP_Bootloader_Click();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.takeFirst().text,
                 QString("Aucun fichier OS n'a été sélectionné"));
        const std::pair<const char *, const char *> packages[] = {{"BOOT.XOS", "VEK_BL"},
                                                                  {"PROG.XOS", "VEK_ICSP"},
                                                                  {"FIRST.XOS", "VEK_BL_INIT"},
                                                                  {"COMPAT.XOS", "VEK_KORVAL"}};
        QStringList said;
        for (const auto &[package, window] : packages) {
            QVERIFY2(choose(w, package), package);
            prompts.messages.clear();
            w.BP_Bootloader_Click();
            QCOMPARE(opened.size() ? opened.last() : QString(), QString(window));
            for (const FakePrompts::Shown &m : std::as_const(prompts.messages))
                said << QString(window) + ": " + m.text;
        }
        QCOMPARE(opened.size(), 4);
        // A package without a chip leaves none chosen: the window says so.
        QCOMPARE(w.context().settings.ICSPChip, QString());
        QCOMPARE(said,
                 QStringList({"VEK_KORVAL: Type de transfert : KORVALx n'est pas débugger ...",
                              "VEK_KORVAL: " + VEK_LANGUAGE::GetLanguageText("ChipProbPara")}));
        w.context().TypeTransfert = "SERIE";
        prompts.messages.clear();
        w.BP_Bootloader_Click();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text,
                 QString("Type de transfert : SERIE n'est pas reconnu ..."));
        QCOMPARE(opened.size(), 4);
    }

    // A project refused is named with the cause, in the user's language: one
    // whose package has a name the package editor would refuse is refused by
    // that same rule (no part of the name taken), one that cannot be unpacked
    // or holds no curve for it. No package is made, the one in use stays.
    void aProjectRefusedIsNamed_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("project");
        QTest::addColumn<QString>("message"); // %1: the project
        const QByteArray curve = "#VEKP_COURBE 2\r\n";
        // A project of a package named `name`, its description holding `value` too.
        const auto named = [&](const QString &name, const QString &value = {}) {
            PackageDescription description;
            description.setInfo("NomDuFichier", name);
            if (!value.isEmpty())
                description.setReglage(value.section('=', 0, 0), value.section('=', 1));
            const QString nfo = program_.filePath("named.nfo");
            description.write(nfo);
            return TestSupport::readFile(
                makeProject("named.xsc", TestSupport::readFile(nfo), curve));
        };
        const QString french = "\nLe projet n'est pas ouvert : son paquet ne peut pas être rangé "
                               "sous ce nom.";
        const QString cannot = "Fichier %1 (OS.NFO) : Nom du paquet : « %2 » ne peut pas nommer "
                               "un fichier : un nom de fichier ne peut pas contenir « %3 » (ni "
                               "aucun de / \\ : * ? \" < > |).";
        row("a folder", QString("francais.ini"), named("a/b"),
            cannot.arg("%1", "a/b", "/") + french);
        row("out of the folder, English", QString("english.ini"), named("../evil"),
            QString("File %1 (OS.NFO): Package name: \"../evil\" cannot name a file: a file name "
                    "cannot hold \"/\" (nor any of / \\ : * ? \" < > |).\nThe project is not "
                    "opened: its package cannot be kept under that name."));
        row("a device", QString("francais.ini"), named("CON:"),
            cannot.arg("%1", "CON:", ":") + french);
        row("wildcards", QString("francais.ini"), named("x*y?"),
            cannot.arg("%1", "x*y?", "*") + french);
        row("no name", QString("francais.ini"), named(""),
            "Fichier %1 (OS.NFO) : Nom du paquet : aucune valeur n'est donnée." + french);
        // A package the list would refuse is not made from the project either.
        row("a value refused", QString("francais.ini"), named("Valeurs", "LIMITE_RUPTEUR=-5"),
            QString("Ce paquet n'est pas appliqué : des valeurs de sa description sont refusées."
                    "\nFichier %1 (OS.NFO) : LIMITE_RUPTEUR : « -5 » n'est pas accepté : entrez un "
                    "nombre entier de 1 à 99999.\nLe projet n'est pas ouvert et son paquet n'est "
                    "pas créé."));
        const QByteArray notAnArchive = "not an archive";
        row("French text", QString("francais.ini"), notAnArchive,
            QString("Le fichier %1 ne peut pas être lu : ce n'est pas une archive zip"));
        row("English text", QString("english.ini"), notAnArchive,
            QString("The file %1 cannot be read: it is not a zip archive"));
        const QByteArray noCurve = TestSupport::readFile(
            makeProject("nocurve.xsc", "[INFO]\r\nNomDuFichier=NoCurve\r\n", {}));
        row("French without a curve", QString("francais.ini"), noCurve,
            QString("Le fichier %1 ne peut pas être lu : l'archive ne contient pas COURBE.VEK"));
        row("Spanish without a curve", QString("spanish.ini"), noCurve,
            QString("No se puede leer el archivo %1: el archivo zip no contiene COURBE.VEK"));
        // Refused naming the member, not taken for a project without it.
        using namespace ZipTestTools::Crafted;
        const QByteArray table = "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n";
        row("French, a curve out of its folder", QString("francais.ini"),
            archive({{table}}, {{"../COURBE.VEK", 0}}),
            QString("Le fichier %1 ne peut pas être lu : son membre « ../COURBE.VEK » sort de son "
                    "dossier"));
        row("English, a description past its bound", QString("english.ini"),
            archive({{table}, {"[INFO]\r\n" + QByteArray(1100000, ';')}},
                    {{"COURBE.VEK", 0}, {"OS.NFO", 1}}),
            QString("The file %1 cannot be read: its member OS.NFO is larger than 1048576 bytes"));
    }

    void aProjectRefusedIsNamed()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, project);
        QFETCH(QString, message);
        const QString path = program_.filePath("refused.xsc");
        QVERIFY(TestSupport::writeFile(path, project));
        const QStringList packages = QDir(VEK_Gestion_OS::DossierPaquets()).entryList(QDir::Files);
        VEK_Accueil w;
        w.Form_Load(false);
        TestSupport::useTexts(language);
        const auto french = qScopeGuard([] { TestSupport::useTexts("francais.ini"); });
        QCOMPARE(openedProject(w, path), QStringList{message.arg(path)});
        QCOMPARE(QDir(VEK_Gestion_OS::DossierPaquets()).entryList(QDir::Files), packages);
        QCOMPARE(w.TypeVersionOS()->currentIndex(), 0);
    }

    // What a project saved now carries of the package: its description.
    QByteArray savedDescription(VEK_Accueil &w)
    {
        const QString project = program_.filePath("next.xsc");
        MainWindowCurveFiles files(w);
        if (!files.commands().SaveFile(project, CurveFiles::Kind::Project))
            return "not saved";
        const QString nfo = program_.filePath("saved.nfo");
        if (!PackageArchive::unpack(project, {{nfo, "OS.NFO"}}).ok())
            return "not read";
        return TestSupport::readFile(nfo);
    }

    // A package refused when it is picked (one that cannot be unpacked, a
    // value out of range, a data folder that cannot take it, one a project
    // could not carry, in the words a project gives) is named, with the cause
    // and no details in English; the package in use stays, its values and
    // its files, and a project saved next carries that one.
    void aPackageRefusedLeavesThePackageInUse_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("package"); // empty: the one made at the start
        QTest::addColumn<bool>("full");          // the data folder takes nothing
        QTest::addColumn<QString>("message");    // %D: the package folder, %P: the data folder
        row("cannot be unpacked", QString("DAMAGED.XOS"), QByteArray(), false,
            QString("Le fichier %DDAMAGED.XOS ne peut pas être lu : ce n'est pas une archive zip"));
        row("a number out of its range", QString("HUGE.XOS"), QByteArray(), false,
            "Ce paquet n'est pas appliqué : des valeurs de sa description sont refusées.\nFichier "
            "%DHUGE.XOS (OS.NFO) : NB_COURBES : « " +
                QString(400, '9') + " » n'est pas accepté : entrez un nombre entier de 1 à 8.");
        row("the data folder full", QString("FIRST.XOS"), QByteArray(), true,
            QString("Le fichier %DFIRST.XOS n'est pas pris : le dossier de données %P ne peut pas "
                    "recevoir ses fichiers : erreur d'écriture (fichier trop grand pour le "
                    "système). Les fichiers en usage n'ont pas été modifiés."));
        // NomDuFichier, a member beside OS.NFO holding "x", bytes added to OS.NFO.
        const auto crafted = [](const QByteArray &name, const QString &member, int padding) {
            using namespace ZipTestTools::Crafted;
            QList<Entry> entries{{"OS.NFO", 0}};
            if (!member.isEmpty())
                entries.append({member, 1});
            const QByteArray nfo =
                "[INFO]\r\nNomDuFichier=" + name + "\r\n[REGLAGE]\r\n" + QByteArray(padding, ';');
            return archive({{nfo}, {"x"}}, entries);
        };
        const QString rule = "Nom du paquet : « %1 » ne peut pas nommer un fichier : ";
        const QString carried = "\nCe paquet n'est pas appliqué : un projet enregistré avec lui ne "
                                "pourrait pas être rouvert.";
        const QString edge = "un nom de fichier ne peut ni commencer par un blanc ni finir par un "
                             "blanc ou un point.";
        const QString forbidden = "un nom de fichier ne peut pas contenir « %1 » (ni aucun de / "
                                  "\\ : * ? \" < > |).";
        row("a device name", QString("CON.XOS"), crafted("CON", {}, 0), false,
            "Fichier %DCON.XOS : " + rule.arg("CON") +
                "c'est le nom d'un périphérique (CON, PRN, AUX, NUL, COM1…, LPT1…) sur d'autres "
                "systèmes." +
                carried);
        row("a character other systems refuse", QString("x<y.XOS"), crafted("xy", {}, 0), false,
            "Fichier %Dx<y.XOS : " + rule.arg("x<y") + forbidden.arg("<") + carried);
        row("a blank last", QString("tr .XOS"), crafted("tr", {}, 0), false,
            "Fichier %Dtr .XOS : " + rule.arg("tr ") + edge + carried);
        row("a blank first", QString(" sp.XOS"), crafted("sp", {}, 0), false,
            "Fichier %D sp.XOS : " + rule.arg(" sp") + edge + carried);
        row("a name a file cannot take", QString("GOODN.XOS"), crafted("a:b", {}, 0), false,
            "Fichier %DGOODN.XOS (OS.NFO) : " + rule.arg("a:b") + forbidden.arg(":") + carried);
        row("a member out of its folder", QString("ESC.XOS"), crafted("ESC", "../CODE.XEH", 0),
            false,
            QString("Le fichier %DESC.XOS ne peut pas être lu : son membre « ../CODE.XEH » sort de "
                    "son dossier"));
        row("a description past its bound", QString("BIG.XOS"), crafted("BIG", {}, 2200000), false,
            QString("Le fichier %DBIG.XOS ne peut pas être lu : son membre OS.NFO dépasse 1048576 "
                    "octets"));
    }

    void aPackageRefusedLeavesThePackageInUse()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, package);
        QFETCH(bool, full);
        QFETCH(QString, message);
        const QString path = VEK_Gestion_OS::DossierPaquets() + file;
        const auto remove = qScopeGuard([&] {
            if (!package.isEmpty())
                QFile::remove(path);
        });
        if (!package.isEmpty())
            QVERIFY(TestSupport::writeFile(path, package));
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w)); // the refusal comes over it
        QVERIFY(choose(w, "BOOT.XOS"));
        const QByteArray boot = TestSupport::readFile(VEK_Gestion_OS::CheminTemp("~TEMP.NFO"));
        QVERIFY(w.TypeVersionOS()->findText(file) > 0);
        {
            std::optional<FailingWrites> limit;
            if (full)
                limit.emplace();
            QVERIFY(!choose(w, file));
        }
        QCOMPARE(refusal(w), message.replace("%D", VEK_Gestion_OS::DossierPaquets())
                                 .replace("%P", QDir::toNativeSeparators(program_.path())));
        QCOMPARE(w.TypeVersionOS()->currentText(), QString("BOOT.XOS"));
        QCOMPARE(w.context().TypeVersionOS, QString("BOOT.XOS"));
        QCOMPARE(w.settings().TypeCompilation, int16_t(88));
        QCOMPARE(w.settings().ICSPNbTables, QString("4"));
        QCOMPARE(VEK_Gestion_OS::LireReglageOS("NB_COURBES"), QString("4"));
        QVERIFY(!shown(w, "FrameDwell"));
        QCOMPARE(TestSupport::readFile(VEK_Gestion_OS::CheminTemp("~TEMP.NFO")), boot);
        QCOMPARE(savedDescription(w), boot);
    }

    // A project refused leaves nothing of itself in what the next project save
    // carries.
    void aProjectRefusedLeavesThePackageInUse()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        QVERIFY(choose(w, "BOOT.XOS"));
        const QByteArray boot = TestSupport::readFile(VEK_Gestion_OS::CheminTemp("~TEMP.NFO"));
        // Projects refused for their package's name, and for their curve.
        for (const QString &project :
             {makeProject("badcurve.xsc", "[INFO]\r\nNomDuFichier=FIRST\r\n",
                          "#VEKP_COURBE 2\r\n#TABLE=1000\r\n"),
              makeProject("badname.xsc", "[INFO]\r\nNomDuFichier=a:b\r\n",
                          "#VEKP_COURBE 2\r\n#TABLE=1000;10;8\r\n")}) {
            QCOMPARE(openedProject(w, project).size(), 1);
            QCOMPARE(w.TypeVersionOS()->currentText(), QString("BOOT.XOS"));
            QCOMPARE(savedDescription(w), boot);
        }

        // No copy of the package in use to put back if its curve were refused:
        // the project, small enough to unpack, is not opened.
        const QString curveOnly =
            makeProject("curveonly.xsc", {}, "#VEKP_COURBE 2\r\n#TABLE=1000\r\n");
        QStringList said;
        {
            const FailingWrites full(64); // more than its curve, less than the description in use
            said = openedProject(w, curveOnly);
        }
        QCOMPARE(said,
                 QStringList{"Le projet " + curveOnly +
                             " n'est pas ouvert : une copie du paquet en usage ne peut pas "
                             "être gardée dans le dossier " +
                             QDir::toNativeSeparators(QDir::tempPath()) + " (disque plein ?)."});
        QCOMPARE(savedDescription(w), boot);
    }

    // Save of a project whose curve cannot be written to its work file (a
    // full data folder): the message names that file and why, no success is
    // said, and the project saved before stays with its curve.
    void aProjectWhoseCurveCannotBeWrittenIsNotSaved()
    {
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        VEK_Gestion_OS::EffacerTemp();
        MainWindowCurveFiles files(w);
        CurveDocument curve;
        curve.rows = {{"1000", "10", "8"}, {"2000", "20", "18"}};
        files.showCurve(curve);
        const QString project = program_.filePath("kept.xsc");
        QVERIFY(files.commands().SaveFile(project, CurveFiles::Kind::Project));
        const QByteArray before = TestSupport::readFile(project);

        for (int rpm = 800; rpm <= 9000; rpm += 25)
            curve.rows << QStringList{QString::number(rpm), "12.5", "8.5"};
        files.showCurve(curve);
        w.settings().CourbeModifie = true;
        w.L_Info()->clear();
        QStringList said;
        {
            DialogAnswers answers({project});
            const FailingWrites full(2048); // the old work file fits, the new curve does not
            QTest::mouseClick(w.control<QPushButton>("enregistrer"), Qt::LeftButton);
            QCOMPARE(answers.fileDialogs(), 1);
            said = answers.texts;
        }
        QCOMPARE(said, QStringList{"Le fichier " + project +
                                   " ne peut pas être écrit : son fichier de travail " +
                                   VEK_Gestion_OS::CheminTemp("~TEMP.VEK") +
                                   " ne peut pas être écrit : fichier trop grand pour le système. "
                                   "La courbe n'est pas enregistrée."});
        QVERIFY(w.L_Info()->text() != "Courbe enregistrée.");
        QVERIFY(w.settings().CourbeModifie);
        QCOMPARE(TestSupport::readFile(project), before);
    }

    // What a window shows and keeps of the package in use.
    static QStringList windowOf(VEK_Accueil &w)
    {
        QStringList state;
        for (const char *name : {"FrameMoteur", "FrameAvanceST", "FrameDwell", "FrameTableMap"})
            state << QString("%1 shown %2").arg(name).arg(shown(w, name));
        auto *cylinders = w.control<QComboBox>("NbCylindres");
        auto *advance = w.control<QLineEdit>("Txt_av_statique");
        state << "cylinders " + cylinders->currentText() +
                     (cylinders->isEnabled() ? " enabled" : " locked")
              << "static advance " + advance->text() +
                     (advance->isEnabled() ? " enabled" : " locked")
              << "kept advance " + w.context().moteur.Txt_av_statique
              << "rev limiter " + QString::number(w.settings().LimiteRupteur)
              << "package " + w.TypeVersionOS()->currentText();
        return state;
    }

    // A package chosen in the list and the same package opened through a
    // project give the same window, each read by the one rule of its values.
    void aPackageGivesOneWindowFromTheListAndFromAProject()
    {
        makePackage("FIXED", {{"EN_SET_MOTEUR", "OUI"},
                              {"EN_SET_AVANCE", "OUI"},
                              {"FIX_NBCYL", "OUI"},
                              {"VAL_NBCYL", "4"},
                              {"FIX_AVSTAT", "OUI"},
                              {"VAL_AVSTAT", "10,5"},
                              {"LIMITE_RUPTEUR", "7000"},
                              {"DWELL", "OUI"}});
        const QString project = program_.filePath("fixed.xsc");
        const QString note = "Des valeurs lues ne sont pas prises telles qu'écrites ; une valeur "
                             "refusée garde sa valeur précédente :\nFichier " +
                             VEK_Gestion_OS::DossierPaquets() +
                             "FIXED.XOS (OS.NFO) : VAL_AVSTAT : « 10,5 » est lu comme 10.5.";
        const auto noted = [](VEK_Accueil &w) {
            auto *box = w.findChild<QMessageBox *>("FirmwareNotes");
            return box ? box->text() : QString();
        };
        QStringList fromTheList;
        {
            VEK_Accueil w;
            w.Form_Load(false);
            QVERIFY(choose(w, "FIXED.XOS"));
            fromTheList = windowOf(w);
            QCOMPARE(fromTheList,
                     (QStringList{"FrameMoteur shown 1", "FrameAvanceST shown 1",
                                  "FrameDwell shown 1", "FrameTableMap shown 0",
                                  "cylinders 4 locked", "static advance 10.5 locked",
                                  "kept advance 10.5", "rev limiter 7000", "package FIXED.XOS"}));
            QCOMPARE(noted(w), note);
            MainWindowCurveFiles files(w);
            QVERIFY(files.commands().SaveFile(project, CurveFiles::Kind::Project));
        }
        VEK_Accueil w; // the next start
        w.Form_Load(false);
        QCOMPARE(openedProject(w, project), QStringList());
        QCOMPARE(windowOf(w), fromTheList);
        QCOMPARE(noted(w), note);
    }

    void curveAndProjectRoundTrip()
    {
        VEK_Accueil w;
        w.Form_Load(false);
        CurveDocument curve;
        curve.moteur.NbCylindres = 3;
        curve.moteur.HardXLED = 4;
        curve.moteur.MultiSparck = true;
        curve.moteur.Txt_rpm_maxi = "7100";
        curve.knockColumn = true;
        curve.rows = {{"1000", "10", "8", "6"}, {"4000", "99", "-5", "1"}};
        curve.CarteOptionNom = w.TypeCarteOption()->itemText(2).toLower();
        curve.VoiesTOR[4] = {2, 70}; // an output channel of that board: BOOST
        MainWindowCurveFiles files(w);
        files.showCurve(curve);
        QCOMPARE(w.TypeCarteOption()->currentIndex(), 2);
        QCOMPARE(w.tab_avance()->columnCount(), 4);

        const QString vek = program_.filePath("round.Vek");
        QVERIFY(files.commands().SaveFile(vek, CurveFiles::Kind::Curve));
        QVERIFY(!w.settings().CourbeModifie);
        QVERIFY(choose(w, "BOOT.XOS"));
        const QString project = program_.filePath("round");
        QVERIFY(files.commands().SaveFile(project, CurveFiles::Kind::Project));
        const CurveDocument saved = files.currentCurve();

        files.startNewCurve();
        QCOMPARE(w.tab_avance()->rowCount(), 0);
        QCOMPARE(w.TypeVersionOS()->currentIndex(), 0);
        // The advances out of range (99, -5) open with one message naming the
        // project's curve and the line of row 2 in it (after the header, 22
        // parameter lines, the knock line and row 1).
        ModalAnswerer answers({});
        files.commands().OpenFile(project + ".xsc");
        QCOMPARE(answers.texts.size(), 1);
        QCOMPARE(answers.texts.first(),
                 "Fichier " + project +
                     ".xsc (COURBE.VEK) : la courbe chargée contient des valeurs inutilisables ; "
                     "elle ne peut pas être exportée ni transférée avant correction de ces lignes "
                     "du fichier :\nLigne 26 (4000 ; 99 ; -5 ; 1) : hors limites (régime 735 à "
                     "10000 tr/min, avances 0 à 50°)");
        QCOMPARE(w.TypeVersionOS()->currentText(), QString("BOOT.XOS"));
        QCOMPARE(files.currentCurve(), saved);
        QVERIFY(!w.settings().CourbeModifie);
        QCOMPARE(w.windowTitle(), QString("VEK-Courbe - [round.xsc]"));

        files.startNewCurve();
        files.commands().OpenFile(vek);
        CurveDocument reread = files.currentCurve();
        QCOMPARE(reread.moteur.NbCylindres, 3);
        QCOMPARE(reread.moteur.HardXLED, 4);
        // Advances beyond the map palette (99, -5) still fill the MAP table.
        QCOMPARE(w.control<QTableWidget>("tabl_avance")->rowCount(), 2);
        QCOMPARE(reread.rows, curve.rows);
        QCOMPARE(reread.VoiesTOR[4].Action, uint8_t(2));
        QCOMPARE(reread.VoiesTOR[4].Seuil, 70);
    }

    void screenshot()
    {
        VEK_Accueil w;
        QVERIFY(MainWindowRig::show(w));
        QVERIFY(choose(w, "BOOT.XOS"));
        TestSupport::settle();
        QVERIFY(w.grab().save(TestSupport::screenshotPath("firmware_package.png")));
        w.SSTab1()->setCurrentIndex(2);
        TestSupport::settle();
        QVERIFY(w.grab().save(TestSupport::screenshotPath("firmware_package_map.png")));

        QVERIFY(!choose(w, "HUGE.XOS"));
        QTRY_VERIFY(w.findChild<QMessageBox *>("FirmwareError"));
        QMessageBox *refused = w.findChild<QMessageBox *>("FirmwareError");
        QTRY_VERIFY(refused->isVisible());
        TestSupport::settle();
        QVERIFY(refused->grab().save(TestSupport::screenshotPath("firmware_out_of_range.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestFirmwareChoice)
#include "tst_ui_firmwarechoice.moc"
