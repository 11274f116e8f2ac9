#include "DialogAnswers.h"
#include "FakePrompts.h"
#include "HexText.h"
#include "Keyboard.h"
#include "Mouse.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "ZipTestTools.h"
#include "app/FirmwareProfile.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ValueRules.h"
#include "base/ui/ElidedLabel.h"
#include "bootloader/BootloaderDownloads.h"
#include "firmware/HexFiles.h"
#include "firmware/PackageArchive.h"
#include "firmware/PackageFirmware.h"
#include "firmware/VEK_Gestion_OS.h"
#include "firmware/ccZip.h"
#include "firmware/ui/VEK_New_MJ.h"
#include "firmware/ui/VEK_New_OS.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

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
    // A scrambled firmware for `chip`, its words at 0 to 7.
    QString scrambled(const QString &name, const QString &forChip)
    {
        PicDevice device;
        const QString from = source("scrambled.hex", HexText::program(0, 8));
        const QString refusal =
            PackageFirmware::Ecrire(device, forChip, from, dir.filePath("src/" + name), {}, {});
        return refusal.isEmpty() ? dir.filePath("src/" + name) : refusal;
    }

    // The editor of packages or of updates, answering through the real dialogs.
    std::unique_ptr<PackageEditorWindow> editor(bool update)
    {
        if (update)
            return std::make_unique<VEK_New_MJ>(context, services());
        return std::make_unique<VEK_New_OS>(context, services());
    }

    // A new package made as a user makes it: a name, the chip, the firmware
    // file chosen in its dialog, Create. What the editor said.
    QStringList makeInEditor(bool update, const QString &name, const QString &firmware,
                             const QString &start = {}, const QString &length = {})
    {
        const std::unique_ptr<PackageEditorWindow> w = editor(update);
        DialogAnswers answers({firmware});
        chip(*w, "PIC-16F84A");
        typeIn(*w, "TxtNomFichier", name);
        if (!update) {
            typeIn(*w, "HEXADD", start);
            typeIn(*w, "HEXLNG", length);
        }
        Mouse::click(child<QPushButton>(*w, "BP_SelectFile"));
        Mouse::click(child<QPushButton>(*w, "BP_OK"));
        return answers.texts;
    }

    static void typeIn(QWidget &w, const char *box, const QString &text)
    {
        QVERIFY(Keyboard::focus(child<QLineEdit>(w, box)));
        Keyboard::retype(text);
    }

    QMap<QString, QByteArray> workFiles() const
    {
        QMap<QString, QByteArray> bytes;
        for (const QString &name : files())
            if (!name.endsWith(".XOS") && !name.endsWith(".XMJ"))
                bytes.insert(name, TestSupport::readFile(path(name)));
        return bytes;
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
                              "Il manque le fichier HEX",
                              "Limite haute rupteur : « 7000 rpm » n'est pas un nombre : "
                              "« rpm » suit le nombre.",
                              "Avance statique : « 6,5,0 » n'est pas un nombre : « ,0 » suit le "
                              "nombre."}));
        type(w, "Limite_Rupteur", {});
        type(w, "Av_Statique", {});

        prompts.messages.clear();
        chip(w, "PIC-16F84A");
        prompts.files = {hexSource("first.hex")};
        w.BP_SelectFile_Click();
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
        // The name as typed, blanks at its ends refused with the rule's reason.
        const QString edge = "Nom du paquet : « %1 » ne peut pas nommer un fichier : un nom de "
                             "fichier ne peut ni commencer par un blanc ni finir par un blanc ou "
                             "un point.";
        TestSupport::row("name with a blank first", QString(), QString("TxtNomFichier"),
                         QString(" lead"), edge.arg(" lead"));
        TestSupport::row("name with a blank last", QString(), QString("TxtNomFichier"),
                         QString("lead "), edge.arg("lead "));
        TestSupport::row("name of 200 characters", QString(), QString("TxtNomFichier"),
                         QString(200, 'n'), QString());
        TestSupport::row("name of 201 characters", QString(), QString("TxtNomFichier"),
                         QString(201, 'n'),
                         "Nom du paquet : « " + QString(201, 'n') +
                             " » ne peut pas nommer un fichier : un nom de fichier ne peut pas "
                             "dépasser 200 caractères.");
        TestSupport::row("code length of zero", QString(), QString("HEXLNG"), QString("0"),
                         "Le paquet " + folder +
                             "/Essai.XOS n'a pas été créé : la zone du "
                             "programme commençant en 0x0000 est vide (longueur nulle)");
        // A description reads back as typed, or the package is not made.
        TestSupport::row("a module of characters Windows-1252 has not", QString(),
                         QString("TxtModule"), QString("模块"),
                         "Le paquet " + folder +
                             "/Essai.XOS n'a pas été créé : relu, Module "
                             "donne « ?? » au lieu de « 模块 » (caractère hors de Windows-1252 ?)");
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
        prompts.files = {hexSource("firmware.hex")};
        QVERIFY(Mouse::click(child<QPushButton>(w, "BP_SelectFile")));
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
        const QString made = (box == "TxtNomFichier" ? typed : "Essai") + ".XOS";
        QCOMPARE(files(), QStringList{made});
        // The list takes what the editor made, as it made it.
        const VEK_Gestion_OS::Result chosen = VEK_Gestion_OS::ChargerOS(made);
        QVERIFY2(chosen.ok(), qPrintable(chosen.message));
        QCOMPARE(chosen.notes, QString());
        VEK_Gestion_OS::InitDescriptionTemp();
        if (box == "Av_Statique")
            QCOMPARE(VEK_Gestion_OS::LireReglageOS("VAL_AVSTAT"), QString("10.5"));
    }

    void placeholderChipIsRefused()
    {
        PackageEditorServices s = services();
        s.chipCatalogue = [] { return std::optional<QStringList>(); };
        VEK_New_OS w(context, s, nullptr, &prompts);
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("****"));
        type(w, "TxtNomFichier", "MonOS");
        w.BP_OK_Click();
        QCOMPARE(messages(), (QStringList{"Le type de microcontroleur n'a pas été choisi",
                                          "Il manque le fichier HEX"}));
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

    // Read cancelled (Escape in its dialog) or refused: the form and the work
    // files of the package read before stay as they were, and Create makes
    // that package again, whole.
    void aReadCancelledOrRefusedKeepsTheFormAndTheWorkFiles_data()
    {
        QTest::addColumn<bool>("update");
        TestSupport::row("firmware package", false);
        TestSupport::row("update package", true);
    }

    void aReadCancelledOrRefusedKeepsTheFormAndTheWorkFiles()
    {
        QFETCH(bool, update);
        const QString ext = update ? ".XMJ" : ".XOS";
        const QString nfo = update ? "MAJ.NFO" : "OS.NFO";
        const QString xeh = update ? "UPDATE.XEH" : "CODE.XEH";
        QStringList both{nfo, xeh};
        both.sort();
        const QString good = path("GOODC" + ext);
        const QString made =
            "Le paquet GOODC" + ext + " a été créé dans le dossier " + folder + ".";
        QCOMPARE(makeInEditor(update, "GOODC", source("good.hex", HexText::program(0, 8))),
                 QStringList{made});

        // What is not a package of the editor's: each refused, naming the file and why.
        using namespace ZipTestTools::Crafted;
        const QString description = "[INFO]\r\nNomDuFichier=X\r\n";
        const QString notZip = source("photo" + ext, "a photo");
        const QString noDescription = source("nodesc" + ext, archive({{"x"}}, {{xeh, 0}}));
        const QString outside = source("outside" + ext, archive({{description.toLatin1()}, {"x"}},
                                                                {{nfo, 0}, {"../" + xeh, 1}}));
        const QString huge =
            source("huge" + ext, archive({{"[INFO]\r\n" + QByteArray(2200000, ';')}}, {{nfo, 0}}));
        const QString failed = "Le paquet %1 n'a pas pu être lu : ";
        const QList<std::pair<QString, QString>> reads = {
            {QString(), QString()}, // Escape
            {notZip, failed.arg(notZip) + "ce n'est pas une archive zip"},
            {noDescription, failed.arg(noDescription) +
                                "ce fichier n'est pas un paquet : il ne contient pas " + nfo},
            {outside, failed.arg(outside) + "son membre « ../" + xeh + " » sort de son dossier"},
            {huge, failed.arg(huge) + "son membre " + nfo + " dépasse 1048576 octets"}};

        const std::unique_ptr<PackageEditorWindow> w = editor(update);
        {
            DialogAnswers answers({good});
            Mouse::click(child<QPushButton>(*w, "BP_Lire_OS"));
            QCOMPARE(answers.texts, QStringList());
        }
        QCOMPARE(child<QLineEdit>(*w, "TxtNomFichier")->text(), QString("GOODC"));
        QCOMPARE(child<ElidedLabel>(*w, "Lbl_NomFichierHEXXEH")->text(), path(xeh));
        const QMap<QString, QByteArray> read = workFiles();
        QCOMPARE(read.keys(), both);
        for (const auto &[chosen, said] : reads) {
            DialogAnswers answers({chosen});
            Mouse::click(child<QPushButton>(*w, "BP_Lire_OS"));
            QCOMPARE(answers.fileDialogs(), 1);
            QCOMPARE(answers.texts, said.isEmpty() ? QStringList() : QStringList{said});
            QCOMPARE(child<QLineEdit>(*w, "TxtNomFichier")->text(), QString("GOODC"));
            QCOMPARE(child<ElidedLabel>(*w, "Lbl_NomFichierHEXXEH")->text(), path(xeh));
            QCOMPARE(workFiles(), read);
        }
        QFile::remove(good);
        {
            DialogAnswers answers;
            Mouse::click(child<QPushButton>(*w, "BP_OK"));
            QCOMPARE(answers.texts, QStringList{made});
        }
        QCOMPARE(members(good), both);
        PicDevice device;
        device.setChip(*ChipTable::fixedChip("PIC-16F84A"));
        QVERIFY(PackageArchive::unpack(good, {{dir.filePath("read.xeh"), xeh}}).ok());
        QVERIFY(LireFichierXeh(device, dir.filePath("read.xeh")).succeeded());
        QCOMPARE(device.ImagePIC.codeWord(7), uint16_t(0x2807));

        // Cancel: the work files go with the window.
        QVERIFY(TestSupport::writeFile(path(xeh), "x"));
        Mouse::click(child<QPushButton>(*w, "BP_Annuler"));
        QCOMPARE(workFiles(), (QMap<QString, QByteArray>()));
        QCOMPARE(w->result(), int(QDialog::Rejected));
    }

    // The firmware file, read whatever its name, holds a word of the package's
    // code area and none past its chip; the package holds the words it gave,
    // so that the download refuses an area the file gives nothing of.
    void firmwareIsCheckedAsTheDownloadTakesIt_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("length");   // of the area from 0
        QTest::addColumn<QString>("refusal");  // %F: the file; empty: created
        QTest::addColumn<QString>("download"); // an area of a download, from 0 when created
        QTest::addColumn<QString>("sent");     // empty: the download takes it, else its refusal
        const QString none = "le fichier %F ne contient aucun mot de la zone du programme "
                             "[0x0000-0x01FF]";
        TestSupport::row("an end record only", QByteArray(":00000001FF\r\n"),
                         QString("firmware.hex"), QString("200"), none, QString(), QString());
        TestSupport::row("words past its area only", HexText::program(0x200, 0x100),
                         QString("firmware.hex"), QString("200"), none, QString(), QString());
        TestSupport::row("words past the chip", HexText::program(0x3F8, 0x10),
                         QString("firmware.hex"), QString("400"),
                         QString("8 mots du fichier %F sont hors de la mémoire de programme du PIC "
                                 "16F84A (0x0000-0x03FF) et ne sont pas chargés : 0x0400-0x0407."),
                         QString(), QString());
        TestSupport::row("a length of zero", HexText::program(0, 8), QString("firmware.hex"),
                         QString("0"),
                         QString("la zone du programme commençant en 0x0000 est vide (longueur "
                                 "nulle)"),
                         QString(), QString());
        TestSupport::row("the last word of its area only", HexText::program(0x1FF, 1),
                         QString("firmware.hex"), QString("200"), QString(), QString("200"),
                         QString());
        TestSupport::row("a name without extension", HexText::program(0, 8), QString("firmware"),
                         QString("200"), QString(), QString("400"), QString());
        TestSupport::row("an area of no word of its", HexText::program(0x200, 8), QString("fw.HEX"),
                         QString("400"), QString(), QString("200"),
                         QString("Le fichier %P (CODE.XEH) ne contient aucun mot de la zone "
                                 "[0x0000-0x01FF] : rien n'est envoyé."));
    }

    void firmwareIsCheckedAsTheDownloadTakesIt()
    {
        QFETCH(QByteArray, hex);
        QFETCH(QString, file);
        QFETCH(QString, length);
        QFETCH(QString, refusal);
        QFETCH(QString, download);
        QFETCH(QString, sent);
        const QString firmware = source(file, hex);
        const QStringList said = makeInEditor(false, "Essai", firmware, "0", length);
        const QString package = path("Essai.XOS");
        if (!refusal.isEmpty()) {
            QCOMPARE(said, QStringList{"Le paquet " + package +
                                       " n'a pas été créé : " + refusal.replace("%F", firmware)});
            QVERIFY(files().isEmpty());
            return;
        }
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].startsWith("Le paquet Essai.XOS a été créé"), qPrintable(said[0]));
        // As the firmware list and then the download take it.
        QVERIFY(VEK_Gestion_OS::ChargerOS("Essai.XOS").ok());
        MainSettings settings;
        settings.ICSPChip = "PIC-16F84A";
        settings.ICSPHEXADD = "0";
        settings.ICSPHEXLNG = download;
        PicDevice pic;
        const FirmwareDownloadPlan plan =
            PreparerTelechargementFirmware(settings, "Essai.XOS", pic);
        QCOMPARE(plan.refusal.text, sent.replace("%P", package));
        QCOMPARE(plan.range.has_value(), sent.isEmpty());
    }

    // A firmware file that cannot be read once chosen is named with the reason.
    void aFirmwareGoneOnceChosenIsNamedWithWhy()
    {
        const QString firmware = source("gone.hex", HexText::program(0, 8));
        const std::unique_ptr<PackageEditorWindow> w = editor(false);
        DialogAnswers answers({firmware});
        chip(*w, "PIC-16F84A");
        typeIn(*w, "TxtNomFichier", "Essai");
        Mouse::click(child<QPushButton>(*w, "BP_SelectFile"));
        QVERIFY(QFile::remove(firmware));
        Mouse::click(child<QPushButton>(*w, "BP_OK"));
        QCOMPARE(answers.texts, QStringList{"Le paquet " + path("Essai.XOS") +
                                            " n'a pas été créé : Lecture impossible du fichier " +
                                            firmware + " : fichier ou dossier introuvable"});
        QVERIFY(files().isEmpty());
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
            {scrambled("CODE.XEH", "PIC-16F876A"), "CODE.XEH"},
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
