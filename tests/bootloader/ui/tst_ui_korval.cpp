#include "FakePrompts.h"
#include "ModalAnswer.h"
#include "ModuleSimulator.h"
#include "Mouse.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "icsp/ui/StatusPanel.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::row;
using VEK_LANGUAGE::GetLanguageText;

// The compatible-family window end to end: the simulated module on a
// pseudo-terminal, the buttons clicked as a user would.
class TestKorvalWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<VekContext> ctx;
    FakePrompts prompts;

    std::unique_ptr<VEK_KORVAL> openWindow(const QString &port)
    {
        ctx->settings.ICSPPort = port;
        auto w = std::make_unique<VEK_KORVAL>(*ctx, nullptr, &prompts);
        // The program's own second per byte: a line stalled as on a slow or
        // busy machine still delivers in time.
        w->byteTimeoutMs = 1000;
        prompts.messages.clear();
        return w;
    }

    static bool connectedState(const VEK_KORVAL &w)
    {
        return w.linkOpen() && w.BP_tst->text() == GetLanguageText("MBDeconnection") &&
               w.BP_UPLOAD->isEnabled() && !w.BP_DLOAD->isEnabled() && !w.BP_MAJHEX->isEnabled() &&
               !w.BP_Config->isEnabled() && w.panel(3)->text() == "CONNECTE";
    }

    static bool disconnectedState(const VEK_KORVAL &w)
    {
        return !w.linkOpen() && w.BP_tst->text() == GetLanguageText("MBConnection") &&
               !w.BP_UPLOAD->isEnabled() && !w.BP_DLOAD->isEnabled() && !w.BP_MAJHEX->isEnabled() &&
               w.BP_Config->isEnabled() && w.panel(3)->text() == "LOCAL";
    }

    void upload(VEK_KORVAL &w)
    {
        w.BP_UPLOAD->click();
        QVERIFY(w.transferRunning());
        // Locked meanwhile, but for Cancel.
        QVERIFY(!w.BP_tst->isEnabled() && !w.BP_UPLOAD->isEnabled() && !w.BP_Quit->isEnabled());
        QVERIFY(w.BP_Annuler->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w.transferRunning(), 10000);
        QVERIFY(!w.BP_Annuler->isEnabled());
        QVERIFY(w.panel(2)->picture().isNull()); // the bar has left the status bar
    }

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void init()
    {
        TestSupport::useFrenchTexts();
        ctx = std::make_unique<VekContext>();
        ctx->TypeVersionOS = "MIRT_KORVAL.XOS";
        prompts.messages.clear();
    }

    void uploadShowsTheTextsAndKeepsTheTables()
    {
        ModuleSimulator sim;
        // Control bytes in the texts show as marks, on one line.
        QVERIFY(sim.start({"--family", "--split", "--family-name", "MIRT\t12A", "--family-text",
                           "Module compatible,\r\nallumage à étincelle"}));
        auto w = openWindow(sim.devicePath());
        w->BP_tst->click();
        QVERIFY(connectedState(*w));
        QVERIFY(prompts.messages.isEmpty());

        upload(*w);
        QCOMPARE(w->ProgressBar, 100);
        QCOMPARE(prompts.messages.size(), 1);
        const FakePrompts::Shown &shown = prompts.messages.first();
        QCOMPARE(shown.icon, QMessageBox::Information);
        // Told as what it is, the module's tables (no PIC was read).
        QCOMPARE(shown.title, QString("Lecture des tables du module"));
        QVERIFY(shown.text.startsWith("Les tables du module ont été lues en entier.\n"));
        QCOMPARE(w->panel(2)->toolTip(), w->L_Info->text()); // the success recorded
        for (const QString &text : {shown.text, w->L_Info->text()}) {
            QVERIFY2(text.contains("MIRT·12A"), qPrintable(text));
            QVERIFY(text.contains("Module compatible,··allumage à étincelle"));
        }

        const QByteArray sent =
            QByteArray::fromHex(sim.waitForLine("FAMILY ANSWER ").section(' ', 3).toLatin1());
        QVERIFY(w->tables().has_value());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(w->tables()->basse.data()), 256),
                 sent.left(256));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(w->tables()->haute.data()), 256),
                 sent.mid(256));
        const QString view = w->T_Tables->toPlainText();
        QVERIFY2(view.contains("000: 52 82 82 "), qPrintable(view.left(200)));
        QVERIFY(view.contains(GetLanguageText("MLTableHaute") + "\n000: FF FE FD FC"));
        QVERIFY(connectedState(*w)); // the link stays open

        w->BP_tst->click();
        QVERIFY(disconnectedState(*w));
        QVERIFY(w->tables().has_value()); // kept after the link closes
    }

    // The window during an upload and after it.
    void screenshotUpload()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--family", "--split", "--family-name", "MIRT-12A", "--family-text",
                           "Module compatible, allumage électronique"}));
        auto w = openWindow(sim.devicePath());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->BP_tst->click();
        w->BP_UPLOAD->click();
        QTRY_VERIFY(w->ProgressBar >= 40);
        QVERIFY(w->grab().save(TestSupport::screenshotPath("VEK_KORVAL_running.png")));
        QTRY_VERIFY_WITH_TIMEOUT(!w->transferRunning(), 10000);
        QVERIFY(w->grab().save(TestSupport::screenshotPath("VEK_KORVAL_upload.png")));
    }

    void stopsEndInAClearMessage_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("reason");
        QTest::newRow("wrong marker")
            << QStringList{"--family-marker", "7E"}
            << "Le deuxième octet reçu vaut 0x7E au lieu de 0x82 : ce ne sont pas "
               "les tables du module.";
        QTest::newRow("short stream") << QStringList{"--family-length", "400"}
                                      << "Le module s'est tu après 400 octets sur 512.";
        QTest::newRow("silence") << QStringList{"--family-silent"}
                                 << "Le module ne répond pas : aucun octet reçu en 1000 ms.";
    }

    // After a first module's tables, a second module whose upload stops: the
    // reason is told, and the view keeps the last complete tables, said to be
    // those.
    void stopsEndInAClearMessage()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, reason);
        ModuleSimulator first, sim;
        QVERIFY(first.start({"--family"}));
        QVERIFY(sim.start(QStringList{"--family"} + options));
        auto w = openWindow(first.devicePath());
        w->BP_tst->click();
        upload(*w);
        QVERIFY(w->tables().has_value());
        const QString complete = w->T_Tables->toPlainText();
        const std::array<uint8_t, 256> low = w->tables()->basse;
        w->BP_tst->click();
        ctx->settings.ICSPPort = sim.devicePath();
        prompts.messages.clear();
        w->BP_tst->click();
        upload(*w);
        QCOMPARE(w->T_Tables->toPlainText(), complete);
        QCOMPARE(prompts.messages.size(), 1);
        const FakePrompts::Shown &shown = prompts.messages.first();
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QCOMPARE(shown.title, QString("Lecture des tables du module"));
        const QString kept =
            reason + "\nLes tables affichées sont celles de la dernière lecture complète.";
        QCOMPARE(shown.text, "La lecture a été interrompue.\n" + kept);
        QCOMPARE(w->L_Info->text(), kept);
        QVERIFY(w->tables()->basse == low); // nothing half-read replaces them
        QVERIFY(connectedState(*w));
        QVERIFY(w->BP_Quit->isEnabled());
    }

    void cancelStopsTheWait()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--family", "--family-silent"}));
        auto w = openWindow(sim.devicePath());
        w->byteTimeoutMs = 60000;
        w->BP_tst->click();
        w->BP_UPLOAD->click();
        // The module has the request (and answers none of it): the upload now
        // waits for the answer.
        QCOMPARE(sim.waitForLine("FAMILY ANSWER ").section(' ', 2, 2), QString("0"));
        QElapsedTimer timer;
        timer.start();
        w->BP_Annuler->click();
        // Far sooner than the minute the byte would be waited for.
        QTRY_VERIFY_WITH_TIMEOUT(!w->transferRunning(), 20000);
        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().text,
                 QString("La lecture a été interrompue.\nLecture annulée après 0 octets sur 512."));
        QVERIFY(connectedState(*w));
    }

    void lostModuleDisconnects()
    {
        auto sim = std::make_unique<ModuleSimulator>();
        QVERIFY(sim->start({"--family", "--family-silent"}));
        QTemporaryDir folder; // the adapter's link, which goes with it
        const QString adapter = folder.filePath("adapter");
        QVERIFY(QFile::link(sim->devicePath(), adapter));
        auto w = openWindow(adapter);
        w->byteTimeoutMs = 60000;
        w->BP_tst->click();
        w->BP_UPLOAD->click();
        sim.reset(); // the module goes away during the upload
        QVERIFY(QFile::remove(adapter));
        QTRY_VERIFY_WITH_TIMEOUT(!w->transferRunning(), 5000);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().text.contains(ctx->settings.ICSPPort));
        QVERIFY(disconnectedState(*w));

        // A connection to the port still gone: its cause replaces the lost line.
        const QString lost = w->L_Info->text();
        prompts.messages.clear();
        QVERIFY(Mouse::click(w->BP_tst));
        QCOMPARE(prompts.messages.size(), 1);
        const QString cause = prompts.messages.first().text;
        QVERIFY(cause != lost && cause.contains(ctx->settings.ICSPPort));
        QCOMPARE(w->L_Info->text(), cause);
        QCOMPARE(w->panel(2)->text(), cause.section('\n', 0, 0));
        QVERIFY(disconnectedState(*w));
    }

    // A wrong saved port is put right from this window: its set-up button
    // opens the programmer set-up, whose port the connection then uses.
    void portIsSetFromTheWindow()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start({"--family"}));
        auto w = openWindow("/dev/vek-no-such-port");
        QTemporaryDir folder;
        QSettings store(folder.filePath("setup.ini"), QSettings::IniFormat);
        bool chosen = false;
        ModalAnswer answer([&](QWidget *modal) {
            auto *setup = qobject_cast<VEK_SETUP_ICSP *>(modal);
            QVERIFY(setup);
            setup->setSettingsStore(&store);
            setup->ICSP_COM_Click(sim.devicePath());
            setup->OKButton->click();
            chosen = !setup->isVisible();
        });
        QCOMPARE(w->BP_Config->text(), GetLanguageText("MBConfiguration"));
        w->BP_Config->click();
        QVERIFY(chosen);
        QCOMPARE(ctx->settings.ICSPPort, sim.devicePath());
        w->BP_tst->click();
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(connectedState(*w)); // the download stays off: this module takes none
    }

    // Captions from the language files, whichever language; the link button
    // follows the link, not its caption.
    void englishCaptionsAndTheLinkButton()
    {
        TestSupport::useTexts("english.ini");
        ModuleSimulator sim;
        const bool started = sim.start({"--family"});
        auto w = openWindow(sim.devicePath());
        const QString cancel = w->BP_Annuler->text();
        const QString setup = w->BP_Config->text();
        TestSupport::useFrenchTexts(); // the caption stays English, the texts are French
        QVERIFY(started);
        QCOMPARE(cancel, QString("&Cancel"));
        QCOMPARE(setup, QString("Settings"));
        w->BP_tst->click(); // an English caption, French texts: still a connection
        QVERIFY(connectedState(*w));
        w->BP_tst->click();
        QVERIFY(disconnectedState(*w));
    }

    // The status after connecting and the upload's bar in the user's language.
    void textsInTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("ready");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        row("english", "english.ini", "Ready for transfer",
            "Reading the low table (512) bytes : ", "Reading the high table (512) bytes : ");
        row("deutch", "deutch.ini", "Bereit zur Übertragung",
            "Niedrige Tabelle wird gelesen (512) Bytes : ",
            "Hohe Tabelle wird gelesen (512) Bytes : ");
        row("francais", "francais.ini", "Prêt pour le transfert",
            "Lecture de la table basse (512) octets : ",
            "Lecture de la table haute (512) octets : ");
    }

    void textsInTheUsersLanguage()
    {
        QFETCH(QString, file);
        QFETCH(QString, ready);
        QFETCH(QString, low);
        QFETCH(QString, high);
        TestSupport::useTexts(file);
        ModuleSimulator sim;
        QVERIFY(sim.start({"--family"}));
        auto w = openWindow(sim.devicePath());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->BP_tst->click();
        QCOMPARE(w->panel(2)->text(), ready);
        TestSupport::settle(); // the layout takes the new text
        QCOMPARE(w->panel(3)->shownText(), GetLanguageText("ModuleConnecte"));
        QSignalSpy bars(&w->runner(), &JobRunner::progress);
        upload(*w);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Information);
        QStringList texts;
        for (const QList<QVariant> &bar : std::as_const(bars))
            if (!texts.contains(bar.at(2).toString()))
                texts << bar.at(2).toString();
        QCOMPARE(texts, (QStringList{low, high}));
    }

    void refusalsAndPortFailures()
    {
        auto w = openWindow("LPT1");
        ctx->TypeVersionOS.clear(); // the port comes first
        w->BP_tst->click();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.takeFirst().text,
                 QString("Pas de transmission possible sur le port LPT"));
        QVERIFY(disconnectedState(*w));

        ctx->settings.ICSPPort = "COM1";
        w->BP_tst->click();
        QCOMPARE(prompts.messages.takeFirst().text,
                 QString("Aucun fichier OS n'a été sélectionné"));

        ctx->TypeVersionOS = "MIRT_KORVAL.XOS";
        ctx->settings.ICSPPort = "/dev/vek-no-such-port";
        w->BP_tst->click();
        QCOMPARE(prompts.messages.size(), 1);
        const FakePrompts::Shown shown = prompts.messages.takeFirst();
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QVERIFY2(shown.text.contains("/dev/vek-no-such-port"), qPrintable(shown.text));
        QVERIFY(disconnectedState(*w));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestKorvalWindow)
#include "tst_ui_korval.moc"
