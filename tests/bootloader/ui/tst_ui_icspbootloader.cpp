#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "app/TransferServicesSetup.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderTexts.h"
#include "firmware/HexFiles.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/ui/StatusPanel.h"
#include "icsp/ui/VEK_ICSP.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using VEK_LANGUAGE::GetLanguageText;

// The programmer window's bootloader buttons end to end, offscreen, against the
// simulated module on a pseudo-terminal, through the services the program
// installs: connect with the hello, download the curve, update the firmware,
// disconnect.
class TestIcspBootloader : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<VekContext> ctx;
    FakePrompts prompts;

    std::unique_ptr<VEK_ICSP> window()
    {
        auto w = std::make_unique<VEK_ICSP>(*ctx, nullptr, &prompts);
        if (w->transferRunning())
            QSignalSpy(&w->runner(), &JobRunner::finished).wait(15000);
        prompts.messages.clear();
        return w;
    }

    // Clicks and waits for the job it started to finish; the buttons are locked meanwhile.
    bool clickAndWait(VEK_ICSP &w, QPushButton *button)
    {
        QSignalSpy finished(&w.runner(), &JobRunner::finished);
        button->click();
        const bool locked =
            !w.BP_tst->isEnabled() && !w.BP_Quit->isEnabled() && !w.BP_ReadModule->isEnabled();
        return locked && finished.wait(15000);
    }

    QString lastMessage() const
    {
        return prompts.messages.isEmpty() ? QString() : prompts.messages.last().text;
    }

private slots:
    void initTestCase() { BootloaderWindowRig::useTextsAndFolder(dir); }

    void init()
    {
        ctx = BootloaderWindowRig::context();
        InstallTransferServices(ctx->transfer);
        prompts.messages.clear();
    }

    void connectDownloadUpdateDisconnect()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader"}));
        ctx->settings.ICSPPort = sim.devicePath();
        auto w = window();
        w->show();
        QVERIFY(!w->BP_DLOAD->isEnabled() && !w->BP_MAJHEX->isEnabled());

        QVERIFY(clickAndWait(*w, w->BP_tst));
        QVERIFY2(w->bootloaderConnected(), qPrintable(lastMessage()));
        QCOMPARE(w->BP_tst->text(), GetLanguageText("MBDeconnection"));
        QVERIFY(w->BP_DLOAD->isEnabled() && w->BP_MAJHEX->isEnabled());
        QVERIFY(!w->BP_UPLOAD->isEnabled());
        QVERIFY(w->L_Info->text().isEmpty());
        QVERIFY(prompts.messages.isEmpty());

        // The areas are shown before the tables go out, then the module holds them.
        QVERIFY(clickAndWait(*w, w->BP_DLOAD));
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[0].text, QString("L Adddebut = 768(&H 300)\r\n"
                                                   "L Addfin = 1280(&H 500)\r\n"
                                                   "H Adddebut = 1280(&H 500)\r\n"
                                                   "H Addfin = 1792(&H 700)\r\n"));
        QCOMPARE(lastMessage(), BootloaderMessages::CurvesOk);
        QList<uint16_t> words = sim.flashWords(dir.filePath("flash.bin"));
        QCOMPARE(words[0x300], uint16_t(0x0782));
        for (int k = 0x300; k < 0x700; ++k)
            QCOMPARE(words[k], ctx->pic.ImagePIC.codeWord(k));
        QVERIFY(w->T_ProgramMem->toPlainText().contains("0782"));
        QImage shot = w->grab().toImage();
        shot.save(dir.filePath("icsp.png"));
        if (qEnvironmentVariableIsSet("VEK_SCREENSHOT_DIR"))
            shot.save(qEnvironmentVariable("VEK_SCREENSHOT_DIR") + "/vek_icsp_bootloader.png");

        const PicDevice firmware = BootloaderWindowRig::packageFirmware();
        QVERIFY(EcrireFichierHex(firmware, VEK_Gestion_OS::CheminTemp("~TEMP.HEX")).succeeded());
        QVERIFY(clickAndWait(*w, w->BP_MAJHEX));
        QCOMPARE(lastMessage(), BootloaderMessages::FirmwareOk);
        QCOMPARE(w->panel(3)->text(), QString("Processeur: 16F876A"));
        words = sim.flashWords(dir.filePath("flash.bin"));
        for (int k = 0; k < 0x200; ++k)
            QCOMPARE(words[k], firmware.ImagePIC.codeWord(k));

        QVERIFY(clickAndWait(*w, w->BP_tst));
        QVERIFY(!w->bootloaderConnected());
        QCOMPARE(w->BP_tst->text(), GetLanguageText("MBConnection"));
        QVERIFY(!w->BP_DLOAD->isEnabled() && !w->BP_MAJHEX->isEnabled());
        QCOMPARE(w->L_Info->text(), BootloaderMessages::CloseDone);
        sim.command("blstats");
        QVERIFY(sim.waitForLine("BLSTATS").contains("bad=0"));
    }

    // A silent module: the connection's three hellos go unanswered.
    void silentModuleIsToldAndStaysDisconnected()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "silent:EA:0"}));
        ctx->settings.ICSPPort = sim.devicePath();
        auto w = window();
        QVERIFY(clickAndWait(*w, w->BP_tst));
        QCOMPARE(prompts.messages.size(), 1);
        const FakePrompts::Shown shown = prompts.messages.last();
        QCOMPARE(shown.icon, QMessageBox::Question);
        QCOMPARE(shown.text, GetLanguageText("ICSPTestBad") + ' ' + w->nomProgrammateur());
        QCOMPARE(shown.title, GetLanguageText("TransferPCModule") + ' ' + w->nomProgrammateur());
        QVERIFY(!w->bootloaderConnected());
        QCOMPARE(w->BP_tst->text(), GetLanguageText("MBConnection"));
        QVERIFY(!w->BP_DLOAD->isEnabled() && !w->BP_MAJHEX->isEnabled());
        QVERIFY(w->BP_tst->isEnabled());
    }

    // The module goes silent after the connection: the download's hello fails,
    // the window says so and stays connected for another try.
    void silentDownloadIsToldAndStaysConnected()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "silent:EA:2"}));
        ctx->settings.ICSPPort = sim.devicePath();
        auto w = window();
        QVERIFY(clickAndWait(*w, w->BP_tst));
        QVERIFY(clickAndWait(*w, w->BP_DLOAD));
        QCOMPARE(prompts.messages.last().icon, QMessageBox::Critical);
        QCOMPARE(lastMessage(), BootloaderMessages::HelloFailed);
        QCOMPARE(w->L_Info->text(), BootloaderMessages::Timeout);
        QVERIFY(w->bootloaderConnected() && w->BP_DLOAD->isEnabled());
        sim.command("blstats");
        QVERIFY(sim.waitForLine("BLSTATS").contains("frames=0"));
    }

    void unusableCurveIsNotSent()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader"}));
        ctx->settings.ICSPPort = sim.devicePath();
        ctx->tab_avance.setRows({{"1000", "12", "8"}, {"3000", "1O", "11"}}, false);
        auto w = window();
        QVERIFY(clickAndWait(*w, w->BP_tst));
        QSignalSpy started(&w->runner(), &JobRunner::started);
        w->BP_DLOAD->click();
        QCOMPARE(started.size(), 0);
        QCOMPARE(lastMessage(), ctx->tab_avance.invalidValuesMessage());
        QCOMPARE(prompts.messages.last().icon, QMessageBox::Critical);
    }

    void refusalsComeBeforeAnyPort_data() { BootloaderWindowRig::addRefusalRows(); }

    void refusalsComeBeforeAnyPort()
    {
        QFETCH(QString, port);
        QFETCH(QString, package);
        QFETCH(QString, says);
        ctx->settings.ICSPPort = port;
        ctx->TypeVersionOS = package;
        auto w = window();
        QSignalSpy started(&w->runner(), &JobRunner::started);
        w->BP_tst->click();
        QCOMPARE(lastMessage(), says);
        QCOMPARE(started.size(), 0);
        QCOMPARE(w->BP_tst->text(), GetLanguageText("MBConnection"));
    }

    // Closing the window while the module is being greeted cancels and waits.
    void closingDuringTheConnectionWaits()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "silent:EA:0"}));
        ctx->settings.ICSPPort = sim.devicePath();
        auto w = window();
        w->show();
        w->BP_tst->click();
        QVERIFY(w->transferRunning());
        prompts.answer = QMessageBox::Yes; // stop it
        w->close();
        prompts.answer = QMessageBox::Ok;
        QVERIFY(!w->transferRunning());
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestIcspBootloader)
#include "tst_ui_icspbootloader.moc"
