// The programmer window on a simulated PIC behind a simulated programmer box:
// read, write, erase, verification, table programming, files and user IDs,
// cancelling and injected faults, all through the window's buttons.
#include "ExpectedTables.h"
#include "FakePrompts.h"
#include "IcspRig.h"
#include "ModalAnswer.h"
#include "Mouse.h"
#include "PortHolders.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/TransferServicesSetup.h"
#include "app/VekContext.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderTexts.h"
#include "firmware/HexFiles.h"
#include "icsp/ChipTable.h"
#include "icsp/ui/StatusPanel.h"
#include "icsp/ui/VEK_ICSP.h"
#include "icsp/ui/VEK_SETUP_ICSP.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using TestSupport::row;
using VEK_LANGUAGE::GetLanguageText;

namespace {

// The window's world, and the prompts that answer it.
struct Bench : IcspWindowWorld {
    FakePrompts prompts;

    using IcspWindowWorld::IcspWindowWorld;

    // The window, once its opening identification is over.
    std::unique_ptr<VEK_ICSP> window()
    {
        auto w = std::make_unique<VEK_ICSP>(context, nullptr, &prompts);
        wait(*w);
        prompts.messages.clear();
        return w;
    }

    static void wait(VEK_ICSP &w) { QTRY_VERIFY_WITH_TIMEOUT(!w.transferRunning(), 60000); }

    bool imageOnChip() const { return IcspRig::imageOnChip(pic, context.pic); }

    QString lastMessage() const
    {
        return prompts.messages.isEmpty() ? QString() : prompts.messages.last().text;
    }
};

void click(VEK_ICSP &w, QPushButton *button)
{
    button->click();
    Bench::wait(w);
}

// A curve of a real engine: 8 points from 800 to 7000 rpm.
void realisticCurve(VekContext &context)
{
    context.tab_avance.setRows({{"800", "10.0", "10.0"},
                                {"1500", "14.0", "12.0"},
                                {"2200", "20.0", "15.0"},
                                {"3000", "26.0", "19.0"},
                                {"3800", "30.0", "22.0"},
                                {"4600", "32.0", "24.0"},
                                {"5500", "33.0", "25.0"},
                                {"7000", "33.0", "25.0"}},
                               false);
    context.moteur.Txt_av_statique = QStringLiteral("45.0");
    context.settings.TypeCompilation = 8;
    context.settings.ICSPNbTables = QStringLiteral("1");
    context.settings.ICSPLTAB_L1 = QStringLiteral("300");
    context.settings.ICSPHTAB_L1 = QStringLiteral("500");
}

void typeId(VEK_ICSP &w, int index, const QString &text, int key)
{
    QLineEdit *box = w.UserID[size_t(index)];
    box->setText(text);
    QTest::keyClick(box, Qt::Key(key));
}

} // namespace

class TestIcspWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    // COM1 is a serial port of the test's own, whatever this machine has.
    LinkedPty m_serial;
    NumberedPorts m_ports;

private slots:
    void initTestCase()
    {
        TestSupport::useFrenchTexts();
        QVERIFY(m_ports.link("ttyS0", m_serial.device));
    }
    void init() { TestSupport::useFrenchTexts(); }

    // Program with verification, clear, read back, erase: what the chip holds
    // is the image at each step, and each step says so.
    void programReadErase()
    {
        Bench b(QStringLiteral("16F84A"));
        auto w = b.window();
        QCOMPARE(b.context.pic.DeviceChip, QString("16F84A")); // identified on opening
        IcspRig::fillImage(b.context.pic, 7, 0x3FF1);
        w->AfficherMemoire();
        const int32_t checksum = b.context.pic.CalculChecksum();

        click(*w, w->BP_WriteModule);
        QCOMPARE(b.prompts.messages.size(), 1); // the device record only
        QCOMPARE(b.prompts.messages[0].title, QString("DEBUGGING 16F876..."));
        QVERIFY(b.imageOnChip());
        QVERIFY2(w->L_Info->text().startsWith(GetLanguageText("WritePICEnded")),
                 qPrintable(w->L_Info->text()));

        click(*w, w->BP_Clear);
        QVERIFY(b.context.pic.CalculChecksum() != checksum);
        click(*w, w->BP_ReadModule);
        QCOMPARE(b.context.pic.CalculChecksum(), checksum);
        QCOMPARE(w->CheckSum->text(), PicDevice::ChecksumText(checksum));
        QCOMPARE(b.prompts.messages.last().text, GetLanguageText("ICSPReadOK1"));
        QCOMPARE(w->L_Info->text(), GetLanguageText("ReadPICEnded"));
        QVERIFY(w->BP_ReadModule->isEnabled() && w->BP_Quit->isEnabled());

        b.prompts.answer = QMessageBox::Yes;
        click(*w, w->BP_EraseDevice);
        QVERIFY(std::all_of(b.pic.program.begin(), b.pic.program.end(),
                            [](uint16_t v) { return v == 0x3FFF; }));
        QCOMPARE(b.context.pic.CalculChecksum(), 0x3CFE);
        QCOMPARE(w->L_Info->text(), GetLanguageText("ErrasePICEnded"));
    }

    // A cancel while the read, or the quick code, waits at its first line step
    // says that it was cancelled, and where, never that it was done.
    void cancelAtTheFirstLineStepIsTold_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after"); // what follows the cancel's words
        row("read", "16F84A", "AUTO", "BP_ReadModule", "");
        row("quick code", "16F876A", "PIC-16F876A", "KivCommand1", " [0x");
    }

    void cancelAtTheFirstLineStepIsTold()
    {
        QFETCH(QString, chip);
        QFETCH(QString, choice);
        QFETCH(QString, button);
        QFETCH(QString, after);
        Bench b(chip, choice);
        auto w = b.window();
        b.clock.hold();
        TestSupport::child<QPushButton>(*w, button)->click();
        w->BP_Annuler_Click();
        b.clock.release();
        Bench::wait(*w);
        if (button == "BP_ReadModule")
            QCOMPARE(b.prompts.messages.size(), 1);
        QCOMPARE(b.prompts.messages.last().icon, QMessageBox::Warning);
        QVERIFY2(b.lastMessage().startsWith(GetLanguageText("ICSPCancelled") + after),
                 qPrintable(b.lastMessage()));
        QVERIFY(b.lastMessage() != GetLanguageText("ICSPReadOK1"));
        QVERIFY(!b.pic.inProgrammingMode());
    }

    // A code-protected chip reads 0000 throughout: the read says that it is
    // protected and unreadable, never that it was read; a write then fails on
    // its first word, names the protection and offers the erase, after which
    // the chip takes the image.
    void protectedChipIsSaidSoAndErasedOnRequest()
    {
        Bench b(QStringLiteral("16F84A"));
        b.pic.program[3] = 0x0123;
        b.pic.protectCode();
        auto w = b.window();
        click(*w, w->BP_ReadModule);
        QCOMPARE(b.prompts.messages.size(), 1);
        QCOMPARE(b.prompts.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(b.prompts.messages[0].title, GetLanguageText("ICSPReadPB"));
        QCOMPARE(b.lastMessage(), GetLanguageText("ICSPProtegeLecture"));
        QCOMPARE(w->L_Info->text(), GetLanguageText("ICSPProtegeLecture"));
        TestSupport::keepScreenshot(w->grab(), "VEK_ICSP_protected.png");

        IcspRig::fillImage(b.context.pic, 7, 0x3FF1);
        QVERIFY(b.context.pic.ImagePIC.codeWord(0) != 0);
        b.prompts.messages.clear();
        b.prompts.answer = QMessageBox::Yes;
        click(*w, w->BP_WriteModule); // the device record, the failure, then the erase
        QCOMPARE(b.prompts.messages.size(), 2);
        QCOMPARE(b.prompts.messages[1].title, GetLanguageText("ICSPWritePB"));
        QCOMPARE(b.lastMessage(), GetLanguageText("ErrICSPWritePIC") +
                                      "\r\nAdresse =  [0x0000]\r\nCode erreur = 19 : la valeur "
                                      "relue diffère de la valeur écrite, à chaque essai\r\n" +
                                      GetLanguageText("ICSPProtegeEcriture") + "\r\n\r\n" +
                                      GetLanguageText("ICSPProtegeEffacer"));
        QCOMPARE(w->L_Info->text(), GetLanguageText("ErrasePICEnded"));
        QCOMPARE(b.pic.program[3], uint16_t(0x3FFF));

        IcspRig::fillImage(b.context.pic, 7, 0x3FF1);
        click(*w, w->BP_WriteModule);
        QVERIFY(w->L_Info->text().startsWith(GetLanguageText("WritePICEnded")));
        QVERIFY(b.imageOnChip());
    }

    // The test button streams the image into the code memory: the chip holds
    // it afterwards, the image is left as it was, the button is locked meanwhile.
    void quickCodeProgramming()
    {
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        IcspRig::fillImage(b.context.pic, 13, 0x3FF1);
        b.context.pic.ImagePIC.setCodeWord(3, 0xFFFF); // high bits dropped on the way
        const int32_t checksum = b.context.pic.CalculChecksum();
        w->KivCommand1->click();
        QVERIFY(!w->KivCommand1->isEnabled() && !w->BP_WriteModule->isEnabled());
        Bench::wait(*w);
        QVERIFY(w->KivCommand1->isEnabled());
        QCOMPARE(b.prompts.messages.size(), 1); // the device record, with the algorithm
        QCOMPARE(b.prompts.messages[0].title, QString("DEBUGGING 16F876..."));
        QVERIFY(b.lastMessage().contains("DeviceChip = 16F84A\r\nDeviceAlgo = "));
        for (int k = 0; k < b.context.pic.DevicePgmSize; ++k)
            QCOMPARE(b.pic.program[size_t(k)],
                     uint16_t(b.context.pic.ImagePIC.codeWord(k) & 0x3FFF));
        QCOMPARE(b.pic.program[3], uint16_t(0x3FFF));
        QCOMPARE(b.context.pic.CalculChecksum(), checksum);
        QCOMPARE(w->L_Info->text(), QString("Mémoire programme programmée et vérifiée"));
        QVERIFY(!b.pic.inProgrammingMode());
    }

    // A refused cell in the quick code and in a write, then a programmer that
    // cannot be opened: each says so and where, in its box, the label and the
    // status bar, and none passes for a finished programming; a failure is
    // followed neither by "ready" nor by "in progress", and a success is
    // recorded as well.
    void failuresAreToldWhereTheyStruck()
    {
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        QCOMPARE(w->panel(2)->text(), QString("Prêt pour le transfert"));
        IcspRig::fillImage(b.context.pic, 3, 0x3FF1);
        b.context.pic.ImagePIC.setCodeWord(0x123, 0x0055);
        b.pic.refuseWrites(0x123);
        click(*w, w->KivCommand1);
        QCOMPARE(b.prompts.messages.size(), 2); // the device record, then the failure
        QCOMPARE(b.prompts.messages.last().icon, QMessageBox::Critical);
        const QString where = "Adresse = 291\r\nDonnée Ecrite : 0055\r\nDonnée lue    : 3FFF";
        QCOMPARE(b.lastMessage(), where);
        const QString quickFailed = "La programmation du PIC a échoué.";
        QCOMPARE(w->L_Info->text(), quickFailed + '\n' + where);
        // Every line, the reason after the failure, on the panel's one line.
        QCOMPARE(w->panel(2)->text(), quickFailed + " — Adresse = 291 — Donnée Ecrite : 0055 — "
                                                    "Donnée lue    : 3FFF");
        QCOMPARE(w->panel(2)->toolTip(), w->L_Info->text()); // the whole failure
        QCOMPARE(b.pic.program[0x122], uint16_t(b.context.pic.ImagePIC.codeWord(0x122) & 0x3FFF));
        QCOMPARE(b.pic.program[0x124], uint16_t(0x3FFF)); // nothing after the failure
        QVERIFY(!b.pic.inProgrammingMode());

        click(*w, w->BP_WriteModule);
        QCOMPARE(b.prompts.messages.last().icon, QMessageBox::Critical);
        QCOMPARE(b.prompts.messages.last().title, GetLanguageText("ICSPWritePB"));
        // The code, and what it says in words, in the box, the label and the bar.
        const QString attempts = "la valeur relue diffère de la valeur écrite, à chaque essai";
        QVERIFY2(b.lastMessage().contains("Adresse =  [0x0123]"), qPrintable(b.lastMessage()));
        QVERIFY2(b.lastMessage().contains("Code erreur = 19 : " + attempts),
                 qPrintable(b.lastMessage()));
        const QString writeFailed =
            "Erreur de programmation de la mémoire programme [0x0123] : " + attempts;
        QCOMPARE(w->L_Info->text(), writeFailed);
        QCOMPARE(w->panel(2)->text(), writeFailed);
        QVERIFY(!b.pic.inProgrammingMode());

        b.box->failOpens(QStringLiteral("gone"));
        click(*w, w->KivCommand1);
        QCOMPARE(b.prompts.messages.last().icon, QMessageBox::Critical);
        QVERIFY2(b.lastMessage().startsWith(GetLanguageText("InitModuleBad") + ' ' +
                                            w->nomProgrammateur()),
                 qPrintable(b.lastMessage()));
        click(*w, w->BP_ReadModule);
        // The programmer named by its box, a VEKP of the stored setting.
        const QString openFailed = "Ouverture impossible du programmateur VEKP V 3.9";
        QVERIFY2(w->panel(2)->text().startsWith(openFailed), qPrintable(w->panel(2)->text()));
        b.box->failOpens({});
        click(*w, w->BP_ReadModule);
        QCOMPARE(w->L_Info->text(), QString("Lecture du PIC terminée"));
        QCOMPARE(w->panel(2)->text(), QString("Lecture du PIC terminée")); // success recorded too

        // An import whose file choice is cancelled starts from a fresh status.
        b.prompts.files = {QString()};
        QVERIFY(Mouse::click(w->BP_IMPORT_HEX));
        QCOMPARE(w->L_Info->text(), QString());
        QCOMPARE(w->panel(2)->text(), QString());
    }

    // Every operation leaves its own outcome in the label and the status bar,
    // those refused before anything is sent included: no row keeps the
    // earlier failure, nor "ready". "%P": the programmer label.
    void refusedOperationsSayHowTheyEnded_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("info");   // the label ("" = the box's text)
        QTest::addColumn<QString>("status"); // status panel 2 ("" = the label's first line)
        const QString noTable = "\nLes courbes n'ont pas été programmées dans le PIC.";
        const QString noPoints =
            QString("Interpolation impossible : la courbe ne contient aucun point.");
        row("tables of a curve without points", "16F876A", "BP_ProgTables", "no points",
            noPoints + noTable, QString());
        // A curve whose fourth line has an advance that is no number: refused
        // with the line, its values and why.
        const QString notANumber =
            "La courbe contient des valeurs inutilisables ; elle ne peut pas être exportée ni "
            "transférée avant correction de ces lignes :\n"
            "Ligne 4 (3000 ; abc ; 19.0) : "
            "une valeur n'est pas un nombre (séparateur décimal « . »)";
        row("tables of a curve with a cell that is no number", "16F876A", "BP_ProgTables",
            "not a number", notANumber, "");
        // High tables at 0x500-0x5FF, past the 1024 words of a 16F84A.
        row("tables beyond the chip's memory", "16F84A", "BP_ProgTables", "beyond the chip",
            "Les tables hautes [0x0500-0x05FF] dépassent la mémoire de programme de 1024 mots "
            "(0x0000-0x03FF).\nRien n'est envoyé.",
            "");
        // Static advance 20 under the curve's 33: a truncation the user declines.
        // An 18F chip with a truncation to decline: refused first, for the chip.
        row("tables for an 18F chip", "16F876A", "BP_ProgTables", "18F chip",
            "Le programmateur ne sait pas programmer le 18F2550 : rien n'est envoyé.", "");
        row("tables whose truncation is declined", "16F876A", "BP_ProgTables",
            "truncation declined", "L'avance de la courbe dépasse l'avance statique." + noTable,
            QString());
        // The programmer named by its box, a VEKP of the stored setting.
        const QString notErased =
            QString("Effacer le programme du module VEKP V 3.9 : effacement abandonné.");
        row("erase declined", "16F84A", "BP_EraseDevice", "declined", notErased, notErased);
        row("import of a HEX file without its end", "16F84A", "BP_IMPORT_HEX", "cut file",
            "Fichier " + m_dir.filePath("cut.hex") +
                " corrompu : il s'arrête à la ligne 1 sans enregistrement de fin.\n"
                "Le fichier n'a pas été importé : la mémoire est inchangée.",
            "");
        row("export to a missing folder", "16F84A", "BP_EXPORT_HEX", "missing folder",
            "Écriture impossible du fichier /nonexistent-folder/out.hex : fichier ou dossier "
            "introuvable",
            "");
        row("bootloader connection without a package", "16F84A", "BP_tst", "no package",
            QString("Aucun fichier OS n'a été sélectionné"),
            QString("Aucun fichier OS n'a été sélectionné"));
    }

    void refusedOperationsSayHowTheyEnded()
    {
        QFETCH(QString, chip);
        QFETCH(QString, button);
        QFETCH(QString, refusal);
        QFETCH(QString, info);
        QFETCH(QString, status);
        Bench b(chip, "PIC-" + chip);
        auto w = b.window();
        // The earlier outcome: a read whose programmer would not open.
        b.box->failOpens(QStringLiteral("gone"));
        QVERIFY(Mouse::click(w->BP_ReadModule));
        Bench::wait(*w);
        const QString earlier = w->panel(2)->text();
        QVERIFY2(earlier.startsWith(GetLanguageText("InitModuleBad")), qPrintable(earlier));
        b.box->failOpens({});
        b.prompts.messages.clear();

        realisticCurve(b.context);
        const QString cut = m_dir.filePath("cut.hex");
        if (refusal == "no points")
            b.context.tab_avance.setRows({}, false);
        if (refusal == "not a number")
            b.context.tab_avance.setCell(3, 1, QStringLiteral("abc"));
        if (refusal == "truncation declined" || refusal == "18F chip")
            b.context.moteur.Txt_av_statique = QStringLiteral("20");
        if (refusal == "declined" || refusal == "truncation declined" || refusal == "18F chip")
            b.prompts.answer = QMessageBox::No;
        if (refusal == "18F chip")
            b.context.pic.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-18F2550")));
        if (refusal == "cut file") {
            QVERIFY(TestSupport::writeFile(cut, ":020000000A28CC\r\n")); // no end record
            b.prompts.files << cut;
        }
        if (refusal == "missing folder")
            b.prompts.saveFiles << "/nonexistent-folder/out.hex";
        const int opens = b.box->opens();
        QStringList statusWhileAsked; // the truncation or erase question stands alone
        b.prompts.whileShown = [&] { statusWhileAsked << w->panel(2)->text(); };
        QVERIFY(Mouse::click(TestSupport::child<QPushButton>(*w, button)));
        Bench::wait(*w);
        QVERIFY2(!statusWhileAsked.contains(earlier), qPrintable(earlier));

        QCOMPARE(b.box->opens(), opens); // nothing was sent
        QVERIFY(!b.prompts.messages.isEmpty());
        const QString shown = b.prompts.messages.last().text;
        if (refusal == "beyond the chip")
            QVERIFY2(shown.contains("0x0500"), qPrintable(shown));
        if (refusal == "cut file")
            QVERIFY2(shown.endsWith("\nLe fichier n'a pas été importé : la mémoire est inchangée."),
                     qPrintable(shown));
        if (refusal == "missing folder")
            QVERIFY(shown.contains("/nonexistent-folder/out.hex"));
        if (refusal == "not a number" || refusal == "18F chip")
            QCOMPARE(shown, info);
        if (refusal == "18F chip")
            QCOMPARE(b.prompts.messages.size(), 1); // no truncation question before
        if (refusal == "truncation declined")       // titled for the table programming
            QCOMPARE(b.prompts.messages.last().title, GetLanguageText("ICSPTablesTitle"));
        if (status.isEmpty())
            status = TestSupport::statusLine(info);
        QCOMPARE(w->L_Info->text(), info);
        QCOMPARE(w->panel(2)->text(), status);
        QVERIFY(status != earlier && status != GetLanguageText("BEPItem2"));
    }

    // Tables past a 16F84A's 1024 words: nothing reaches the chip, every area
    // outside is named; tables from 0x000 then go on as before.
    void tablesPastTheChipAreNotProgrammed_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("says");
        const QString past = "Les tables %1 [0x%2-0x%3] dépassent la mémoire de programme de "
                             "1024 mots (0x0000-0x03FF).";
        row("high tables outside", QString("1"),
            past.arg("hautes", "0500", "05FF") + "\nRien n'est envoyé.");
        row("both areas outside", QString("2"),
            past.arg("basses", "0300", "04FF") + '\n' + past.arg("hautes", "0500", "06FF") +
                "\nRien n'est envoyé.");
    }

    void tablesPastTheChipAreNotProgrammed()
    {
        QFETCH(QString, lines);
        QFETCH(QString, says);
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        realisticCurve(b.context);
        b.context.settings.ICSPNbTables = lines;
        const int opens = b.box->opens();
        click(*w, w->BP_ProgTables);
        QCOMPARE(b.box->opens(), opens);
        QCOMPARE(b.prompts.messages.size(), 1);
        QCOMPARE(b.lastMessage(), says);
        QCOMPARE(w->L_Info->text(), says);

        b.context.settings.ICSPLTAB_L1 = QStringLiteral("000");
        b.context.settings.ICSPHTAB_L1 = QStringLiteral("200");
        click(*w, w->BP_ProgTables);
        QCOMPARE(w->L_Info->text(), QString("Tables de la courbe programmées et vérifiées"));
        for (int line = 0; line < lines.toInt(); ++line) {
            QCOMPARE(b.pic.program[size_t(0x100 * line)], uint16_t(0x0782));
            QCOMPARE(b.pic.program[size_t(0x200 + 0x100 * line)], uint16_t(0x0782));
        }
    }

    // After a failed "Programmer le PIC", each later operation says what it
    // did, and the status bar no longer shows that failure: the edit menu
    // clears it, the clear buffer (menu or INIT BUFF) and a good import
    // record what they did.
    void operationsAfterAFailureSayWhatTheyDid_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("info");
        QTest::addColumn<QString>("status");
        const QString fr = "francais.ini", en = "english.ini";
        row("Editer HEX", fr, "MnuEditHex", "Editer location ? ", "");
        row("Editer HEX, in English", en, "MnuEditHex", "Edit location? ", "");
        const QString cleared = "Tampon effacé : la mémoire est vierge.";
        row("Clear buffer", fr, "MnuClsBuff", cleared, cleared);
        row("Clear buffer, in English", en, "MnuClsBuff", "Buffer cleared: the memory is blank.",
            "Buffer cleared: the memory is blank.");
        row("INIT BUFF", fr, "BP_Clear", cleared, cleared);
        row("Import XEH", fr, "BP_IMPORT_XEH", "Importation du fichier de mise à jour effectuée",
            "Importation du fichier de mise à jour effectuée");
        row("Import XEH, in English", en, "BP_IMPORT_XEH", "Update file imported",
            "Update file imported");
    }

    void operationsAfterAFailureSayWhatTheyDid()
    {
        QFETCH(QString, language);
        QFETCH(QString, operation);
        QFETCH(QString, info);
        QFETCH(QString, status);
        TestSupport::useTexts(language);
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        const QString file = m_dir.filePath("kept.xeh");
        b.prompts.saveFiles << file;
        QVERIFY(Mouse::click(w->BP_EXPORT_XEH));
        b.box->failOpens(QStringLiteral("gone"));
        QVERIFY(Mouse::click(w->BP_WriteModule));
        Bench::wait(*w);
        QVERIFY(!w->panel(2)->text().isEmpty());

        b.prompts.files << file; // for the import
        if (auto *button = w->findChild<QPushButton *>(operation)) {
            QVERIFY(Mouse::click(button));
        } else {
            QVERIFY(Mouse::choose(w->MnuHex, w->findChild<QAction *>(operation)));
        }
        QTRY_COMPARE(w->L_Info->text(), info);
        QCOMPARE(w->panel(2)->text(), status);
    }

    // An erase that cannot reach the chip keeps the image.
    void failedEraseKeepsTheImage()
    {
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        IcspRig::fillImage(b.context.pic, 11, 0x3FF1);
        const int32_t checksum = b.context.pic.CalculChecksum();
        b.box->failOpens(QStringLiteral("gone"));
        b.prompts.answer = QMessageBox::Yes;
        click(*w, w->BP_EraseDevice);
        QCOMPARE(b.context.pic.CalculChecksum(), checksum);
        QCOMPARE(b.prompts.messages.last().icon, QMessageBox::Critical);
        QVERIFY(w->L_Info->text().startsWith(GetLanguageText("ErrasePICNotDone")));

        // No: nothing sent, the file name forgotten.
        b.box->failOpens({});
        b.context.pic.HexFileName = QStringLiteral("x.hex");
        const int opens = b.box->opens();
        b.prompts.answer = QMessageBox::No;
        click(*w, w->BP_EraseDevice);
        QCOMPARE(b.box->opens(), opens);
        QVERIFY(b.context.pic.HexFileName.isEmpty());
        QCOMPARE(b.context.pic.CalculChecksum(), checksum);
    }

    void filesRoundTrip_data()
    {
        QTest::addColumn<bool>("scrambled");
        row("HEX", false);
        row("XEH", true);
    }
    void filesRoundTrip()
    {
        QFETCH(bool, scrambled);
        Bench b(QStringLiteral("16F628"), QStringLiteral("PIC-16F628"));
        auto w = b.window();
        IcspRig::fillImage(b.context.pic, 5, 0x3F70);
        const int32_t checksum = b.context.pic.CalculChecksum();
        const QString file = m_dir.filePath(scrambled ? "image.xeh" : "image.hex");
        b.prompts.saveFiles << file;
        click(*w, scrambled ? w->BP_EXPORT_XEH : w->BP_EXPORT_HEX);
        QVERIFY(QFileInfo::exists(file));
        QVERIFY(b.prompts.messages.isEmpty());
        if (scrambled)
            QCOMPARE(b.prompts.fileFilters.last(), GetLanguageText("UpdateFiles") + " (*.xeh)");

        click(*w, w->BP_Clear);
        b.prompts.files << file;
        click(*w, scrambled ? w->BP_IMPORT_XEH : w->BP_IMPORT_HEX);
        QCOMPARE(b.context.pic.CalculChecksum(), checksum);
        QCOMPARE(b.context.pic.HexFileName, file);

        // Programmed from the file and read back from the chip.
        click(*w, w->BP_WriteModule);
        QVERIFY(b.imageOnChip());
    }

    // A file refused part way leaves the image whole; a failed save says so.
    void fileFailuresAreReported()
    {
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        IcspRig::fillImage(b.context.pic, 9, 0x3FF1);
        const int32_t checksum = b.context.pic.CalculChecksum();
        const QString cut = m_dir.filePath("cut.hex");
        // No end record.
        QVERIFY(TestSupport::writeFile(cut, ":020000000A28CC\r\n:0400020001020304F0\r\n"));
        b.prompts.files << cut;
        click(*w, w->BP_IMPORT_HEX);
        QCOMPARE(b.context.pic.CalculChecksum(), checksum);
        QCOMPARE(b.prompts.messages.last().icon, QMessageBox::Critical);
        QVERIFY(w->L_Info->text().contains(GetLanguageText("ICSPImportRefused")));

        b.prompts.saveFiles << "/nonexistent-folder/out.hex";
        click(*w, w->BP_EXPORT_HEX);
        QCOMPARE(b.prompts.messages.last().icon, QMessageBox::Critical);
        QVERIFY(b.lastMessage().contains("/nonexistent-folder/out.hex"));
        QVERIFY(!QFileInfo::exists("/nonexistent-folder/out.hex"));

        // Cancelling the dialog changes nothing.
        const qsizetype shown = b.prompts.messages.size();
        click(*w, w->BP_IMPORT_HEX);
        QCOMPARE(b.prompts.messages.size(), shown);
        QCOMPARE(b.context.pic.CalculChecksum(), checksum);
    }

    // What a file holds that the chosen chip cannot (words past its program
    // memory, EEPROM bytes past its EEPROM, configuration words it has not,
    // words wider than its 14 bits) is not loaded: the import says how many
    // and where, and nothing is programmed from that image until the image
    // is the chip's own again: read from the chip, or cleared.
    void wordsPastTheChipAreSaidAndNotProgrammed_data()
    {
        QTest::addColumn<QByteArray>("records"); // "XEH": a 16F628's whole memory, scrambled
        QTest::addColumn<QString>("outside");
        QTest::addColumn<bool>("readAfter"); // else INIT BUFF
        const QByteArray end = ":00000001FF\r\n";
        const QByteArray code = ":020000000028D6\r\n";
        row("words at 0x500", code + ":040A000001000200EF\r\n" + end,
            QString("2 mots du fichier %1 sont hors de la mémoire de programme du PIC 16F84A "
                    "(0x0000-0x03FF) et ne sont pas chargés : 0x0500-0x0501."),
            true);
        row("upper address 0x0001", ":020000040001F9\r\n" + code + end,
            QString("1 mots du fichier %1 sont hors de la mémoire de programme du PIC 16F84A "
                    "(0x0000-0x03FF) et ne sont pas chargés : 0x8000."),
            false);
        row("2048-word XEH", QByteArray("XEH"),
            QString("1024 mots du fichier %1 sont hors de la mémoire de programme du PIC 16F84A "
                    "(0x0000-0x03FF) et ne sont pas chargés : 0x0400-0x07FF.\n"
                    "64 octets EEPROM du fichier %1 sont hors de l'EEPROM du PIC 16F84A "
                    "(0x00-0x3F) et ne sont pas chargés : 0x40-0x7F."),
            true);
        row("EEPROM bytes 0x50-0x51", code + ":0442A000AB00CD00A2\r\n" + end,
            QString("2 octets EEPROM du fichier %1 sont hors de l'EEPROM du PIC 16F84A "
                    "(0x00-0x3F) et ne sont pas chargés : 0x50-0x51."),
            true);
        row("configuration words 0x2008, 0x2010",
            code + ":02401000FF3F70\r\n:0240200000009E\r\n" + end,
            QString("2 mots de la zone de configuration du fichier %1 ne sont ni les ID ni le mot "
                    "de configuration du PIC 16F84A et ne sont pas chargés : 0x2008, 0x2010."),
            false);
        row("a 16-bit word", code + ":0200100000EFFF\r\n" + end,
            QString("1 mots du fichier %1 dépassent les 14 bits des mots du PIC 16F84A : 0x0008."),
            true);
    }

    void wordsPastTheChipAreSaidAndNotProgrammed()
    {
        QFETCH(QByteArray, records);
        QFETCH(QString, outside);
        QFETCH(bool, readAfter);
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        const bool scrambled = records == "XEH";
        const QString file = m_dir.filePath(scrambled ? "big.xeh" : "past.hex");
        if (scrambled) {
            PicDevice big;
            big.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-16F628")));
            IcspRig::fillImage(big, 7, 0x3F70);
            QVERIFY(EcrireFichierXeh(big, file).succeeded());
        } else {
            QVERIFY(TestSupport::writeFile(file, records));
        }
        outside.replace("%1", file);
        b.prompts.files << file;
        click(*w, scrambled ? w->BP_IMPORT_XEH : w->BP_IMPORT_HEX);
        QVERIFY2(w->L_Info->text().endsWith('\n' + outside), qPrintable(w->L_Info->text()));
        QCOMPARE(b.lastMessage(), outside);

        b.prompts.messages.clear();
        click(*w, w->BP_WriteModule);
        QCOMPARE(b.prompts.messages.size(), 1);
        QCOMPARE(b.prompts.messages[0].icon, QMessageBox::Critical);
        const QString refused =
            outside + "\nRien n'est programmé : la mémoire ne contient pas tout le fichier "
                      "chargé. Choisissez le PIC pour lequel il est fait, puis importez-le de "
                      "nouveau.";
        QCOMPARE(b.lastMessage(), refused);
        QCOMPARE(w->L_Info->text(), refused);
        click(*w, w->KivCommand1);
        QCOMPARE(b.lastMessage(), refused);
        QCOMPARE(b.pic.stats().programCycles, 0);

        // Once the image is the chip's own again, it is programmed.
        click(*w, readAfter ? w->BP_ReadModule : w->BP_Clear);
        b.prompts.messages.clear();
        click(*w, w->BP_WriteModule);
        QCOMPARE(b.prompts.messages.size(), 1); // the device record only
        QVERIFY(w->L_Info->text().startsWith(GetLanguageText("WritePICEnded")));
        QVERIFY(b.imageOnChip());
    }

    void userIdsClamp_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stored");
        row("1FF", "1FF", int(Qt::Key_Return), "FF", 0xFF);
        row("FFFF", "FFFF", int(Qt::Key_Return), "00", 0);
        row("empty", "", int(Qt::Key_Enter), "00", 0);
        row("not hex", "zz", int(Qt::Key_Return), "00", 0);
        row("3a", "3a", int(Qt::Key_Return), "3A", 0x3A);
        row("PageDown 00", "00", int(Qt::Key_PageDown), "FF", 0xFF);
        row("PageUp FF", "FF", int(Qt::Key_PageUp), "00", 0);
        row("PageUp 41", "41", int(Qt::Key_PageUp), "42", 0x42);
    }
    void userIdsClamp()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        b.context.pic.ImagePIC.UserID[3] = 0x21;
        typeId(*w, 1, typed, key);
        QCOMPARE(w->UserID[1]->text(), shown);
        QCOMPARE(int(b.context.pic.ImagePIC.UserID[2]), stored);
        QCOMPARE(int(b.context.pic.ImagePIC.UserID[3]), 0x21); // odd byte untouched
    }

    // IDs and configuration bits edited in the window reach the chip.
    void editedIdsAndConfigurationProgrammed()
    {
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        typeId(*w, 0, "12", Qt::Key_Return);
        typeId(*w, 3, "7E", Qt::Key_Return);
        const uint16_t before = b.context.pic.ImagePIC.ConfigWord;
        // The 16F84A's first option, the watchdog (bit 2), is offered and ticked
        // by a click where it is shown.
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCheckBox *bit = w->CkBit[0];
        QVERIFY(bit->isVisible());
        QCOMPARE(bit->text(), QString("WDT"));
        const QPoint at = bit->mapTo(w.get(), QPoint(8, bit->height() / 2));
        QCOMPARE(w->childAt(at), bit);
        QTest::mouseClick(w->childAt(at), Qt::LeftButton, {}, QPoint(8, bit->height() / 2));
        QCOMPARE(b.context.pic.ImagePIC.ConfigWord, uint16_t(before ^ 0x0004));
        click(*w, w->BP_WriteModule);
        QCOMPARE(int(b.pic.userId[0]), 0x12);
        QCOMPARE(int(b.pic.userId[3]), 0x7E);
        QCOMPARE(b.pic.readConfig(), b.context.pic.ImagePIC.ConfigWord);
    }

    void verification()
    {
        Bench b(QStringLiteral("16F628"), QStringLiteral("AUTO"));
        b.pic.userId = {0x0112, 0x0234, 0x0356, 0x0078};
        b.pic.config = 0x3F62;
        auto w = b.window();
        click(*w, w->BP_VerifyDevice);
        const PicImage &image = b.context.pic.ImagePIC;
        QCOMPARE(int(image.UserID[0]), 0x12);
        QCOMPARE(int(image.UserID[1]), 0x01); // the high byte, as a read keeps it
        QCOMPARE(int(image.UserID[5]), 0x03);
        QCOMPARE(image.ConfigWord, uint16_t(0x3F62));
        QCOMPARE(b.context.pic.DeviceChip, QString("16F628"));
        QCOMPARE(b.prompts.messages.last().title, QString("Debug ICSP Vérifie"));
        // The simulated 16F628 answers 0x07C2 (its family's ID, revision 2).
        QCOMPARE(image.DeviceID, uint16_t(0x07C2));
        QCOMPARE(b.lastMessage(), QString("TypeChip=07C2"));
        QCOMPARE(w->L_Info->text(), "Fin de Vérification du module " + w->nomProgrammateur());
        QCOMPARE(w->UserID[1]->text(), QString("34"));
        QVERIFY(!b.pic.inProgrammingMode());

        // No chip on the lines: said as a read says it, and no device ID shown.
        b.pic.setPresent(false);
        b.prompts.messages.clear();
        click(*w, w->BP_VerifyDevice);
        const QString noChip = "Aucun PIC ne répond sur le programmateur : vérifiez le câble, "
                               "l'alimentation et la présence du PIC. Un PIC16F84 n'a pas "
                               "d'identifiant : pour un PIC16F84, choisissez-le dans le réglage "
                               "du programmateur.";
        QCOMPARE(b.prompts.messages.size(), 1);
        QCOMPARE(b.lastMessage(), noChip);
        QCOMPARE(w->L_Info->text(), noChip);
        QCOMPARE(b.context.pic.ImagePIC.DeviceID, uint16_t(0x07C2)); // kept
        b.pic.setPresent(true);

        // No answer: no finished verification, the port released.
        b.box->setLoopback(SimulatedProgrammerBox::Loopback::StuckLow);
        b.prompts.messages.clear();
        click(*w, w->BP_VerifyDevice);
        QVERIFY(b.prompts.messages.isEmpty());
        QVERIFY2(w->L_Info->text().startsWith("Problème: communication avec le module "),
                 qPrintable(w->L_Info->text()));
        QVERIFY2(w->L_Info->text().endsWith("\nDATA est bloquée à 0 !"),
                 qPrintable(w->L_Info->text()));
        QVERIFY(!b.pic.inProgrammingMode());
    }

    void tablesOfARealisticCurve()
    {
        Bench b(QStringLiteral("16F876A"), QStringLiteral("PIC-16F876A"));
        auto w = b.window();
        realisticCurve(b.context);
        // One curve line, type 8: the low table of the atmospheric column at 0x300,
        // the high one at 0x500. The low table's header from the engine
        // parameters' defaults: static advance 45; rev limit 6650, whose period
        // 3000000 / 6650 = 451 = 0x1C3 fills lines 11, 12; single spark; low-rpm
        // advance 11 + 1; dwell 2.5 ms * 125 = 312.5, 312 = 0x138; knock 10; LED
        // 2: 2^2 + 1; no option board. By hand, entry 62 of the low table:
        // 187500 / 62 = 3024.2 rpm, 26 + 4 * 24.2 / 800 = 26.12°, (45 - 26.12) *
        // 12500 / (3 * 3024.2) = 26.01, 0x341A; entry 250 of the high table:
        // 750000 / 250 = 3000 rpm, 26°, 19 * 50000 / 9000 = 105.56, 0x346A.
        using namespace ExpectedTables;
        const QVector<QStringList> &curve = b.context.tab_avance.rows();
        const QMap<int, uint16_t> header{{3, 0x34FF},  {4, 0x3404},  {5, 0x3401},  {6, 0x340C},
                                         {7, 0x342D},  {8, 0x3438},  {9, 0x3401},  {10, 0x340A},
                                         {11, 0x34C3}, {12, 0x3401}, {13, 0x3405}, {23, 0x34FF},
                                         {24, 0x3406}, {53, 0x3441}, {56, 0x3444}, {57, 0x3445}};
        const std::array<uint16_t, 257> low = table(Kind::Low8, curve, 1, 45, header);
        const std::array<uint16_t, 257> high = table(Kind::High8, curve, 1, 45);
        QCOMPARE(low[62], uint16_t(0x341A));
        QCOMPARE(high[250], uint16_t(0x346A));

        click(*w, w->BP_ProgTables);
        QVERIFY2(b.prompts.messages.isEmpty(), qPrintable(b.lastMessage())); // no truncation
        QCOMPARE(w->L_Info->text(), GetLanguageText("ICSPTablesEnded"));
        for (int i = 0; i < 256; ++i) {
            QCOMPARE(b.pic.program[size_t(0x300 + i)], low[size_t(i + 1)]);
            QCOMPARE(b.pic.program[size_t(0x500 + i)], high[size_t(i + 1)]);
        }
        QCOMPARE(b.pic.program[0x2FF], uint16_t(0x3FFF)); // nothing outside the tables
        QCOMPARE(b.pic.program[0x400], uint16_t(0x3FFF));
        QVERIFY(!b.pic.inProgrammingMode());
    }

    // The set-up closed by OK re-initialises the window: the image is blanked
    // for the chip, and the label says so. Cancel changes nothing, and leaves
    // the image as it was.
    void setupDialogClosing_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("info");
        QTest::newRow("OK") << true
                            << QString("Tampon effacé : la mémoire est vierge.\n"
                                       "Prêt pour le transfert");
        QTest::newRow("Cancel") << false << QString("Prêt pour le transfert");
    }

    void setupDialogClosing()
    {
        QFETCH(bool, ok);
        QFETCH(QString, info);
        QTemporaryDir store;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store.path());
        Bench b(QStringLiteral("16F84A"), QStringLiteral("PIC-16F84A"));
        auto w = b.window();
        IcspRig::fillImage(b.context.pic, 2, 0x3FF1);
        const int32_t filled = b.context.pic.CalculChecksum();
        QVERIFY(filled != 0x3CFE);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        bool dataDriven = false, closed = false;
        ModalAnswer answer([&b, &dataDriven, &closed, ok](QWidget *modal) {
            auto *setup = qobject_cast<VEK_SETUP_ICSP *>(modal);
            QVERIFY(setup);
            // The hand tests drive the simulated box's lines.
            setup->BP_ONOFF_Click();
            setup->TST_DATA->click();
            dataDriven = b.pic.dataLine();
            closed = Mouse::click(ok ? setup->OKButton : setup->CancelButton);
            if (setup->isVisible())
                setup->reject(); // fails below rather than waiting
        });
        QVERIFY(Mouse::click(w->BP_Config));
        Bench::wait(*w);
        QVERIFY(closed && dataDriven);
        QVERIFY(!b.pic.dataLine()); // lines at rest once the dialog closed
        QCOMPARE(b.context.pic.CalculChecksum(), ok ? 0x3CFE : filled);
        QCOMPARE(w->L_Info->text(), info);
    }

    // A protected 12F629 reads its OSCCAL as 0x0000: the window asks for the
    // value noted earlier before erasing, refuses what is no RETLW, writes what
    // was typed and says so; a cancel erases nothing.
    void protected12F629AsksForItsCalibration()
    {
        Bench b(QStringLiteral("12F629"), QStringLiteral("PIC-12F629"));
        b.pic.setRealChipBehaviour(true);
        b.pic.protectCode();
        b.pic.program[5] = 0x0123;
        auto w = b.window();
        b.prompts.answer = QMessageBox::Yes;
        click(*w, w->BP_EraseDevice);
        const QString lost = GetLanguageText("ICSPCalibrationLost", {"%OSCCAL%", "0x0000"});
        QCOMPARE(b.prompts.asked, QStringList{lost + '\n' + GetLanguageText("ICSPCalibrationAsk")});
        QCOMPARE(b.pic.stats().bulkErases, 0); // cancelled: nothing erased
        QCOMPARE(b.pic.program[5], uint16_t(0x0123));

        b.prompts.typed = {QString("3FFF"), QString("0x3490")};
        click(*w, w->BP_EraseDevice);
        QCOMPARE(b.prompts.asked.size(), 3); // asked again after a value that is no RETLW
        QCOMPARE(b.pic.program[5], uint16_t(0x3FFF));
        QCOMPARE(b.pic.program[0x3FF], uint16_t(0x3490));
        QCOMPARE(w->L_Info->text(), GetLanguageText("ErrasePICEnded") + '\n' +
                                        GetLanguageText("ICSPCalibrationTyped",
                                                        {"%OSCCAL%", "0x3490", "%BG%", "0x1000"}));
    }

    // Under AUTO, a chip other than the one read is named as what AUTO found,
    // never as a chip the user chose.
    void autoSaysWhatItFound_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("message");
        row("French", QString("francais.ini"),
            QString("AUTO trouve un 16F84A (identifiant 0x0563) : il ne peut pas servir ici, la "
                    "mémoire "
                    "est préparée pour un 16F876A. Relisez le PIC présent pour l'utiliser."));
        row("English", QString("english.ini"),
            QString("AUTO finds a 16F84A (device ID 0x0563): it cannot be used here, the memory is "
                    "prepared for a 16F876A. Read the PIC on the programmer again to use it."));
    }

    void autoSaysWhatItFound()
    {
        QFETCH(QString, language);
        QFETCH(QString, message);
        Bench b(QStringLiteral("16F84A"));
        auto w = b.window();
        b.context.pic.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-16F876A")));
        b.context.pic.InitMemoire();
        TestSupport::useTexts(language);
        const auto french = qScopeGuard([] { TestSupport::useTexts("francais.ini"); });
        click(*w, w->BP_WriteModule);
        QVERIFY2(b.lastMessage().contains(message), qPrintable(b.lastMessage()));
        QCOMPARE(b.pic.stats().programCycles, 0);
    }

    // The status bar names the chip in force after every identification:
    // under AUTO the chip its opening read found, over the one the record held
    // before (a chip it cannot use is named nowhere), then the chip a later
    // read finds; the opening's bar is gone once its read is over. With
    // nothing answering, no chip is said, and that a 16F84 (which reads the
    // same, having no ID) is chosen in the set-up; the record is kept.
    void autoNamesTheChipFound_data()
    {
        QTest::addColumn<QString>("socket"); // the chip on the programmer
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("named");
        TestSupport::row("16F628 read", QString("16F628"), true, QString("16F628"));
        TestSupport::row("unknown device ID", QString("12F629"), true, QString("?"));
        TestSupport::row("no chip answering", QString("16F628"), false, QString("?"));
    }

    void autoNamesTheChipFound()
    {
        QFETCH(QString, socket);
        QFETCH(bool, present);
        QFETCH(QString, named);
        Bench b(socket);
        b.pic.setPresent(present);
        b.context.pic.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-16F84A")));
        VEK_ICSP w(b.context, nullptr, &b.prompts);
        Bench::wait(w);
        QCOMPARE(w.panel(3)->text(), "Processeur: " + named);
        QCOMPARE(w.TBDeviceID->text(), named);
        QVERIFY(w.panel(2)->picture().isNull());
        if (!present) {
            QCOMPARE(b.prompts.messages.size(), 1);
            QCOMPARE(b.lastMessage(),
                     GetLanguageText("ICSPNoChip") + ' ' + GetLanguageText("ICSPNo16F84ID"));
            QCOMPARE(b.context.pic.DeviceChip, QString("16F84A"));
            w.IdentifierPIC(); // the same rule, the same words
            Bench::wait(w);
            QCOMPARE(b.prompts.messages.size(), 2);
            QCOMPARE(b.lastMessage(), b.prompts.messages[0].text);
        }

        // The chip put in afterwards, as a read finds it.
        b.pic.setPresent(true);
        click(w, w.BP_ReadModule);
        const QString read = socket == "12F629" ? QString("?") : socket;
        QCOMPARE(w.panel(3)->text(), "Processeur: " + read);
        QCOMPARE(w.TBDeviceID->text(), read);
        QVERIFY(w.panel(2)->picture().isNull());
    }

    // A chip chosen in the set-up is named as soon as the window is up.
    void chosenChipNamed()
    {
        Bench b(QStringLiteral("16F628"), QStringLiteral("PIC-16F628"));
        auto w = b.window();
        QCOMPARE(w->panel(3)->text(), QString("Processeur: 16F628"));
    }

    // The window after a read, after a refused write and after a test program.
    void screenshotReadWriteAndTestProgram()
    {
        Bench b(QStringLiteral("16F628"));
        IcspRig::fillImage(b.context.pic, 1, 0x3F70);
        auto w = b.window();
        IcspRig::fillImage(b.context.pic, 1, 0x3F70);
        click(*w, w->BP_WriteModule);
        click(*w, w->BP_ReadModule);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->grab().save(TestSupport::screenshotPath("icsp_read.png")));
        b.pic.refuseWrites(0x40);
        b.context.pic.ImagePIC.setCodeWord(0x40, 0x0001);
        click(*w, w->BP_WriteModule);
        QVERIFY(w->grab().save(TestSupport::screenshotPath("icsp_write_fault.png")));
        b.pic.refuseWrites(0x41);
        click(*w, w->KivCommand1);
        QVERIFY(w->grab().save(TestSupport::screenshotPath("icsp_test_prog.png")));
        b.context.pic.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-18F2550")));
        click(*w, w->BP_ProgTables);
        QVERIFY(w->grab().save(TestSupport::screenshotPath("icsp_tables_18f.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestIcspWindow)
#include "tst_ui_icspwindow.moc"
