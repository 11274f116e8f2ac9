#pragma once

#include "FakePrompts.h"
#include "ModuleSimulator.h"
#include "Mouse.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderTexts.h"
#include "firmware/HexFiles.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"
#include "icsp/ui/StatusPanel.h"
#include "icsp/ui/TransferFrame.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

// What the tests of the windows with bootloader buttons share: French texts,
// a program folder of their own, and a module that takes a 16F876A with two
// table lines at 0x300 / 0x500, a 0x200-word firmware and a three-point curve.
namespace BootloaderWindowRig {

inline void useTextsAndFolder(const QTemporaryDir &programFolder)
{
    TestSupport::useFrenchTexts();
    VEK_Gestion_OS::SetDossierProgramme(programFolder.path() + '/');
}

// Starts the simulated module as a bootloader, with these further arguments,
// and leads the context's programmer port to it.
inline bool startBootloader(ModuleSimulator &sim, VekContext &ctx,
                            const QStringList &arguments = {})
{
    if (!sim.start(QStringList{"--bootloader"} + arguments))
        return false;
    ctx.settings.ICSPPort = sim.devicePath();
    return true;
}

// The module's bootloader counters ("BLSTATS frames=... bad=... close=...").
inline QString blStats(ModuleSimulator &sim)
{
    sim.command("blstats");
    return sim.waitForLine("BLSTATS");
}

inline std::unique_ptr<VekContext> context()
{
    auto ctx = std::make_unique<VekContext>();
    ctx->TypeVersionOS = "VEK-MZ300.XOS";
    ctx->settings.ICSPChip = "PIC-16F876A";
    ctx->settings.TypeCompilation = 8;
    ctx->settings.ICSPNbTables = "2";
    ctx->settings.ICSPLTAB_L1 = "300";
    ctx->settings.ICSPHTAB_L1 = "500";
    ctx->settings.ICSPHEXADD = "000";
    ctx->settings.ICSPHEXLNG = "200";
    ctx->tab_avance.setRows({{"1000", "12", "8"}, {"3000", "16", "11"}, {"7000", "18", "15"}},
                            false);
    ctx->moteur.Txt_av_statique = "20";
    return ctx;
}

// The package's 0x200-word firmware, with bytes that look like commands.
inline PicDevice packageFirmware()
{
    PicDevice firmware;
    firmware.setChip(*ChipTable::fixedChip("PIC-16F876A"));
    firmware.InitMemoire();
    for (int k = 0; k < 0x200; ++k)
        firmware.ImagePIC.setCodeWord(k, uint16_t(k % 2 ? 0x00EA : 0x3AE3 - k));
    return firmware;
}

// A window with bootloader buttons as the shared tests drive it.
struct Road {
    std::shared_ptr<TransferFrame> window;
    QList<QPushButton *> curves; // the curve downloads, that of curve set 1 first
    QList<QWidget *> lockedDuringJobs;
    std::function<bool()> connected;
    std::function<QString()> programView; // the program-memory view, where the window has one
};
using OpenWindow = std::function<Road()>;

template <typename Widget> bool anyEnabled(const QList<Widget *> &widgets)
{
    return std::any_of(widgets.begin(), widgets.end(), [](Widget *w) { return w->isEnabled(); });
}

template <typename Widget> bool allEnabled(const QList<Widget *> &widgets)
{
    return std::all_of(widgets.begin(), widgets.end(), [](Widget *w) { return w->isEnabled(); });
}

// Clicks and waits for the job it started to finish; `locked` are disabled meanwhile.
inline bool clickAndWait(TransferFrame &w, const QList<QWidget *> &locked, QPushButton *button)
{
    QSignalSpy finished(&w.runner(), &JobRunner::finished);
    button->click();
    return !anyEnabled(locked) && finished.wait(15000);
}

inline bool clickAndWait(const Road &road, QPushButton *button)
{
    return clickAndWait(*road.window, road.lockedDuringJobs, button);
}

// The zone text of an area past a memory of `words` words (last word `last`).
inline QString pastTheMemory(const QString &first, const QString &end, const QString &words,
                             const QString &last)
{
    return QString("La zone [0x%1-0x%2] dépasse la mémoire de programme de %3 mots "
                   "(0x0000-0x%4) : rien n'est envoyé.")
        .arg(first, end, words, last);
}

// The columns of the refused-download rows.
inline void addRefusedDownloadColumns()
{
    QTest::addColumn<QString>("chip");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<int>("set"); // 0: the firmware
    QTest::addColumn<QString>("areas");
    QTest::addColumn<QString>("fits");
    QTest::addColumn<QString>("says");
    QTest::addColumn<QByteArray>("hex"); // the package's firmware file; empty: packageFirmware()
}

// Rows of firmware downloads refused before any frame, for the package
// `package` of the firmware list: a range past the chip, a file that gives
// nothing of its range, a chip whose words the 14-bit frames cannot carry (an
// 18F package), and words wider than 14 bits in a file for a 16F.
inline void addRefusedFirmwareRows(const QString &package)
{
    const QString member = "Le fichier " + VEK_Gestion_OS::DossierPaquets() + package;
    // GOTO 0x0008 of an 18F: two 16-bit words.
    const QByteArray words18F(":0400000000EF04F019\r\n:00000001FF\r\n");
    TestSupport::row("firmware past a 16F876A", QString("PIC-16F876A"), QString("2"), 0,
                     QString("1F00/200"), QString("300/500"),
                     pastTheMemory("1F00", "20FF", "8192", "1FFF"), QByteArray());
    TestSupport::row("firmware past a 16F84", QString("PIC-16F84"), QString("2"), 0,
                     QString("000/800"), QString("000/200"),
                     pastTheMemory("0000", "07FF", "1024", "03FF"), QByteArray());
    // A package whose firmware file holds only its end record: sending its
    // range would write blank words over the module's firmware.
    TestSupport::row("firmware range without a word of the file", QString("PIC-16F876A"),
                     QString("2"), 0, QString("000/200"), QString("300/500"),
                     member + " (CODE.HEX) ne contient aucun mot de la zone [0x0000-0x01FF] : "
                              "rien n'est envoyé.",
                     QByteArray(":00000001FF\r\n"));
    TestSupport::row(
        "18F package", QString("PIC-18F2550"), QString("2"), 0, QString("000/200"),
        QString("300/500"),
        QString("Le chargeur du module ne peut pas écrire un microprogramme pour le "
                "18F2550 : ses trames portent des mots de 14 bits. Rien n'est envoyé."),
        words18F);
    TestSupport::row("16-bit words for a 16F876A", QString("PIC-16F876A"), QString("2"), 0,
                     QString("000/200"), QString("300/500"),
                     "2 mots du fichier " + VEK_Gestion_OS::DossierPaquets() + package +
                         " (CODE.HEX) dépassent les 14 bits des mots du PIC 16F876A : "
                         "0x0000-0x0001.\nLes trames du chargeur ne portent que 14 bits par mot "
                         ": rien n'est envoyé.",
                     words18F);
}

// Rows of areas past the chip's program memory: those of curve set `curveSet`
// (the one the window sends), then the refused firmware downloads. "fits":
// the curve set 1 the window then sends.
inline void addAreasPastTheChipRows(int curveSet)
{
    addRefusedDownloadColumns();
    // The low and the high tables named apart, what follows once.
    const QString tablesPast = "Les tables %1 [0x%2-0x%3] dépassent la mémoire de programme de "
                               "%4 mots (0x0000-0x%5).";
    const QString nothingSent = "\nRien n'est envoyé.";
    // Eight lines, one per percentage box: high tables 0x1900-0x20FF, past the
    // 8192 words of a 16F876A; 0x800/0x1000 fit.
    TestSupport::row("curve tables past a 16F876A", QString("PIC-16F876A"), QString("8"), curveSet,
                     QString("0800/1900"), QString("800/1000"),
                     tablesPast.arg("hautes", "1900", "20FF", "8192", "1FFF") + nothingSent,
                     QByteArray());
    // Two lines of the default tables: both areas lie outside the 1024 words of a 16F84.
    TestSupport::row("both curve areas past a 16F84", QString("PIC-16F84"), QString("2"), curveSet,
                     QString("300/500"), QString("000/200"),
                     tablesPast.arg("basses", "0300", "04FF", "1024", "03FF") + '\n' +
                         tablesPast.arg("hautes", "0500", "06FF", "1024", "03FF") + nothingSent,
                     QByteArray());
    addRefusedFirmwareRows("VEK-MZ300.XOS");
}

// Areas that do not fit the chip, and firmware the module cannot take, are
// refused before any frame, every area named; the disconnection then says
// that the last download was refused, not that the transfer went well. A new
// connection then sends a curve set that fits, as it always has, and its
// disconnection says that all went well.
inline void areasPastTheChipAreNotSent(VekContext &ctx, FakePrompts &prompts,
                                       const QTemporaryDir &dir, const OpenWindow &open)
{
    QFETCH(QString, chip);
    QFETCH(QString, lines);
    QFETCH(int, set);
    QFETCH(QString, areas);
    QFETCH(QString, fits);
    QFETCH(QString, says);
    QFETCH(QByteArray, hex);
    ModuleSimulator sim;
    QVERIFY(startBootloader(sim, ctx));
    ctx.settings.ICSPChip = chip;
    ctx.settings.ICSPNbTables = lines;
    (set == 2 ? ctx.settings.ICSPLTAB_L2 : ctx.settings.ICSPLTAB_L1) = areas.section('/', 0, 0);
    (set == 2 ? ctx.settings.ICSPHTAB_L2 : ctx.settings.ICSPHTAB_L1) = areas.section('/', 1, 1);
    if (set == 0) {
        ctx.settings.ICSPHEXADD = areas.section('/', 0, 0);
        ctx.settings.ICSPHEXLNG = areas.section('/', 1, 1);
    }
    const QString firmware = VEK_Gestion_OS::CheminTemp("~TEMP.HEX");
    QVERIFY(hex.isEmpty() ? EcrireFichierHex(packageFirmware(), firmware).succeeded()
                          : TestSupport::writeFile(firmware, hex));
    const Road road = open();
    QVERIFY(clickAndWait(road, road.window->BP_tst));
    QVERIFY(road.connected());
    prompts.messages.clear();
    QSignalSpy started(&road.window->runner(), &JobRunner::started);
    (set == 0 ? road.window->BP_MAJHEX : road.curves[set - 1])->click();
    QCOMPARE(started.size(), 0);
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages.last().text, says);
    QCOMPARE(road.window->L_Info->text(), says);
    QVERIFY(clickAndWait(road, road.window->BP_tst));
    QVERIFY(!road.connected());
    QCOMPARE(road.window->L_Info->text(),
             VEK_LANGUAGE::GetLanguageText("MessDeconnexionApresRefus"));
    QVERIFY(blStats(sim).contains("frames=0"));

    ctx.settings.ICSPLTAB_L1 = fits.section('/', 0, 0);
    ctx.settings.ICSPHTAB_L1 = fits.section('/', 1, 1);
    QVERIFY(clickAndWait(road, road.window->BP_tst));
    QVERIFY(road.connected());
    QVERIFY(clickAndWait(road, road.curves.first()));
    QCOMPARE(prompts.messages.last().text, QString("Courbes download OK."));
    const int first = fits.section('/', 0, 0).toInt(nullptr, 16);
    const int words = 256 * lines.toInt();
    const QList<uint16_t> flash = sim.flashWords(dir.filePath("flash.bin"));
    for (int k = first; k < first + 2 * words; ++k)
        QCOMPARE(flash.value(k), ctx.pic.ImagePIC.codeWord(k));
    QCOMPARE(flash.value(first), uint16_t(0x0782));
    const QString stats = blStats(sim);
    QVERIFY2(stats.contains(QString(" frames=%1 ").arg(2 * words / 8)), qPrintable(stats));
    QVERIFY(clickAndWait(road, road.window->BP_tst));
    QCOMPARE(road.window->L_Info->text(), VEK_LANGUAGE::GetLanguageText("BLTransfertFinalise"));
}

// What a window shows along a whole session, where the windows differ.
struct SessionSigns {
    QString infoWhenConnected;   // the label once connected
    QString panel3WhenConnected; // status panel 3 once connected ("" unchecked)
    QStringList curveMessages;   // the messages of the curve download, in order
    QString panel3AfterFirmware; // status panel 3 after the firmware update
    QString panel3Disconnected;  // status panel 3 after the disconnection ("" unchecked)
    QString screenshot;          // picture kept after the curve download
};

// Connect, download the curve, update the firmware, disconnect, against the
// simulated module; the module holds what was sent.
inline void connectDownloadUpdateDisconnect(VekContext &ctx, FakePrompts &prompts,
                                            const QTemporaryDir &dir, const OpenWindow &open,
                                            const SessionSigns &signs)
{
    using VEK_LANGUAGE::GetLanguageText;
    ModuleSimulator sim;
    QVERIFY(startBootloader(sim, ctx, {"--bl-name", "VEK-MZ300 T1"}));
    const Road road = open();
    TransferFrame &w = *road.window;
    w.show();
    QVERIFY(!anyEnabled(road.curves) && !w.BP_MAJHEX->isEnabled());

    QVERIFY(clickAndWait(road, w.BP_tst));
    QVERIFY(road.connected());
    QCOMPARE(w.BP_tst->text(), GetLanguageText("MBDeconnection"));
    QVERIFY(allEnabled(road.curves) && w.BP_MAJHEX->isEnabled());
    QVERIFY(!w.BP_UPLOAD->isEnabled());
    QVERIFY(!w.BP_Config->isEnabled()); // the open link keeps its port
    QCOMPARE(w.L_Info->text(), signs.infoWhenConnected);
    if (!signs.panel3WhenConnected.isEmpty())
        QCOMPARE(w.panel(3)->text(), signs.panel3WhenConnected);
    QVERIFY(prompts.messages.isEmpty());

    QVERIFY(clickAndWait(road, road.curves.first()));
    QStringList shown;
    for (const FakePrompts::Shown &m : std::as_const(prompts.messages))
        shown << m.text;
    QCOMPARE(shown, signs.curveMessages);
    QList<uint16_t> words = sim.flashWords(dir.filePath("flash.bin"));
    QCOMPARE(words.value(0x300), uint16_t(0x0782));
    for (int k = 0x300; k < 0x700; ++k)
        QCOMPARE(words.value(k), ctx.pic.ImagePIC.codeWord(k));
    if (road.programView)
        QVERIFY(road.programView().contains("0782"));
    TestSupport::keepScreenshot(w.grab(), signs.screenshot);

    const PicDevice firmware = packageFirmware();
    QVERIFY(EcrireFichierHex(firmware, VEK_Gestion_OS::CheminTemp("~TEMP.HEX")).succeeded());
    QVERIFY(clickAndWait(road, w.BP_MAJHEX));
    QCOMPARE(prompts.messages.last().text, VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"));
    QCOMPARE(w.panel(3)->text(), signs.panel3AfterFirmware);
    words = sim.flashWords(dir.filePath("flash.bin"));
    for (int k = 0; k < 0x200; ++k)
        QCOMPARE(words.value(k), firmware.ImagePIC.codeWord(k));

    QVERIFY(clickAndWait(road, w.BP_tst));
    QVERIFY(!road.connected());
    QCOMPARE(w.BP_tst->text(), GetLanguageText("MBConnection"));
    QVERIFY(!anyEnabled(road.curves) && !w.BP_MAJHEX->isEnabled());
    QVERIFY(w.BP_Config->isEnabled());
    QCOMPARE(w.L_Info->text(), VEK_LANGUAGE::GetLanguageText("BLTransfertFinalise"));
    if (!signs.panel3Disconnected.isEmpty())
        QCOMPARE(w.panel(3)->text(), signs.panel3Disconnected);
    QVERIFY(blStats(sim).contains("bad=0"));
}

// A curve with a cell that is no number is refused before anything is sent.
inline void unusableCurveIsNotSent(VekContext &ctx, FakePrompts &prompts, const OpenWindow &open)
{
    ModuleSimulator sim;
    QVERIFY(startBootloader(sim, ctx));
    ctx.tab_avance.setRows({{"1000", "12", "8"}, {"3000", "1O", "11"}}, false);
    const Road road = open();
    QVERIFY(clickAndWait(road, road.window->BP_tst));
    QSignalSpy started(&road.window->runner(), &JobRunner::started);
    road.curves.first()->click();
    QCOMPARE(started.size(), 0);
    QCOMPARE(prompts.messages.last().text, ctx.tab_avance.invalidValuesMessage());
    QCOMPARE(prompts.messages.last().icon, QMessageBox::Critical);
    // The refusal is the newest outcome, in the label and the status bar.
    QCOMPARE(road.window->L_Info->text(), ctx.tab_avance.invalidValuesMessage());
    QCOMPARE(road.window->panel(2)->text(),
             TestSupport::statusLine(ctx.tab_avance.invalidValuesMessage()));
    QVERIFY(blStats(sim).contains("frames=0"));
}

// Rows of the refusals both windows make before opening any port.
inline void addRefusalRows()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("says");
    QTest::newRow("parallel port") << "LPT1"
                                   << "A.XOS" << VEK_LANGUAGE::GetLanguageText("BLPasDeLPT");
    QTest::newRow("no package") << "/dev/null"
                                << "" << VEK_LANGUAGE::GetLanguageText("BLAucunFichierOS");
}

inline void refusalsComeBeforeAnyPort(VekContext &ctx, FakePrompts &prompts, const OpenWindow &open)
{
    QFETCH(QString, port);
    QFETCH(QString, package);
    QFETCH(QString, says);
    ctx.settings.ICSPPort = port;
    ctx.TypeVersionOS = package;
    const Road road = open();
    QSignalSpy started(&road.window->runner(), &JobRunner::started);
    road.window->BP_tst->click();
    QCOMPARE(prompts.messages.last().text, says);
    QCOMPARE(started.size(), 0);
    QCOMPARE(road.window->BP_tst->text(), VEK_LANGUAGE::GetLanguageText("MBConnection"));
    QCOMPARE(road.window->L_Info->text(), says);
    QCOMPARE(road.window->panel(2)->text(), says);
}

// Waits for the running download to pass a fifth of its way. One that ends or
// stalls before fails the test at once, saying where it stopped and what the
// window said.
inline void waitPastAFifth(const TransferFrame &w)
{
    const bool moved =
        QTest::qWaitFor([&] { return w.ProgressBar >= 20 || !w.transferRunning(); }, 10000);
    QVERIFY2(w.ProgressBar >= 20 && w.transferRunning(),
             qPrintable(QString("the download %1 at %2 %: %3")
                            .arg(moved ? "ended" : "stays")
                            .arg(w.ProgressBar)
                            .arg(w.L_Info->text())));
}

// Escape pressed during a download on a slow line, in a window that asks
// with real message boxes, and the question to stop it left unanswered: the
// download ends beneath it. The question goes away before the download's
// `outcome` box opens, and once that is closed the window closes as an idle
// one does. `start` starts the download.
inline void downloadEndingBeneathTheStopQuestion(TransferFrame &w, QPushButton *start,
                                                 const QString &outcome)
{
    const QString question = VEK_LANGUAGE::GetLanguageText("MessArreterTransfert");
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    struct Shown {
        QString text;
        bool questionStillOpen; // a question box stood beneath it
    };
    QList<Shown> shown;
    QTimer answering; // from the click on: a download that fails early is answered too
    QObject::connect(&answering, &QTimer::timeout, &w, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (box->text() == question) {
            if (shown.isEmpty() || shown.last().text != question)
                shown.append({question, false});
            if (!w.transferRunning()) // a question that outlived the transfer
                box->button(QMessageBox::No)->click();
            return;
        }
        bool questionOpen = false;
        for (QMessageBox *other : w.findChildren<QMessageBox *>())
            questionOpen = questionOpen || (other->isVisible() && other->text() == question);
        shown.append({box->text(), questionOpen});
        box->button(QMessageBox::Ok)->click();
    });
    answering.start(10);
    QVERIFY(Mouse::click(start));
    waitPastAFifth(w);
    if (QTest::currentTestFailed())
        return;
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &w, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 15000);
    answering.stop();

    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].text, question);
    QCOMPARE(shown[1].text, outcome);
    QVERIFY(!shown[1].questionStillOpen);
    QVERIFY(!w.transferRunning());
}

} // namespace BootloaderWindowRig
