#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderTexts.h"
#include "bootloader/ui/VEK_BL.h"
#include "firmware/HexFiles.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/ui/StatusPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using VEK_LANGUAGE::GetLanguageText;

// The bootloader window end to end, offscreen, against the simulated module on
// a pseudo-terminal: connect, download the curve and the firmware, disconnect.
class TestBlWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<VekContext> ctx;
    FakePrompts prompts;

    // Clicks and waits for the job it started to finish.
    bool clickAndWait(VEK_BL &w, QPushButton *button)
    {
        QSignalSpy finished(&w.runner(), &JobRunner::finished);
        button->click();
        const bool locked = !w.BP_tst->isEnabled() && !w.BP_Quit->isEnabled();
        return locked && finished.wait(15000);
    }

    QList<uint16_t> flash(ModuleSimulator &sim)
    {
        return sim.flashWords(dir.filePath("flash.bin"));
    }

private slots:
    void initTestCase() { BootloaderWindowRig::useTextsAndFolder(dir); }

    void init()
    {
        ctx = BootloaderWindowRig::context();
        prompts.messages.clear();
        prompts.answer = QMessageBox::Ok;
    }

    // The close box during a firmware download, the module on a slow line so
    // that the download is mid-way: Yes stops it, closes the transfer and says
    // what the module now holds; No lets it run to its end.
    void closingDuringADownload_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::newRow("stop") << true;
        QTest::newRow("go on") << false;
    }

    void closingDuringADownload()
    {
        QFETCH(bool, stop);
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--baud", "4800"}));
        ctx->settings.ICSPPort = sim.devicePath();
        const PicDevice firmware = BootloaderWindowRig::packageFirmware();
        QVERIFY(EcrireFichierHex(firmware, VEK_Gestion_OS::CheminTemp("~TEMP.HEX")).succeeded());
        VEK_BL w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(clickAndWait(w, w.BP_tst));
        prompts.messages.clear();
        QSignalSpy finished(&w.runner(), &JobRunner::finished);
        w.BP_MAJHEX->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.ProgressBar >= 20, 10000);
        QVERIFY(w.transferRunning());
        prompts.answer = stop ? QMessageBox::Yes : QMessageBox::No;
        const bool closed = w.close();
        QVERIFY(!prompts.messages.isEmpty());
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Question);
        QCOMPARE(prompts.messages.first().text, GetLanguageText("MessArreterTransfert"));
        if (!stop) {
            QVERIFY(!closed && w.isVisible() && w.transferRunning());
            QVERIFY(finished.wait(20000));
            QCOMPARE(prompts.messages.last().text, BootloaderMessages::FirmwareOk);
            QCOMPARE(flash(sim).value(0x1FF), firmware.ImagePIC.codeWord(0x1FF));
            return;
        }
        QVERIFY(closed && !w.isVisible() && !w.transferRunning());
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[1].icon, QMessageBox::Warning);
        QCOMPARE(prompts.messages[1].text, GetLanguageText("MessFirmwarePartiel"));
        QVERIFY(!w.session().connected());
        sim.command("blstats");
        const QString stats = sim.waitForLine("BLSTATS");
        QVERIFY2(stats.contains("close=") && !stats.contains("close=0"), qPrintable(stats));
        const QList<uint16_t> words = flash(sim);
        QCOMPARE(words.value(0), firmware.ImagePIC.codeWord(0));
        QCOMPARE(words.value(0x1FF), uint16_t(0x3FFF)); // the end never sent
    }

    void connectDownloadUpdateDisconnect()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--bl-name", "VEK-MZ300 T1"}));
        ctx->settings.ICSPPort = sim.devicePath();
        VEK_BL w(*ctx, nullptr, &prompts);
        w.show();

        QVERIFY(clickAndWait(w, w.BP_tst));
        QCOMPARE(w.BP_tst->text(), GetLanguageText("MBDeconnection"));
        QVERIFY(w.BP_DLOAD[1]->isEnabled() && w.BP_DLOAD[2]->isEnabled());
        QVERIFY(w.BP_MAJHEX->isEnabled() && !w.BP_UPLOAD->isEnabled());
        QCOMPARE(w.panel(3)->text(), QString("VEK-MZ300 T1\\REV:5 - OS:2.1.5"));
        QCOMPARE(w.L_Info->text(), BootloaderMessages::Connected);

        QVERIFY(clickAndWait(w, w.BP_DLOAD[1]));
        QCOMPARE(prompts.messages.last().text, BootloaderMessages::CurvesOk);
        QList<uint16_t> words = flash(sim);
        for (int k = 0x300; k < 0x700; ++k)
            QCOMPARE(words[k], ctx->pic.ImagePIC.codeWord(k));
        QCOMPARE(words[0x300], uint16_t(0x0782));
        QImage shot = w.grab().toImage();
        shot.save(dir.filePath("bl.png"));
        if (qEnvironmentVariableIsSet("VEK_SCREENSHOT_DIR"))
            shot.save(qEnvironmentVariable("VEK_SCREENSHOT_DIR") + "/vek_bl_download.png");

        const PicDevice firmware = BootloaderWindowRig::packageFirmware();
        QVERIFY(EcrireFichierHex(firmware, VEK_Gestion_OS::CheminTemp("~TEMP.HEX")).succeeded());
        QVERIFY(clickAndWait(w, w.BP_MAJHEX));
        QCOMPARE(prompts.messages.last().text, BootloaderMessages::FirmwareOk);
        words = flash(sim);
        for (int k = 0; k < 0x200; ++k)
            QCOMPARE(words[k], firmware.ImagePIC.codeWord(k));

        QVERIFY(clickAndWait(w, w.BP_tst));
        QCOMPARE(w.BP_tst->text(), GetLanguageText("MBConnection"));
        QVERIFY(!w.BP_DLOAD[1]->isEnabled() && !w.BP_MAJHEX->isEnabled());
        QCOMPARE(w.panel(3)->text(), QString("LOCAL"));
        QCOMPARE(w.L_Info->text(), BootloaderMessages::CloseDone);
        QVERIFY(!w.session().connected());
    }

    void refusedFrameIsToldInThisWindow()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "wrong:E3:3"}));
        ctx->settings.ICSPPort = sim.devicePath();
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        QVERIFY(clickAndWait(w, w.BP_DLOAD[1]));
        const FakePrompts::Shown shown = prompts.messages.last();
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QVERIFY2(shown.text.contains("[0x0310]"), qPrintable(shown.text));
        QVERIFY(!shown.text.contains("OK"));
        QVERIFY(w.L_Info->text().contains("[0x0310]"));
        QVERIFY(w.BP_DLOAD[1]->isEnabled()); // still connected, ready for another try
    }

    void unusableCurveIsNotSent()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader"}));
        ctx->settings.ICSPPort = sim.devicePath();
        ctx->tab_avance.setRows({{"1000", "12", "8"}, {"3000", "1O", "11"}}, false);
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        QSignalSpy started(&w.runner(), &JobRunner::started);
        w.BP_DLOAD[1]->click();
        QCOMPARE(started.size(), 0);
        QCOMPARE(prompts.messages.last().text, ctx->tab_avance.invalidValuesMessage());
        sim.command("blstats");
        QVERIFY(sim.waitForLine("BLSTATS").contains("frames=0"));
    }

    void refusalsComeBeforeAnyPort_data() { BootloaderWindowRig::addRefusalRows(); }

    void refusalsComeBeforeAnyPort()
    {
        QFETCH(QString, port);
        QFETCH(QString, package);
        QFETCH(QString, says);
        ctx->settings.ICSPPort = port;
        ctx->TypeVersionOS = package;
        VEK_BL w(*ctx, nullptr, &prompts);
        QSignalSpy started(&w.runner(), &JobRunner::started);
        w.BP_tst->click();
        QCOMPARE(prompts.messages.last().text, says);
        QCOMPARE(started.size(), 0);
        QCOMPARE(w.BP_tst->text(), GetLanguageText("MBConnection"));
    }

    void missingPortStaysDisconnected()
    {
        ctx->settings.ICSPPort = "/dev/vek-no-such-port";
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        QVERIFY(prompts.messages.last().text.contains("/dev/vek-no-such-port"));
        QCOMPARE(w.BP_tst->text(), GetLanguageText("MBConnection"));
        QVERIFY(!w.BP_DLOAD[1]->isEnabled());
    }
};

QTEST_MAIN(TestBlWindow)
#include "tst_ui_blwindow.moc"
