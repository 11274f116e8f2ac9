#include "BootloaderWindowRig.h"
#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "Mouse.h"
#include "Screenshots.h"
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

    static QList<QWidget *> lockedDuringJobs(VEK_ICSP &w)
    {
        return {w.BP_tst, w.BP_Quit, w.BP_ReadModule};
    }

    // Clicks and waits for the job it started to finish.
    static bool clickAndWait(VEK_ICSP &w, QPushButton *button)
    {
        return BootloaderWindowRig::clickAndWait(w, lockedDuringJobs(w), button);
    }

    BootloaderWindowRig::Road open()
    {
        std::shared_ptr<VEK_ICSP> w = window();
        return {w,
                {w->BP_DLOAD},
                lockedDuringJobs(*w),
                [p = w.get()] { return p->bootloaderConnected(); },
                [p = w.get()] { return p->T_ProgramMem->toPlainText(); }};
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
        const QString areas = "L Adddebut = 768(&H 300)\r\nL Addfin = 1280(&H 500)\r\n"
                              "H Adddebut = 1280(&H 500)\r\nH Addfin = 1792(&H 700)\r\n";
        BootloaderWindowRig::connectDownloadUpdateDisconnect(
            *ctx, prompts, dir, [this] { return open(); },
            {.infoWhenConnected = "",
             .panel3WhenConnected = "",                              // not checked
             .curveMessages = {areas, BootloaderMessages::CurvesOk}, // the areas shown first
             .panel3AfterFirmware = "Processeur: 16F876A",
             .panel3Disconnected = "", // not checked
             .screenshot = "vek_icsp_bootloader.png"});
    }

    // A package firmware made for a larger chip than the one chosen: the update
    // sends its range, which fits; what the chip cannot hold is named by the
    // package's member, never by the work file it was unpacked into, and the
    // programmer writes nothing of that image.
    void whatTheChipCannotHoldIsNamedByThePackage()
    {
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx));
        ctx->settings.ICSPChip = "PIC-16F84A";
        const QString work = VEK_Gestion_OS::CheminTemp("~TEMP.HEX");
        QVERIFY(EcrireFichierHex(BootloaderWindowRig::packageFirmware(), work).succeeded());
        auto w = window();
        QVERIFY(clickAndWait(*w, w->BP_tst));
        QVERIFY(clickAndWait(*w, w->BP_MAJHEX));
        QCOMPARE(lastMessage(), BootloaderMessages::FirmwareOk);
        QVERIFY(BootloaderWindowRig::blStats(sim).contains(" frames=64 "));

        prompts.messages.clear();
        w->BP_WriteModule->click();
        QVERIFY(!w->transferRunning());
        const QString member = VEK_Gestion_OS::DossierPaquets() + "VEK-MZ300.XOS (CODE.HEX)";
        QCOMPARE(lastMessage(),
                 "7168 mots du fichier " + member +
                     " sont hors de la mémoire de programme du PIC 16F84A (0x0000-0x03FF) et ne "
                     "sont pas chargés : 0x0400-0x1FFF.\n192 octets EEPROM du fichier " +
                     member +
                     " sont hors de l'EEPROM du PIC 16F84A (0x00-0x3F) et ne sont pas chargés : "
                     "0x40-0xFF.\n" +
                     GetLanguageText("ICSPHorsPuceRefus"));
        QCOMPARE(prompts.messages.size(), 1); // refused before the device record
    }

    // A module that goes silent: the connection's three hellos unanswered, or
    // the download's hello after the connection; or a connection cancelled
    // while the module is greeted. The window says so, stays as it was for
    // another try, and sends no frame.
    void silentModuleIsTold_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("at the connection") << "silent:EA:0" << false << false;
        QTest::newRow("at the download") << "silent:EA:2" << true << false;
        QTest::newRow("connection cancelled") << "silent:EA:0" << false << true;
    }

    void silentModuleIsTold()
    {
        QFETCH(QString, fault);
        QFETCH(bool, connected);
        QFETCH(bool, cancelled);
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx, {"--fault", fault}));
        auto w = window();
        if (cancelled) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QVERIFY(Mouse::click(w->BP_tst));
            QVERIFY(w->transferRunning());
            QVERIFY(Mouse::click(w->BP_Annuler));
            QVERIFY(QSignalSpy(&w->runner(), &JobRunner::finished).wait(15000));
        } else {
            QVERIFY(clickAndWait(*w, w->BP_tst));
        }
        if (connected)
            QVERIFY(clickAndWait(*w, w->BP_DLOAD));
        QCOMPARE(prompts.messages.size(), connected ? 2 : 1); // the download shows its areas first
        const FakePrompts::Shown shown = prompts.messages.last();
        if (cancelled) {
            // The label and the status bar say the connection was cancelled,
            // not that it was starting.
            const QString told = GetLanguageText("MessConnexionAnnulee");
            QCOMPARE(shown.text, told);
            QCOMPARE(w->L_Info->text(), told);
            QCOMPARE(w->panel(2)->text(), told);
        } else if (connected) {
            QCOMPARE(shown.icon, QMessageBox::Critical);
            QCOMPARE(shown.text, BootloaderMessages::HelloFailed);
            QCOMPARE(w->L_Info->text(), BootloaderMessages::Timeout);
        } else {
            const QString programmer = ' ' + w->nomProgrammateur();
            QCOMPARE(shown.icon, QMessageBox::Question);
            QCOMPARE(shown.text, GetLanguageText("ICSPTestBad") + programmer);
            QCOMPARE(shown.title, GetLanguageText("TransferPCModule") + programmer);
        }
        QCOMPARE(w->bootloaderConnected(), connected);
        QCOMPARE(w->BP_tst->text(), GetLanguageText(connected ? "MBDeconnection" : "MBConnection"));
        QCOMPARE(w->BP_DLOAD->isEnabled(), connected);
        QCOMPARE(w->BP_MAJHEX->isEnabled(), connected);
        QVERIFY(w->BP_tst->isEnabled());
        QVERIFY(BootloaderWindowRig::blStats(sim).contains("frames=0"));
    }

    void areasPastTheChipAreNotSent_data() { BootloaderWindowRig::addAreasPastTheChipRows(1); }

    void areasPastTheChipAreNotSent()
    {
        BootloaderWindowRig::areasPastTheChipAreNotSent(*ctx, prompts, dir,
                                                        [this] { return open(); });
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

    // Closing the window while the module is being greeted cancels and waits.
    void closingDuringTheConnectionWaits()
    {
        ModuleSimulator sim;
        QVERIFY(BootloaderWindowRig::startBootloader(sim, *ctx, {"--fault", "silent:EA:0"}));
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
