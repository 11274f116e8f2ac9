#include "ManualClock.h"
#include "ModuleSimulator.h"
#include "PortHolders.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"
#include "live/TrameLive.h"
#include "live/ui/LedLamp.h"
#include "live/ui/LivePage.h"
#include "live/ui/NeedleDial.h"
#include "live/ui/SevenSegmentDisplay.h"
#include "live/ui/TerminalPage.h"
#include "live/ui/TerminalReceiveBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using Codes = std::vector<uint8_t>;

using TestSupport::child;

// The live and terminal pages against the simulated module.

class TestUiLivePages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VEK_LANGUAGE::InitLanguage(); }

    // A dial repaints only the band its needle sweeps, and nothing when the
    // needle moves less than a pixel; the picture is the same as a full paint.
    void dialRepaintsOnlyWhatMoves()
    {
        struct PaintSpy : QObject {
            QList<QRegion> regions;
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::Paint)
                    regions << static_cast<QPaintEvent *>(e)->region();
                return false;
            }
        };
        NeedleDial dial(NeedleDial::Kind::Rpm);
        dial.resize(300, 300);
        dial.setValue(3000);
        dial.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dial));
        PaintSpy spy;
        dial.installEventFilter(&spy);
        // What is posted is delivered, and a repaint paints at once what is
        // pending with it: a corner pixel painted alone shows that nothing else was.
        const QRect corner(0, 0, 1, 1);
        const auto flush = [&] {
            QCoreApplication::sendPostedEvents();
            dial.repaint(corner);
        };
        flush();
        spy.regions.clear();

        dial.setValue(3001); // a hundredth of a pixel at the needle's tip
        flush();
        QCOMPARE(spy.regions, QList<QRegion>{corner});
        spy.regions.clear();

        dial.setValue(6000);
        QTRY_COMPARE(spy.regions.size(), 1);
        const QRect band = spy.regions.first().boundingRect();
        QVERIFY(band.width() * band.height() < 300 * 300 / 2);
        QCOMPARE(dial.grab().toImage(), [&] {
            NeedleDial fresh(NeedleDial::Kind::Rpm);
            fresh.resize(300, 300);
            fresh.setValue(6000);
            return fresh.grab().toImage();
        }());
    }

    void runShowsFramesAndSilence()
    {
        ManualClock clock;
        ModuleSimulator sim;
        QVERIFY(sim.start());
        VekContext context;
        context.settings.portDevice = sim.devicePath();
        QHash<int, QString> panels;
        LivePage page(context, nullptr, clock);
        connect(&page, &LivePage::statusPanelChanged, this,
                [&](int n, const QString &t) { panels[n] = t; });
        page.resize(1000, 600);
        page.show();
        page.pageShown();
        QCOMPARE(panels[4], QString("/!\\ OS inconnue /!\\"));
        page.BasculeMarcheArret();
        QVERIFY(page.isRunning());
        QCOMPARE(panels[5], QString("RUN"));
        auto *rpm = child<SevenSegmentDisplay>(page, "PicLCD_RPM");
        auto *adv = child<SevenSegmentDisplay>(page, "PicLCD_avance");
        QCOMPARE(rpm->codes(), (Codes{0, 0, 0, 0}));

        // 3000 rpm, timing 100 (27 degrees), inputs 1 and 4, output 2, load 66 %, knock, curve 1.
        QVERIFY(sim.sendBytes(TrameLive::withWords(1250, 100, 0x29, 0x62, 0, 0).toByteArray()));
        QTRY_COMPARE(rpm->codes(), (Codes{3, 0, 0, 0}));
        QCOMPARE(adv->codes(), (Codes{2, 7}));
        QCOMPARE(child<NeedleDial>(page, "Cadran_RPM")->value(), 3000);
        QCOMPARE(child<NeedleDial>(page, "Cadran_Load")->value(), 66);
        QVERIFY(child<LedLamp>(page, "LED_IN_1")->isLit());
        QVERIFY(!child<LedLamp>(page, "LED_IN_2")->isLit());
        QVERIFY(child<LedLamp>(page, "LED_IN_4")->isLit());
        QVERIFY(child<LedLamp>(page, "LED_OUT_2")->isLit());
        QVERIFY(child<LedLamp>(page, "LED_KNOCK")->isLit());
        QVERIFY(!child<LedLamp>(page, "LED_DECEL")->isLit());
        QCOMPARE(panels[3], QString("TRAME [10] : 23 - 4 - E2 - 0 - 64 - 29 - 62 - 0 - 0 - D5"));
        TestSupport::keepScreenshot(page.grab().toImage(), "live_page.png");

        // A frame without period: OFF pattern and two minus signs.
        QVERIFY(sim.sendBytes(TrameLive::build(255, 0, 0, 0, 0, 0, 0, 0).toByteArray()));
        QTRY_COMPARE(rpm->codes(), (Codes{255, 0, 15, 15}));
        QCOMPARE(adv->codes(), (Codes{100, 100}));

        // Silence: 0000 and 00, needles and lamps back to rest.
        clock.advance(500);
        page.link().watchdogTick();
        QCOMPARE(rpm->codes(), (Codes{0, 0, 0, 0}));
        QCOMPARE(adv->codes(), (Codes{0, 0}));
        QVERIFY(!child<LedLamp>(page, "LED_IN_1")->isLit());
        // The status bar is paced, but it ends on the last frame.
        QCOMPARE(panels[3],
                 "TRAME [10] : " + TrameLive::build(255, 0, 0, 0, 0, 0, 0, 0).bytesText());

        page.BasculeMarcheArret();
        QVERIFY(!page.isRunning());
        QCOMPARE(panels[5], QString("STOP"));
        QCOMPARE(rpm->codes(), (Codes{255, 0, 15, 15}));
    }

    // However often frames come, the instruments are drawn about twenty times
    // a second, never more than twenty-five, by the page's clock; a batch that
    // comes early is drawn when its time comes.
    void displayIsPacedWhateverTheFrameRate()
    {
        ManualClock clock;
        LinkedPty pty;
        VekContext context;
        context.settings.portDevice = pty.device;
        LivePage page(context, nullptr, clock);
        page.BasculeMarcheArret();
        QVERIFY(page.isRunning());
        const quint64 before = page.displayRefreshes();
        for (int ms = 0; ms < 1000; ++ms) { // a batch of frames every millisecond, for a second
            emit page.link().framesArrived();
            clock.advance(1);
        }
        const quint64 drawn = page.displayRefreshes() - before;
        QVERIFY2(drawn >= 20 && drawn <= 25, qPrintable(QString::number(drawn)));
        QTRY_COMPARE(page.displayRefreshes(), before + drawn + 1);
    }

    void simulationIsStoppedWheneverThePortCloses()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start());
        VekContext context;
        context.settings.portDevice = sim.devicePath();
        LivePage page(context);
        page.pageShown();
        auto *box = child<QCheckBox>(page, "Chk_Simulation");
        auto *slider = child<QSlider>(page, "SimulRegime");
        for (int way = 0; way < 2; ++way) {
            page.BasculeMarcheArret();
            QVERIFY(page.isRunning());
            QVERIFY(!box->isHidden());
            slider->setValue(3000);
            box->setChecked(true);
            QCOMPARE(sim.waitForLine("SIMUL"), QString("SIMUL 1250"));
            slider->setValue(500);
            QCOMPARE(sim.waitForLine("SIMUL"), QString("SIMUL 7500"));
            if (way == 0)
                page.BasculeMarcheArret(); // STOP
            else
                page.closePort(); // page change, transfer or quit
            QCOMPARE(sim.waitForLine("STOP"), QString("STOP"));
            QVERIFY(!box->isChecked());
            QVERIFY(box->isHidden());
        }
        // Quitting the program with the simulation on stops it too.
        auto *leaving = new LivePage(context);
        leaving->pageShown();
        leaving->BasculeMarcheArret();
        child<QCheckBox>(*leaving, "Chk_Simulation")->setChecked(true);
        QCOMPARE(sim.waitForLine("SIMUL"), QString("SIMUL 1250"));
        delete leaving;
        QCOMPARE(sim.waitForLine("STOP"), QString("STOP"));
    }

    void bufferLoggerAndFullCapture()
    {
        QTemporaryDir dir;
        ModuleSimulator sim;
        QVERIFY(sim.start());
        VekContext context;
        context.settings.portDevice = sim.devicePath();
        context.settings.LogFolder = dir.path();
        LivePage page(context);
        QSignalSpy info(&page, &LivePage::infoText);
        page.pageShown();
        page.BasculeMarcheArret();
        auto *logger = child<QPushButton>(page, "BP_Logger");
        QVERIFY(logger->isHidden());
        child<QCheckBox>(page, "ChkBuffer")->setChecked(true);
        QVERIFY(!logger->isHidden());

        QByteArray stream;
        for (int i = 0; i < 3; ++i)
            stream += TrameLive::withWords(1250, 0, 0, 0, 0, uint8_t(i)).toByteArray();
        QVERIFY(sim.sendBytes(stream));
        QTRY_COMPARE(child<QLabel>(page, "BufferStat")->text(), QString(".:: BUFFER = 30 ::."));
        logger->click();
        QCOMPARE(info.count(), 1);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(files[0].startsWith("VEK-LOGGER__"));
        QVERIFY(info[0][0].toString().contains(files[0]));
        QFile log(dir.filePath(files[0]));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count("\r\n"), 3);

        // Unticking drops the capture; an empty capture writes nothing.
        child<QCheckBox>(page, "ChkBuffer")->setChecked(false);
        child<QCheckBox>(page, "ChkBuffer")->setChecked(true);
        logger->click();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);

        // A full capture is said once; later frames are decoded, not kept.
        QSignalSpy full(&page, &LivePage::infoText);
        page.link().setCaptureLimit(15);
        const QByteArray frame = TrameLive::withWords(1250, 0, 0, 0, 0, 0).toByteArray();
        QVERIFY(sim.sendBytes(frame + frame));
        QTRY_COMPARE(full.count(), 1);
        QCOMPARE(full[0][0].toString(),
                 VEK_LANGUAGE::GetLanguageText("MessTamponPlein", {"{OCTETS}", "15"}));
        QVERIFY(sim.sendBytes(frame));
        QTRY_COMPARE(page.link().framesDecoded(), quint64(6));
        QCOMPARE(full.count(), 1);
        QCOMPARE(page.link().capture().size(), 15);
    }

    void terminalSendsAndShows()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start());
        VekContext context;
        context.settings.portDevice = sim.devicePath();
        TerminalPage page(context);
        page.resize(900, 500);
        page.show();
        auto *open = child<QPushButton>(page, "BP_OpenPort");
        auto *box = page.receiveBox();
        QCOMPARE(open->text(), QString("Open Port"));
        open->click();
        QVERIFY(page.isPortOpen());
        QCOMPARE(open->text(), QString("Close Port"));
        QVERIFY(child<LedLamp>(page, "LED_PortOpen")->isLit());

        // Echo off: sent, not shown. Echo on: sent and shown.
        QTest::keyClick(box, Qt::Key_X);
        QCOMPARE(sim.waitForLine("IGNORED"), QString("IGNORED 120"));
        QCOMPARE(box->toPlainText(), QString());
        child<QCheckBox>(page, "chkTermEcho")->setChecked(true);
        QTest::keyClick(box, Qt::Key_Y);
        QCOMPARE(sim.waitForLine("IGNORED"), QString("IGNORED 121"));
        QCOMPARE(box->toPlainText(), QString("y"));

        QVERIFY(sim.sendBytes("AB"));
        QTRY_COMPARE(box->toPlainText(), QString("yAB"));
        child<QRadioButton>(page, "optHex")->click();
        QVERIFY(sim.sendBytes("AB"));
        QTRY_COMPARE(box->toPlainText(), QString("yAB 41 42"));
        child<QRadioButton>(page, "optDec")->click();
        QVERIFY(sim.sendBytes("AB"));
        QTRY_COMPARE(box->toPlainText(), QString("yAB 41 42 065 066"));
        TestSupport::keepScreenshot(page.grab().toImage(), "terminal_page.png");

        // The box is cut to its last 100 characters once above 1000.
        child<QRadioButton>(page, "optAsc")->click();
        box->setPlainText(QString(1001, 'z'));
        QVERIFY(sim.sendBytes("12345"));
        QTRY_COMPARE(box->length(), qsizetype(105));
        QVERIFY(box->toPlainText().endsWith("zz12345"));

        // A page change closes the port and the controls say so.
        page.closePort();
        QVERIFY(!page.isPortOpen());
        QCOMPARE(open->text(), QString("Open Port"));
        QVERIFY(!child<LedLamp>(page, "LED_PortOpen")->isLit());
        // Typing with the port closed sends nothing; the echo still shows it.
        QTest::keyClick(box, Qt::Key_Q);
        QVERIFY(box->toPlainText().endsWith("q"));
        sim.command("stats");
        QVERIFY(sim.waitForLine("STATS").size() > 0);
        QVERIFY(!sim.lines().contains("IGNORED 113"));
    }

    // A port that is not there: RUN and Open Port fail cleanly and say why once.
    void pagesReportFailures()
    {
        VekContext context;
        context.settings.portDevice = "/dev/vek-no-such-port";
        LivePage live(context);
        QSignalSpy liveInfo(&live, &LivePage::infoText);
        live.pageShown();
        live.BasculeMarcheArret();
        QVERIFY(!live.isRunning());
        QCOMPARE(liveInfo.count(), 1);
        QVERIFY(liveInfo[0][0].toString().contains("/dev/vek-no-such-port"));
        QCOMPARE(child<SevenSegmentDisplay>(live, "PicLCD_RPM")->codes(), (Codes{255, 0, 15, 15}));
        QVERIFY(child<QCheckBox>(live, "Chk_Simulation")->isHidden());

        TerminalPage page(context);
        QSignalSpy info(&page, &TerminalPage::infoText);
        child<QPushButton>(page, "BP_OpenPort")->click();
        QVERIFY(!page.isPortOpen());
        QCOMPARE(info.count(), 1);
        QVERIFY(info[0][0].toString().contains("/dev/vek-no-such-port"));
        QCOMPARE(child<QPushButton>(page, "BP_OpenPort")->text(), QString("Open Port"));

        // The module going away closes the port and says so.
        auto *sim = new ModuleSimulator;
        QVERIFY(sim->start());
        context.settings.portDevice = sim->devicePath();
        child<QPushButton>(page, "BP_OpenPort")->click();
        QVERIFY(page.isPortOpen());
        delete sim;
        QTRY_VERIFY(!page.isPortOpen());
        QCOMPARE(child<QPushButton>(page, "BP_OpenPort")->text(), QString("Open Port"));
        QCOMPARE(info.count(), 2);
    }
};

QTEST_MAIN(TestUiLivePages)
#include "tst_ui_livepages.moc"
