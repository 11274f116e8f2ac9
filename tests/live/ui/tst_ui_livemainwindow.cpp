#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "Mouse.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/ui/VEK_Accueil.h"
#include "app/ui/VEK_SETUP.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "live/TrameLive.h"
#include "live/ui/LedLamp.h"
#include "live/ui/LivePage.h"
#include "live/ui/TerminalPage.h"
#include "live/ui/TerminalReceiveBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <termios.h>

using TestSupport::row;

// The live and terminal pages inside the main window: the shared port, the
// status bar and the information label.
class TestUiLiveMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir store_;

    // The window as it starts, its serial port set to `device`.
    static void loadOn(VEK_Accueil &window, const QString &device)
    {
        window.Form_Load(false);
        window.settings().portNumber = 0;
        window.settings().portDevice = device;
    }

    // Enters page `index` as a user does: a click on its tab.
    static void enterPage(VEK_Accueil &window, int index)
    {
        QTabBar *tabs = window.SSTab1()->tabBar();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
        QCOMPARE(window.SSTab1()->currentIndex(), index);
    }

    // Opens the shared port from page `page` as a user does (4: RUN on the live
    // page, 3: the terminal's Open Port); the port that page holds.
    static QSerialPort &openFromPage(VEK_Accueil &window, int page)
    {
        window.SSTab1()->setCurrentIndex(page);
        window.control<QPushButton>(page == 4 ? "Lbl_ON_OFF" : "BP_OpenPort")->click();
        return page == 4 ? window.livePage()->link().serialPort()
                         : window.terminalPage()->port().serialPort();
    }

    // Captures `frames` frames of `sim` on the live page as a user does: the
    // buffer ticked, RUN clicked, until the count shows them.
    static void captureFrames(VEK_Accueil &window, ModuleSimulator &sim, int frames)
    {
        enterPage(window, 4);
        auto *buffer = window.control<QCheckBox>("ChkBuffer");
        QVERIFY(Mouse::click(buffer));
        QVERIFY(buffer->isChecked());
        QVERIFY(Mouse::click(window.control<QPushButton>("Lbl_ON_OFF")));
        QByteArray stream;
        for (int i = 0; i < frames; ++i)
            stream += TrameLive::withWords(1250, 0, 0, 0, 0, uint8_t(i)).toByteArray();
        QVERIFY(sim.sendBytes(stream));
        QTRY_COMPARE_WITH_TIMEOUT(
            window.control<QLabel>("BufferStat")->text(),
            VEK_LANGUAGE::GetLanguageText("LiveBufferStat", {"%1", QString::number(10 * frames)}),
            30000);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName("VEK_Courbe");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store_.path());
        VEK_LANGUAGE::InitLanguage();
    }

    void init()
    {
        // Each test starts from the defaults: what one saved is not the next one's.
        MainSettingsLoader::OpenStore()->clear();
    }

    // The window is built before the language texts are read: the log-folder
    // button must still get its caption once they are.
    void logFolderButtonHasItsCaption()
    {
        VEK_LANGUAGE::SetFichierLangueDefaut("missing.ini");
        TestSupport::useTexts("missing.ini");
        VEK_Accueil window;
        window.Form_Load(false);
        auto *button = window.findChild<QToolButton *>("BP_LogDossier");
        QVERIFY(button);
        QVERIFY(!button->text().isEmpty());
        QCOMPARE(button->text(), VEK_LANGUAGE::GetLanguageText("MBLogDossier"));
    }

    // The folder chosen for the logs is there again after a restart. A choice
    // that could not be saved is said until a later one is saved.
    void logFolderSurvivesARestart()
    {
        QTemporaryDir logs;
        FakePrompts prompts;
        prompts.folder = logs.path();
        {
            VEK_Accueil window;
            window.Form_Load(false);
            window.livePage()->setPrompts(prompts);
            enterPage(window, 4);
            QVERIFY(Mouse::click(window.control<QCheckBox>("ChkBuffer")));
            auto *choose = window.findChild<QToolButton *>("BP_LogDossier");
            const QString storeFile = MainSettingsLoader::OpenStore()->fileName();
            QFile::remove(storeFile);
            QVERIFY(QDir().mkpath(storeFile)); // a folder in its place: no save
            QVERIFY(Mouse::click(choose));
            QCOMPARE(window.L_Info()->text(), "Les réglages n'ont pas pu être enregistrés dans " +
                                                  storeFile + " : c'est un dossier.");
            QVERIFY(QDir(storeFile).removeRecursively());
            QVERIFY(Mouse::click(choose));
            QCOMPARE(prompts.folderAsks, 2);
            QCOMPARE(window.settings().LogFolder, logs.path());
            QCOMPARE(window.L_Info()->text(), QString());
        }
        VEK_Accueil restarted;
        restarted.Form_Load(false);
        QCOMPARE(restarted.settings().LogFolder, logs.path());
        QCOMPARE(restarted.findChild<QToolButton *>("BP_LogDossier")->toolTip(),
                 QDir::toNativeSeparators(logs.path()));
    }

    void pageChangesCloseTheSharedPort()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--rate", "200", "--rpm", "4500"}));
        VEK_Accueil window;
        loadOn(window, sim.devicePath());
        window.resize(1200, 860);
        window.show();

        window.SSTab1()->setCurrentIndex(4);
        QCOMPARE(window.statusPanel(1), sim.devicePath());
        QCOMPARE(window.statusPanel(3), QString("TRAME :"));
        QCOMPARE(window.statusPanel(4), QString("STOP"));
        window.control<QPushButton>("Lbl_ON_OFF")->click();
        QVERIFY(window.livePage()->isRunning());
        QCOMPARE(window.statusPanel(4), QString("RUN"));
        window.control<QCheckBox>("ChkBuffer")->setChecked(true);
        window.control<QCheckBox>("Chk_Simulation")->setChecked(true);
        QCOMPARE(sim.waitForLine("SIMUL"), QString("SIMUL 1250"));
        sim.command("stream 0");
        QTRY_VERIFY(window.statusPanel(3).startsWith("TRAME [10] : 23 - 4 - E2"));
        TestSupport::settle();
        // Every lamp blends with what stands behind it: the instrument frame or
        // the tab's lighter pane.
        const QImage shot = window.grab().toImage();
        TestSupport::keepScreenshot(shot, "main_live_page.png");
        int lamps = 0;
        for (LedLamp *lamp : window.livePage()->findChildren<LedLamp *>()) {
            if (!lamp->isVisible())
                continue;
            const QPoint corner = lamp->mapTo(&window, QPoint(lamp->width() - 1, 0));
            QCOMPARE(QColor(shot.pixel(corner)), QColor(shot.pixel(corner - QPoint(0, 1))));
            ++lamps;
        }
        QCOMPARE(lamps, 9); // eight on the frame and RUN

        // Leaving the page stops the simulation and closes the port.
        window.SSTab1()->setCurrentIndex(3);
        QCOMPARE(sim.waitForLine("STOP"), QString("STOP"));
        QVERIFY(!window.livePage()->isRunning());
        QCOMPARE(window.statusPanel(4), QString("STOP"));

        auto *open = window.control<QPushButton>("BP_OpenPort");
        open->click();
        QVERIFY(window.terminalPage()->isPortOpen());
        window.control<QAbstractButton>("optHex")->click();
        if (!TestSupport::screenshotFolder().isEmpty()) // a picture with what came in
            QTRY_VERIFY(!window.terminalPage()->receiveBox()->toPlainText().isEmpty());
        TestSupport::settle();
        TestSupport::keepScreenshot(window.grab(), "main_terminal_page.png");
        window.SSTab1()->setCurrentIndex(0);
        QVERIFY(!window.terminalPage()->isPortOpen());
        QCOMPARE(open->text(), QString("Open Port"));
        sim.command("stop");
    }

    // The configuration dialog's new settings reach the port the live page or
    // the terminal holds open, without closing it.
    void newSettingsReachTheOpenPort_data()
    {
        QTest::addColumn<int>("page");
        row("live page", 4);
        row("terminal", 3);
    }

    void newSettingsReachTheOpenPort()
    {
        QFETCH(int, page);
        ModuleSimulator sim;
        QVERIFY(sim.start());
        VEK_Accueil window;
        loadOn(window, sim.devicePath());
        QSerialPort &port = openFromPage(window, page);
        QVERIFY(port.isOpen());

        window.Config_Click();
        auto *dialog = window.findChild<VEK_SETUP *>();
        QVERIFY(dialog);
        QStringList warnings;
        dialog->setWarningSink([&warnings](const QString &text) { warnings << text; });
        // What a pseudo-terminal takes: no parity, eight data bits.
        dialog->Baud(192)->click();
        dialog->Stop2->click();
        dialog->RTSFlow->click();
        dialog->OKButton()->click();
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(" / ")));

        QVERIFY(port.isOpen());
        termios line{};
        QCOMPARE(tcgetattr(int(port.handle()), &line), 0);
        QCOMPARE(cfgetospeed(&line), speed_t(B19200));
        QVERIFY(line.c_cflag & CSTOPB);
        QVERIFY(line.c_cflag & CRTSCTS);
        QCOMPARE(window.statusPanel(2), QString("19200,N,8,2"));
        QCOMPARE(window.settings().serialSettings, QString("19200,N,8,2"));
    }

    // A module that goes away (its simulator quits, as a USB adapter pulled
    // out) while the live page or the terminal holds the port is said to have
    // gone, in the user's language, not in the system's words for the read
    // that failed ("Resource temporarily unavailable"). When it comes back at
    // the same path, RUN opens it again and frames arrive, and the label no
    // longer says the link is lost.
    void goneModuleIsSaidInTheUsersLanguage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("streaming");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("message"); // %1: the device
        row("live page, quiet, French", 4, false, "francais.ini",
            "Liaison interrompue sur %1 : le périphérique "
            "a disparu (adaptateur USB débranché ?)");
        row("live page, streaming, English", 4, true, "english.ini",
            "Link lost on %1: the device has gone (USB adapter unplugged?)");
        row("terminal, streaming, German", 3, true, "deutch.ini",
            "Verbindung über %1 unterbrochen: das Gerät ist verschwunden (USB-Adapter "
            "abgezogen?)");
    }

    void goneModuleIsSaidInTheUsersLanguage()
    {
        QFETCH(int, page);
        QFETCH(bool, streaming);
        QFETCH(QString, language);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString device = folder.filePath("module"); // a link, as udev makes them
        auto sim = std::make_unique<ModuleSimulator>();
        QVERIFY(sim->start({"--rate", "200"}));
        QVERIFY(QFile::link(sim->devicePath(), device));
        VEK_Accueil window;
        loadOn(window, device);
        TestSupport::useTexts(language); // after the stored settings named theirs
        const auto french = qScopeGuard([] { TestSupport::useTexts("francais.ini"); });
        QSerialPort &port = openFromPage(window, page);
        QVERIFY(port.isOpen());
        if (streaming) {
            sim->command("stream 0");
            QTRY_VERIFY(page == 4 ? window.livePage()->link().framesDecoded() > 10
                                  : window.terminalPage()->receiveBox()->toPlainText().size() > 50);
        }
        sim->command("quit");
        QTRY_VERIFY(!port.isOpen());
        QCOMPARE(window.L_Info()->text(), message.arg(device));
        if (page != 4)
            return;
        QVERIFY(!window.livePage()->isRunning());
        sim = std::make_unique<ModuleSimulator>();
        QVERIFY(sim->start({"--rate", "200"}));
        QVERIFY(QFile::remove(device) && QFile::link(sim->devicePath(), device));
        enterPage(window, 4);
        QVERIFY(Mouse::click(window.control<QPushButton>("Lbl_ON_OFF")));
        QVERIFY(window.livePage()->isRunning());
        sim->command("stream 0");
        QTRY_VERIFY(window.livePage()->link().framesDecoded() > 10);
        QCOMPARE(window.L_Info()->text(), QString());
        sim->command("stop");
    }

    // Entering the page empties the capture, and the count says so: saving
    // then finds no frame, as the count shows.
    void enteringThePageShowsTheEmptiedCapture()
    {
        QTemporaryDir logs;
        ModuleSimulator sim;
        QVERIFY(sim.start());
        VEK_Accueil window;
        loadOn(window, sim.devicePath());
        window.settings().LogFolder = logs.path();
        captureFrames(window, sim, 3);
        auto *buffer = window.control<QCheckBox>("ChkBuffer");
        auto *count = window.control<QLabel>("BufferStat");
        enterPage(window, 3);
        QCOMPARE(count->text(), QString(".:: BUFFER = 30 ::.")); // kept while away
        enterPage(window, 4);
        QVERIFY(buffer->isChecked() && count->isVisible());
        QCOMPARE(window.livePage()->link().capture().size(), 0);
        QCOMPARE(count->text(), QString(".:: BUFFER = 0 ::."));
        QVERIFY(Mouse::click(window.control<QPushButton>("BP_Logger")));
        QCOMPARE(window.L_Info()->text(), VEK_LANGUAGE::GetLanguageText("MessLogVide"));
    }

    // A log that cannot be written says why in the user's language, not in
    // the system's words ("Not a directory").
    void logFailureSaysWhyInTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("folder"); // under a folder holding the file "plain"
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        row("not a folder, French", "plain", "francais.ini", "Le journal ",
            " n'a pas pu être écrit : un élément du chemin n'est pas un dossier. "
            "Le buffer est conservé.");
        row("no such folder, Spanish", "missing/logs", "spanish.ini",
            "No se pudo escribir el registro ",
            ": no existe el archivo o la carpeta. Se conserva el búfer.");
    }

    void logFailureSaysWhyInTheUsersLanguage()
    {
        QFETCH(QString, folder);
        QFETCH(QString, language);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QTemporaryDir logs;
        QVERIFY(TestSupport::writeFile(logs.filePath("plain"), "a file"));
        ModuleSimulator sim;
        QVERIFY(sim.start());
        VEK_Accueil window;
        loadOn(window, sim.devicePath());
        TestSupport::useTexts(language);
        const auto french = qScopeGuard([] { TestSupport::useTexts("francais.ini"); });
        window.settings().LogFolder = logs.filePath(folder);
        captureFrames(window, sim, 1);
        QVERIFY(Mouse::click(window.control<QPushButton>("BP_Logger")));
        const QString said = window.L_Info()->text();
        QVERIFY2(said.startsWith(start + logs.filePath(folder) + "/VEK-LOGGER__") &&
                     said.endsWith(".txt" + end),
                 qPrintable(said));
    }

    // Why the port would not open is said in the user's language, a device
    // that is no serial port included (not the system's words for the call
    // that failed on it).
    void openFailureShowsInTheInformationLabel_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("message");
        const QString usual = "9600,N,8,1";
        row("no such port, French", "/dev/vek-no-such-port", usual, "francais.ini",
            "Impossible d'ouvrir le port /dev/vek-no-such-port : /dev/vek-no-such-port "
            "n'existe pas sur cet ordinateur");
        row("not a serial port, French", "/dev/null", usual, "francais.ini",
            "Impossible d'ouvrir le port /dev/null : /dev/null n'est pas un port série");
        row("not a serial port, German", "/dev/null", usual, "deutch.ini",
            "Der Anschluss /dev/null kann nicht geöffnet werden: /dev/null ist kein serieller "
            "Anschluss");
        // Not the system's English for settings it cannot take.
        row("settings it cannot take, English", "/dev/null", "9600,X,8,1", "english.ini",
            "Cannot open the port /dev/null: the link settings cannot be applied to the port");
    }

    void openFailureShowsInTheInformationLabel()
    {
        QFETCH(QString, port);
        QFETCH(QString, settings);
        QFETCH(QString, language);
        QFETCH(QString, message);
        TestSupport::useTexts(language);
        const auto french = qScopeGuard([] { TestSupport::useTexts("francais.ini"); });
        VEK_Accueil window;
        window.settings().portNumber = 0;
        window.settings().portDevice = port;
        window.settings().serialSettings = settings;
        window.SSTab1()->setCurrentIndex(4);
        window.control<QPushButton>("Lbl_ON_OFF")->click();
        QVERIFY(!window.livePage()->isRunning());
        QCOMPARE(window.L_Info()->text(), message);
        QCOMPARE(window.statusPanel(4), VEK_LANGUAGE::GetLanguageText("LiveArret"));
    }
};

QTEST_MAIN(TestUiLiveMainWindow)
#include "tst_ui_livemainwindow.moc"
