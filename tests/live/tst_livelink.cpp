#include "ManualClock.h"
#include "ModuleSimulator.h"
#include "TestSupport.h"
#include "base/VEK_LANGUAGE.h"
#include "live/LiveLink.h"
#include "live/LiveLogFormatter.h"
#include "live/LiveLogger.h"
#include "live/SimulationCommand.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <poll.h>
#include <pty.h>
#include <unistd.h>

// The live link against the simulated module, through a real pseudo-terminal.
class TestLiveLink : public QObject
{
    Q_OBJECT

    static QList<TrameLive> recordedValidFrames(const QString &path)
    {
        QList<TrameLive> frames;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return frames;
        while (!f.atEnd()) {
            const QList<QByteArray> parts = f.readLine().trimmed().split(' ');
            if (parts.size() == 2 && parts[1] == "V") {
                const QByteArray bytes = QByteArray::fromHex(parts[0]);
                frames << TrameLive::fromBytes(
                    reinterpret_cast<const uint8_t *>(bytes.constData()));
            }
        }
        return frames;
    }

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void everyValidFrameDecodedOnceAndLogged()
    {
        QTemporaryDir dir;
        const QString record = dir.filePath("sent.txt");
        ModuleSimulator sim;
        // As fast as 115200 baud goes (1152 frames/s), cut at random, noise
        // before 1 % of the frames and 1 % damaged, the marker in data, noise
        // and damage.
        QVERIFY(sim.start({"--baud", "115200", "--split", "--garbage", "0.01", "--corrupt", "0.01",
                           "--seed", "11", "--record", record}));
        LiveLink link;
        QVERIFY(link.open(sim.devicePath(), "115200,N,8,1").ok);
        link.setCaptureEnabled(true);
        QList<TrameLive> decoded;
        link.setFrameObserver([&](const TrameLive &f) { decoded << f; });

        sim.command("stream 3000");
        const QStringList done = sim.waitForLine("DONE ", 30000).split(' ');
        QCOMPARE(done.size(), 4);
        const int valid = done[2].toInt();
        QVERIFY(done[3].toInt() > 15); // corrupt frames were sent
        QTRY_COMPARE_WITH_TIMEOUT(int(link.framesDecoded()), valid, 10000);
        const QList<TrameLive> sent = recordedValidFrames(record);
        QCOMPARE(sent.size(), valid);
        QCOMPARE(decoded, sent); // each valid frame once, in order, and nothing else

        int lines = 0;
        const QList<QByteArray> log = LiveLogger::TexteLog(link.capture(), &lines).split('\n');
        QCOMPARE(lines, valid);
        QCOMPARE(QString::fromLatin1(log[valid - 1]).trimmed(), LigneLogLive(sent.last()));
    }

    void captureStopsAtItsLimitAndSaysSoOnce()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start());
        LiveLink link;
        QVERIFY(link.open(sim.devicePath(), "9600,N,8,1").ok);
        QCOMPARE(link.captureLimit(), LiveLink::MaxCaptureBytes);
        link.setCaptureEnabled(true);
        link.setCaptureLimit(25);
        QSignalSpy full(&link, &LiveLink::captureFull);
        const QByteArray frame = TrameLive::withWords(1250, 100, 1, 2, 3, 4).toByteArray();

        QVERIFY(sim.sendBytes(frame + frame + frame));
        QTRY_COMPARE(link.framesDecoded(), quint64(3));
        QCOMPARE(link.capture(), (frame + frame + frame).left(25));
        QCOMPARE(full.count(), 1);

        QVERIFY(sim.sendBytes(frame)); // decoded still, no longer kept, not said again
        QTRY_COMPARE(link.framesDecoded(), quint64(4));
        QCOMPARE(link.capture().size(), 25);
        QCOMPARE(full.count(), 1);

        link.setCaptureEnabled(false); // emptied: it fills again
        link.setCaptureEnabled(true);
        QVERIFY(sim.sendBytes(frame));
        QTRY_COMPARE(link.framesDecoded(), quint64(5));
        QCOMPARE(link.capture(), frame);
        QCOMPARE(full.count(), 1);
    }

    void frameSplitAtEveryPositionAndCorruptNeverShown()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start());
        LiveLink link;
        QVERIFY(link.open(sim.devicePath(), "9600,N,8,1").ok);
        const QByteArray bytes = TrameLive::withWords(1250, 100, 1, 2, 3, 4).toByteArray();
        quint64 expectedBytes = 0;
        for (int cut = 1; cut < TrameLive::Size; ++cut) {
            QVERIFY(sim.sendBytes(bytes.left(cut)));
            expectedBytes += quint64(cut);
            QTRY_COMPARE(link.bytesReceived(), expectedBytes); // the first part was read alone
            QCOMPARE(link.framesDecoded(), quint64(cut - 1));
            QVERIFY(sim.sendBytes(bytes.mid(cut)));
            expectedBytes += quint64(TrameLive::Size - cut);
            QTRY_COMPARE(link.framesDecoded(), quint64(cut));
            QCOMPARE(link.latest().RegimeLive, int16_t(3000));
        }

        // Corrupt frames are never shown: twelve bytes of which ten look like
        // a frame (of 1500 rpm) but fail the checksum.
        QByteArray bad = TrameLive::withWords(2500, 0, 0, 0, 0, 0).toByteArray();
        bad[9] = char(bad[9] + 1);
        QVERIFY(sim.sendBytes(bad + "\x23\x01"));
        QTRY_COMPARE(link.bytesReceived(), expectedBytes + 12);
        QCOMPARE(link.framesDecoded(), quint64(TrameLive::Size - 1));
        QCOMPARE(link.latest().RegimeLive, int16_t(3000));
    }

    void watchdogResetsAfterSilence()
    {
        ManualClock clock;
        ModuleSimulator sim;
        QVERIFY(sim.start());
        LiveLink link(clock);
        QSignalSpy silence(&link, &LiveLink::silence);
        QVERIFY(link.open(sim.devicePath(), "9600,N,8,1").ok);
        QVERIFY(sim.sendBytes(TrameLive::withWords(1250, 0, 0xFF, 0x7F, 0, 0).toByteArray()));
        QTRY_COMPARE(link.framesDecoded(), quint64(1));
        QCOMPARE(link.latest().RegimeLive, int16_t(3000));

        clock.advance(LiveLink::SilenceMs - 1);
        link.watchdogTick();
        QCOMPARE(silence.count(), 0);
        clock.advance(1);
        link.watchdogTick();
        QCOMPARE(silence.count(), 1);
        QCOMPARE(link.latest(), LiveReading::silent());
        clock.advance(LiveLink::SilenceMs * 3);
        link.watchdogTick();
        QCOMPARE(silence.count(), 1); // one reset per silence

        // Garbage is no sign of life; a frame is.
        QVERIFY(sim.sendBytes("\x23\x23\x23 noise"));
        QTRY_COMPARE(link.bytesReceived(), quint64(19));
        QVERIFY(sim.sendBytes(TrameLive::withWords(5000, 0, 0, 0, 0, 0).toByteArray()));
        QTRY_COMPARE(link.framesDecoded(), quint64(2));
        clock.advance(LiveLink::SilenceMs);
        link.watchdogTick();
        QCOMPARE(silence.count(), 2);
    }

    void simulationCommands()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start());
        LiveLink link;
        QVERIFY(link.open(sim.devicePath(), "19200,N,8,1").ok);
        QVERIFY(link.sendSimulationStart(*SimulationCommand::PeriodeSimulation(3000)).ok);
        QCOMPARE(sim.waitForLine("SIMUL"), QString("SIMUL 1250"));
        // Commands also go out while frames stream in, and right before a close.
        sim.command("stream 0");
        QTRY_VERIFY(link.framesDecoded() > 3);
        QVERIFY(link.sendSimulationSpeed(*SimulationCommand::PeriodeSimulation(8000)).ok);
        QCOMPARE(sim.waitForLine("SIMUL"), QString("SIMUL 469"));
        QTRY_COMPARE(link.latestFrame().period(), 469);
        QVERIFY(link.sendSimulationStop().ok);
        link.close();
        QCOMPARE(sim.waitForLine("STOP"), QString("STOP"));
        sim.command("stop");
    }

    // A module that holds the line (XOFF under software handshaking) cannot
    // block the program: the command gives up at its deadline, the link stops
    // and says why.
    void heldLineDoesNotBlock()
    {
        ModuleSimulator sim;
        QVERIFY(sim.start());
        LiveLink link;
        QVERIFY(link.open(sim.devicePath(), "9600,N,8,1", QSerialPort::SoftwareControl).ok);
        QSignalSpy lost(&link, &LiveLink::portLost);
        QVERIFY(sim.sendBytes(QByteArray(1, '\x13'))); // XOFF, never followed by XON
        // The tty has taken it once it has no room for output.
        pollfd out{int(link.serialPort().handle()), POLLOUT, 0};
        QTRY_VERIFY(::poll(&out, 1, 0) == 0);
        QElapsedTimer took;
        took.start();
        const LiveLink::Status status =
            link.sendSimulationSpeed(*SimulationCommand::PeriodeSimulation(3000));
        // Not before the deadline (counted in whole milliseconds), nor long after it.
        QVERIFY2(took.elapsed() >= LiveLink::WriteDeadlineMs - 1 &&
                     took.elapsed() < 4 * LiveLink::WriteDeadlineMs,
                 qPrintable(QString("%1 ms").arg(took.elapsed())));
        QVERIFY(!status.ok);
        QVERIFY(!link.isOpen());
        QCOMPARE(lost.count(), 1);
        QCOMPARE(lost[0][0].toString(), status.reason);
        QCOMPARE(status.reason,
                 QString("l'envoi est resté bloqué 500 ms (contrôle de flux, ou le module ne lit "
                         "plus)"));
        sim.command("stop");
    }

    void portFailures()
    {
        LiveLink link;
        const auto status = link.open("/dev/vek-no-such-port", "9600,N,8,1");
        QVERIFY(!status.ok);
        QVERIFY(!status.reason.isEmpty());
        QVERIFY(!link.isOpen());
        QVERIFY(!link.sendSimulationStop().ok);

        // The module going away while the link runs closes it and says why,
        // on a quiet line and in the middle of a stream alike.
        for (const bool streaming : {false, true}) {
            auto *sim = new ModuleSimulator;
            QVERIFY(sim->start({"--baud", "115200"}));
            QVERIFY(link.open(sim->devicePath(), "115200,N,8,1").ok);
            QSignalSpy lost(&link, &LiveLink::portLost);
            if (streaming) {
                sim->command("stream 0");
                QTRY_VERIFY(link.framesDecoded() > 100);
            }
            delete sim;
            QTRY_COMPARE(lost.count(), 1);
            QVERIFY(!link.isOpen());
        }

        // A command written to a device that has gone (a pseudo-terminal whose
        // other side closed: EIO) says so, before the port hears of it.
        int master = -1, slave = -1;
        char name[128];
        QCOMPARE(openpty(&master, &slave, name, nullptr, nullptr), 0);
        ::close(slave);
        QVERIFY(link.open(QString::fromLocal8Bit(name), "9600,N,8,1").ok);
        QSignalSpy lost(&link, &LiveLink::portLost);
        ::close(master);
        const LiveLink::Status gone = link.sendSimulationStop();
        QVERIFY(!gone.ok);
        QCOMPARE(gone.reason, QString("le périphérique a disparu (adaptateur USB débranché ?)"));
        QCOMPARE(lost.count(), 1);
        QVERIFY(!link.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestLiveLink)
#include "tst_livelink.moc"
