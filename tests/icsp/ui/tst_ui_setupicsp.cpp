#include "Keyboard.h"
#include "ManualClock.h"
#include "Mouse.h"
#include "PortHolders.h"
#include "Screenshots.h"
#include "SimulatedPic.h"
#include "SimulatedProgrammerBox.h"
#include "TestSupport.h"
#include "app/TransferServicesSetup.h"
#include "app/VekContext.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "icsp/ProgrammerLineChecks.h"
#include "icsp/ui/ConnectorPicture.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"
#include "platform/SerialPortLock.h"
#include "platform/TtyByteLink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <mutex>

using TestSupport::row;

namespace {

// The programmer behind the line tests, recording what the dialog asks of it.
class RecordingLineChecks final : public ProgrammerLineChecks
{
public:
    QString openError;
    QString lineError;
    JobOutcome presence = JobOutcome::success();
    QStringList calls;
    bool open_ = false;

    QString open(const MainSettings &s) override
    {
        calls << "open " + s.ICSPPort;
        open_ = openError.isEmpty();
        return openError;
    }
    QString setLine(const MainSettings &, int line, int value) override
    {
        calls << QString("line %1=%2").arg(line).arg(value);
        return lineError;
    }
    void close() override
    {
        calls << "close";
        open_ = false;
    }
    bool isOpen() const override { return open_; }
    JobOutcome presenceTest(const MainSettings &s, ProgressSink &, const CancelToken &) override
    {
        std::lock_guard lock(mutex);
        presenceCalls << "presence " + s.ICSPPort + (open_ ? " while open" : "");
        return presence;
    }
    std::mutex mutex;
    QStringList presenceCalls;
};

QPoint twips(QWidget *marker)
{
    return ConnectorPicture::markerTwips(marker);
}

} // namespace

class TestSetupIcsp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_warnings;
    QString m_languages;
    // COM1, COM5, COM12, COM13 and LPT1 are there, whatever this machine has; COM4 is not.
    NumberedPorts m_ports;
    LinkedPty m_serial;

    std::unique_ptr<QSettings> store()
    {
        return std::make_unique<QSettings>(m_dir.filePath("VEK_Courbe.ini"), QSettings::IniFormat);
    }

    static QString text(VEK_SETUP_ICSP &d) { return d.L_Info->text(); }

private slots:
    void initTestCase()
    {
        VEK_LANGUAGE::InitLanguage();
        m_languages = VEK_LANGUAGE::RepertoireLangue();
        for (const char *serial : {"ttyS0", "ttyS4", "ttyS11", "ttyS12"})
            QVERIFY(m_ports.link(serial, m_serial.device));
        QVERIFY(m_ports.link("parport0", "/dev/null"));
    }

    void init()
    {
        m_warnings.clear();
        QFile::remove(m_dir.filePath("VEK_Courbe.ini"));
        VEK_LANGUAGE::SetRepertoireLangue(m_languages);
        TestSupport::useFrenchTexts();
    }

    void loadingShowsTheSettings()
    {
        VekContext context;
        VEK_SETUP_ICSP d(context);
        QCOMPARE(d.windowTitle(), QString("Configuration du module ICSP"));
        QVERIFY(d.ICSP_BOITIER[2]->isChecked());
        QCOMPARE(d.boxLabel(), QString("VEK-MZ300"));
        QVERIFY(d.ICSP_CHIP->count() > 1); // the catalogue replaced "****"
        QCOMPARE(d.ICSP_CHIP->currentText(), QString("AUTO"));
        QCOMPARE(d.ICSP_COM->currentText(), QString("COM1"));
        QCOMPARE(d.LptBrocheMCLR->currentIndex(), 5);
        QCOMPARE(d.LptBrocheCLOCK->currentIndex(), 3);
        QCOMPARE(d.LptBrocheDATA->currentIndex(), 2);
        QCOMPARE(d.LptBrocheDATAR->currentIndex(), 1);
        QCOMPARE(twips(d.EtatLpt_MCLR), QPoint(1810, 305));
        QCOMPARE(twips(d.EtatLpt_CLOCK), QPoint(2110, 305));
        QCOMPARE(twips(d.EtatLpt_DATA), QPoint(2260, 305));
        QCOMPARE(twips(d.EtatLpt_DATAR), QPoint(1060, 305));
        QCOMPARE(twips(d.EtatCom_CLOCK), QPoint(990, 480));
        QCOMPARE(d.ICSP_Delay->value(), 15);
        QCOMPARE(d.ICSP_Delay->minimum(), 1); // nothing shorter is ever stored
        QCOMPARE(d.ICSP_NbWrite->currentText(), QString("5"));
        QCOMPARE(d.HEXLNG->text(), QString("200"));
        QCOMPARE(d.ADDH16->text(), QString("1500"));
        QVERIFY(d.FrameCodeAdresse->isEnabled());
        QCOMPARE(d.SSTab1->currentIndex(), 0);
        QVERIFY(text(d).isEmpty());
        QVERIFY(!d.testPortOpen());
        QVERIFY(!d.TST_MCLR->isEnabled());
        QVERIFY(!d.Sub_db9->isHidden());
        QVERIFY(d.Sub_db25->isHidden());
        QVERIFY(d.LptBrocheMCLR->isHidden());
    }

    // A stored delay out of the slider's range shows the 15 µs the programmer
    // uses for it, said at once.
    void storedDelayBelowTheSliderShowsItsValue()
    {
        for (const char *stored : {"0", "99999"}) {
            VekContext context;
            context.settings.ICSPDELAY = stored;
            VEK_SETUP_ICSP d(context);
            QCOMPARE(d.ICSP_Delay->value(), 15);
            QCOMPARE(d.findChild<QLabel *>("DelayValue")->text(), QString("15 µs"));
        }
    }

    void pinsOutsideTheirListsBecomeNone()
    {
        VekContext context;
        context.settings.ICSPPINDATAR = 5;
        context.settings.ICSPPINMCLR = 12;
        context.settings.ICSPPort = "LPT1";
        auto settings = store();
        VEK_SETUP_ICSP d(context);
        d.setSettingsStore(settings.get());
        QCOMPARE(d.LptBrocheDATAR->currentText(), QString("--CHOIX--"));
        QCOMPARE(context.settings.ICSPPINDATAR, uint8_t(0));
        QCOMPARE(context.settings.ICSPPINMCLR, uint8_t(0));
        QCOMPARE(twips(d.EtatLpt_DATAR), QPoint(2560, 305));
        QVERIFY(!d.LptBrocheMCLR->isHidden());
        QVERIFY(!d.Sub_db25->isHidden());
        d.OKButton->click();
        QCOMPARE(settings->value("ICSP/ICSP_Broche_DATAR").toString(), QString("0"));
    }

    // Cancel, or the window's close box, puts back what was picked.
    void pickedValuesAreLiveAndCancelPutsThemBack_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }

    void pickedValuesAreLiveAndCancelPutsThemBack()
    {
        QFETCH(bool, closeBox);
        VekContext context;
        context.settings.ICSPPINDATAR = 5; // turned into 0 by loading
        auto settings = store();
        VEK_SETUP_ICSP d(context);
        d.setSettingsStore(settings.get());
        QSignalSpy closed(&d, &VEK_SETUP_ICSP::setupClosed);
        d.show();
        d.ICSP_BOITIER[1]->click();
        QCOMPARE(context.settings.ICSPBoitier, int16_t(1));
        QCOMPARE(text(d), QString("Vous vennez de sélectionner le module VEKP V 3.9"));
        d.ICSP_COM_Click("LPT1");
        QCOMPARE(context.settings.ICSPPort, QString("LPT1"));
        QCOMPARE(text(d), QString("Vous venez de basculer sur le port paralèlle : LPT1"));
        d.LptBrocheDATAR->setCurrentIndex(5);
        QCOMPARE(context.settings.ICSPPINDATAR, uint8_t(15));
        QCOMPARE(twips(d.EtatLpt_DATAR), QPoint(2190, 470));
        d.LptBrocheMCLR->setCurrentIndex(10);
        QCOMPARE(context.settings.ICSPPINMCLR, uint8_t(14));

        if (closeBox)
            d.close();
        else
            d.CancelButton->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(closed.count(), 1);
        QCOMPARE(context.settings.ICSPBoitier, int16_t(2));
        QCOMPARE(context.settings.ICSPPort, QString("COM1"));
        QCOMPARE(context.settings.ICSPPINMCLR, uint8_t(5));
        QCOMPARE(context.settings.ICSPPINDATAR, uint8_t(5)); // as at loading
        QVERIFY(settings->allKeys().isEmpty());
    }

    // Where the areas may lie is the rule of the downloads and the table
    // programming, for the chip chosen and the firmware's curve lines.
    void okRefusesBadAttemptsAndAddresses_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: taken
        const QString fr = "francais.ini", f876 = "PIC-16F876A", two = "2";
        // The rule of each value, naming it and the text refused.
        row("attempts abc", fr, f876, two, "ICSP_NbWrite", "abc",
            "Essais d'écriture : « abc » n'est pas un nombre.");
        row("attempts 12", fr, f876, two, "ICSP_NbWrite", "12",
            "Essais d'écriture : « 12 » n'est pas accepté : entrez un nombre entier de 1 à 9.");
        row("start not hex", fr, f876, two, "HEXADD", "12K",
            "Début du programme : « 12K » n'est pas un nombre hexadécimal de 1 à 4 chiffres.");
        row("table not hex", fr, f876, two, "ADDL16", "1G00",
            "Adresse de table : « 1G00 » n'est pas un nombre hexadécimal de 1 à 4 chiffres.");
        // An empty box is no value given; the area it starts is missing.
        row("start empty", fr, f876, two, "HEXADD", "", "Emplacement du programme refusé");
        row("table empty", fr, f876, two, "ADDL8", "", "Adresse de table «  » refusée");
        const QString past = "La zone [0x%1-0x%2] dépasse la mémoire de programme de %3 mots "
                             "(0x0000-0x%4) : ces réglages ne sont pas pris.";
        const QString tablesPast = "Les tables basses [0x%1-0x%2] dépassent la mémoire de "
                                   "programme de %3 mots (0x0000-0x%4).\nCes réglages ne sont pas "
                                   "pris.";
        row("tables past a 16F876A", fr, f876, two, "ADDL16", "1F00",
            tablesPast.arg("1F00", "20FF", "8192", "1FFF"));
        row("code past a 16F84A", fr, QString("PIC-16F84A"), two, "HEXLNG", "800",
            past.arg("0000", "07FF", "1024", "03FF"));
        row("empty code area", fr, f876, two, "HEXLNG", "0",
            QString("La zone commençant en 0x0000 est vide (longueur nulle) : ces réglages ne "
                    "sont pas pris."));
        // An 18F keeps the image's 16384 words as its limit, as the download does.
        row("table at 2000 on an 18F", fr, QString("PIC-18F2550"), two, "ADDL8", "2000", QString());
        // Under "AUTO" no chip is known: only the programmer's address space holds.
        row("AUTO, tables past 1024 words", fr, QString("AUTO"), two, "ADDL8", "300", QString());
        row("AUTO, tables past the address space", fr, QString("AUTO"), two, "ADDL16", "3F00",
            tablesPast.arg("3F00", "40FF", "16384", "3FFF"));
        // Two curve lines from 300 end at 4FF: high tables from 400 would
        // overwrite them. A settings dialog sends nothing: its settings are
        // what is not taken.
        row("tables overlap", fr, f876, two, "ADDH8", "400",
            "Les tables basses [0x0300-0x04FF] et hautes [0x0400-0x05FF] se chevauchent.\nCes "
            "réglages ne sont pas pris.");
        row("tables overlap, in English", QString("english.ini"), f876, two, "ADDH8", "400",
            "The low tables [0x0300-0x04FF] and the high tables [0x0400-0x05FF] overlap.\nThese "
            "settings are not taken.");
        // Eight lines from 300 end at AFF.
        row("eight lines overlap", fr, f876, QString("8"), "ADDH8", "900",
            "Les tables basses [0x0300-0x0AFF] et hautes [0x0900-0x10FF] se chevauchent.\nCes "
            "réglages ne sont pas pris.");
    }

    void okRefusesBadAttemptsAndAddresses()
    {
        QFETCH(QString, language);
        QFETCH(QString, chip);
        QFETCH(QString, lines);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        TestSupport::useTexts(language);
        VekContext context;
        InstallTransferServices(context.transfer);
        context.settings.ICSPNbTables = lines;
        context.settings.ICSPChip = chip;
        context.settings.ICSPLTAB16_L1 = "1000"; // clear of the eight-bit tables
        context.settings.ICSPHTAB16_L1 = "1800";
        auto settings = store();
        VEK_SETUP_ICSP d(context);
        d.setSettingsStore(settings.get());
        d.setWarningSink([this](const QString &t) { m_warnings << t; });
        QSignalSpy closed(&d, &VEK_SETUP_ICSP::setupClosed);
        d.show();
        d.SSTab1->setCurrentIndex(1);
        if (auto *list = d.findChild<QComboBox *>(box))
            list->setEditText(typed);
        else
            d.findChild<QLineEdit *>(box)->setText(typed);
        QVERIFY(Mouse::click(d.OKButton));
        if (message.isEmpty()) {
            QCOMPARE(closed.count(), 1);
            QCOMPARE(settings->value("ICSP/ICSP_" + QString(box == "ADDL8" ? "LTAB_L1" : box))
                         .toString(),
                     typed);
            return;
        }
        // Nothing applied nor saved; the dialog stays on the box to correct.
        QCOMPARE(closed.count(), 0);
        QVERIFY(d.isVisible());
        QVERIFY2(text(d).contains(message), qPrintable(text(d)));
        QCOMPARE(m_warnings, QStringList{text(d)}); // whole, in a box
        QCOMPARE(d.SSTab1->currentIndex(), 0);
        QCOMPARE(context.settings.ICSPNBWRT, uint8_t(5));
        QVERIFY(settings->allKeys().isEmpty());
    }

    void okTakesTheChoicesAndSaves()
    {
        VekContext context;
        auto settings = store();
        VEK_SETUP_ICSP d(context);
        d.setSettingsStore(settings.get());
        d.setWarningSink([this](const QString &t) { m_warnings << t; });
        QSignalSpy closed(&d, &VEK_SETUP_ICSP::setupClosed);
        const int chip = d.ICSP_CHIP->findText("PIC-16F628");
        QVERIFY(chip > 0);
        d.ICSP_CHIP->setCurrentIndex(chip);
        emit d.ICSP_CHIP->activated(chip);
        d.ICSP_NbWrite->setEditText("7");
        d.ICSP_Delay->setValue(33);
        d.ADDL8->setText("0400");
        // A port typed and not confirmed by Return is taken by OK all the same.
        d.ICSP_COM->setEditText("COM5");
        d.OKButton->click();
        QVERIFY(m_warnings.isEmpty());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(closed.count(), 1);
        const MainSettings &s = context.settings;
        QCOMPARE(s.ICSPChip, QString("PIC-16F628"));
        QCOMPARE(context.pic.DeviceChip, QString("16F628"));
        QCOMPARE(s.ICSPNBWRT, uint8_t(7));
        QCOMPARE(s.ICSPDELAY, QString("33"));
        QCOMPARE(s.ICSPLTAB_L1, QString("0400"));
        QCOMPARE(s.ICSPPort, QString("COM5"));
        QCOMPARE(settings->value("ICSP/ICSP_Chip").toString(), QString("PIC-16F628"));
        QCOMPARE(settings->value("ICSP/ICSP_NbWrite").toString(), QString("7"));
        QCOMPARE(settings->value("ICSP/ICSP_Delay").toString(), QString("33"));
        QCOMPARE(settings->value("ICSP/ICSP_LTAB_L1").toString(), QString("0400"));
        QCOMPARE(settings->value("ICSP/ICSP_Port").toString(), QString("COM5"));
    }

    // A typed port is the port taken, typed as a keyboard does (the keys go to
    // the focus widget, the combo box): Return takes it and leaves the dialog
    // open; OK takes it, and it comes back as typed from a fresh load of the
    // settings, as at the next start; a name that is not a port is refused at
    // OK with the reason, which speaks of the field's text, and the port
    // stored before stays; "Port fermé" opens the port typed.
    void typedPortIsThePortTaken_data()
    {
        QTest::addColumn<int>("box");
        // {link}: a link to a pseudo-terminal, {pty}: it; "typed|kept" when kept otherwise
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("finish");  // "Return", "Enter", "OK", "onoff", or "Return,
                                              // emptied" (then OK on an empty field)
        QTest::addColumn<QString>("info");    // L_Info after it, when given
        QTest::addColumn<QString>("refusal"); // L_Info after OK; empty: saved
        const QString serial = "Vous venez de basculer sur le port série : ";
        const QString problem = "Problème sur le port de communication";
        const QString badPort = "Le port « %1 » ne désigne aucun port : choisissez COM1, COM2…, "
                                "LPT1 ou le chemin d'un périphérique (/dev/…, ou un lien vers un "
                                "périphérique).";
        const QString cannotOpen = "Impossible d'ouvrir le port %1 : ";
        row("COM12, Return", 2, "COM12", "Return", serial + "COM12", "");
        row("COM13, OK", 2, "COM13", "OK", "", "");
        // The letters in either case, as the configuration dialog takes them.
        row("com12, Return", 2, "com12|COM12", "Return", serial + "COM12", "");
        row("lpt1, OK", 2, "lpt1|LPT1", "OK", "", "");
        row("pseudo-terminal, Return", 2, "{pty}", "Return", serial + "{pty}", "");
        row("link, Enter", 2, "{link}", "Enter", serial + "{link}", "");
        row("link, OK", 1, "{link}", "OK", "", "");
        row("LPT1, Return", 2, "LPT1", "Return",
            "Vous venez de basculer sur le port paralèlle : LPT1", "");
        // One answer for one device that is not there, named or typed.
        const QString missing = "Le port « %1 » n'existe pas sur cet ordinateur : branchez le "
                                "périphérique ou choisissez un autre port (COM1, COM2…, LPT1 ou "
                                "le chemin d'un périphérique présent).";
        row("device not there, Return", 2, "/dev/vek-no-such-port", "Return", problem,
            missing.arg("/dev/vek-no-such-port"));
        row("link to nothing, Return", 2, "{nothing}", "Return", problem, missing.arg("{nothing}"));
        row("COM4 not there, OK", 2, "COM4", "OK", "", missing.arg("COM4"));
        row("its device, OK", 1, "{ports}/ttyS3", "OK", "", missing.arg("{ports}/ttyS3"));
        row("COM4 not there, Return", 2, "COM4", "Return", problem, missing.arg("COM4"));
        // A by-id path of 150 characters, which no label of the dialog holds.
        const QString longPath = "/dev/serial/by-id/usb-" + QString(124, 'x') + "-if00";
        row("long path not there, OK", 1, longPath, "OK", "", missing.arg(longPath));
        row("no port name, OK", 2, "COM 3", "OK", "", badPort.arg("COM 3"));
        row("JDM on LPT1, OK", 0, "LPT1", "OK", "",
            "Le module JDM PCB.110 ne fonctionne que sur un port série : « LPT1 » est un port "
            "parallèle. Choisissez COM1, COM2… ou le chemin d'un périphérique série.");
        row("link, Port fermé", 1, "{link}", "onoff",
            cannotOpen.arg("{link}") +
                "ce port n'a pas de lignes de modem (pseudo-terminal ou adaptateur USB sans "
                "ces lignes) : il ne peut pas piloter un programmateur",
            "");
        const QString noPort = "Aucun port n'est indiqué : choisissez COM1, COM2…, LPT1 ou le "
                               "chemin d'un périphérique (/dev/…, ou un lien vers un "
                               "périphérique).";
        row("emptied, OK", 1, "", "OK", "", noPort);
        row("JDM, LPT1 taken, then emptied", 0, "LPT1", "Return, emptied",
            "Vous venez de basculer sur le port paralèlle : LPT1", noPort);
        const QString notAPortDevice = "« /dev/null » n'est ni un port série ni un port "
                                       "parallèle : choisissez COM1, COM2…, LPT1 ou le chemin "
                                       "d'un périphérique série.";
        row("/dev/null, OK", 1, "/dev/null", "OK", "", notAPortDevice);
        row("JDM on /dev/null, Return", 0, "/dev/null", "Return", problem, notAPortDevice);
        row("/dev/null, Port fermé", 1, "/dev/null", "onoff",
            cannotOpen.arg("/dev/null") + "/dev/null n'est pas un port série", "");
        row("JDM on LPT1, Port fermé", 0, "LPT1", "onoff",
            cannotOpen.arg("LPT1") +
                "un port série est nécessaire ici (COM1, COM2… ou le chemin d'un périphérique "
                "série)",
            "");
    }

    void typedPortIsThePortTaken()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, finish);
        QFETCH(QString, info);
        QFETCH(QString, refusal);
        LinkedPty pty;
        QVERIFY(!pty.link.isEmpty());
        const auto places = [&](QString text) {
            return text.replace("{link}", pty.link)
                .replace("{pty}", pty.device)
                .replace("{nothing}", pty.folder.filePath("nothing"))
                .replace("{ports}", m_ports.folder.path());
        };
        typed = places(typed);
        const QString kept = typed.section('|', -1);
        typed = typed.section('|', 0, 0);
        VekContext context;
        context.settings.ICSPBoitier = int16_t(box);
        context.settings.ICSPPort = "COM2";
        auto settings = store();
        settings->setValue("ICSP/ICSP_Port", "COM2"); // the port stored before
        const auto loadedPort = [this] {
            MainSettings loaded;
            MainSettingsLoader(*store()).Load(loaded);
            return loaded.ICSPPort;
        };
        VEK_SETUP_ICSP d(context);
        d.setSettingsStore(settings.get());
        d.setWarningSink([this](const QString &t) { m_warnings << t; });
        QSignalSpy closed(&d, &VEK_SETUP_ICSP::setupClosed);
        d.SSTab1->setCurrentIndex(1);
        QVERIFY(Keyboard::focus(d.ICSP_COM));
        QCOMPARE(QApplication::focusWidget(), d.ICSP_COM); // not its line edit
        Keyboard::retype(typed);
        if (finish == "onoff") {
            QTest::mouseClick(d.BP_ONOFF, Qt::LeftButton);
            QCOMPARE(text(d), places(info));
            QCOMPARE(m_warnings, QStringList{places(info)}); // whole, in a box
            QVERIFY(!d.testPortOpen());
            QCOMPARE(context.settings.ICSPPort, kept);
            d.reject();
            return;
        }
        if (finish != "OK") {
            Keyboard::press(finish == "Return" ? Qt::Key_Return : Qt::Key_Enter);
            QVERIFY(d.isVisible()); // Return did not press OK
            QCOMPARE(closed.count(), 0);
            QCOMPARE(context.settings.ICSPPort, kept);
            QCOMPARE(text(d), places(info));
            QCOMPARE(d.ICSP_COM->currentText(), kept);
        }
        if (finish.endsWith("emptied"))
            Keyboard::retype("");
        QTest::mouseClick(d.OKButton, Qt::LeftButton);
        if (!refusal.isEmpty()) {
            QVERIFY(d.isVisible());
            QCOMPARE(closed.count(), 0);
            QCOMPARE(d.SSTab1->currentIndex(), 1);
            QCOMPARE(text(d), places(refusal));
            QCOMPARE(m_warnings, QStringList{places(refusal)}); // whole, in a box
            QCOMPARE(settings->allKeys(), QStringList{"ICSP/ICSP_Port"});
            settings->sync();
            QCOMPARE(loadedPort(), QString("COM2"));
            d.reject();
            return;
        }
        QCOMPARE(closed.count(), 1);
        QVERIFY(m_warnings.isEmpty());
        QCOMPARE(context.settings.ICSPPort, kept);
        // The next start reads the store afresh.
        settings.reset();
        QCOMPARE(loadedPort(), kept);
    }

    void packageLocksBoxChipAndAddresses()
    {
        VekContext context;
        context.TypeVersionOS = "VEK_MZ300_V2.XOS";
        context.settings.ICSPChip = "PIC-16F876A";
        auto settings = store();
        VEK_SETUP_ICSP d(context);
        d.setSettingsStore(settings.get());
        for (QWidget *w : std::initializer_list<QWidget *>{
                 d.FrameTypeBoitier, d.FrameProcesseur, d.FrameNbEssaiProg, d.FrameDelais,
                 d.FrameCodeAdresse, d.FrameCourbeAdresse})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(d.FramePortICSP->isEnabled());
        QCOMPARE(d.HEXADD->text(), QString("xxxx"));
        QCOMPARE(d.ADDH16->text(), QString("xxxx"));
        d.OKButton->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(context.settings.ICSPHEXADD, QString("000"));
        QCOMPARE(context.pic.DeviceChip, QString("16F876A"));
        QCOMPARE(settings->value("ICSP/ICSP_Chip").toString(), QString("PIC-16F876A"));
        QVERIFY(!settings->contains("ICSP/ICSP_HEXADD"));
    }

    void unreadableCatalogueKeepsTheChip()
    {
        QTemporaryDir noData;
        VekContext context;
        context.catalogues = VEK_XML(noData.path());
        context.settings.ICSPChip = "PIC-16F84A";
        auto settings = store();
        VEK_SETUP_ICSP d(context);
        d.setSettingsStore(settings.get());
        QVERIFY(d.findChild<QMessageBox *>("ChipCatalogueError"));
        QCOMPARE(d.ICSP_CHIP->count(), 1);
        QCOMPARE(d.ICSP_CHIP->itemText(0), QString("****"));
        QCOMPARE(d.chosenChip(), QString("PIC-16F84A"));
        d.OKButton->click();
        QCOMPARE(context.settings.ICSPChip, QString("PIC-16F84A"));
        QCOMPARE(context.pic.DeviceChip, QString("16F84A"));
    }

    void onOffReportsAFailedOpen()
    {
        VekContext context;
        RecordingLineChecks lines;
        lines.openError = "/dev/ttyS0: Permission denied";
        VEK_SETUP_ICSP d(context);
        d.setLineChecks(&lines);
        d.setWarningSink([this](const QString &t) { m_warnings << t; });
        d.BP_ONOFF->click();
        QVERIFY(!d.testPortOpen());
        QVERIFY(!d.TST_MCLR->isEnabled());
        QVERIFY(d.EtatCom_MCLR->isHidden());
        QCOMPARE(d.BP_ONOFF->text(), VEK_LANGUAGE::GetLanguageText("MBCOMOFF"));
        QCOMPARE(text(d), QString("/dev/ttyS0: Permission denied")); // as the programmer words it
        QCOMPARE(m_warnings, QStringList{text(d)});
        d.reject();
        QCOMPARE(lines.calls, QStringList{"open COM1"}); // nothing to close
    }

    void lineTestsDriveTheLines()
    {
        VekContext context;
        context.settings.ICSPBoitier = 1;
        RecordingLineChecks lines;
        VEK_SETUP_ICSP d(context);
        d.setLineChecks(&lines);
        d.show();
        d.SSTab1->setCurrentIndex(1);
        d.BP_ONOFF->click();
        QVERIFY(d.testPortOpen());
        QCOMPARE(d.BP_ONOFF->text(), VEK_LANGUAGE::GetLanguageText("MBCOMON"));
        QCOMPARE(text(d), QString("Module VEKP V 3.9 connecté !"));
        QVERIFY(d.EtatCom_CLOCK->isVisible());
        QCOMPARE(d.EtatCom_CLOCK->color(), QColor(255, 0, 0));
        QCOMPARE(d.EtatLpt_DATAR->color(), QColor(255, 0, 255));

        d.TST_CLOCK->click();
        QCOMPARE(lines.calls.last(), QString("line 2=1"));
        QCOMPARE(d.EtatCom_CLOCK->color(), QColor(0, 255, 0));
        QCOMPARE(d.EtatLpt_CLOCK->color(), QColor(0, 255, 0));
        QCOMPARE(text(d), QString("Réponse CLOCK du module VEKP V 3.9 ==> OK !"));
        d.TST_DATA->click();
        QCOMPARE(lines.calls.last(), QString("line 4=1"));

        // A line that cannot be driven says why and stays at 0.
        lines.lineError = "/dev/ttyS0: Input/output error";
        d.TST_MCLR->click();
        QVERIFY(!d.TST_MCLR->isChecked());
        QCOMPARE(d.EtatCom_MCLR->color(), QColor(255, 0, 0));
        QCOMPARE(text(d), QString("Ligne MCLR du module VEKP V 3.9 non commandée : "
                                  "/dev/ttyS0: Input/output error"));
        lines.lineError.clear();

        // Closing drives the ticked lines to 0 first, then lets the port go.
        lines.calls.clear();
        d.BP_ONOFF->click();
        QCOMPARE(lines.calls, (QStringList{"line 2=0", "line 4=0", "close"}));
        QVERIFY(!d.testPortOpen());
        QVERIFY(!d.TST_DATA->isChecked());
        QVERIFY(d.EtatCom_DATA->isHidden());
        QCOMPARE(text(d), QString("Module VEKP V 3.9 déconnecté !"));
        d.reject();
    }

    void choosingAnotherPortClosesTheTestPort()
    {
        VekContext context;
        RecordingLineChecks lines;
        VEK_SETUP_ICSP d(context);
        d.setLineChecks(&lines);
        d.BP_ONOFF->click();
        d.ICSP_COM->setCurrentIndex(d.ICSP_COM->findText("LPT1"));
        emit d.ICSP_COM->textActivated("LPT1");
        QCOMPARE(lines.calls, (QStringList{"open COM1", "close"}));
        QVERIFY(!d.testPortOpen());
        QVERIFY(!d.Sub_db25->isHidden());
        QCOMPARE(text(d), QString("Vous venez de basculer sur le port paralèlle : LPT1"));
        d.reject();
    }

    void closingReleasesAnOpenPort()
    {
        VekContext context;
        RecordingLineChecks lines;
        auto settings = store();
        VEK_SETUP_ICSP d(context);
        d.setSettingsStore(settings.get());
        d.setLineChecks(&lines);
        d.BP_ONOFF->click();
        d.TST_MCLR->click();
        d.OKButton->click();
        QCOMPARE(lines.calls.last(), QString("close"));
        QVERIFY(!lines.isOpen());
    }

    void equalCaptionsDoNotOpenThePort()
    {
        // Without language files both on/off captions are empty: loading and
        // port choices must still leave the port closed.
        QTemporaryDir empty;
        VEK_LANGUAGE::SetRepertoireLangue(empty.path() + "/");
        VEK_LANGUAGE::InitLanguage();
        VekContext context;
        RecordingLineChecks lines;
        VEK_SETUP_ICSP d(context);
        d.setLineChecks(&lines);
        QCOMPARE(d.BP_ONOFF->text(), QString());
        d.ICSP_COM_Click("COM2");
        QVERIFY(!d.testPortOpen());
        QVERIFY(lines.calls.isEmpty());
        d.BP_ONOFF->click();
        QVERIFY(d.testPortOpen());
        d.BP_ONOFF->click(); // same caption, yet it closes
        QVERIFY(!d.testPortOpen());
        QCOMPARE(lines.calls, (QStringList{"open COM2", "close"}));
        d.reject();
    }

    void presenceTestKeepsTheButtonInStep()
    {
        VekContext context;
        RecordingLineChecks lines;
        VEK_SETUP_ICSP d(context);
        d.setLineChecks(&lines);
        d.BP_ONOFF->click();
        d.BP_TST_PROG->click();
        // The hand-test port was closed before the test took the programmer.
        QVERIFY(!d.testPortOpen());
        QCOMPARE(d.BP_ONOFF->text(), VEK_LANGUAGE::GetLanguageText("MBCOMOFF"));
        QVERIFY(!d.OKButton->isEnabled());
        QTRY_VERIFY(!d.presenceTestRunning());
        QTRY_VERIFY(d.OKButton->isEnabled());
        QCOMPARE(lines.presenceCalls, QStringList{"presence COM1"});
        QCOMPARE(text(d), QString("Le module VEK-MZ300 à répondu correctement !"));

        lines.presence = JobOutcome::failure("Pas d'écho sur DATA_R", 1);
        d.BP_TST_PROG->click();
        QTRY_VERIFY(d.OKButton->isEnabled());
        QCOMPARE(text(d), QString("Pas de réponse du module VEK-MZ300 ?\nPas d'écho sur DATA_R"));
        d.reject();
    }

    // A pseudo-terminal has no modem lines; a port another owner holds is in
    // use: both are said when the port opens, and no line is shown driven.
    // Another window of ours is said as such; another program that holds the
    // port without a lock file is not known by name, and never taken for us.
    // A lock file left with our PID (used again after a crash) while no
    // window of ours holds the port is stale: the port opens.
    void portsThatCannotDriveAProgrammer_data()
    {
        QTest::addColumn<QString>("holder"); // "", "window", "program" or "stale lock"
        QTest::addColumn<QString>("reason");
        const QString noModemLines = "ce port n'a pas de lignes de modem (pseudo-terminal ou "
                                     "adaptateur USB sans ces lignes) : il ne peut pas piloter "
                                     "un programmateur";
        row("no modem lines", "", noModemLines);
        row("stale lock naming us", "stale lock", noModemLines);
        row("in use", "window", "le port est déjà ouvert dans une autre fenêtre de ce programme");
        row("in use by another program", "program",
            "le port est déjà utilisé par un autre programme");
    }
    void portsThatCannotDriveAProgrammer()
    {
        QFETCH(QString, holder);
        QFETCH(QString, reason);
        LinkedPty pty;
        const QString name = pty.device;
        DeviceResult<TtyByteLink> owner;
        std::unique_ptr<ForeignPortHolder> program;
        if (holder == "window")
            QVERIFY((owner = TtyByteLink::open(name, "57600,N,8,1")));
        if (holder == "program") {
            program = std::make_unique<ForeignPortHolder>(name);
            QVERIFY(program->holding());
        }
        QTemporaryDir lockFolder;
        const QStringList lockFolders = SerialPortLock::folders();
        const auto keepFolders = qScopeGuard([&] { SerialPortLock::setFolders(lockFolders); });
        if (holder == "stale lock") {
            SerialPortLock::setFolders({lockFolder.path()});
            QVERIFY(TestSupport::writeFile(lockFolder.filePath(SerialPortLock::fileName(name)),
                                           QByteArray::number(::getpid()) + '\n'));
        }
        VekContext context;
        context.settings.ICSPBoitier = 1;
        context.settings.ICSPPort = name;
        VEK_SETUP_ICSP d(context);
        d.setWarningSink([this](const QString &t) { m_warnings << t; });
        d.BP_ONOFF->click();
        const QString expected = QString("Impossible d'ouvrir le port %1 : %2").arg(name, reason);
        QCOMPARE(text(d), expected);
        QVERIFY(!d.testPortOpen());
        QVERIFY(!d.TST_MCLR->isEnabled());
        d.BP_TST_PROG->click();
        QTRY_VERIFY(d.OKButton->isEnabled());
        QCOMPARE(text(d), expected);
        d.reject();
    }

    void presenceTestShowsTheWiringDiagnosis()
    {
        // A VEKP box (data line returned as is) while the set-up says VEK-MZ
        // (returned inverted): the self-test's report says what it read.
        ManualClock clock;
        SimulatedPic pic(clock, SimChipModel::byName("16F84A"));
        SimulatedProgrammerBox box(pic, {1, "COM1"});
        VekContext context;
        context.transfer.programmerPort = box.opener();
        context.transfer.clock = &clock;
        VEK_SETUP_ICSP d(context);
        d.BP_TST_PROG->click();
        QTRY_VERIFY(!d.presenceTestRunning());
        QTRY_VERIFY(d.OKButton->isEnabled());
        QCOMPARE(text(d), QString("Pas de réponse du module VEK-MZ300 ?\n"
                                  "Mauvaise réponse à AUTO-DIAG\n"
                                  "[DATA, CLOCK] -> [DATA_R, CLOCK_R]:\n"
                                  "[    0    ,    0    ] -> [    1    ,    0    ]\n"
                                  "[    0    ,    1    ] -> [    1    ,    1    ]\n"
                                  "[    1    ,    0    ] -> [    0    ,    0    ]\n"
                                  "[    1    ,    1    ] -> [    0    ,    1    ]\n"
                                  "DATA est inversée !"));
        d.reject();
    }

    // Both pages, the line tests on a parallel port and on a serial one.
    void screenshotBothPages()
    {
        VekContext context;
        context.settings.ICSPPort = "LPT1";
        RecordingLineChecks lines;
        VEK_SETUP_ICSP d(context);
        d.setLineChecks(&lines);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(d.grab().save(TestSupport::screenshotPath("setup_icsp_page0.png")));
        d.SSTab1->setCurrentIndex(1);
        d.BP_ONOFF->click();
        d.TST_MCLR->click();
        QVERIFY(d.grab().save(TestSupport::screenshotPath("setup_icsp_page1_lpt.png")));
        d.ICSP_COM_Click("COM1");
        d.BP_ONOFF->click();
        d.TST_CLOCK->click();
        QVERIFY(d.grab().save(TestSupport::screenshotPath("setup_icsp_page1_com.png")));
        d.reject();

        // A table area that breaks two rules on a 16F876A: both said.
        VekContext areas;
        InstallTransferServices(areas.transfer);
        areas.settings.ICSPChip = "PIC-16F876A";
        areas.settings.ICSPNbTables = "2";
        VEK_SETUP_ICSP refused(areas);
        refused.setWarningSink([this](const QString &t) { m_warnings << t; });
        refused.show();
        QVERIFY(QTest::qWaitForWindowExposed(&refused));
        refused.ADDL8->setText("1FFF");
        refused.OKButton->click();
        QVERIFY(text(refused).contains('\n'));
        QCOMPARE(m_warnings, QStringList{text(refused)});
        QVERIFY(refused.grab().save(TestSupport::screenshotPath("setup_icsp_areas.png")));
        refused.reject();
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestSetupIcsp)
#include "tst_ui_setupicsp.moc"
