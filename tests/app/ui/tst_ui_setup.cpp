#include "Keyboard.h"
#include "Mouse.h"
#include "PortHolders.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "app/ui/VEK_SETUP.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"
#include "platform/SerialPortNames.h"
#include "platform/SerialPortOpening.h"

#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::row;

class TestSetup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_warnings;
    std::unique_ptr<QSettings> m_store; // a store of its own for each test

    // The configuration dialog on `context`, saving to the test's store and
    // telling its warnings to m_warnings.
    std::unique_ptr<VEK_SETUP> configuration(VekContext &context, QSerialPort *port = nullptr)
    {
        auto dialog = std::make_unique<VEK_SETUP>(context, port);
        dialog->setSettingsStore(m_store.get());
        dialog->setWarningSink([this](const QString &text) { m_warnings << text; });
        return dialog;
    }

    // The store as the next start reads it.
    MainSettings loaded()
    {
        m_store->sync();
        MainSettings s;
        QSettings store(m_store->fileName(), QSettings::IniFormat);
        MainSettingsLoader(store).Load(s);
        return s;
    }

private slots:
    void init()
    {
        m_warnings.clear();
        m_store.reset();
        QFile::remove(m_dir.filePath("VEK_Courbe.ini"));
        m_store =
            std::make_unique<QSettings>(m_dir.filePath("VEK_Courbe.ini"), QSettings::IniFormat);
        TestSupport::useFrenchTexts();
    }

    void openingSelectsTheSettings()
    {
        LinkedPty pty;
        NumberedPorts ports; // COM1 there
        QVERIFY(ports.link("ttyS0", pty.device));
        VekContext context;
        context.settings.portNumber = 1;
        const auto dialog = configuration(context);
        QVERIFY(dialog->ComPort(1)->isChecked());
        QVERIFY(dialog->Baud(96)->isChecked());
        QVERIFY(dialog->NoParity->isChecked());
        QVERIFY(dialog->Data8->isChecked());
        QVERIFY(dialog->Stop1->isChecked());
        QVERIFY(dialog->NoFlow->isChecked());
        QVERIFY(dialog->Type_Trace(16)->isChecked());
        QVERIFY(dialog->languageOption("francais.ini")->isChecked());
        QCOMPARE(dialog->SSTab1()->currentIndex(), 0);
        QCOMPARE(dialog->portChoice(), QStringLiteral("1"));
        QCOMPARE(dialog->settingsText(), QStringLiteral("9600,N,8,1"));
        // OK without changes writes the same values back.
        dialog->OKButton()->click();
        QVERIFY(m_warnings.isEmpty());
        QCOMPARE(m_store->value("Config/newport").toString(), QStringLiteral("1"));
        QCOMPARE(m_store->value("Config/com$").toString(), QStringLiteral("9600,N,8,1"));
    }

    void okWritesTheChoices()
    {
        // Without a live port, OK applies to the settings and saves them.
        LinkedPty pty;
        VekContext context;
        const auto dialog = configuration(context);
        dialog->otherPortDevice()->setEditText(pty.device);
        dialog->Baud(1152)->click();
        dialog->EvenParity->click();
        dialog->Data7->click();
        dialog->Stop2->click();
        dialog->XonFlow->click();
        dialog->Type_Trace(5)->click();
        dialog->OKButton()->click();
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.join('\n')));
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(context.settings.serialSettings, QStringLiteral("115200,E,7,2"));
        QCOMPARE(context.settings.portDevice, pty.device);
        QCOMPARE(context.settings.TypeCourbe, 5);
        QCOMPARE(context.settings.Handshaking, int16_t(1));
        QCOMPARE(m_store->value("Config/com$").toString(), QStringLiteral("115200,E,7,2"));
        QCOMPARE(m_store->value("Config/newport").toString(), pty.device);
        QCOMPARE(m_store->value("Config/TypeCourbe").toString(), QStringLiteral("5"));
        QCOMPARE(m_store->value("Config/Language").toString(), QStringLiteral("francais.ini"));
        QCOMPARE(m_store->value("Config/Handshaking").toString(), QStringLiteral("1"));
    }

    // Settings that cannot be saved are said with why, the same in each
    // set-up dialog; the dialog is done all the same.
    void settingsNotSavedSayWhy_data()
    {
        QTest::addColumn<bool>("programmer");
        QTest::addColumn<QString>("file");   // in the test's folder
        QTest::addColumn<QString>("reason"); // %1: the file
        const QString folder =
            "Les réglages n'ont pas pu être enregistrés dans %1 : c'est un dossier.";
        row("configuration, a folder in its place", false, QString("in-place.ini"), folder);
        row("programmer set-up, a folder in its place", true, QString("in-place.ini"), folder);
        // A folder that cannot be made: its parent is a plain file.
        row("configuration, under a plain file", false, QString("plain/VEK_Courbe.ini"),
            QString("Les réglages n'ont pas pu être enregistrés dans %1 : un élément du chemin "
                    "n'est pas un dossier."));
    }

    void settingsNotSavedSayWhy()
    {
        QFETCH(bool, programmer);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        VekContext context;
        QVERIFY(QDir().mkpath(m_dir.filePath("in-place.ini")));
        QVERIFY(TestSupport::writeFile(m_dir.filePath("plain"), {}));
        m_store = std::make_unique<QSettings>(m_dir.filePath(file), QSettings::IniFormat);
        std::unique_ptr<QDialog> dialog;
        QPushButton *ok = nullptr;
        if (programmer) {
            auto setup = std::make_unique<VEK_SETUP_ICSP>(context);
            setup->setSettingsStore(m_store.get());
            setup->setWarningSink([this](const QString &text) { m_warnings << text; });
            ok = setup->OKButton;
            dialog = std::move(setup);
        } else {
            auto setup = configuration(context);
            ok = setup->OKButton();
            dialog = std::move(setup);
        }
        QVERIFY(Mouse::click(ok));
        QCOMPARE(m_warnings, QStringList{reason.arg(m_dir.filePath(file))});
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }

    // The port shown at opening is taken at OK by the rule a typed one is:
    // a stored port whose device is not there now is refused, as typed.
    void aStoredPortNotThereIsRefusedAsTyped()
    {
        NumberedPorts ports; // no COM9
        VekContext context;
        context.settings.portNumber = 0;
        context.settings.portDevice = "COM9";
        const auto dialog = configuration(context);
        QCOMPARE(dialog->portChoice(), QString("COM9"));
        dialog->show();
        QTest::mouseClick(dialog->OKButton(), Qt::LeftButton);
        QCOMPARE(m_warnings,
                 QStringList{"Le port série COM9 n'existe pas. Choisissez un autre port."});
        QVERIFY(dialog->isVisible());
        QVERIFY(m_store->allKeys().isEmpty());
    }

    // A typed port is the port taken, typed as a keyboard does (the keys go to
    // the focus widget, the combo box): Return takes it and leaves the dialog
    // open, OK saves it as typed with the other choices; at the next start it
    // comes back as typed and its opening reaches the device it leads to. A
    // name of no serial port, or no name, is refused at OK with the reason:
    // the port stored before stays, and nothing else chosen is taken.
    void typedPortIsThePortTaken_data()
    {
        // {link}: a link to a pseudo-terminal, {pty}: it; "typed|kept" when kept otherwise
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("finish");  // "Return", "OK" or "Return, emptied" (then OK)
        QTest::addColumn<QString>("refusal"); // the warning at OK; empty: saved
        const QString notSerial = "« %1 » ne désigne aucun port série : choisissez COM1, COM2… "
                                  "ou le chemin d'un périphérique série (/dev/ttyUSB0, un lien "
                                  "vers un pseudo-terminal…).";
        const QString notThere = "Le port série %1 n'existe pas. Choisissez un autre port.";
        row("link, Return", "{link}", "Return", "");
        row("link, OK", "{link}", "OK", "");
        row("pseudo-terminal, Return", "{pty}", "Return", "");
        // The options' own caption typed: the letters in either case.
        row("Com2, OK", "Com2|COM2", "OK", "");
        row("com2, Return", "com2|COM2", "Return", "");
        row("LPT1, OK", "LPT1", "OK", notSerial.arg("LPT1"));
        row("plain file, OK", "{file}", "OK", notSerial.arg("{file}"));
        row("no port name, Return", "port", "Return", notSerial.arg("port"));
        row("not a serial port, OK", "/dev/null", "OK", notSerial.arg("/dev/null"));
        row("pseudo-terminal taken, then emptied", "{pty}", "Return, emptied",
            "Aucun port n'est indiqué : choisissez COM1, COM2… ou le "
            "chemin d'un périphérique série (/dev/ttyUSB0, un lien "
            "vers un pseudo-terminal…).");
        row("link to nothing, OK", "{nothing}", "OK", notThere.arg("{nothing}"));
        row("no such device, OK", "/dev/vek-no-such-port", "OK",
            notThere.arg("/dev/vek-no-such-port"));
        // One answer for one device that is not there, named or typed.
        row("COM4 not there, OK", "COM4", "OK", notThere.arg("COM4"));
        row("its device, OK", "{ports}/ttyS3", "OK", notThere.arg("{ports}/ttyS3"));
    }

    void typedPortIsThePortTaken()
    {
        QFETCH(QString, typed);
        QFETCH(QString, finish);
        QFETCH(QString, refusal);
        LinkedPty pty;
        QVERIFY(!pty.link.isEmpty());
        QVERIFY(TestSupport::writeFile(pty.folder.filePath("plain"), "not a port"));
        NumberedPorts ports; // COM2 there, leading to the pseudo-terminal
        QVERIFY(ports.link("ttyS1", pty.device));
        const auto places = [&](QString text) {
            return text.replace("{link}", pty.link)
                .replace("{pty}", pty.device)
                .replace("{file}", pty.folder.filePath("plain"))
                .replace("{nothing}", pty.folder.filePath("nothing"))
                .replace("{ports}", ports.folder.path());
        };
        typed = places(typed);
        const QString kept = typed.section('|', -1);
        typed = typed.section('|', 0, 0);
        VekContext context;
        context.settings.portNumber = 3;
        m_store->setValue("Config/newport", "3"); // the port stored before
        const auto dialog = configuration(context);
        QVERIFY(dialog->ComPort(3)->isChecked());
        dialog->Type_Trace(3)->click();
        dialog->SSTab1()->setCurrentIndex(1);
        QVERIFY(Keyboard::focus(dialog->otherPortDevice()));
        Keyboard::retype(typed);
        if (finish.startsWith("Return")) {
            Keyboard::press(Qt::Key_Return);
            QVERIFY(dialog->isVisible()); // Return did not press OK
            QVERIFY(dialog->otherPort()->isChecked());
            QCOMPARE(dialog->portChoice(), kept);
        }
        if (finish.endsWith("emptied"))
            Keyboard::retype("");
        QTest::mouseClick(dialog->OKButton(), Qt::LeftButton);
        if (!refusal.isEmpty()) {
            QCOMPARE(m_warnings, QStringList{places(refusal)});
            QVERIFY(dialog->isVisible());
            QCOMPARE(m_store->allKeys(), QStringList{"Config/newport"});
            QCOMPARE(context.settings.TypeCourbe, 16);
            QCOMPARE(loaded().portNumber, 3);
            return;
        }
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.join('\n')));
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_store->value("Config/newport").toString(), kept);
        QCOMPARE(context.settings.TypeCourbe, 3);
        // The next start reads the store afresh, and the live link opens what it reads.
        const MainSettings restarted = loaded();
        QCOMPARE(restarted.portDevice, kept);
        QCOMPARE(restarted.TypeCourbe, 3);
        QCOMPARE(SerialPortNames::PortCaption(restarted.portNumber, restarted.portDevice), kept);
        QSerialPort live;
        const auto failure = SerialPortOpening::Open(
            live, SerialPortNames::DeviceToOpen(restarted.portNumber, restarted.portDevice),
            restarted.serialSettings, QSerialPort::NoFlowControl);
        QVERIFY2(!failure, qPrintable(failure ? failure->error : QString()));
        // "pts/N", or the link COM2 stands for, which leads there
        QCOMPARE(QFileInfo(QDir("/dev").filePath(live.portName())).canonicalFilePath(), pty.device);
    }

    void settingsRefusedByTheOpenPortAreNotSaved()
    {
        LinkedPty pty;
        QSerialPort port(pty.device);
        QVERIFY(port.open(QIODevice::ReadWrite));
        VekContext context;
        context.settings.portNumber = 0;
        context.settings.portDevice = pty.device;
        const auto dialog = configuration(context, &port);
        dialog->Baud(192)->click(); // reaches the port before the data bits fail
        dialog->Data7->click();     // a pseudo-terminal has no 7-bit mode
        dialog->RTSFlow->click();
        dialog->OKButton()->click();
        QCOMPARE(m_warnings.size(), 1);
        QVERIFY(m_warnings.first().contains("19200,N,7,1"));
        QCOMPARE(context.settings.serialSettings, QStringLiteral("9600,N,8,1"));
        QCOMPARE(port.baudRate(), 9600); // the old settings are back on the port
        QVERIFY(!m_store->contains("Config/com$"));
        QVERIFY(!m_store->contains("Config/Handshaking"));
        // What was applied is saved all the same.
        QCOMPARE(m_store->value("Config/newport").toString(), pty.device);
        QCOMPARE(m_store->value("Config/TypeCourbe").toString(), QStringLiteral("16"));

        // Accepted settings and handshaking reach the open port.
        m_warnings.clear();
        const auto again = configuration(context, &port);
        again->Baud(192)->click();
        again->RTSFlow->click();
        again->OKButton()->click();
        QVERIFY(m_warnings.isEmpty());
        QCOMPARE(port.baudRate(), 19200);
        QCOMPARE(port.flowControl(), QSerialPort::HardwareControl);
        QCOMPARE(m_store->value("Config/Handshaking").toString(), QStringLiteral("2"));
    }

    void anOpenPortCannotBeSwitched()
    {
        LinkedPty pty;
        LinkedPty other;
        QSerialPort port(pty.device);
        QVERIFY(port.open(QIODevice::ReadWrite));
        VekContext context;
        context.settings.portNumber = 0;
        context.settings.portDevice = pty.device;
        const auto dialog = configuration(context, &port);
        dialog->otherPortDevice()->setEditText(other.device);
        dialog->OKButton()->click();
        QCOMPARE(m_warnings.size(), 1);
        QCOMPARE(context.settings.portDevice, pty.device);
        QVERIFY(m_store->allKeys().isEmpty());
    }

    // A language chosen shows at once, in the dialog and in Qt's own buttons
    // (a French question is answered with "Oui"/"Non"); Cancel brings back
    // the language it opened with and saves nothing.
    void aLanguageChosenShowsAtOnceAndCancelRestoresIt()
    {
        const auto yesText = [] {
            QMessageBox box(QMessageBox::Question, "t", "q",
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            return box.button(QMessageBox::Yes)->text().remove('&');
        };
        QCOMPARE(yesText(), QString("Oui"));
        VekContext context;
        const auto dialog = configuration(context);
        const QString french = dialog->windowTitle();
        dialog->languageOption("deutch.ini")->click();
        QCOMPARE(yesText(), QString("Ja"));
        dialog->languageOption("english.ini")->click();
        QCOMPARE(yesText(), QString("Yes"));
        QCOMPARE(VEK_LANGUAGE::FichierLangue(), QStringLiteral("english.ini"));
        QVERIFY(dialog->windowTitle() != french);
        QCOMPARE(dialog->SSTab1()->currentIndex(), 0);
        dialog->languageOption("spanish.ini")->click();
        QCOMPARE(yesText(), QString("Sí"));
        dialog->CancelButton()->click();
        QCOMPARE(yesText(), QString("Oui"));
        QCOMPARE(VEK_LANGUAGE::FichierLangue(), QStringLiteral("francais.ini"));
        QCOMPARE(VEK_LANGUAGE::GetLanguageText("MOFormCapt"), french);
        QVERIFY(m_store->allKeys().isEmpty());
    }

    void threeDimensionalTypesAreExplained()
    {
        VekContext context;
        context.settings.TypeCourbe = 7; // hand-edited: no option
        VEK_SETUP dialog(context);
        for (int code : {2, 3, 4, 5, 16})
            QVERIFY(!dialog.Type_Trace(code)->isChecked());
        QCOMPARE(dialog.chartType(), 7);
        QVERIFY(!VEK_LANGUAGE::GetLanguageText("MLTypeTrace3DNote").isEmpty());
    }

    void screenshot()
    {
        VekContext context;
        VEK_SETUP dialog(context);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int tab = 0; tab < 3; ++tab) {
            dialog.SSTab1()->setCurrentIndex(tab);
            QVERIFY(dialog.grab().save(
                TestSupport::screenshotPath(QStringLiteral("setup-%1.png").arg(tab))));
        }
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestSetup)
#include "tst_ui_setup.moc"
