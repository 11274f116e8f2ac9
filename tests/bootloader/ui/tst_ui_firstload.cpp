#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderTexts.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "firmware/HexFiles.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/ChipTable.h"
#include "icsp/ui/StatusPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The first-load window end to end, offscreen, against the simulated module's
// bootloader on a pseudo-terminal: the three steps as a user clicks them.
class TestFirstLoad : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<VekContext> ctx;
    FakePrompts prompts;
    PicDevice firmware;

    // Clicks and waits until `jobs` jobs have ended, the steps locked meanwhile.
    static bool clickAndWait(VEK_BL_INIT &w, int step, int jobs = 1)
    {
        QSignalSpy finished(&w.runner(), &JobRunner::finished);
        w.BP_STEP[size_t(step)]->click();
        bool locked = true;
        for (int i = 1; i <= 3; ++i)
            locked = locked && !w.BP_STEP[size_t(i)]->isEnabled();
        locked = locked && !w.BP_Quit->isEnabled();
        for (int i = 0; i < 200 && finished.size() < jobs; ++i)
            finished.wait(100);
        return locked && finished.size() == jobs && !w.transferRunning();
    }

    static bool steps(const VEK_BL_INIT &w, bool one, bool two, bool three)
    {
        return w.BP_STEP[1]->isEnabled() == one && w.BP_STEP[2]->isEnabled() == two &&
               w.BP_STEP[3]->isEnabled() == three;
    }

    QList<uint16_t> flash(ModuleSimulator &sim)
    {
        return sim.flashWords(dir.filePath("flash.bin"));
    }

    static QRgb linkColour(const VEK_BL_INIT &w)
    {
        const QImage picture = w.panel(1)->picture();
        return picture.isNull() ? 0 : picture.pixel(2, picture.height() / 2) & 0xFFFFFF;
    }

    std::unique_ptr<VEK_BL_INIT> openAtStep2(const QString &port)
    {
        ctx->settings.ICSPPort = port;
        auto w = std::make_unique<VEK_BL_INIT>(*ctx, nullptr, &prompts);
        w->BP_STEP[1]->click();
        prompts.messages.clear();
        return w;
    }

private slots:
    void initTestCase()
    {
        TestSupport::useFrenchTexts();
        VEK_Gestion_OS::SetDossierProgramme(dir.path() + '/');
        // The package's firmware, with words that look like bootloader commands.
        firmware.setChip(*ChipTable::fixedChip("PIC-16F876A"));
        firmware.InitMemoire();
        for (int k = 0; k < 0x200; ++k)
            firmware.ImagePIC.setCodeWord(k, uint16_t(k % 2 ? 0x00EA : 0x3AE3 - k));
    }

    void init()
    {
        ctx = std::make_unique<VekContext>();
        ctx->TypeVersionOS = "VEK-INIT.XOS";
        ctx->settings.ICSPChip = "PIC-16F876A";
        ctx->settings.ICSPHEXADD = "000";
        ctx->settings.ICSPHEXLNG = "200";
        QFile::remove(VEK_Gestion_OS::CheminTemp("~TEMP.XEH"));
        QVERIFY(EcrireFichierHex(firmware, VEK_Gestion_OS::CheminTemp("~TEMP.HEX")).succeeded());
        prompts.messages.clear();
    }

    void threeStepsLeaveThePackagesFirmwareInTheModule()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader"}));
        ctx->settings.ICSPPort = sim.devicePath();
        VEK_BL_INIT w(*ctx, nullptr, &prompts);
        QVERIFY(steps(w, true, false, false));
        const QRgb red = linkColour(w);

        w.BP_STEP[1]->click(); // nothing sent, step 2 unlocked
        QVERIFY(steps(w, true, true, false));
        QVERIFY(!w.session().connected());

        QVERIFY(clickAndWait(w, 2, 2)); // connection, then the download
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, BootloaderMessages::FirmwareOk);
        QVERIFY(w.L_Info->text().isEmpty());
        QVERIFY(w.panel(2)->picture().isNull());
        QVERIFY(steps(w, true, true, true));
        QCOMPARE(linkColour(w), QRgb(0x00FF00));
        const QList<uint16_t> words = flash(sim);
        for (int k = 0; k < 0x200; ++k)
            QCOMPARE(words[k], firmware.ImagePIC.codeWord(k));
        QCOMPARE(words[0x200], uint16_t(0x3FFF)); // nothing beyond the range

        if (qEnvironmentVariableIsSet("VEK_SCREENSHOT_DIR")) {
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.grab().save(qEnvironmentVariable("VEK_SCREENSHOT_DIR") + "/VEK_BL_INIT_loaded.png");
        }

        QVERIFY(clickAndWait(w, 3));
        QCOMPARE(w.L_Info->text(), BootloaderMessages::CloseDone);
        QVERIFY(steps(w, true, false, false));
        QVERIFY(!w.session().connected());
        QCOMPARE(linkColour(w), red);
        sim.command("blstats");
        QVERIFY(sim.waitForLine("BLSTATS").contains("close=1"));
    }

    // The statuses the label showed while the job ran, in order.
    static QStringList statusesOf(const QSignalSpy &spy)
    {
        QStringList texts;
        for (const QList<QVariant> &args : spy)
            texts << args.first().toString();
        return texts;
    }

    void noModuleLeavesStepOneOnly()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "silent:EA:0"}));
        auto w = openAtStep2(sim.devicePath());
        QSignalSpy status(&w->runner(), &JobRunner::status);
        QVERIFY(clickAndWait(*w, 2));
        QCOMPARE(statusesOf(status).count("Module VEK non trouvé..."), 3); // after each hello
        QCOMPARE(w->L_Info->text(), QString("Module VEK non trouvé..."));
        QVERIFY(steps(*w, true, false, false));
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(flash(sim).startsWith(uint16_t(0x3FFF)));
    }

    void secondHelloAnsweredStillLoads()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "silent:EA:1"}));
        auto w = openAtStep2(sim.devicePath());
        QSignalSpy status(&w->runner(), &JobRunner::status);
        QVERIFY(clickAndWait(*w, 2, 2));
        QCOMPARE(prompts.messages.last().text, BootloaderMessages::FirmwareOk);
        // Told of the first hello until the download starts, then step 2 left locked.
        const QStringList said = statusesOf(status);
        QCOMPARE(said.count("Module VEK non trouvé..."), 1);
        QVERIFY2(said.lastIndexOf("Module VEK non trouvé...") <
                     said.lastIndexOf(BootloaderMessages::StartOfCommunication),
                 qPrintable(said.join(" | ")));
        QVERIFY(steps(*w, true, false, true));
        QCOMPARE(flash(sim).value(1), firmware.ImagePIC.codeWord(1));
    }

    // Closing the window mid-way through step 2 and agreeing to stop: the
    // module gets step 3's close, and the user learns the firmware is partial.
    void closingDuringTheDownloadClosesTheTransfer()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--baud", "4800"}));
        auto w = openAtStep2(sim.devicePath());
        w->show();
        w->BP_STEP[2]->click();
        QTRY_VERIFY_WITH_TIMEOUT(w->ProgressBar >= 20, 10000);
        prompts.answer = QMessageBox::Yes;
        const bool closed = w->close();
        prompts.answer = QMessageBox::Ok;
        QVERIFY(closed && !w->transferRunning());
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[1].text, VEK_LANGUAGE::GetLanguageText("MessFirmwarePartiel"));
        sim.command("blstats");
        const QString stats = sim.waitForLine("BLSTATS");
        QVERIFY2(stats.contains(" close=1 "), qPrintable(stats));
        QCOMPARE(flash(sim).value(0x1FF), uint16_t(0x3FFF)); // the end never sent
    }

    void noFirmwareFileKeepsStepThree()
    {
        QVERIFY(QFile::remove(VEK_Gestion_OS::CheminTemp("~TEMP.HEX")));
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader"}));
        auto w = openAtStep2(sim.devicePath());
        QVERIFY(clickAndWait(*w, 2));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, BootloaderMessages::NoFirmwareFile);
        QVERIFY(steps(*w, true, true, true));
        QVERIFY(w->session().connected()); // step 3 can still close the transfer
    }

    void refusedFrameIsTold()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "wrong:E3:3"}));
        auto w = openAtStep2(sim.devicePath());
        QVERIFY(clickAndWait(*w, 2, 2));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Critical);
        QVERIFY2(prompts.messages.first().text.contains("[0x0010]"),
                 qPrintable(prompts.messages.first().text));
        QVERIFY(w->BP_STEP[3]->isEnabled());
    }

    void closeUnansweredStillCloses()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "silent:ED:0"}));
        auto w = openAtStep2(sim.devicePath());
        QVERIFY(clickAndWait(*w, 2, 2));
        prompts.messages.clear();
        QVERIFY(clickAndWait(*w, 3));
        QCOMPARE(w->L_Info->text(), BootloaderMessages::CloseFailedInfo);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, BootloaderMessages::CloseFailed);
        QVERIFY(steps(*w, true, false, false));
        QVERIFY(!w->session().connected());
    }

    void portThatCannotOpenIsReported()
    {
        auto w = openAtStep2("/dev/vek-no-such-port");
        QVERIFY(clickAndWait(*w, 2));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Critical);
        QVERIFY(prompts.messages.first().text.contains("/dev/vek-no-such-port"));
        QVERIFY(steps(*w, true, true, false)); // the user may fix the port and try again
    }

    void refusalsComeFirst()
    {
        auto w = openAtStep2("LPT1");
        ctx->TypeVersionOS.clear();
        w->BP_STEP[2]->click();
        QVERIFY(!w->transferRunning());
        QCOMPARE(prompts.messages.takeFirst().text, BootloaderMessages::NoLpt);
        ctx->settings.ICSPPort = "COM1";
        w->BP_STEP[2]->click();
        QCOMPARE(prompts.messages.takeFirst().text, BootloaderMessages::NoPackage);
        QVERIFY(steps(*w, true, true, false));
    }
};

QTEST_MAIN(TestFirstLoad)
#include "tst_ui_firstload.moc"
