#include "../AsmTestFirmware.h"
#include "FakePrompts.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "firmware/HexFiles.h"
#include "firmware/VEK_Gestion_OS.h"
#include "firmware/ui/VEK_New_OS.h"
#include "icsp/DevicePreparation.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::child;

// A firmware package made by the editor from the assembled test firmware: offered
// by the firmware choice, unpacked to the description typed, its scrambled member
// read back to the image of the HEX file.

class TestPackageRoundTrip : public QObject
{
    Q_OBJECT
    QTemporaryDir dir{QDir::tempPath() + "/vek package XXXXXX"};
    VekContext context;
    FakePrompts prompts;

    bool chooseChip(QWidget &w, const QString &chip)
    {
        auto *list = child<QComboBox>(w, "Processeur_CHIP");
        list->setCurrentIndex(list->findText(chip));
        return list->currentText() == chip;
    }

private slots:
    void initTestCase()
    {
        TestSupport::useFrenchTexts();
        VEK_Gestion_OS::SetDossierProgramme(dir.path() + "/program/");
    }

    void packageFromTheAssembledFirmware()
    {
        const AsmTestFirmware fw = AsmTestFirmware::build(dir.path(), 8);
        QVERIFY2(fw.failure.isEmpty(), qPrintable(fw.failure));

        VEK_New_OS w(context, PackageEditorServices::standard(context), nullptr, &prompts);
        child<QLineEdit>(w, "TxtNomFichier")->setText("Essai MZ");
        child<QLineEdit>(w, "TxtModule")->setText("VEK-MZ300");
        child<QLineEdit>(w, "TxtVersion")->setText("2.1");
        child<QLineEdit>(w, "TxtEmail")->setText("atelier@example.org");
        child<QLineEdit>(w, "HEXADD")->setText("000");
        child<QLineEdit>(w, "HEXLNG")->setText("1E00");
        child<QLineEdit>(w, "ADDL8_1")->setText("300");
        child<QLineEdit>(w, "ADDH8_1")->setText("500");
        child<QLineEdit>(w, "ADDL8_2")->setText("700");
        child<QLineEdit>(w, "ADDH8_2")->setText("900");
        QVERIFY(chooseChip(w, "PIC-16F876A"));
        prompts.files = {fw.hexFile};
        w.BP_SelectFile_Click();
        w.BP_OK_Click();
        QCOMPARE(prompts.messages.size(), 1); // the package made, nothing wrong
        QCOMPARE(prompts.messages[0].icon, QMessageBox::Information);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(context.settings.ICSPChip, QString("PIC-16F876A"));
        QCOMPARE(context.pic.DeviceChip, QString("16F876A"));

        QVERIFY(VEK_Gestion_OS::ListerOS().contains("Essai MZ.XOS"));
        QVERIFY(VEK_Gestion_OS::ChargerOS("Essai MZ.XOS").ok());
        VEK_Gestion_OS::InitGestionOS("", "~TEMP.NFO");
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("Module"), QString("VEK-MZ300"));
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("VersionOS"), QString("2.1"));
        QCOMPARE(VEK_Gestion_OS::LireInfoOS("AuthorEmail"), QString("atelier@example.org"));
        QCOMPARE(VEK_Gestion_OS::LireReglageOS("MODCHIP"), QString("PIC-16F876A"));
        QCOMPARE(VEK_Gestion_OS::LireReglageOS("HEX_LNG"), QString("1E00"));
        QCOMPARE(VEK_Gestion_OS::LireAdressesTables().HTAB_L2, QString("900"));
        QVERIFY(!QFile::exists(VEK_Gestion_OS::CheminTemp("~TEMP.HEX")));

        PicDevice fromHex;
        PicDevice fromPackage;
        QVERIFY(DevicePreparation::Preparer(fromHex, "PIC-16F876A").chipSelected);
        QVERIFY(DevicePreparation::Preparer(fromPackage, "PIC-16F876A").chipSelected);
        QVERIFY(LireFichierHex(fromHex, fw.hexFile).succeeded());
        QVERIFY(LireFichierXeh(fromPackage, VEK_Gestion_OS::CheminTemp("~TEMP.XEH")).succeeded());
        QVERIFY(fromPackage.ImagePIC.ImageCode == fromHex.ImagePIC.ImageCode);
        QVERIFY(fromPackage.ImagePIC.ImageEEPROM == fromHex.ImagePIC.ImageEEPROM);
        QCOMPARE(fromPackage.ImagePIC.ConfigWord, fromHex.ImagePIC.ConfigWord);
        for (const auto &p : AsmTestFirmware::placements)
            QCOMPARE(fromPackage.ImagePIC.codeWord(p.address + 17), fw.expected(p, 17));
    }
};

QTEST_MAIN(TestPackageRoundTrip)
#include "tst_ui_packageroundtrip.moc"
