// The programmer window and its set-up, and the three bootloader windows, in
// each of the five languages, on the simulated PIC and the simulated module:
// reads, writes, downloads, refusals and failures all say what they say in
// the chosen language.
#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "IcspRig.h"
#include "LanguageGuard.h"
#include "ModuleSimulator.h"
#include "TestSupport.h"
#include "app/TransferServicesSetup.h"
#include "app/VekContext.h"
#include "bootloader/ui/VEK_BL.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "firmware/HexFiles.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/ChipTable.h"
#include "icsp/ui/VEK_ICSP.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {

void wait(TransferFrame &w)
{
    QTRY_VERIFY_WITH_TIMEOUT(!w.transferRunning(), 30000);
}

void click(TransferFrame &w, QPushButton *button)
{
    button->click();
    wait(w);
}

} // namespace

class TestTransferLanguages : public QObject
{
    Q_OBJECT
    QTemporaryDir program_;
    std::optional<ShownLog> log_;
    FakePrompts prompts_;

    void startIn(const QString &file)
    {
        log_.emplace(file);
        TestSupport::useTexts(file);
        prompts_ = FakePrompts{};
        prompts_.dialogs = [this](QDialog &dialog) {
            log_->look(dialog);
            return int(QDialog::Rejected);
        };
    }

    void look(QWidget &window)
    {
        log_->look(window);
        log_->look(prompts_);
        prompts_.messages.clear();
    }

private slots:
    void initTestCase() { VEK_Gestion_OS::SetDossierProgramme(program_.path() + '/'); }
    void cleanup() { TestSupport::useFrenchTexts(); }

    // Opening, read, write, verification, erase, files, the set-up, and a
    // box that fails its self-test.
    void programmer_data() { TestSupport::addLanguageFileRows(); }

    void programmer()
    {
        QFETCH(QString, file);
        startIn(file);
        IcspWindowWorld b(QStringLiteral("16F84A"));
        {
            VEK_ICSP w(b.context, nullptr, &prompts_);
            wait(w);
            look(w);
            click(w, w.BP_ReadModule);
            look(w);
            IcspRig::fillImage(b.context.pic, 7, 0x3FF1);
            click(w, w.BP_WriteModule);
            look(w);
            click(w, w.BP_VerifyDevice);
            prompts_.answer = QMessageBox::Yes;
            click(w, w.BP_EraseDevice);
            look(w);
            prompts_.answer = QMessageBox::Ok;
            const QString hex = program_.filePath("image.hex");
            prompts_.saveFiles << hex;
            click(w, w.BP_EXPORT_HEX);
            TestSupport::writeFile(program_.filePath("bad.hex"), ":zz\r\n");
            prompts_.files << program_.filePath("bad.hex");
            click(w, w.BP_IMPORT_HEX);
            w.MnuClsBuff->trigger();
            look(w);
            w.BP_Config->click();
            look(w);
        }
        b.box->setLoopback(SimulatedProgrammerBox::Loopback::StuckLow);
        VEK_ICSP w(b.context, nullptr, &prompts_);
        wait(w);
        click(w, w.BP_ReadModule);
        look(w);
        VEK_SETUP_ICSP setup(b.context);
        setup.findChild<QPushButton *>("BP_TST_PROG")->click();
        QTRY_VERIFY_WITH_TIMEOUT(setup.findChild<QPushButton *>("OKButton")->isEnabled(), 30000);
        log_->look(setup);
        VERIFY_ONE_LANGUAGE(*log_, "ICSPReadOK1", "ICSPProcesseur", "ICSPEffacerTitre",
                            "ICSPAutoDiagBad", "SetupIcspTitre", "ICSPVerifieTitre");
    }

    // The bootloader window's session (refusal, connection, curve download,
    // firmware update, disconnection, a download the module leaves
    // unanswered), the first load's three steps, the compatible family's upload.
    void bootloaderWindows_data() { TestSupport::addLanguageFileRows(); }

    void bootloaderWindows()
    {
        QFETCH(QString, file);
        startIn(file);
        std::unique_ptr<VekContext> ctx = BootloaderWindowRig::context();
        const QString hex = VEK_Gestion_OS::CheminTemp("~TEMP.HEX");
        QVERIFY(EcrireFichierHex(BootloaderWindowRig::packageFirmware(), hex).succeeded());
        {
            ctx->settings.ICSPPort = "LPT1";
            VEK_BL w(*ctx, nullptr, &prompts_);
            w.BP_tst->click();
            look(w);
        }
        {
            ModuleSimulator sim;
            QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
            VEK_BL w(*ctx, nullptr, &prompts_);
            click(w, w.BP_tst);
            look(w);
            click(w, w.BP_DLOAD[1]);
            click(w, w.BP_MAJHEX);
            look(w);
            click(w, w.BP_tst);
            look(w);
        }
        {
            ModuleSimulator sim;
            QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx, {"--fault", "silent:E3:5"}));
            VEK_BL w(*ctx, nullptr, &prompts_);
            click(w, w.BP_tst);
            click(w, w.BP_DLOAD[1]);
            look(w);
        }
        {
            ModuleSimulator sim;
            QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
            VEK_BL_INIT w(*ctx, nullptr, &prompts_);
            w.BP_STEP[1]->click();
            look(w);
            click(w, w.BP_STEP[2]);
            wait(w); // the connection, then the download
            look(w);
            click(w, w.BP_STEP[3]);
            look(w);
        }
        {
            ModuleSimulator sim;
            QVERIFY(sim.start({"--family"}));
            log_->addNames({"Allumage", "compatible", "courbe", "essai"}); // the module's texts
            ctx->settings.ICSPPort = sim.devicePath();
            ctx->TypeVersionOS = "MIRT_KORVAL.XOS";
            VEK_KORVAL w(*ctx, nullptr, &prompts_);
            w.BP_tst->click();
            look(w);
            click(w, w.BP_UPLOAD);
            look(w);
        }
        VERIFY_ONE_LANGUAGE(*log_, "BLPasDeLPT", "BLConnexionEtablie", "BLCourbesOK",
                            "BLFirmwareOK", "BLTransfertFinalise", "BLTimeout", "BLInitTitre",
                            "KorvalTitre", "MessKorvalLu");
    }
};

VEK_TEST_MAIN_ON_SCREEN(TestTransferLanguages, 1024, 768)
#include "tst_ui_transferlanguages.moc"
