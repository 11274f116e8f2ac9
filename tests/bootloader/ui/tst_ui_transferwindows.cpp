#include "FakePrompts.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/StatusTipLine.h"
#include "bootloader/ui/VEK_BL.h"
#include "bootloader/ui/VEK_BL_INIT.h"
#include "bootloader/ui/VEK_KORVAL.h"
#include "icsp/ui/StatusPanel.h"
#include "icsp/ui/VEK_ICSP.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QtTest>

#include <atomic>
#include <thread>

using VEK_LANGUAGE::GetLanguageText;

namespace {

std::unique_ptr<TransferFrame> open(const QString &name, VekContext &context, FakePrompts &prompts)
{
    if (name == "VEK_ICSP")
        return std::make_unique<VEK_ICSP>(context, nullptr, &prompts);
    if (name == "VEK_BL")
        return std::make_unique<VEK_BL>(context, nullptr, &prompts);
    if (name == "VEK_KORVAL")
        return std::make_unique<VEK_KORVAL>(context, nullptr, &prompts);
    return std::make_unique<VEK_BL_INIT>(context, nullptr, &prompts);
}

QStringList lines(const QTextEdit *view)
{
    return view->toPlainText().split('\n');
}

} // namespace

class TestTransferWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<VekContext> owned;
    FakePrompts prompts;
    VekContext &ctx() { return *owned; }

    void allWindows()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"VEK_ICSP", "VEK_BL", "VEK_KORVAL", "VEK_BL_INIT"})
            QTest::newRow(name) << QString(name);
    }

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void init()
    {
        owned = std::make_unique<VekContext>();
        prompts.messages.clear();
    }

    void openingBlanksTheImage_data() { allWindows(); }
    void openingBlanksTheImage()
    {
        QFETCH(QString, name);
        ctx().pic.ImagePIC.setCodeWord(3, 0x1234);
        ctx().pic.ImagePIC.ConfigWord = 0x0001;
        ctx().pic.HexFileName = "old.hex";
        auto w = open(name, ctx(), prompts);
        // "AUTO" before any read: the 16F84.
        QCOMPARE(ctx().pic.DeviceChip, QString("16F84"));
        QCOMPARE(ctx().pic.ImagePIC.codeWord(3), uint16_t(0x3FFF));
        QCOMPARE(ctx().pic.ImagePIC.ConfigWord, uint16_t(0x3FFF));
        QVERIFY(ctx().pic.HexFileName.isEmpty());
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(w->P1 && w->P1->isBound() && w->P2 && w->P2->isBound());
        // The port drawn on the link bar, red while disconnected.
        const QImage link = w->panel(1)->picture();
        QVERIFY(!link.isNull());
        QCOMPARE(link.pixel(2, link.height() / 2), qRgb(255, 0, 0));
    }

    // With "AUTO", only the programmer window reads the chip on opening: the
    // bootloader windows' port is the module's link, not a programmer.
    void onlyTheProgrammerWindowReadsTheChip_data() { allWindows(); }
    void onlyTheProgrammerWindowReadsTheChip()
    {
        QFETCH(QString, name);
        auto reads = std::make_shared<std::atomic<int>>(0);
        ctx().transfer.readDeviceId = [reads](TransferContext &) -> std::optional<uint16_t> {
            ++*reads;
            return 0x07C5;
        };
        ctx().pic.ImagePIC.DeviceID = 0x10E3; // last read: a 16F84A
        auto w = open(name, ctx(), prompts);
        QTRY_VERIFY(!w->transferRunning());
        const bool programmer = name == "VEK_ICSP";
        QCOMPARE(reads->load(), programmer ? 1 : 0);
        QCOMPARE(ctx().pic.DeviceChip, QString(programmer ? "16F628" : "16F84A"));
    }

    void statusTextsAfterLoading_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("panel3");
        QTest::addColumn<bool>("readyHelp");
        const QString programmer = GetLanguageText("VEK_ISCPCapt") + " VEK-MZ300";
        // The programmer window names the chip in force ("AUTO" before any read: the 16F84).
        QTest::newRow("VEK_ICSP") << "VEK_ICSP" << programmer << "Processeur: 16F84" << true;
        QTest::newRow("VEK_BL") << "VEK_BL" << programmer << GetLanguageText("BEPItem3") + " LOCAL"
                                << true;
        QTest::newRow("VEK_KORVAL") << "VEK_KORVAL"
                                    << "Communication KORVALx avec un module compatible MIRT"
                                    << "LOCAL" << true;
        QTest::newRow("VEK_BL_INIT") << "VEK_BL_INIT" << programmer << QString() << false;
    }

    void statusTextsAfterLoading()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, panel3);
        QFETCH(bool, readyHelp);
        auto w = open(name, ctx(), prompts);
        QCOMPARE(w->windowTitle(), caption);
        // The captions come after Initialisation: the language texts show.
        QCOMPARE(w->panel(2)->text(), GetLanguageText("BEPItem2"));
        QCOMPARE(w->panel(3) ? w->panel(3)->text() : QString(), panel3);
        QCOMPARE(w->L_Info->text(), readyHelp ? GetLanguageText("BEPItem2") : QString());
        QCOMPARE(w->BarreEtat->findChildren<StatusPanel *>().size(), panel3.isEmpty() ? 2 : 3);
        QCOMPARE(w->BP_Quit->text(), GetLanguageText("MBQuitter"));

        // A later Initialisation puts back the texts of its own.
        w->Initialisation();
        QCOMPARE(w->panel(2)->text(), QString("Transfert PRET... "));
        if (name == "VEK_ICSP")
            QCOMPARE(w->panel(3)->text(), QString("Processeur: 16F84"));
        if (name == "VEK_BL")
            QCOMPARE(w->panel(3)->text(), QString("Module: LOCAL"));
    }

    void programmerLabel()
    {
        ctx().settings.ICSPBoitier = 1;
        VEK_BL w(ctx(), nullptr, &prompts);
        QCOMPARE(w.nomProgrammateur(), QString("VEKP V 3.9"));
        ctx().settings.ICSPBoitier = 9; // unknown: the label stays
        w.Initialisation();
        QCOMPARE(w.nomProgrammateur(), QString("VEKP V 3.9"));
        VEK_ICSP fresh(ctx(), nullptr, &prompts);
        QCOMPARE(fresh.windowTitle(), GetLanguageText("VEK_ISCPCapt") + " ");
        VEK_KORVAL korval(ctx(), nullptr, &prompts);
        QVERIFY(korval.nomProgrammateur().isEmpty());
    }

    // Hover help goes to the window's status tip line, never into L_Info,
    // which keeps what the window last said.
    void hoverHelp_data() { allWindows(); }
    void hoverHelp()
    {
        QFETCH(QString, name);
        auto w = open(name, ctx(), prompts);
        auto *tip = w->findChild<StatusTipLine *>("StatusTip");
        const bool helps = name != "VEK_BL_INIT";
        QCOMPARE(tip != nullptr, helps);
        w->L_Info->setText("fait");
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(w->BP_Quit, &enter);
        if (tip)
            QCOMPARE(tip->text(), GetLanguageText("MMBPQuit"));
        if (auto *tst = w->findChild<QPushButton *>("BP_tst")) {
            QCoreApplication::sendEvent(tst, &enter);
            QCOMPARE(tip->text(), GetLanguageText("MMBPtst"));
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(tst, &leave);
            QCOMPARE(tip->text(), QString());
            QCoreApplication::sendEvent(tst, &enter);
        }
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.get(), &move);
        if (tip)
            QCOMPARE(tip->text(), QString());
        QCOMPARE(w->L_Info->text(), QString("fait"));
    }

    void linkButtonsWaitForTheConnection()
    {
        VEK_BL bl(ctx(), nullptr, &prompts);
        for (QPushButton *b : {bl.BP_DLOAD[1], bl.BP_DLOAD[2], bl.BP_MAJHEX, bl.BP_UPLOAD})
            QVERIFY(!b->isEnabled());
        QVERIFY(bl.BP_tst->isEnabled());
        QCOMPARE(bl.BP_DLOAD[1]->text(), GetLanguageText("MBdownload_L1"));
        VEK_ICSP icsp(ctx(), nullptr, &prompts);
        const uint16_t word = ctx().pic.ImagePIC.ConfigWord;
        icsp.BP_UPLOAD->click(); // changes nothing
        QCOMPARE(ctx().pic.ImagePIC.ConfigWord, word);
        QVERIFY(!icsp.BP_UPLOAD->isEnabled());
        VEK_BL_INIT init(ctx(), nullptr, &prompts);
        QVERIFY(init.BP_STEP[1]->isEnabled());
        QVERIFY(!init.BP_STEP[2]->isEnabled() && !init.BP_STEP[3]->isEnabled());
    }

    void clearBufferKeepsTheFileName()
    {
        VEK_ICSP w(ctx(), nullptr, &prompts);
        ctx().pic.HexFileName = "module.hex";
        ctx().pic.ImagePIC.setCodeWord(0, 0x0123);
        w.AfficherMemoire();
        QVERIFY(w.T_ProgramMem->toPlainText().startsWith("0000: 0123 "));
        w.MnuClsBuff->trigger();
        QCOMPARE(ctx().pic.HexFileName, QString("module.hex"));
        QCOMPARE(ctx().pic.ImagePIC.codeWord(0), uint16_t(0x3FFF));
        QVERIFY(w.T_ProgramMem->toPlainText().startsWith("0000: 3FFF "));
    }

    void blank16F84Views()
    {
        VEK_ICSP w(ctx(), nullptr, &prompts);
        const QStringList program = lines(w.T_ProgramMem);
        QCOMPARE(program.size(), 128);
        QCOMPARE(program.first(), "0000: " + QString("3FFF ").repeated(8));
        QVERIFY(program.last().startsWith("03F8: "));
        const QStringList eeprom = lines(w.T_EEDATA);
        QCOMPARE(eeprom.size(), 8);
        QVERIFY(eeprom.first().startsWith("000: FF "));
        QVERIFY(eeprom.last().startsWith("038: "));
        QCOMPARE(w.TBConfigWord->text(), QString("0x3FFF"));
        for (QLineEdit *id : w.UserID)
            QCOMPARE(id->text(), QString("7F"));
        QCOMPARE(w.TBDeviceID->text(), QString("16F84"));
        QCOMPARE(w.CheckSum->text(), PicDevice::ChecksumText(ctx().pic.CalculChecksum()));
        QVERIFY(w.CkBit[0]->isChecked() && !w.CkBit[1]->isChecked() && !w.CkBit[2]->isChecked());
        QCOMPARE(w.CmbOscillateur->currentText(), QString("RC"));
        QVERIFY(w.CkBit[3]->isHidden() && w.CmbCodeProtect->isHidden());
        // Addresses blue, data black.
        QTextCursor cursor(w.T_ProgramMem->document());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(0, 0, 255));
        cursor.setPosition(8);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(0, 0, 0));
        w.AfficherCodeTexte();
        QCOMPARE(lines(w.T_ProgramMem).size(), 128);
    }

    void chipWithoutEepromHidesItsView()
    {
        ctx().settings.ICSPChip = "PIC-12C508";
        VEK_ICSP w(ctx(), nullptr, &prompts);
        QVERIFY(w.T_EEDATA->isHidden() && w.LabelICSP2->isHidden());
        QCOMPARE(w.CkBit[2]->text(), QString("MCLR"));
    }

    void configurationWordAndControls()
    {
        ctx().settings.ICSPChip = "PIC-16F628";
        VEK_ICSP w(ctx(), nullptr, &prompts);
        ctx().pic.ImagePIC.ConfigWord = 0x3D70;
        w.AfficherMemoire();
        QCOMPARE(ctx().pic.ImagePIC.ConfigWord, uint16_t(0x3D70)); // filling leaves it
        QCOMPARE(w.CmbOscillateur->currentText(), QString("IntRC I/O"));
        QCOMPARE(w.CmbCodeProtect->currentText(), QString("CP OFF"));
        QCOMPARE(w.configControls(), (ConfigurationWord::ConfigControls{
                                         4, 3, {false, true, true, true, false, false}}));
        w.MotConfigDepuisControles();
        QCOMPARE(ctx().pic.ImagePIC.ConfigWord, uint16_t(0x3D70));
        // The user's tick rebuilds the word and its checksum.
        w.CkBit[0]->click();
        QCOMPARE(ctx().pic.ImagePIC.ConfigWord, uint16_t(0x3D74));
        QCOMPARE(w.TBConfigWord->text(), QString("0x3D74"));
        QCOMPARE(w.CheckSum->text(), PicDevice::ChecksumText(ctx().pic.CalculChecksum()));
        // Nor does laying the controls out again.
        w.IdentifierPIC();
        QCOMPARE(ctx().pic.ImagePIC.ConfigWord, uint16_t(0x3D74));
    }

    void controlsFollowTheChipFamily()
    {
        ctx().settings.ICSPChip = "PIC-18F2550";
        VEK_ICSP w(ctx(), nullptr, &prompts);
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(w.CmbOscillateur->isHidden() && w.LblOscillator->isHidden());
        QCOMPARE(w.CmbOscillateur->count(), 0);
        for (QCheckBox *box : w.CkBit)
            QVERIFY(box->isHidden());
        QCOMPARE(w.CkBit[0]->text(), QString());
        // The 18 family fills the whole image, and the views stop at its end.
        QCOMPARE(lines(w.T_ProgramMem).size(), PicImage::CodeWords / 8);

        ctx().settings.ICSPChip = "PIC-16F84";
        w.IdentifierPIC();
        QVERIFY(!w.CmbOscillateur->isHidden());
        QCOMPARE(w.CmbOscillateur->count(), 4);
        QCOMPARE(w.CmbOscillateur->currentText(), QString("XT"));
        QVERIFY(!w.CkBit[2]->isHidden() && w.CkBit[3]->isHidden());
    }

    void unknownChips()
    {
        ctx().settings.ICSPChip = "PIC-16F876A";
        VEK_ICSP w(ctx(), nullptr, &prompts);
        ctx().settings.ICSPChip = "PIC-16F877";
        w.Initialisation();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, GetLanguageText("ChipProbPara"));
        QCOMPARE(prompts.messages[0].title, GetLanguageText("ICSPIdentChip"));
        QCOMPARE(ctx().pic.DeviceChip, QString("16F876A"));
        ctx().pic.DeviceChip = "16F877";
        w.AfficherMemoire();
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages[1].text, GetLanguageText("ChipNotDefine"));
        QCOMPARE(prompts.messages[1].title, GetLanguageText("MessWARNING"));
    }

    // The programmer's device-ID read runs off the GUI thread with the window locked.
    void pluggedDeviceIdRead()
    {
        ctx().transfer.readDeviceId = [](TransferContext &transfer) -> std::optional<uint16_t> {
            transfer.progress.setStatus("lecture");
            return 0x07C5; // a 16F628
        };
        VEK_ICSP w(ctx(), nullptr, &prompts);
        QTRY_COMPARE(w.TBDeviceID->text(), QString("16F628"));
        QCOMPARE(ctx().pic.ImagePIC.DeviceID, uint16_t(0x07C5));
        QCOMPARE(w.CmbOscillateur->count(), 8);
        QCOMPARE(w.L_Info->text(), GetLanguageText("BEPItem2"));
        QVERIFY(w.BP_ReadModule->isEnabled());
        // A fixed chip is not read.
        ctx().settings.ICSPChip = "PIC-16F88";
        ctx().transfer.readDeviceId = [](TransferContext &) -> std::optional<uint16_t> {
            return 0x10E0;
        };
        w.Initialisation();
        QVERIFY(!w.transferRunning());
        QCOMPARE(ctx().pic.DeviceChip, QString("16F88"));
    }

    void cancelStopsTheRunningTransfer()
    {
        std::atomic<bool> started{false};
        ctx().transfer.readDeviceId = [&started](TransferContext &t) -> std::optional<uint16_t> {
            started = true;
            while (!t.cancel.cancelled())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return std::nullopt;
        };
        ctx().pic.ImagePIC.DeviceID = 0x10E3; // last read: a 16F84A
        VEK_ICSP w(ctx(), nullptr, &prompts);
        QVERIFY(w.transferRunning());
        QVERIFY(!w.BP_ReadModule->isEnabled() && !w.BP_Quit->isEnabled());
        QVERIFY(!w.CkBit[0]->parentWidget()->isEnabled());
        QVERIFY(w.BP_Annuler->isEnabled());
        QTRY_VERIFY(started);
        w.BP_Annuler->click(); // the job sees the request and ends
        QTRY_VERIFY(!w.transferRunning());
        QCOMPARE(ctx().pic.DeviceChip, QString("16F84A")); // the last device ID stands
        QVERIFY(w.BP_ReadModule->isEnabled() && w.BP_Quit->isEnabled());
        QVERIFY(!w.BP_DLOAD->isEnabled()); // back to its own state
    }

    void closingWaitsForTheTransfer_data() { allWindows(); }
    void closingWaitsForTheTransfer()
    {
        QFETCH(QString, name);
        std::atomic<bool> ended{false};
        auto w = open(name, ctx(), prompts);
        QVERIFY(w->startTransfer([&ended](TransferContext &t) {
            while (!t.cancel.cancelled())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ended = true;
            return JobOutcome::cancelled("stopped");
        }));
        QVERIFY(!w->startTransfer([](TransferContext &) { return JobOutcome::success(); }));
        w->show();
        // Asked first: No leaves the window and its transfer as they were.
        prompts.answer = QMessageBox::No;
        QVERIFY(!w->close());
        QVERIFY(w->isVisible() && w->transferRunning() && !ended);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first().icon, QMessageBox::Question);
        QCOMPARE(prompts.messages.first().text, GetLanguageText("MessArreterTransfert"));
        prompts.answer = QMessageBox::Yes;
        QVERIFY(w->close());
        prompts.answer = QMessageBox::Ok;
        QVERIFY(ended);
        QVERIFY(!w->transferRunning());
        QCOMPARE(prompts.messages.size(), 2); // nothing was left half-written
    }

    void progressGoesToTheBarsAndStatus()
    {
        VEK_BL w(ctx(), nullptr, &prompts);
        const QImage before = w.panel(2)->picture();
        JobOutcome seen;
        auto release = std::make_shared<std::atomic<bool>>(false);
        QVERIFY(w.startTransfer(
            [release](TransferContext &t) {
                t.progress.setBar(1, 62.5, "Ecriture ");
                t.progress.setStatus("Ecriture en cours");
                while (!*release)
                    std::this_thread::yield();
                return t.settings.ICSPPort == "COM1" ? JobOutcome::success("fini")
                                                     : JobOutcome::failure("context");
            },
            [&seen](const JobOutcome &outcome) { seen = outcome; }));
        QTRY_VERIFY(w.panel(2)->picture() != before); // the bar while the job runs
        *release = true;
        QTRY_COMPARE(seen.message, QString("fini"));
        QCOMPARE(w.ProgressBar, 62); // halves to even
        QCOMPARE(w.L_Info->text(), QString("Ecriture en cours"));
        QVERIFY(w.panel(2)->picture().isNull()); // and none once it has ended
        QVERIFY(w.startTransfer([](TransferContext &) { return JobOutcome::failure("perdu"); }));
        QTRY_COMPARE(w.L_Info->text(), QString("perdu"));
    }

    void screenshots_data() { allWindows(); }
    void screenshots()
    {
        QFETCH(QString, name);
        auto w = open(name, ctx(), prompts);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->P1->DrawPanel("Ecriture ", 37);
        QVERIFY(w->grab().save(TestSupport::screenshotPath(name + ".png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestTransferWindows)
#include "tst_ui_transferwindows.moc"
