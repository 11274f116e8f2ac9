#include "FakePrompts.h"
#include "Keyboard.h"
#include "Mouse.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/FirmwareProfile.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "base/ui/ElidedLabel.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageValues.h"
#include "firmware/VEK_Gestion_OS.h"
#include "firmware/ccZip.h"
#include "firmware/ui/VEK_New_MJ.h"
#include "firmware/ui/VEK_New_OS.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <tuple>

using VEK_LANGUAGE::GetLanguageText;

using TestSupport::child;

// The package editors over the program's own services (catalogue, archives,
// descriptions, HEX files), in a program folder of the test's own.

class TestPackageEditors : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString folder; // the package folder
    VekContext context;
    FakePrompts prompts;

    static void type(QWidget &w, const char *name, const QString &text)
    {
        child<QLineEdit>(w, name)->setText(text);
    }
    static void chip(QWidget &w, const QString &name)
    {
        auto *list = child<QComboBox>(w, "Processeur_CHIP");
        list->setCurrentIndex(list->findText(name));
    }
    PackageEditorServices services() { return PackageEditorServices::standard(context); }
    QString path(const QString &name) const { return folder + "/" + name; }
    QStringList files() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    static QStringList members(const QString &archive)
    {
        ccZip zip;
        zip.Init(archive);
        QStringList names = zip.Col();
        names.sort();
        return names;
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto &m : prompts.messages)
            texts << m.text;
        return texts;
    }
    QString source(const QString &name, const QByteArray &text)
    {
        TestSupport::writeFile(dir.filePath("src/" + name), text);
        return dir.filePath("src/" + name);
    }
    QString hexSource(const QString &name)
    {
        return source(name, ":020000000028D6\r\n:00000001FF\r\n");
    }

private slots:
    void initTestCase()
    {
        TestSupport::useFrenchTexts();
        VEK_Gestion_OS::SetDossierProgramme(dir.path() + "/program/");
        folder = dir.path() + "/program/HEX_XEH";
    }

    void init()
    {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        context.settings = MainSettings{};
        prompts = FakePrompts{};
    }

    void firmwareEditorOpensWithItsDefaults()
    {
        VEK_New_OS w(context, services(), nullptr, &prompts);
        QCOMPARE(w.windowTitle(), QString("Créer un Opérating Système (*.XOS)"));
        // Only chips a HEX file can be imported for: "AUTO" names none.
        auto *chips = child<QComboBox>(w, "Processeur_CHIP");
        QCOMPARE(chips->findText("AUTO"), -1);
        QCOMPARE(chips->currentText(), QString("PIC-12C508"));
        QVERIFY(chips->findText("PIC-16F876A") > 0);
        QCOMPARE(child<QComboBox>(w, "TypeModule")->currentText(), QString("JDM"));
        QCOMPARE(child<QComboBox>(w, "TypeTransfertModule")->currentText(), QString("BL_INIT"));
        QCOMPARE(child<QComboBox>(w, "NbTablesExport")->currentText(), QString("4"));
        QVERIFY(child<QRadioButton>(w, "Compilation8")->isChecked());
        QCOMPARE(child<QPushButton>(w, "BP_OK")->text(), GetLanguageText("MBXosCreerOS"));
        for (const char *hidden : {"Nbre_Cylindre", "Av_Statique", "NbTablesExport", "ADDL16_1"})
            QVERIFY2(child<QWidget>(w, hidden)->isHidden(), hidden);
        child<QCheckBox>(w, "FrameNbrCyl")->click();
        QVERIFY(!child<QWidget>(w, "Nbre_Cylindre")->isHidden());
        child<QRadioButton>(w, "Compilation16")->click();
        QCOMPARE(w.typeCompilation(), 16);
        QVERIFY(!child<QWidget>(w, "ADDH16_2")->isHidden());
    }

    void createRefusesWhatWouldMakeABadPackage()
    {
        VEK_New_OS w(context, services(), nullptr, &prompts);
        child<QComboBox>(w, "Processeur_CHIP")->setEditText("PIC-TYPED"); // typed, not picked
        type(w, "Limite_Rupteur", "7000 rpm");
        type(w, "Av_Statique", "6,5,0");
        w.BP_OK_Click();
        QCOMPARE(messages(),
                 (QStringList{"Nom du paquet : aucune valeur n'est donnée.",
                              "Le type de microcontroleur n'a pas été choisi",
                              "Limite haute rupteur : « 7000 rpm » n'est pas un nombre : "
                              "« rpm » suit le nombre.",
                              "Avance statique : « 6,5,0 » n'est pas un nombre : « ,0 » suit le "
                              "nombre."}));
        type(w, "Limite_Rupteur", {});
        type(w, "Av_Statique", {});

        prompts.messages.clear();
        chip(w, "PIC-16F84A");
        type(w, "TxtNomFichier", "../../outside");
        w.BP_OK_Click();
        QCOMPARE(messages(), QStringList{"Nom du paquet : « ../../outside » ne peut pas nommer un "
                                         "fichier : un nom de fichier ne peut pas contenir « / » "
                                         "(ni aucun de / \\ : * ? \" < > |)."});

        // A truncated, damaged or oversized HEX file, named as the user chose it, not as
        // the package folder's work copy; or a chip the programmer cannot fix.
        type(w, "TxtNomFichier", "Refus");
        const QString cut = source("cut.hex", ":020000000028D6\r\n");
        const QString damaged = source("damaged.hex", ":020000000028D7\r\n:00000001FF\r\n");
        const QString big = source("big.hex", {});
        QVERIFY(QFile::resize(big, 8 * 1024 * 1024 + 1)); // sparse: nothing written
        const struct {
            const char *chip;
            QString source;
            QString message;
        } cases[] = {
            {"PIC-16F84A", cut,
             "Fichier " + cut + " corrompu : il s'arrête à la ligne 1 sans enregistrement de fin."},
            {"PIC-16F84A", damaged,
             "Fichier " + damaged + " refusé : la somme de contrôle de la ligne 1 est fausse."},
            {"PIC-16F84A", big, "Le fichier " + big + " n'est pas lu : il dépasse 8388608 octets."},
            {"AUTO", hexSource("whole.hex"), "n'a pas été choisi"}, // not offered
        };
        for (const auto &c : cases) {
            prompts.messages.clear();
            chip(w, c.chip);
            prompts.files = {c.source};
            w.BP_SelectFile_Click();
            w.BP_OK_Click();
            QCOMPARE(prompts.messages.size(), 1);
            QVERIFY2(prompts.messages[0].text.contains(c.message), qPrintable(messages()[0]));
        }
        QCOMPARE(w.result(), 0);
        QVERIFY(files().isEmpty());
        QVERIFY(!QFile::exists(dir.path() + "/outside.XOS"));
        // A work copy that cannot be read is named as the user's file.
        const PackageAuthoring::Outcome unread =
            services().convertHex("PIC-16F84A", path("gone.HEX"), path("gone.XEH"), cut);
        QCOMPARE(unread.error,
                 "Lecture impossible du fichier " + cut + " : fichier ou dossier introuvable");
    }

    // The values the main window takes from a package are read at Create by
    // the rules the firmware list reads them by: typed, a refused one names
    // its box and nothing is written; a taken one is written as the rule
    // takes it, and the list then takes the package.
    void createReadsValuesByTheListsRules_data()
    {
        QTest::addColumn<QString>("tick"); // the check box that shows the box, or ""
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal"); // empty: created
        const QString cylinders = "Nombre de cylindres : « %1 » n'est pas un nombre de cylindres "
                                  "de la liste (1, 2, 4, 6, 8).";
        const QString limiter = "Limite haute rupteur : « %1 » n'est pas accepté : entrez un "
                                "nombre entier de 1 à 99999.";
        const QString hex = " : « %1 » n'est pas un nombre hexadécimal de 1 à 4 chiffres.";
        TestSupport::row("cylinders with a unit", QString("FrameNbrCyl"), QString("Nbre_Cylindre"),
                         QString("4 cyl"), cylinders.arg("4 cyl"));
        TestSupport::row("cylinders fixed, none", QString("FrameNbrCyl"), QString("Nbre_Cylindre"),
                         QString(""), QString("Nombre de cylindres : aucune valeur n'est donnée."));
        TestSupport::row("limiter negative", QString(), QString("Limite_Rupteur"), QString("-5"),
                         limiter.arg("-5"));
        TestSupport::row("limiter zero", QString(), QString("Limite_Rupteur"), QString("0"),
                         limiter.arg("0"));
        TestSupport::row("limiter huge", QString(), QString("Limite_Rupteur"), QString("99999999"),
                         limiter.arg("99999999"));
        TestSupport::row("limiter not whole", QString(), QString("Limite_Rupteur"),
                         QString("7000.9"),
                         QString("Limite haute rupteur : « 7000.9 » n'est pas un nombre entier."));
        TestSupport::row("code address letters", QString(), QString("HEXADD"), QString("zz"),
                         "Emplacement du programme, Adresse (hex)" + hex.arg("zz"));
        TestSupport::row("table address of five digits", QString(), QString("ADDL8_1"),
                         QString("12345"),
                         "Emplacement des tables, Courbe 1, TableBasse 8 Bits" + hex.arg("12345"));
        TestSupport::row("table address letters", QString(), QString("ADDH8_2"), QString("xyz"),
                         "Emplacement des tables, Courbe 2, TableHaute 8 Bits" + hex.arg("xyz"));
        TestSupport::row("name of blanks", QString(), QString("TxtNomFichier"), QString("   "),
                         QString("Nom du paquet : aucune valeur n'est donnée."));
        TestSupport::row("name of a device", QString(), QString("TxtNomFichier"), QString("CON"),
                         QString("Nom du paquet : « CON » ne peut pas nommer un fichier : c'est le "
                                 "nom d'un périphérique (CON, PRN, AUX, NUL, COM1…, LPT1…) sur "
                                 "d'autres systèmes."));
        TestSupport::row("advance with a comma", QString("FrameAvStatique"), QString("Av_Statique"),
                         QString("10,5"), QString());
    }

    void createReadsValuesByTheListsRules()
    {
        QFETCH(QString, tick);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        VEK_New_OS w(context, services(), nullptr, &prompts);
        chip(w, "PIC-16F84A");
        type(w, "TxtNomFichier", "Essai");
        type(w, "Limite_Rupteur", "7000");
        if (!tick.isEmpty())
            QVERIFY(Mouse::click(child<QCheckBox>(w, qPrintable(tick))));
        QVERIFY(Keyboard::focus(child<QLineEdit>(w, qPrintable(box))));
        Keyboard::retype(typed);
        QVERIFY(Mouse::click(child<QPushButton>(w, "BP_OK")));
        if (!refusal.isEmpty()) {
            QCOMPARE(messages(), QStringList{refusal});
            QVERIFY(files().isEmpty());
            return;
        }
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(QFile::exists(path("Essai.XOS")));
        VEK_Gestion_OS::InitGestionOS(folder + "/", "OS.NFO");
        QVERIFY(PackageArchive::unpack(path("Essai.XOS"), {{path("OS.NFO"), "OS.NFO"}}).ok());
        QCOMPARE(VEK_Gestion_OS::LireReglageOS("VAL_AVSTAT"), QString("10.5"));
        // The list takes what the editor made.
        const PackageValues::DescriptionCheck check = PackageValues::CheckDescription(
            [](const QString &key) { return VEK_Gestion_OS::LireReglageOS(key); }, "Essai.XOS");
        QCOMPARE(check.refusal, QString());
        QCOMPARE(check.notes, QString());
    }

    // Each hostile text through each path that brings a package value in
    // (the paths of the value table): the editor and the description take or
    // refuse it alike, for the same reason.
    void packageValuesTakeOneRuleOnEveryPath_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        const QStringList hostile = {"12,5", "12.5", "abc",  "",         "   ",      "-5",
                                     "8",    "4",    "FFFF", "99999999", "7000 rpm", "1e3"};
        using ValueRules::Path;
        for (const ValueRules::Declaration &d : ValueRules::Table()) {
            // The editor against the description it writes: the values typed
            // in its boxes (the curve count is picked from a list).
            if (!d.paths.contains(Path::PackageEditor))
                continue;
            for (const QString &text : hostile)
                QTest::addRow("%s %s", d.nameKey, qPrintable(text)) << int(d.id) << text;
        }
    }

    void packageValuesTakeOneRuleOnEveryPath()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        using ValueRules::Value;
        // Where each value stands: its key, its box and the check box showing it.
        const QMap<Value, std::tuple<QString, QString, QString>> places = {
            {Value::CylinderCount, {"VAL_NBCYL", "Nbre_Cylindre", "FrameNbrCyl"}},
            {Value::PackageRevLimit, {"LIMITE_RUPTEUR", "Limite_Rupteur", ""}},
            {Value::StaticAdvance, {"VAL_AVSTAT", "Av_Statique", "FrameAvStatique"}},
            {Value::CodeStart, {"HEX_ADD", "HEXADD", ""}},
            {Value::CodeLength, {"HEX_LNG", "HEXLNG", ""}},
            {Value::TableAddress, {"ADD_TABLE_HAUTE_L2", "ADDH8_2", ""}},
            {Value::PackageName, {"", "TxtNomFichier", ""}}};
        QVERIFY2(places.contains(Value(value)), "a value of the package paths has no place here");
        const auto [key, box, tick] = places.value(Value(value));
        VEK_New_OS w(context, services(), nullptr, &prompts);
        chip(w, "PIC-16F84A");
        type(w, "TxtNomFichier", "Essai");
        if (!tick.isEmpty())
            QVERIFY(Mouse::click(child<QCheckBox>(w, qPrintable(tick))));
        QVERIFY(Keyboard::focus(child<QLineEdit>(w, qPrintable(box))));
        Keyboard::retype(text);
        QVERIFY(Mouse::click(child<QPushButton>(w, "BP_OK")));
        const bool created = w.result() == QDialog::Accepted;
        const QString typed = messages().join('\n');
        if (key.isEmpty()) { // the name: the editor and a project's description
            QCOMPARE(created, !VEK_Gestion_OS::NomFichierPaquet(text).isEmpty());
            return;
        }
        QMap<QString, QString> d = {
            {"FIX_NBCYL", "OUI"}, {"VAL_NBCYL", "4"}, {"FIX_AVSTAT", "OUI"}, {"VAL_AVSTAT", "10"}};
        d.insert(key, text);
        const QString inFile =
            PackageValues::CheckDescription([&](const QString &k) { return d.value(k); }, "P.XOS")
                .refusal;
        QCOMPARE(created, inFile.isEmpty());
        if (!inFile.isEmpty()) {
            const QString reason = inFile.section(key + " : ", 1);
            QVERIFY2(typed.endsWith(" : " + reason), qPrintable(typed + "\n" + inFile));
        }
    }

    void placeholderChipIsRefused()
    {
        PackageEditorServices s = services();
        s.chipCatalogue = [] { return std::optional<QStringList>(); };
        VEK_New_OS w(context, s, nullptr, &prompts);
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("****"));
        type(w, "TxtNomFichier", "MonOS");
        w.BP_OK_Click();
        QCOMPARE(messages(), QStringList{"Le type de microcontroleur n'a pas été choisi"});
        QVERIFY(files().isEmpty());
    }

    // What a new user does first: a name and a HEX file, the chip as offered.
    // The window closes, saying which package it made and where. "%D": the
    // package folder.
    void createWithTheOfferedChip_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("says");
        TestSupport::row("French", QString("francais.ini"),
                         QString("Le paquet Premier.XOS a été créé dans le dossier %D."));
        TestSupport::row("English", QString("english.ini"),
                         QString("The package Premier.XOS has been created in the folder %D."));
    }

    void createWithTheOfferedChip()
    {
        QFETCH(QString, language);
        QFETCH(QString, says);
        TestSupport::useTexts(language);
        VEK_New_OS w(context, services(), nullptr, &prompts);
        type(w, "TxtNomFichier", "Premier");
        prompts.files = {hexSource("first.hex")};
        QVERIFY(Mouse::click(child<QPushButton>(w, "BP_SelectFile")));
        QVERIFY(Mouse::click(child<QPushButton>(w, "BP_OK")));
        TestSupport::useFrenchTexts();
        QCOMPARE(messages(), QStringList{says.replace("%D", folder)});
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Information);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(files(), QStringList{"Premier.XOS"});
    }

    // A zip that is no package leaves every field as it was, and says why.
    // A zip that is not a package, or a file that is no zip: named, with why.
    void readingAZipThatIsNotAPackageKeepsTheFields_data()
    {
        QTest::addColumn<bool>("isZip");
        QTest::addColumn<QString>("message"); // %1: the file
        TestSupport::row("zip without a description", true,
                         QString("Le paquet %1 n'a pas pu être lu : ce fichier n'est pas un "
                                 "paquet : il ne contient pas OS.NFO"));
        TestSupport::row("no zip", false,
                         QString("Le paquet %1 n'a pas pu être lu : ce n'est pas une archive zip"));
    }

    void readingAZipThatIsNotAPackageKeepsTheFields()
    {
        QFETCH(bool, isZip);
        QFETCH(QString, message);
        const QString zip = dir.filePath("photos.zip");
        if (isZip)
            QVERIFY(PackageArchive::build(zip, {{source("CODE.HEX", ":00000001FF\r\n"), "CODE.HEX"},
                                                {source("photo.jpg", "jpg"), "photo.jpg"}})
                        .ok());
        else
            QVERIFY(TestSupport::writeFile(zip, "a photo"));
        VEK_New_OS w(context, services(), nullptr, &prompts);
        type(w, "TxtModule", "kept");
        type(w, "TxtNomFichier", "MonOS");
        chip(w, "PIC-16F84A");
        child<QCheckBox>(w, "FrameHardware")->setChecked(true);
        prompts.files = {zip};
        w.BP_Lire_OS_Click();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, message.arg(QDir::toNativeSeparators(zip)));
        QCOMPARE(child<QLineEdit>(w, "TxtModule")->text(), QString("kept"));
        QCOMPARE(child<QLineEdit>(w, "TxtNomFichier")->text(), QString("MonOS"));
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("PIC-16F84A"));
        QVERIFY(child<QCheckBox>(w, "FrameHardware")->isChecked());
        QVERIFY(files().isEmpty()); // nothing of the zip left behind
    }

    void createFromAMixedCaseHexSource()
    {
        VEK_New_OS w(context, services(), nullptr, &prompts);
        type(w, "TxtNomFichier", "Mon OS.xos"); // one extension only
        chip(w, "PIC-16F84A");
        type(w, "Limite_Rupteur", " 6500 ");
        type(w, "Av_Statique", "6,5"); // stored with "." as the decimal point
        prompts.files = {hexSource("firmware.Hex")};
        w.BP_SelectFile_Click();
        w.BP_OK_Click();
        QCOMPARE(messages(),
                 QStringList{"Le paquet Mon OS.XOS a été créé dans le dossier " + folder + "."});
        ccZip zip;
        zip.Init(path("Mon OS.XOS"));
        zip.Decompress(dir.filePath("nfo"), "OS.NFO");
        QFile nfo(dir.filePath("nfo/OS.NFO"));
        QVERIFY(nfo.open(QIODevice::ReadOnly));
        const QByteArray stored = nfo.readAll();
        QVERIFY(stored.contains("LIMITE_RUPTEUR=6500\r\n"));
        QVERIFY(stored.contains("VAL_AVSTAT=6.5\r\n"));
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(files(), QStringList{"Mon OS.XOS"});
        QCOMPARE(members(path("Mon OS.XOS")), (QStringList{"CODE.XEH", "OS.NFO"}));
        QCOMPARE(context.settings.ICSPChip, QString("PIC-16F84A"));
        QCOMPARE(context.pic.DeviceChip, QString("16F84A"));
        QCOMPARE(context.pic.ImagePIC.codeWord(0), uint16_t(0x2800));
    }

    void readShowsThePackageAndCreatesItAgain()
    {
        const QList<PackageArchive::Member> fixture = {
            {source("OS.NFO",
                    "[INFO]\r\nModule=MZ\r\nVersionOS=4.1\r\nNomDuFichier=Lu\r\n[REGLAGE]\r\n"
                    "TYPEBOITIER=vek-mz300\r\nMODCHIP=pic-16f876a\r\nDWELL=oui\r\n"
                    "HARDWARE=OUI\r\nFIX_NBCYL=OUI\r\nVAL_NBCYL=4\r\nTRANSFERT=BOOTLOADER\r\n"
                    "COMPILATION=88\r\nNB_COURBES=2\r\nADD_TABLE_BASSE=300\r\n"
                    "ADD_TABLE_HAUTE=500\r\n"),
             "OS.NFO"},
            {source("CODE.HEX", ":00000001FF\r\n"), "CODE.HEX"},
            {source("CODE.XEH", "xeh"), "CODE.XEH"},
            {source("EXTRA.TXT", "not a member"), "EXTRA.TXT"}};
        const QString package = path("Lu.XOS");
        QVERIFY(PackageArchive::build(package, fixture).ok());

        VEK_New_OS w(context, services(), nullptr, &prompts);
        prompts.files = {package};
        w.BP_Lire_OS_Click();
        QVERIFY(!QFile::exists(path("EXTRA.TXT")));                        // only the known members
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("VersionOS"), QString("4.1")); // now current
        QCOMPARE(child<QLineEdit>(w, "TxtModule")->text(), QString("MZ"));
        QCOMPARE(child<QComboBox>(w, "TypeModule")->currentText(), QString("VEK-MZ300"));
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("PIC-16F876A"));
        QVERIFY(!child<QCheckBox>(w, "FrameDwell")->isChecked());
        QVERIFY(child<QCheckBox>(w, "FrameHardware")->isChecked());
        QVERIFY(!child<QWidget>(w, "Nbre_Cylindre")->isHidden());
        QVERIFY(child<QRadioButton>(w, "Compilation88")->isChecked());
        QCOMPARE(child<QComboBox>(w, "NbTablesExport")->currentText(), QString("2"));
        QCOMPARE(child<QLineEdit>(w, "ADDL8_1")->text(), QString());
        QCOMPARE(child<QLineEdit>(w, "ADDL8_2")->text(), QString("300"));
        QCOMPARE(child<ElidedLabel>(w, "Lbl_NomFichierHEXXEH")->text(), path("CODE.XEH"));

        w.BP_OK_Click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(members(package), (QStringList{"CODE.HEX", "CODE.XEH", "OS.NFO"}));
        QCOMPARE(files(), QStringList{"Lu.XOS"});
    }

    void cancelledReadAndCancelLeaveNoWorkFiles()
    {
        QVERIFY(TestSupport::writeFile(path("OS.NFO"), "[INFO]\r\n"));
        VEK_New_OS w(context, services(), nullptr, &prompts);
        type(w, "TxtModule", "kept");
        w.BP_Lire_OS_Click(); // the dialog is cancelled
        QCOMPARE(child<QLineEdit>(w, "TxtModule")->text(), QString("kept"));
        QVERIFY(files().isEmpty());
        QVERIFY(TestSupport::writeFile(path("CODE.XEH"), "x"));
        child<QPushButton>(w, "BP_Annuler")->click();
        QVERIFY(files().isEmpty());
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }

    void updateEditorChecksItsChipAndBuildsItsMembers()
    {
        VEK_New_MJ w(context, services(), nullptr, &prompts);
        QCOMPARE(w.windowTitle(), QString("Créer un Opérating Système (*.XMJ)"));
        // No name, or one of blanks or wildcards, names no file: the firmware editor's rule.
        w.BP_OK_Click();
        type(w, "TxtNomFichier", "   ");
        w.BP_OK_Click();
        type(w, "TxtNomFichier", "MAJ?");
        w.BP_OK_Click();
        QCOMPARE(messages(),
                 (QStringList{"Nom du paquet : aucune valeur n'est donnée.",
                              "Nom du paquet : aucune valeur n'est donnée.",
                              "Nom du paquet : « MAJ? » ne peut pas nommer un fichier : un nom de "
                              "fichier ne peut pas contenir « ? » (ni aucun de / \\ : * ? \" < > "
                              "|)."}));
        QVERIFY(files().isEmpty());
        prompts.messages.clear();

        type(w, "TxtNomFichier", "MAJ1");
        child<QComboBox>(w, "Processeur_CHIP")->setCurrentIndex(-1);
        w.BP_OK_Click();
        QCOMPARE(messages(), QStringList{"Le type de microcontroleur n'a pas été choisi"});
        QVERIFY(files().isEmpty());

        chip(w, "PIC-12F629");
        prompts.files = {hexSource("update.hex")};
        w.BP_SelectFile_Click();
        QVERIFY(prompts.fileFilters.last().startsWith("Compilé"));
        w.BP_OK_Click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(members(path("MAJ1.XMJ")), (QStringList{"MAJ.NFO", "UPDATE.XEH"}));
        QCOMPARE(context.pic.DeviceChip, QString("12F629"));
    }

    void updateEditorReadsItsPackages()
    {
        QVERIFY(PackageArchive::build(
                    path("MAJ2.XMJ"),
                    {{source("MAJ.NFO", "[INFO]\r\nModule=M\r\nNomDuFichier="
                                        "MAJ2\r\n[REGLAGE]\r\nMODCHIP=pic-12f629\r\n"),
                      "MAJ.NFO"}})
                    .ok());
        VEK_New_MJ w(context, services(), nullptr, &prompts);
        child<ElidedLabel>(w, "Lbl_NomFichierHEXXEH")->setText("/before.hex");
        prompts.files = {path("MAJ2.XMJ")};
        w.BP_Lire_OS_Click();
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("PIC-12F629"));
        QCOMPARE(child<QLineEdit>(w, "TxtNomFichier")->text(), QString("MAJ2"));
        QCOMPARE(child<ElidedLabel>(w, "Lbl_NomFichierHEXXEH")->text(), QString("/before.hex"));
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("Module"), QString("M"));
    }

    void screenshots()
    {
        VEK_New_OS os(context, services(), nullptr, &prompts);
        child<QCheckBox>(os, "FrameTableMap")->click();
        child<QCheckBox>(os, "FrameNbrCyl")->click();
        child<QRadioButton>(os, "Compilation16")->click();
        child<ElidedLabel>(os, "Lbl_NomFichierHEXXEH")
            ->setText("/home/user/Projets VEK/build/vek.hex");
        os.show();
        QVERIFY(QTest::qWaitForWindowExposed(&os));
        QVERIFY(os.grab().save(TestSupport::screenshotPath("vek_new_os.png")));
        VEK_New_MJ mj(context, services(), nullptr, &prompts);
        mj.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mj));
        QVERIFY(mj.grab().save(TestSupport::screenshotPath("vek_new_mj.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestPackageEditors)
#include "tst_ui_packageeditors.moc"
