#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "Mouse.h"
#include "PortHolders.h"
#include "Screenshots.h"
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
#include <QScreen>
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
    static bool clickAndWait(VEK_BL &w, QPushButton *button)
    {
        return BootloaderWindowRig::clickAndWait(w, {w.BP_tst, w.BP_Quit}, button);
    }

    BootloaderWindowRig::Road open()
    {
        auto w = std::make_shared<VEK_BL>(*ctx, nullptr, &prompts);
        const auto connected = [p = w.get()] { return p->session().connected(); };
        return {w, {w->BP_DLOAD[1], w->BP_DLOAD[2]}, {w->BP_tst, w->BP_Quit}, connected, {}};
    }

    QList<uint16_t> flash(ModuleSimulator &sim)
    {
        return sim.flashWords(dir.filePath("flash.bin"));
    }

private slots:
    void initTestCase() { BootloaderWindowRig::useTextsAndFolder(dir); }

    void init()
    {
        BootloaderWindowRig::useTextsAndFolder(dir);
        ctx = BootloaderWindowRig::context();
        prompts.messages.clear();
        QFile::remove(VEK_Gestion_OS::CheminTemp("~TEMP.HEX"));
        QFile::remove(VEK_Gestion_OS::CheminTemp("~TEMP.XEH"));
        prompts.answer = QMessageBox::Ok;
    }

    // The package's firmware comes as "~TEMP.XEH" (the usual layout) or
    // "~TEMP.HEX"; when both are there, the plain file is the one sent.
    void firmwareDownloadSendsThePackagesFile_data()
    {
        QTest::addColumn<bool>("plain");
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("scrambled file only") << false << true;
        QTest::newRow("plain file wins over the scrambled one") << true << true;
    }

    void firmwareDownloadSendsThePackagesFile()
    {
        QFETCH(bool, plain);
        QFETCH(bool, scrambled);
        const PicDevice firmware = BootloaderWindowRig::packageFirmware();
        PicDevice other = firmware;
        for (int k = 0; k < 0x200; ++k)
            other.ImagePIC.setCodeWord(k, uint16_t(0x2000 + k));
        const QString hex = VEK_Gestion_OS::CheminTemp("~TEMP.HEX");
        const QString xeh = VEK_Gestion_OS::CheminTemp("~TEMP.XEH");
        if (plain)
            QVERIFY(EcrireFichierHex(firmware, hex).succeeded());
        if (scrambled)
            QVERIFY(EcrireFichierXeh(plain ? other : firmware, xeh).succeeded());
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        QVERIFY(clickAndWait(w, w.BP_MAJHEX));
        QCOMPARE(prompts.messages.last().text, VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"));
        const QList<uint16_t> words = flash(sim);
        QCOMPARE(words.size(), 0x4000);
        for (int k = 0; k < 0x200; ++k)
            QCOMPARE(words[k], firmware.ImagePIC.codeWord(k));
        QCOMPARE(words[0x200], uint16_t(0x3FFF));
    }

    // A package's damaged firmware is named as the package's member the user
    // chose, never as the program's work file.
    void damagedPackageFirmwareIsNamedAsItsMember()
    {
        QVERIFY(
            TestSupport::writeFile(VEK_Gestion_OS::CheminTemp("~TEMP.XEH"), "not a record\r\n"));
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        clickAndWait(w, w.BP_MAJHEX);
        QCOMPARE(prompts.messages.last().text,
                 "Fichier " + VEK_Gestion_OS::DossierPaquets() +
                     "VEK-MZ300.XOS (CODE.XEH) refusé : il ne contient aucun enregistrement HEX ; "
                     "sa ligne 1 est « not a record ».");
    }

    // The second curve set goes to its own areas, and only there.
    void secondCurveSetReachesItsAreas()
    {
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
        ctx->settings.ICSPLTAB_L2 = "900";
        ctx->settings.ICSPHTAB_L2 = "B00";
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        QVERIFY(clickAndWait(w, w.BP_DLOAD[2]));
        QCOMPARE(prompts.messages.last().text, VEK_LANGUAGE::GetLanguageText("BLCourbesOK"));
        const QList<uint16_t> words = flash(sim);
        QCOMPARE(words.size(), 0x4000);
        for (int k = 0x900; k < 0xD00; ++k)
            QCOMPARE(words[k], ctx->pic.ImagePIC.codeWord(k));
        QCOMPARE(words[0x900], uint16_t(0x0782));
        QCOMPARE(words[0xB00], uint16_t(0x0782));
        for (int k : {0x300, 0x500, 0x8FF, 0xD00})
            QCOMPARE(words[k], uint16_t(0x3FFF));
    }

    // A firmware without a second set of tables: "Download courbe 2" stays
    // greyed once connected, and, asked all the same, says why, sending
    // nothing; the disconnection then says that the download was refused.
    void noSecondSetNoCurveTwo()
    {
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
        ctx->settings.ICSPLTAB_L2.clear();
        ctx->settings.ICSPHTAB_L2.clear();
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        QVERIFY(w.BP_DLOAD[1]->isEnabled());
        QVERIFY(!w.BP_DLOAD[2]->isEnabled());
        prompts.messages.clear();
        w.BP_DLOAD_Click(2);
        QVERIFY(!w.transferRunning());
        const QString why = "Le firmware choisi n'a pas de deuxième jeu de tables : il n'y a pas "
                            "de courbe 2 à envoyer.";
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text, why);
        QCOMPARE(w.L_Info->text(), why);
        QVERIFY(BootloaderWindowRig::blStats(sim).contains("frames=0"));
        QVERIFY(clickAndWait(w, w.BP_tst));
        QCOMPARE(w.L_Info->text(), VEK_LANGUAGE::GetLanguageText("MessDeconnexionApresRefus"));
    }

    // A download refused, then another whose truncation question is up: the
    // status bar no longer shows the refusal while it is asked. The question
    // is titled for the download, and No answers for the download.
    void truncationQuestionStandsAlone()
    {
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
        ctx->settings.ICSPLTAB_L2 = "2000"; // past the 16F876A's 8K words
        ctx->settings.ICSPHTAB_L2 = "2200";
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        QVERIFY(Mouse::click(w.BP_DLOAD[2]));
        const QString refused = w.panel(2)->text();
        QVERIFY2(refused.contains("0x2000"), qPrintable(refused));

        ctx->moteur.Txt_av_statique = "10"; // under the curve's 18: a truncation
        prompts.answer = QMessageBox::No;
        prompts.messages.clear();
        QStringList whileAsked;
        prompts.whileShown = [&] { whileAsked << w.panel(2)->text(); };
        QVERIFY(Mouse::click(w.BP_DLOAD[1]));
        prompts.whileShown = nullptr;
        QVERIFY(!whileAsked.isEmpty());
        QVERIFY2(!whileAsked.contains(refused), qPrintable(whileAsked.join('|')));
        QVERIFY(!w.transferRunning()); // declined: nothing sent
        QCOMPARE(prompts.messages.size(), 2);
        for (const FakePrompts::Shown &shown : prompts.messages)
            QCOMPARE(shown.title, QString("Envoi des courbes au module"));
        QVERIFY(prompts.messages.first().text.contains("avance statique"));
        QCOMPARE(prompts.messages.last().text,
                 QString("Les courbes n'ont pas été envoyées au module."));
        QCOMPARE(w.L_Info->text(), QString("Les courbes n'ont pas été envoyées au module."));
    }

    // Curve set 2 whose tables run past the chip is refused, every area outside
    // named; set 1 then goes as before.
    void areasPastTheChipAreNotSent_data() { BootloaderWindowRig::addAreasPastTheChipRows(2); }

    void areasPastTheChipAreNotSent()
    {
        BootloaderWindowRig::areasPastTheChipAreNotSent(*ctx, prompts, dir,
                                                        [this] { return open(); });
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
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx, {"--baud", "4800"}));
        const PicDevice firmware = BootloaderWindowRig::packageFirmware();
        QVERIFY(EcrireFichierHex(firmware, VEK_Gestion_OS::CheminTemp("~TEMP.HEX")).succeeded());
        VEK_BL w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(clickAndWait(w, w.BP_tst));
        prompts.messages.clear();
        QSignalSpy finished(&w.runner(), &JobRunner::finished);
        w.BP_MAJHEX->click();
        BootloaderWindowRig::waitPastAFifth(w);
        if (QTest::currentTestFailed())
            return;
        prompts.answer = stop ? QMessageBox::Yes : QMessageBox::No;
        const bool closed = w.close();
        QVERIFY(!prompts.messages.isEmpty());
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Question);
        QCOMPARE(prompts.messages.first().text,
                 "Un transfert est en cours. Voulez-vous l'arrêter et fermer la fenêtre ?");
        if (!stop) {
            QVERIFY(!closed && w.isVisible() && w.transferRunning());
            QVERIFY(finished.wait(20000));
            QCOMPARE(prompts.messages.last().text, VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"));
            QCOMPARE(flash(sim).value(0x1FF), firmware.ImagePIC.codeWord(0x1FF));
            return;
        }
        QVERIFY(closed && !w.isVisible() && !w.transferRunning());
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[1].icon, QMessageBox::Warning);
        QCOMPARE(prompts.messages[1].text,
                 "Le transfert a été arrêté : le module ne contient qu'une partie du firmware. "
                 "Envoyez de nouveau le firmware avant d'utiliser le module.");
        QVERIFY(!w.session().connected());
        const QString stats = BootloaderWindowRig::blStats(sim);
        QVERIFY2(stats.contains("close=") && !stats.contains("close=0"), qPrintable(stats));
        const QList<uint16_t> words = flash(sim);
        QCOMPARE(words.value(0), firmware.ImagePIC.codeWord(0));
        QCOMPARE(words.value(0x1FF), uint16_t(0x3FFF)); // the end never sent
    }

    // The download ends while the question to stop it is open: the question
    // goes, and the window closes, the module getting its close first.
    void stopQuestionGoesWhenTheDownloadEnds()
    {
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx, {"--baud", "4800"}));
        QVERIFY(EcrireFichierHex(BootloaderWindowRig::packageFirmware(),
                                 VEK_Gestion_OS::CheminTemp("~TEMP.HEX"))
                    .succeeded());
        VEK_BL w(*ctx, nullptr, nullptr); // the program's own message boxes
        QVERIFY(clickAndWait(w, w.BP_tst));
        BootloaderWindowRig::downloadEndingBeneathTheStopQuestion(
            w, w.BP_MAJHEX, VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"));
        QVERIFY(!w.session().connected());
        const QString stats = BootloaderWindowRig::blStats(sim);
        QVERIFY2(stats.contains("close=3"), qPrintable(stats));
    }

    void connectDownloadUpdateDisconnect()
    {
        const QString identity = "VEK-MZ300 T1\\REV:5 - OS:2.1.5";
        BootloaderWindowRig::connectDownloadUpdateDisconnect(
            *ctx, prompts, dir, [this] { return open(); },
            {.infoWhenConnected = VEK_LANGUAGE::GetLanguageText("BLConnexionEtablie"),
             .panel3WhenConnected = identity,
             .curveMessages = {VEK_LANGUAGE::GetLanguageText("BLCourbesOK")},
             .panel3AfterFirmware = identity, // the module's identity stays
             .panel3Disconnected = "LOCAL",
             .screenshot = "vek_bl_download.png"});
    }

    // Quitting while connected and idle ends the transfer as the connection
    // button does: the module gets its close, then the window closes.
    void quittingWhileConnectedClosesTheTransfer_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Quitter") << false;
        QTest::newRow("close box") << true;
    }

    void quittingWhileConnectedClosesTheTransfer()
    {
        QFETCH(bool, closeBox);
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
        VEK_BL w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(clickAndWait(w, w.BP_tst));
        QSignalSpy finished(&w.runner(), &JobRunner::finished);
        if (closeBox)
            w.close();
        else
            w.BP_Quit->click();
        QVERIFY(!finished.isEmpty() || finished.wait(15000));
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(prompts.messages.isEmpty()); // nothing was running: no question
        QVERIFY(!w.session().connected());
        const QString stats = BootloaderWindowRig::blStats(sim);
        QVERIFY2(stats.contains("close=3"), qPrintable(stats)); // 0xED, 0xED, then the judged one
    }

    // What the module answers out of step or in part: the window shows the
    // identity the module has, never one shifted by a late answer.
    void connectionShowsTheModulesIdentity_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("panel3");
        QTest::addColumn<bool>("downloads"); // a curve download goes through afterwards
        QTest::newRow("first probe answered after its deadline")
            << QStringList{"--fault", "late:3A:1", "--bl-late-ms", "700"}
            << "VEK-MZ300 OS\\REV:5 - OS:2.1.5" << true;
        // At the line's pace the second answer trails the late one by a byte time.
        QTest::newRow("first probe late, paced line")
            << QStringList{"--fault", "late:3A:1", "--bl-late-ms", "700", "--baud", "57600"}
            << "VEK-MZ300 OS\\REV:5 - OS:2.1.5" << true;
        // Each answer 600 ms late, past the probe's 500 ms: the first probe's
        // answer is taken for the second's, whose own answer comes 600 ms later.
        QTest::newRow("every answer late")
            << QStringList{"--fault",      "late:*:0", "--bl-late-ms", "600",
                           "--bl-version", "0327",     "--bl-name",    "VEK-SIMUL-01"}
            << "VEK-SIMUL-01\\REV:5 - OS:3.2.7" << false;
        QTest::newRow("name of 6 bytes")
            << QStringList{"--fault", "short:EF:1"} << "VEK-MZ\\REV:5 - OS:2.1.5" << true;
    }

    void connectionShowsTheModulesIdentity()
    {
        QFETCH(QStringList, faults);
        QFETCH(QString, panel3);
        QFETCH(bool, downloads);
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx, faults));
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        QCOMPARE(w.panel(3)->text(), panel3);
        QCOMPARE(w.BP_tst->text(), GetLanguageText("MBDeconnection"));
        QVERIFY(prompts.messages.isEmpty());
        if (!downloads) // every frame's acknowledgement would come too late
            return;
        // The line is in step afterwards: the download goes through.
        QVERIFY(clickAndWait(w, w.BP_DLOAD[1]));
        QCOMPARE(prompts.messages.last().text, VEK_LANGUAGE::GetLanguageText("BLCourbesOK"));
    }

    // A module that refuses a frame of the curve download, or the close, or
    // is gone by then: the fault and its cause are told in this window, and
    // the window ends disconnected all the same, with nothing that reads as a
    // success and no progress left beside the red link. "%PORT%": the module's
    // device; "unplugged": the module leaves while the window is idle.
    void faultsAreToldAndTheWindowEndsDisconnected_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("downloadSays"); // the curve download's failure ("" none)
        QTest::addColumn<QString>("closeSays");    // the message of the disconnection ("" none)
        QTest::addColumn<QString>("info");         // the label once disconnected
        const QString fr = "francais.ini";
        const QString afterFailure = "Module déconnecté : le dernier transfert a échoué, le "
                                     "module n'a pas tout reçu !";
        // The third frame is block 0x310; a good acknowledgement is E7 E4.
        TestSupport::row("wrong acknowledgement", fr, "wrong:E3:3",
                         "Le module a refusé le bloc [0x0310] (réponse : E7 E5). Transfert arrêté.",
                         "", afterFailure);
        TestSupport::row("late acknowledgement", fr, "late:E3:3",
                         "Délai de communication dépassé ! [0x0310]", "", afterFailure);
        TestSupport::row("half an acknowledgement", fr, "partial:E3:3",
                         "Réponse incomplète du module au bloc [0x0310] (reçu : E7). Transfert "
                         "arrêté.",
                         "", afterFailure);
        const QString silent = "\nLe module n'a pas répondu dans les 500 ms.";
        const QString gone = "\nLiaison interrompue sur %PORT% : "
                             "le périphérique a disparu (adaptateur USB débranché ?)";
        TestSupport::row("close unacknowledged", fr, "silent:ED:0", "",
                         "Erreur pendant la cloture !" + silent,
                         "Erreur pendant la cloture du transfert !" + silent);
        TestSupport::row("close answered past 500 ms", fr, "late:ED:0", "",
                         "Erreur pendant la cloture !" + silent,
                         "Erreur pendant la cloture du transfert !" + silent);
        TestSupport::row("module unplugged while idle", fr, "unplugged", "",
                         "Erreur pendant la cloture !" + gone,
                         "Erreur pendant la cloture du transfert !" + gone);
        TestSupport::row("module unplugged, in English", QString("english.ini"), "unplugged", "",
                         QString("Error while closing!\nLink lost on %PORT%: "
                                 "the device has gone (USB adapter unplugged?)"),
                         QString("Error while closing the transfer!\nLink lost on %PORT%: "
                                 "the device has gone (USB adapter unplugged?)"));
    }

    void faultsAreToldAndTheWindowEndsDisconnected()
    {
        QFETCH(QString, language);
        QFETCH(QString, fault);
        QFETCH(QString, downloadSays);
        QFETCH(QString, closeSays);
        QFETCH(QString, info);
        TestSupport::useTexts(language);
        const bool unplugged = fault == "unplugged";
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(
            sim, *ctx, unplugged ? QStringList{} : QStringList{"--fault", fault}));
        closeSays.replace("%PORT%", sim.devicePath());
        info.replace("%PORT%", sim.devicePath());
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(clickAndWait(w, w.BP_tst));
        if (!downloadSays.isEmpty()) {
            QVERIFY(clickAndWait(w, w.BP_DLOAD[1]));
            const FakePrompts::Shown shown = prompts.messages.takeLast();
            QCOMPARE(shown.icon, QMessageBox::Critical);
            QCOMPARE(shown.text, downloadSays);
            QCOMPARE(w.L_Info->text(), downloadSays);
            QVERIFY(w.BP_DLOAD[1]->isEnabled());     // still connected, ready for another try
            QVERIFY(w.panel(2)->picture().isNull()); // no bar left part-way
        }

        if (unplugged)
            QVERIFY(sim.unplug());
        QVERIFY(clickAndWait(w, w.BP_tst));
        if (!closeSays.isEmpty())
            QCOMPARE(prompts.messages.last().text, closeSays);
        QCOMPARE(w.L_Info->text(), info);
        QCOMPARE(w.BP_tst->text(), GetLanguageText("MBConnection"));
        QVERIFY(!w.BP_DLOAD[1]->isEnabled() && !w.BP_DLOAD[2]->isEnabled());
        QVERIFY(!w.BP_MAJHEX->isEnabled());
        QCOMPARE(w.panel(3)->text(), QString("LOCAL"));
        QVERIFY(w.panel(2)->picture().isNull());
        QVERIFY(!w.session().connected());
        if (unplugged)
            return;
        // 0xED, 0xED, then the judged one (a late module counts it once it answers).
        const auto stats = [&sim] { return BootloaderWindowRig::blStats(sim); };
        QTRY_VERIFY_WITH_TIMEOUT(stats().contains("close=3"), 5000);
    }

    // A second connection after one that failed: while it greets the module,
    // the status bar no longer shows the earlier failure as if it were current.
    void newConnectionTakesTheOldFailureAway_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("failed"); // the first connection's outcome
        TestSupport::row("French", QString("francais.ini"),
                         QString("Pas de réponse du module par le VEK-MZ300"));
        TestSupport::row("English", QString("english.ini"),
                         QString("No answer from the module through the VEK-MZ300"));
    }

    void newConnectionTakesTheOldFailureAway()
    {
        QFETCH(QString, language);
        QFETCH(QString, failed);
        TestSupport::useTexts(language);
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx, {"--fault", "silent:3A:0"}));
        VEK_BL w(*ctx, nullptr, &prompts);
        QVERIFY(Mouse::click(w.BP_tst));
        QTRY_VERIFY_WITH_TIMEOUT(!w.transferRunning(), 15000);
        QCOMPARE(w.panel(2)->text(), failed);

        QSignalSpy finished(&w.runner(), &JobRunner::finished);
        QVERIFY(Mouse::click(w.BP_tst));
        QVERIFY(w.transferRunning());
        QCOMPARE(w.panel(2)->text(), QString());
        QVERIFY(finished.wait(15000));
        QCOMPARE(w.panel(2)->text(), failed);
    }

    // After a download that ended with the device gone, a connection that
    // fails is the newest outcome: its cause replaces the lost line in the
    // box, the label and the status bar.
    void failedConnectionAfterALostDevice_data()
    {
        QTest::addColumn<bool>("heldByAnotherProgram"); // else the device is still gone
        QTest::newRow("device still gone") << false;
        QTest::newRow("port held by another program") << true;
    }

    void failedConnectionAfterALostDevice()
    {
        QFETCH(bool, heldByAnotherProgram);
        ModuleSimulator sim;
        QVERIFY(sim.start({"--bootloader", "--fault", "drop:E3:11"}));
        // The adapter's link, which goes with it (its device number may serve
        // another program's line soon after).
        const QString adapter = dir.filePath("adapter");
        QFile::remove(adapter);
        QVERIFY(QFile::link(sim.devicePath(), adapter));
        ctx->settings.ICSPPort = adapter;
        VEK_BL w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(clickAndWait(w, w.BP_tst));
        QVERIFY(clickAndWait(w, w.BP_DLOAD[1]));
        QVERIFY(!w.session().connected());
        QVERIFY(QFile::remove(adapter));
        const QString lost = w.panel(2)->text();
        // Lost at the 11th frame of eight words, the firmware's starting at 0x0300.
        QCOMPARE(lost, "Liaison interrompue sur " + adapter +
                           " : le périphérique a disparu (adaptateur USB débranché ?) [0x0350]");

        LinkedPty pty;
        std::unique_ptr<ForeignPortHolder> program; // goes before the pty
        if (heldByAnotherProgram) {
            program = std::make_unique<ForeignPortHolder>(pty.device);
            QVERIFY(program->holding());
            ctx->settings.ICSPPort = pty.device;
        }
        prompts.messages.clear();
        QSignalSpy finished(&w.runner(), &JobRunner::finished);
        QVERIFY(Mouse::click(w.BP_tst));
        QVERIFY(!finished.isEmpty() || finished.wait(15000));
        QCOMPARE(prompts.messages.size(), 1);
        const QString cause = prompts.messages.first().text;
        QVERIFY2(cause.contains(ctx->settings.ICSPPort), qPrintable(cause));
        QCOMPARE(w.L_Info->text(), cause);
        QCOMPARE(w.panel(2)->text(), cause.section('\n', 0, 0));
        QVERIFY(!w.session().connected());
    }

    // The identity a user checks before a download shows whole at the
    // window's own size, within a 1024x768 screen, in every language, on one
    // line: control bytes in the name show as marks, kept as received.
    void identityShowsWholeAtTheWindowsSize_data() { TestSupport::addLanguageFileRows(); }

    void identityShowsWholeAtTheWindowsSize()
    {
        QFETCH(QString, file);
        TestSupport::useTexts(file);
        ModuleSimulator sim;
        const QString name = "VEKSIM\x7F\u0080\n1\x01\u009F"; // C0, DEL and C1 controls
        QVERIFY(BootloaderWindowRig::startBootloader(
            sim, *ctx, {"--bl-name", name, "--bl-version", "0327", "--bl-revision", "1F"}));
        VEK_BL w(*ctx, nullptr, &prompts);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(clickAndWait(w, w.BP_tst));
        TestSupport::settle(); // the layout takes the new text
        QCOMPARE(w.session().identity.ModuleNom, name);
        const StatusPanel *identity = w.panel(3);
        QCOMPARE(identity->text(), QString("VEKSIM···1··\\REV:1F - OS:3.2.7"));
        QCOMPARE(identity->shownText(), identity->text());
        // The panel within the window, the window within the screen.
        QVERIFY(identity->mapTo(&w, QPoint(identity->width(), 0)).x() <= w.width());
        QCOMPARE(w.screen()->geometry().width(), 1024);
        QVERIFY2(w.frameGeometry().width() <= 1024, qPrintable(QString::number(w.width())));
        TestSupport::keepScreenshot(w.grab(),
                                    "vek_bl_identity_" + file.section('.', 0, 0) + ".png");
    }

    void unusableCurveIsNotSent()
    {
        BootloaderWindowRig::unusableCurveIsNotSent(*ctx, prompts, [this] { return open(); });
    }

    void refusalsComeBeforeAnyPort_data() { BootloaderWindowRig::addRefusalRows(); }

    void refusalsComeBeforeAnyPort()
    {
        BootloaderWindowRig::refusalsComeBeforeAnyPort(*ctx, prompts, [this] { return open(); });
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

VEK_TEST_MAIN_ON_SCREEN(TestBlWindow, 1024, 768)
#include "tst_ui_blwindow.moc"
