#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderTexts.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "firmware/HexFiles.h"
#include "firmware/VEK_Gestion_OS.h"
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
    const PicDevice firmware = BootloaderWindowRig::packageFirmware();

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
    void initTestCase() { BootloaderWindowRig::useTextsAndFolder(dir); }

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
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
        VEK_BL_INIT w(*ctx, nullptr, &prompts);
        QVERIFY(steps(w, true, false, false));
        const QRgb red = linkColour(w);

        w.BP_STEP[1]->click(); // nothing sent, step 2 unlocked
        QVERIFY(steps(w, true, true, false));
        QVERIFY(!w.session().connected());

        QVERIFY(clickAndWait(w, 2, 2)); // connection, then the download
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"));
        QCOMPARE(w.L_Info->text(),
                 VEK_LANGUAGE::GetLanguageText("BLFirmwareOK")); // the success recorded
        QVERIFY(w.panel(2)->picture().isNull());
        QVERIFY(steps(w, true, false, true)); // on with step 3, or again from step 1
        QCOMPARE(linkColour(w), QRgb(0x00FF00));
        const QList<uint16_t> words = flash(sim);
        for (int k = 0; k < 0x200; ++k)
            QCOMPARE(words[k], firmware.ImagePIC.codeWord(k));
        QCOMPARE(words[0x200], uint16_t(0x3FFF)); // nothing beyond the range

        TestSupport::keepScreenshot(w.grab(), "VEK_BL_INIT_loaded.png");

        QVERIFY(clickAndWait(w, 3));
        QCOMPARE(w.L_Info->text(), VEK_LANGUAGE::GetLanguageText("BLTransfertFinalise"));
        QVERIFY(steps(w, true, false, false));
        QVERIFY(!w.session().connected());
        QCOMPARE(linkColour(w), red);
        QVERIFY(BootloaderWindowRig::blStats(sim).contains("close=1"));
    }

    // The statuses the label showed while the job ran, in order.
    static QStringList statusesOf(const QSignalSpy &spy)
    {
        QStringList texts;
        for (const QList<QVariant> &args : spy)
            texts << args.first().toString();
        return texts;
    }

    // A module that misbehaves once, at step 2 and then at step 3 when it is
    // offered: what the user is told, which steps stay open, and how much of
    // the firmware the module holds.
    void faultsAreToldAtTheirStep_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("jobs");          // that step 2 runs
        QTest::addColumn<int>("notFound");      // "Module VEK non trouvé..." statuses
        QTest::addColumn<QString>("says");      // the one message of step 2 ("" none)
        QTest::addColumn<QString>("openSteps"); // after step 2
        QTest::addColumn<bool>("linkUp");       // the link bar green after step 2
        QTest::addColumn<int>("loaded");        // firmware words the module holds
        QTest::addColumn<QString>("closing");   // the label after step 3 ("" no step 3)
        const QString ok = VEK_LANGUAGE::GetLanguageText("BLFirmwareOK");
        const QString done = VEK_LANGUAGE::GetLanguageText("BLTransfertFinalise");
        const QString afterFailure = VEK_LANGUAGE::GetLanguageText("MessDeconnexionApresEchec");
        QTest::newRow("no module") << "silent:EA:0" << 1 << 3 << ""
                                   << "100" << false << 0 << "";
        QTest::newRow("second hello answered")
            << "silent:EA:1" << 2 << 1 << ok << "101" << true << 0x200 << done;
        QTest::newRow("third frame refused") << "wrong:E3:3" << 2 << 0 << "[0x0010]"
                                             << "101" << true << 0x10 << afterFailure;
        QTest::newRow("31st frame refused") << "wrong:E3:31" << 2 << 0 << "[0x00F0]"
                                            << "101" << true << 0xF0 << afterFailure;
        // The line goes at the 11th frame: nothing is left to close.
        QTest::newRow("module gone mid-download") << "drop:E3:11" << 2 << 0 << "[0x0050]"
                                                  << "100" << false << 0x50 << "";
        QTest::newRow("close unanswered") << "silent:ED:0" << 2 << 0 << ok << "101" << true << 0x200
                                          << "Erreur pendant la cloture du transfert !\n"
                                             "Le module n'a pas répondu dans les 500 ms.";
    }

    void faultsAreToldAtTheirStep()
    {
        QFETCH(QString, fault);
        QFETCH(int, jobs);
        QFETCH(int, notFound);
        QFETCH(QString, says);
        QFETCH(QString, openSteps);
        QFETCH(bool, linkUp);
        QFETCH(int, loaded);
        QFETCH(QString, closing);
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", fault}));
        // The adapter's link, which goes when the module does.
        const QString adapter = dir.filePath("adapter");
        QFile::remove(adapter);
        QVERIFY(QFile::link(sim.devicePath(), adapter));
        auto w = openAtStep2(adapter);
        QSignalSpy status(&w->runner(), &JobRunner::status);
        QVERIFY(clickAndWait(*w, 2, jobs));

        const QStringList said = statusesOf(status);
        const QString lost = "Module VEK non trouvé...";
        QCOMPARE(said.count(lost), notFound); // after each unanswered hello
        if (notFound > 0 && loaded > 0)       // told until the download starts
            QVERIFY2(said.lastIndexOf(lost) <
                         said.lastIndexOf(VEK_LANGUAGE::GetLanguageText("BLDebutCommunication")),
                     qPrintable(said.join(" | ")));
        if (loaded == 0)
            QCOMPARE(w->L_Info->text(), lost);
        QCOMPARE(prompts.messages.size(), says.isEmpty() ? 0 : 1);
        if (!says.isEmpty()) {
            const FakePrompts::Shown shown = prompts.messages.takeFirst();
            QVERIFY2(shown.text.contains(says), qPrintable(shown.text));
            QCOMPARE(shown.icon, says == VEK_LANGUAGE::GetLanguageText("BLFirmwareOK")
                                     ? QMessageBox::NoIcon
                                     : QMessageBox::Critical);
        }
        QVERIFY(steps(*w, openSteps[0] == '1', openSteps[1] == '1', openSteps[2] == '1'));
        QCOMPARE(linkColour(*w), linkUp ? QRgb(0x00FF00) : QRgb(0xFF0000));
        QVERIFY(w->panel(2)->picture().isNull()); // no bar left part-way
        // The status bar keeps how the download ended.
        if (says == VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"))
            QCOMPARE(w->panel(2)->text(), VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"));
        else if (says.startsWith("[0x"))
            QVERIFY2(w->panel(2)->text().contains(says), qPrintable(w->panel(2)->text()));
        const QList<uint16_t> words = flash(sim);
        for (int k = 0; k < loaded; ++k)
            QCOMPARE(words.value(k), firmware.ImagePIC.codeWord(k));
        QCOMPARE(words.value(loaded), uint16_t(0x3FFF));
        if (!linkUp && loaded > 0) {
            // Steps 1 and 2 again, the device still gone: its cause is the
            // newest outcome.
            QVERIFY(QFile::remove(adapter));
            prompts.messages.clear();
            w->BP_STEP[1]->click();
            QVERIFY(clickAndWait(*w, 2));
            QCOMPARE(prompts.messages.size(), 1);
            const QString cause = prompts.messages.first().text;
            QVERIFY2(cause.contains(adapter), qPrintable(cause));
            QCOMPARE(w->L_Info->text(), cause);
            QCOMPARE(w->panel(2)->text(), cause.section('\n', 0, 0));
        }
        if (closing.isEmpty())
            return;

        // Step 3 closes the transfer, acknowledged or not.
        QVERIFY(clickAndWait(*w, 3));
        QVERIFY(steps(*w, true, false, false));
        QVERIFY(!w->session().connected());
        QCOMPARE(linkColour(*w), QRgb(0xFF0000));
        QCOMPARE(w->L_Info->text(), closing);
        if (closing.startsWith("Erreur pendant la cloture")) {
            QCOMPARE(prompts.messages.size(), 1);
            QCOMPARE(prompts.messages.first().text,
                     "Erreur pendant la cloture !\nLe module n'a pas répondu dans les 500 ms.");
        } else {
            QVERIFY(prompts.messages.isEmpty());
        }
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
        BootloaderWindowRig::waitPastAFifth(*w);
        if (QTest::currentTestFailed())
            return;
        prompts.answer = QMessageBox::Yes;
        const bool closed = w->close();
        prompts.answer = QMessageBox::Ok;
        QVERIFY(closed && !w->transferRunning());
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[1].text, VEK_LANGUAGE::GetLanguageText("MessFirmwarePartiel"));
        const QString stats = BootloaderWindowRig::blStats(sim);
        QVERIFY2(stats.contains(" close=1 "), qPrintable(stats));
        QCOMPARE(flash(sim).value(0x1FF), uint16_t(0x3FFF)); // the end never sent
    }

    // The download ends while the question to stop it is open: the question
    // goes, and the window closes as it does when nothing runs.
    void stopQuestionGoesWhenTheDownloadEnds()
    {
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx, {"--baud", "4800"}));
        VEK_BL_INIT w(*ctx, nullptr, nullptr); // the program's own message boxes
        QVERIFY(Mouse::click(w.BP_STEP[1]));
        BootloaderWindowRig::downloadEndingBeneathTheStopQuestion(
            w, w.BP_STEP[2], VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"));
        QCOMPARE(flash(sim).value(0x1FF), firmware.ImagePIC.codeWord(0x1FF)); // all of it
    }

    void noFirmwareFileKeepsStepThree()
    {
        QVERIFY(QFile::remove(VEK_Gestion_OS::CheminTemp("~TEMP.HEX")));
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader"}));
        auto w = openAtStep2(sim.devicePath());
        QVERIFY(clickAndWait(*w, 2));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, VEK_LANGUAGE::GetLanguageText("BLPasDeFichierOS"));
        QVERIFY(steps(*w, true, false, true));
        QVERIFY(w->session().connected()); // step 3 can still close the transfer
    }

    // A firmware download refused after the connection (a range past the chip,
    // a file that gives nothing of it, words the 14-bit frames cannot carry):
    // no frame, the refusal said, and step 3 then says that the download was
    // refused, not that the transfer went well. The package's own firmware then
    // loads, and step 3 says so.
    void refusedDownloadIsSaidAtTheClose_data()
    {
        BootloaderWindowRig::addRefusedDownloadColumns();
        BootloaderWindowRig::addRefusedFirmwareRows("VEK-INIT.XOS");
    }

    void refusedDownloadIsSaidAtTheClose()
    {
        QFETCH(QString, chip);
        QFETCH(QString, areas);
        QFETCH(QString, says);
        QFETCH(QByteArray, hex);
        const QString file = VEK_Gestion_OS::CheminTemp("~TEMP.HEX");
        if (!hex.isEmpty())
            QVERIFY(TestSupport::writeFile(file, hex));
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader"}));
        ctx->settings.ICSPChip = chip;
        ctx->settings.ICSPHEXADD = areas.section('/', 0, 0);
        ctx->settings.ICSPHEXLNG = areas.section('/', 1, 1);
        auto w = openAtStep2(sim.devicePath());
        QVERIFY(clickAndWait(*w, 2));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, says);
        QCOMPARE(w->L_Info->text(), says);
        QVERIFY(steps(*w, true, false, true));
        QVERIFY(clickAndWait(*w, 3));
        QCOMPARE(w->L_Info->text(), VEK_LANGUAGE::GetLanguageText("MessDeconnexionApresRefus"));
        TestSupport::keepScreenshot(w->grab(), "VEK_BL_INIT_refused_" + chip + ".png");
        QVERIFY(BootloaderWindowRig::blStats(sim).contains("frames=0"));

        ctx->settings.ICSPChip = "PIC-16F876A";
        ctx->settings.ICSPHEXADD = "000";
        ctx->settings.ICSPHEXLNG = "200";
        QVERIFY(EcrireFichierHex(firmware, file).succeeded());
        w->BP_STEP[1]->click();
        QVERIFY(clickAndWait(*w, 2, 2));
        QCOMPARE(prompts.messages.last().text, QString("Firmware download OK."));
        const QList<uint16_t> words = flash(sim);
        for (int k = 0; k < 0x200; ++k)
            QCOMPARE(words.value(k), firmware.ImagePIC.codeWord(k));
        const QString stats = BootloaderWindowRig::blStats(sim);
        QVERIFY2(stats.contains(" frames=64 "), qPrintable(stats)); // those of 0x000-0x1FF only
        QVERIFY(clickAndWait(*w, 3));
        QCOMPARE(w->L_Info->text(), VEK_LANGUAGE::GetLanguageText("BLTransfertFinalise"));
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
        QCOMPARE(prompts.messages.takeFirst().text, VEK_LANGUAGE::GetLanguageText("BLPasDeLPT"));
        ctx->settings.ICSPPort = "COM1";
        w->BP_STEP[2]->click();
        QCOMPARE(prompts.messages.takeFirst().text,
                 VEK_LANGUAGE::GetLanguageText("BLAucunFichierOS"));
        QVERIFY(steps(*w, true, true, false));
    }
};

QTEST_MAIN(TestFirstLoad)
#include "tst_ui_firstload.moc"
