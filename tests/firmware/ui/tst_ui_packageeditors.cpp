#include "FakePackageServices.h"
#include "FakePrompts.h"
#include "TestSupport.h"
#include "app/VEK_LANGUAGE.h"
#include "app/VekContext.h"
#include "firmware/VEK_Gestion_OS.h"
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

using VEK_LANGUAGE::GetLanguageText;

class TestPackageEditors : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString folder;
    VekContext context;
    FakePrompts prompts;
    FakePackageServices fake;

    template <typename T> static T *child(QWidget &w, const QString &name)
    {
        T *found = w.findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    static void type(QWidget &w, const char *name, const QString &text)
    {
        child<QLineEdit>(w, name)->setText(text);
    }
    QString path(const QString &name) const { return folder + "/" + name; }
    QStringList files() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    QStringList messages() const
    {
        QStringList texts;
        for (const auto &m : prompts.messages)
            texts << m.text;
        return texts;
    }
    QString hexSource(const QString &name)
    {
        const QString source = dir.path() + "/" + name;
        TestSupport::writeFile(source, ":020000000028D6\r\n:00000001FF\r\n");
        return source;
    }

private slots:
    void initTestCase()
    {
        VEK_LANGUAGE::SetFichierLangueDefaut("francais.ini");
        VEK_LANGUAGE::SetFichierLangue("francais.ini");
        VEK_LANGUAGE::InitLanguage();
    }

    void init()
    {
        folder = dir.path() + "/HEX_XEH";
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        context.settings = MainSettings{};
        prompts = FakePrompts{};
        fake = FakePackageServices{};
    }

    void firmwareEditorOpensWithItsDefaults()
    {
        VEK_New_OS w(context, fake.services(folder), nullptr, &prompts);
        QCOMPARE(w.windowTitle(), QString("Créer un Opérating Système (*.XOS)"));
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("16F84A"));
        QCOMPARE(child<QComboBox>(w, "TypeModule")->currentText(), QString("JDM"));
        QCOMPARE(child<QComboBox>(w, "TypeTransfertModule")->currentText(), QString("BL_INIT"));
        QCOMPARE(child<QComboBox>(w, "NbTablesExport")->currentText(), QString("4"));
        QVERIFY(child<QRadioButton>(w, "Compilation8")->isChecked());
        QCOMPARE(child<QPushButton>(w, "BP_OK")->text(), GetLanguageText("MBXosCreerOS"));
        for (const char *hidden : {"Nbre_Cylindre", "Av_Statique", "ADDL16_1", "ADDH16_2"})
            QVERIFY2(child<QWidget>(w, hidden)->isHidden(), hidden);
        QVERIFY(child<QWidget>(w, "NbTablesExport")->isHidden());
        child<QCheckBox>(w, "FrameNbrCyl")->click();
        QVERIFY(!child<QWidget>(w, "Nbre_Cylindre")->isHidden());
        child<QRadioButton>(w, "Compilation16")->click();
        QCOMPARE(w.typeCompilation(), 16);
        QVERIFY(!child<QWidget>(w, "ADDH16_2")->isHidden());
        QVERIFY(!child<QWidget>(w, "Label4")->isHidden());
    }

    void createRefusesMissingNameAndChip()
    {
        VEK_New_OS w(context, fake.services(folder), nullptr, &prompts);
        auto *chip = child<QComboBox>(w, "Processeur_CHIP");
        chip->setEditText("PIC-TYPED"); // typed, not picked
        w.BP_OK_Click();
        QCOMPARE(messages(), (QStringList{"Il manque le fichier HEX",
                                          "Le type de microcontroleur n'a pas été choisi"}));
        QVERIFY(files().isEmpty());
        QCOMPARE(w.result(), 0);
    }

    void placeholderChipIsRefused()
    {
        fake.catalogueLoads = false;
        VEK_New_OS w(context, fake.services(folder), nullptr, &prompts);
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("****"));
        type(w, "TxtNomFichier", "MonOS");
        w.BP_OK_Click();
        QCOMPARE(messages(), QStringList{"Le type de microcontroleur n'a pas été choisi"});
        QVERIFY(files().isEmpty());
    }

    void unsafeNameIsRefused()
    {
        VEK_New_OS w(context, fake.services(folder), nullptr, &prompts);
        type(w, "TxtNomFichier", "../../outside");
        w.BP_OK_Click();
        QCOMPARE(messages(), QStringList{GetLanguageText("MessXosNomInvalide")});
        QVERIFY(files().isEmpty());
        QVERIFY(!QFile::exists(dir.path() + "/outside.XOS"));
    }

    void createFromAMixedCaseHexSource()
    {
        VEK_New_OS w(context, fake.services(folder), nullptr, &prompts);
        type(w, "TxtNomFichier", "Mon OS");
        type(w, "TxtModule", "VEK-MZ300");
        child<QComboBox>(w, "Processeur_CHIP")->setCurrentIndex(1);
        child<QCheckBox>(w, "FrameDwell")->click();
        prompts.files = {hexSource("firmware.Hex")};
        w.BP_SelectFile_Click();
        w.BP_OK_Click();
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(messages().join('|')));
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(files(), QStringList{"Mon OS.XOS"});
        QCOMPARE(FakePackageServices::members(path("Mon OS.XOS")),
                 (QStringList{"CODE.XEH", "OS.NFO"}));
        QCOMPARE(fake.convertedChips, QStringList{"16F876A"});
        QCOMPARE(context.settings.ICSPChip, QString("16F876A"));
    }

    void failedConversionKeepsTheWindowOpen()
    {
        fake.conversionFails = true;
        VEK_New_OS w(context, fake.services(folder), nullptr, &prompts);
        type(w, "TxtNomFichier", "MonOS");
        prompts.files = {hexSource("cut.hex")};
        w.BP_SelectFile_Click();
        w.BP_OK_Click();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages[0].text.contains("HEX incomplet"));
        QCOMPARE(w.result(), 0);
        QVERIFY(!QFile::exists(path("MonOS.XOS")));
    }

    void readShowsThePackageAndCreatesItAgain()
    {
        QVERIFY(TestSupport::writeFile(
            dir.path() + "/src/OS.NFO",
            "[INFO]\r\nModule=MZ\r\nVersionOS=4.1\r\nNomDuFichier=Lu\r\n[REGLAGE]\r\n"
            "TYPEBOITIER=vek-mz300\r\nMODCHIP=16f876a\r\nDWELL=oui\r\nMODE3D=NON\r\n"
            "HARDWARE=OUI\r\nFIX_NBCYL=OUI\r\nVAL_NBCYL=4\r\nTRANSFERT=BOOTLOADER\r\n"
            "COMPILATION=88\r\nNB_COURBES=2\r\nADD_TABLE_BASSE=300\r\nADD_TABLE_HAUTE=500\r\n"));
        QVERIFY(TestSupport::writeFile(dir.path() + "/src/CODE.HEX", ":00000001FF\r\n"));
        QVERIFY(TestSupport::writeFile(dir.path() + "/src/CODE.XEH", "xeh"));
        QVERIFY(TestSupport::writeFile(dir.path() + "/src/EXTRA.TXT", "not a member"));
        const QString package = path("Lu.XOS");
        QVERIFY(FakePackageServices::run(
            "zip", {"-j", "-q", package, dir.path() + "/src/OS.NFO", dir.path() + "/src/CODE.HEX",
                    dir.path() + "/src/CODE.XEH", dir.path() + "/src/EXTRA.TXT"}));

        VEK_New_OS w(context, fake.services(folder), nullptr, &prompts);
        prompts.files = {package};
        w.BP_Lire_OS_Click();
        QCOMPARE(fake.currentFile, QString("OS.NFO"));
        QVERIFY(!QFile::exists(path("EXTRA.TXT"))); // only the known members
        QCOMPARE(child<QLineEdit>(w, "TxtModule")->text(), QString("MZ"));
        QCOMPARE(child<QComboBox>(w, "TypeModule")->currentText(), QString("VEK-MZ300"));
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("16F876A"));
        QVERIFY(!child<QCheckBox>(w, "FrameDwell")->isChecked());
        QVERIFY(child<QCheckBox>(w, "FrameHardware")->isChecked());
        QVERIFY(!child<QWidget>(w, "Nbre_Cylindre")->isHidden());
        QVERIFY(child<QRadioButton>(w, "Compilation88")->isChecked());
        QCOMPARE(child<QComboBox>(w, "NbTablesExport")->currentText(), QString("2"));
        QCOMPARE(child<QLineEdit>(w, "ADDL8_1")->text(), QString());
        QCOMPARE(child<QLineEdit>(w, "ADDL8_2")->text(), QString("300"));
        QCOMPARE(child<QLabel>(w, "Lbl_NomFichierHEXXEH")->text(), path("CODE.XEH"));

        w.BP_OK_Click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(FakePackageServices::members(package),
                 (QStringList{"CODE.HEX", "CODE.XEH", "OS.NFO"}));
        QVERIFY(fake.convertedChips.isEmpty());
        QCOMPARE(files(), QStringList{"Lu.XOS"});
    }

    void cancelledReadAndCancelLeaveNoWorkFiles()
    {
        QVERIFY(TestSupport::writeFile(path("OS.NFO"), "[INFO]\r\n"));
        VEK_New_OS w(context, fake.services(folder), nullptr, &prompts);
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
        VEK_New_MJ w(context, fake.services(folder), nullptr, &prompts);
        QCOMPARE(w.windowTitle(), QString("Créer un Opérating Système (*.XMJ)"));
        w.BP_OK_Click(); // no name: nothing at all
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(files().isEmpty());

        type(w, "TxtNomFichier", "MAJ1");
        child<QComboBox>(w, "Processeur_CHIP")->setCurrentIndex(-1);
        w.BP_OK_Click();
        QCOMPARE(messages(), QStringList{"Le type de microcontroleur n'a pas été choisi"});
        QVERIFY(files().isEmpty());

        child<QComboBox>(w, "Processeur_CHIP")->setCurrentIndex(2);
        prompts.files = {hexSource("update.hex")};
        w.BP_SelectFile_Click();
        QVERIFY(prompts.fileFilters.last().startsWith("Compilé"));
        w.BP_OK_Click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(FakePackageServices::members(path("MAJ1.XMJ")),
                 (QStringList{"MAJ.NFO", "UPDATE.XEH"}));
        QCOMPARE(fake.convertedChips, QStringList{"12F629"});
    }

    void updateEditorReadsItsPackages()
    {
        QVERIFY(TestSupport::writeFile(dir.path() + "/src/MAJ.NFO",
                                       "[INFO]\r\nModule=M\r\nNomDuFichier=MAJ2\r\n[REGLAGE]\r\n"
                                       "MODCHIP=12f629\r\n"));
        QVERIFY(FakePackageServices::run(
            "zip", {"-j", "-q", path("MAJ2.XMJ"), dir.path() + "/src/MAJ.NFO"}));
        VEK_New_MJ w(context, fake.services(folder), nullptr, &prompts);
        child<QLabel>(w, "Lbl_NomFichierHEXXEH")->setText("/before.hex");
        prompts.files = {path("MAJ2.XMJ")};
        w.BP_Lire_OS_Click();
        QCOMPARE(fake.currentFile, QString("MAJ.NFO"));
        QCOMPARE(child<QComboBox>(w, "Processeur_CHIP")->currentText(), QString("12F629"));
        QCOMPARE(child<QLineEdit>(w, "TxtNomFichier")->text(), QString("MAJ2"));
        QCOMPARE(child<QLabel>(w, "Lbl_NomFichierHEXXEH")->text(), QString("/before.hex"));
    }

    void packageOfTheProgramsServicesIsOfferedAndUnpacked()
    {
        VEK_Gestion_OS::SetDossierProgramme(dir.path() + "/program/");
        const PackageEditorServices services = PackageEditorServices::standard(context);
        QCOMPARE(services.packageFolder, dir.path() + "/program/HEX_XEH");
        const QString source = dir.path() + "/fw.xeh";
        QVERIFY(TestSupport::writeFile(source, "scrambled firmware"));

        VEK_New_OS w(context, services, nullptr, &prompts);
        type(w, "TxtNomFichier", "Paquet Test");
        type(w, "TxtVersion", "5.2 beta");
        type(w, "TxtAuteur", "Jérôme");
        child<QComboBox>(w, "TypeModule")->setCurrentIndex(2);
        child<QComboBox>(w, "TypeTransfertModule")->setCurrentIndex(1);
        child<QRadioButton>(w, "Compilation88")->click();
        type(w, "ADDL8_1", "310");
        prompts.files = {source};
        w.BP_SelectFile_Click();
        w.BP_OK_Click();
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(messages().join('|')));
        QCOMPARE(w.result(), int(QDialog::Accepted));

        QVERIFY(VEK_Gestion_OS::ListerOS().contains("Paquet Test.XOS"));
        QVERIFY(VEK_Gestion_OS::ChargerOS("Paquet Test.XOS").ok());
        VEK_Gestion_OS::InitGestionOS("", "~TEMP.NFO");
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("VersionOS"), QString("5.2 beta"));
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("Author"), QString("Jérôme"));
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("NomDuFichier"), QString("Paquet Test"));
        QCOMPARE(VEK_Gestion_OS::LireReglageOS("TYPEBOITIER"), QString("VEK-MZ300"));
        QCOMPARE(VEK_Gestion_OS::LireReglageOS("TRANSFERT"), QString("BOOTLOADER"));
        QCOMPARE(VEK_Gestion_OS::LireReglageOS("COMPILATION"), QString("88"));
        QCOMPARE(VEK_Gestion_OS::LireReglageOS("MODCHIP"),
                 child<QComboBox>(w, "Processeur_CHIP")->currentText());
        QCOMPARE(VEK_Gestion_OS::LireAdressesTables().LTAB_L1, QString("310"));
        QCOMPARE(TestSupport::readFile(VEK_Gestion_OS::CheminTemp("~TEMP.XEH")),
                 QByteArray("scrambled firmware"));

        // Read back into a new editor: the extracted description becomes the current one.
        VEK_New_OS again(context, services, nullptr, &prompts);
        prompts.files = {services.packageFolder + "/Paquet Test.XOS"};
        again.BP_Lire_OS_Click();
        QCOMPARE(child<QLineEdit>(again, "TxtAuteur")->text(), QString("Jérôme"));
        QVERIFY(child<QRadioButton>(again, "Compilation88")->isChecked());
        QCOMPARE(child<QLabel>(again, "Lbl_NomFichierHEXXEH")->text(),
                 services.packageFolder + "/CODE.XEH");
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("NomDuFichier"), QString("Paquet Test"));
    }

    void screenshots()
    {
        const QString shots = qEnvironmentVariable("VEK_SCREENSHOT_DIR");
        if (shots.isEmpty())
            QSKIP("VEK_SCREENSHOT_DIR not set");
        VEK_New_OS os(context, fake.services(folder), nullptr, &prompts);
        child<QCheckBox>(os, "FrameTableMap")->click();
        child<QCheckBox>(os, "FrameNbrCyl")->click();
        child<QRadioButton>(os, "Compilation16")->click();
        child<QLabel>(os, "Lbl_NomFichierHEXXEH")->setText("/home/user/Projets VEK/build/vek.hex");
        os.show();
        QVERIFY(QTest::qWaitForWindowExposed(&os));
        QVERIFY(os.grab().save(shots + "/vek_new_os.png"));
        VEK_New_MJ mj(context, fake.services(folder), nullptr, &prompts);
        mj.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mj));
        QVERIFY(mj.grab().save(shots + "/vek_new_mj.png"));
    }
};

QTEST_MAIN(TestPackageEditors)
#include "tst_ui_packageeditors.moc"
