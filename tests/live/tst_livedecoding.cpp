#include "live/LiveDecoder.h"
#include "live/LiveDialGeometry.h"
#include "live/LiveFrameParser.h"
#include "live/LiveLogFormatter.h"
#include "live/SevenSegment.h"
#include "live/SimulationCommand.h"
#include "live/TerminalDisplay.h"

#include <QtTest>

#include <random>

using Frames = QList<TrameLive>;

static Frames parseAll(LiveFrameParser &parser, const QByteArray &bytes)
{
    Frames out;
    parser.feed(bytes, [&](const TrameLive &f) { out << f; });
    return out;
}

// The frames of a whole stream, its end included.
static Frames parseStream(LiveFrameParser &parser, const QByteArray &bytes)
{
    Frames out = parseAll(parser, bytes);
    parser.finish([&](const TrameLive &f) { out << f; });
    return out;
}

static QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// Sets the byte at `free` (inside the window at `at`, after its marker) so that
// the window passes the checksum.
static void makePass(QByteArray &s, qsizetype at, qsizetype free)
{
    auto *w = reinterpret_cast<uint8_t *>(s.data() + at);
    QVERIFY(w[0] == TrameLive::Marker && free > at && free < at + TrameLive::Size);
    uint8_t &byte = w[free - at];
    if (free - at == TrameLive::Size - 1) {
        byte = TrameLive::checksumOf(w);
        return;
    }
    byte = 0;
    byte = uint8_t(w[TrameLive::Size - 1] - TrameLive::checksumOf(w));
    QVERIFY(TrameLive::isValidAt(w));
}

class TestLiveDecoding : public QObject
{
    Q_OBJECT

private slots:
    void frameFieldsAndChecksum()
    {
        const auto f = TrameLive::fromBytes(
            reinterpret_cast<const uint8_t *>(hexBytes("2303E8007D05400000AD").constData()));
        QCOMPARE(f.period(), 1000);
        QCOMPARE(f.timing(), 125);
        QVERIFY(TrameLive::isValidAt(f.bytes.data()));
        QCOMPARE(f.bytesText(), QString("23 - 3 - E8 - 0 - 7D - 5 - 40 - 0 - 0 - AD"));
        const auto none = TrameLive::build(255, 7, 255, 9, 0, 0, 0, 0);
        QCOMPARE(none.period(), 0);
        QCOMPARE(none.timing(), 0);
        QCOMPARE(none.rawTiming(), 0xFF09);
    }

    void parserTakesOnlyCheckedFrames()
    {
        const TrameLive a = TrameLive::withWords(1250, 100, 1, 2, 3, 4);
        const TrameLive b = TrameLive::withWords(5000, 0, 0x3F, 0x43, 9, 9);
        QByteArray bad = a.toByteArray();
        bad[9] = char(bad[9] + 1);
        QByteArray noMarker = b.toByteArray();
        noMarker[0] = '$';

        LiveFrameParser parser;
        const QByteArray stream = QByteArray("xx#\x01") + a.toByteArray() + bad + noMarker +
                                  b.toByteArray() + "#" + a.toByteArray();
        QCOMPARE(parseStream(parser, stream), (Frames{a, b, a}));
        QCOMPARE(parser.framesFound(), 3u);
        QCOMPARE(parser.pendingBytes(), 0);

        // A short read never yields a frame, valid or not, and never reads past its end.
        LiveFrameParser shortReads;
        QVERIFY(parseAll(shortReads, QByteArray("#") + QByteArray(8, '\0')).isEmpty());
        QVERIFY(parseAll(shortReads, QByteArray(14, '#')).isEmpty());
        QVERIFY(shortReads.pendingBytes() < LiveFrameParser::MaxPending);
    }

    void frameSplitAtEveryPosition()
    {
        const TrameLive a = TrameLive::withWords(1250, 100, 5, 0x40, 0, 0);
        const TrameLive b = TrameLive::withWords(0x2323, 0x2323, 0x23, 0x23, 0x23, 0x23);
        const QByteArray stream = a.toByteArray() + b.toByteArray() + a.toByteArray();
        for (int cut1 = 0; cut1 <= stream.size(); ++cut1) {
            for (int cut2 = cut1; cut2 <= stream.size(); cut2 += 7) {
                LiveFrameParser parser;
                Frames got = parseAll(parser, stream.left(cut1));
                got += parseAll(parser, stream.mid(cut1, cut2 - cut1));
                got += parseStream(parser, stream.mid(cut2));
                QCOMPARE(got, (Frames{a, b, a}));
            }
        }
    }

    // A line as rough as a real one: the marker value in data bytes, in noise
    // and in damaged frames; 1 % damaged frames, noise before 1 % of them. Every
    // good frame comes out once, in order, and nothing else, however the stream
    // is cut into reads. (What stays possible, markers in noise, data and damage
    // that line up with a chance checksum so that two readings of the bytes fit
    // about equally well, is a few frames in ten million at these rates: the
    // benchmark counts it over ten million frames.)
    void parserResynchronisesOnRoughLine()
    {
        std::mt19937 random(11);
        const auto maybeMarker = [&] {
            return random() % 8 == 0 ? char(TrameLive::Marker) : char(random() % 256);
        };
        QByteArray stream;
        Frames sent;
        for (int i = 0; i < 200000; ++i) {
            if (random() % 100 == 0)
                for (int j = random() % 5; j >= 0; --j)
                    stream.append(maybeMarker());
            TrameLive f =
                TrameLive::withWords(uint16_t(random()), uint16_t(random()), uint8_t(random()),
                                     uint8_t(random()), uint8_t(random()), uint8_t(random()));
            if (random() % 8 == 0) { // a data byte that holds the marker
                f.bytes[1 + random() % 8] = TrameLive::Marker;
                f.bytes[9] = TrameLive::checksumOf(f.bytes.data());
            }
            if (random() % 100 == 0) { // damaged: must never come out
                const size_t at = random() % TrameLive::Size;
                const uint8_t was = f.bytes[at];
                while (f.bytes[at] == was)
                    f.bytes[at] = uint8_t(maybeMarker());
            } else {
                sent << f;
            }
            stream += f.toByteArray();
        }
        LiveFrameParser parser;
        Frames got;
        for (qsizetype pos = 0; pos < stream.size();) {
            const qsizetype n = 1 + random() % 40;
            got += parseAll(parser, stream.mid(pos, n));
            QVERIFY(parser.pendingBytes() < LiveFrameParser::MaxPending);
            pos += n;
        }
        parser.finish([&](const TrameLive &f) { got << f; });
        QCOMPARE(got.size(), sent.size());
        QCOMPARE(got, sent);
        QCOMPARE(parser.framesFound() * TrameLive::Size + parser.bytesSkipped(),
                 quint64(stream.size()));
    }

    // Crafted streams for the rules that keep or regain the alignment: in each,
    // a window that does not belong to any frame sent passes both checks.
    void alignmentRules_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<Frames>("expected");
        // Frames alike, as a module sends them: the period kept, a counter running.
        const auto like = [](int k) { return TrameLive::withWords(1250, 100, 5, 0x40, 0, k); };
        const TrameLive a = like(1), b = like(2), c = like(3), d = like(4);
        const QByteArray noise = QByteArray::fromHex("11121314");
        {
            // b holds the marker at byte 5 and four noise bytes follow it: the
            // window from that marker is followed by a frame, b by noise; b is
            // like the frame before it and the window is not.
            TrameLive marked = b;
            marked.bytes[4] = TrameLive::Marker;
            marked.bytes[9] = TrameLive::checksumOf(marked.bytes.data());
            QByteArray s =
                a.toByteArray() + marked.toByteArray() + noise + c.toByteArray() + d.toByteArray();
            makePass(s, 14, 23);
            QTest::newRow("frame like the one before beats a better-tied window")
                << s << Frames{a, marked, c, d};
        }
        {
            // Unlike frames after noise: a window from the noise's marker passes;
            // neither it nor the frame is followed by a frame, but a frame follows
            // the frame two frames on, behind a damaged one.
            const TrameLive g = TrameLive::withWords(0x1001, 0x0203, 0x40, 0x50, 0x60, 0x70);
            const TrameLive h = TrameLive::withWords(0x3100, 0x7702, 0x15, 0x16, 0x17, 0x18);
            QByteArray damaged = TrameLive::withWords(0x0101, 0x0202, 3, 4, 5, 6).toByteArray();
            damaged[0] = 0x55;
            QByteArray s =
                QByteArray::fromHex("2300") + g.toByteArray() + damaged + h.toByteArray();
            makePass(s, 0, 1);
            QTest::newRow("tie goes to the frame whose next lies whole frames on")
                << s << Frames{g, h};
        }
        {
            // Right after a: two damaged frames, the first starting with the marker,
            // and a window inside them that passes; b lies 20 bytes after a.
            TrameLive first = b;
            first.bytes[4] = TrameLive::Marker;
            first.bytes[9] = uint8_t(TrameLive::checksumOf(first.bytes.data()) + 1);
            QByteArray second = c.toByteArray();
            second[0] = 0x55;
            QByteArray s =
                a.toByteArray() + first.toByteArray() + second + d.toByteArray() + a.toByteArray();
            makePass(s, 14, 23);
            QTest::newRow("frame behind two damaged frames beats a window inside them")
                << s << Frames{a, d, a};
        }
        {
            // Noise on both sides of a frame: the frame 20 bytes after the last one
            // does not make the frame between them vanish.
            const QByteArray s = a.toByteArray() + noise + "\x15" + b.toByteArray() + noise +
                                 "\x15" + c.toByteArray() + d.toByteArray();
            QTest::newRow("frame between noise stays") << s << Frames{a, b, c, d};
        }
        {
            // A damaged frame whose data holds the marker where a window of it
            // and the good frame behind passes the checksum.
            const TrameLive good = TrameLive::withWords(1250, 100, 1, 2, 3, 4);
            const QByteArray next = good.toByteArray();
            QByteArray bad = TrameLive::withWords(2500, 0x23AA, 5, 6, 7, 8).toByteArray();
            // The window at byte 3 of `bad` is bad[3..9] + next[0..2]; make it pass.
            uint8_t sum = 0;
            for (int k = 4; k < 9; ++k)
                sum = uint8_t(sum + uint8_t(bad[k]));
            bad[9] = char(uint8_t(uint8_t(next[2]) - sum - uint8_t(next[0]) - uint8_t(next[1])));
            if (TrameLive::isValidAt(reinterpret_cast<const uint8_t *>(bad.constData())))
                bad[1] = char(bad[1] + 1);
            const QByteArray window = bad.mid(3) + next.left(3);
            QVERIFY(TrameLive::isValidAt(reinterpret_cast<const uint8_t *>(window.constData())));
            QVERIFY(!TrameLive::isValidAt(reinterpret_cast<const uint8_t *>(bad.constData())));
            QTest::newRow("damaged frame keeps the alignment")
                << next + bad + next + next << Frames{good, good, good};
            QTest::newRow("damaged frame right after noise")
                << "\x01#" + bad + next + next << Frames{good, good};
        }
    }

    // The same frames come out whole or fed a byte at a time.
    void alignmentRules()
    {
        QFETCH(QByteArray, stream);
        QFETCH(Frames, expected);
        LiveFrameParser whole;
        QCOMPARE(parseStream(whole, stream), expected);
        LiveFrameParser bytewise;
        Frames got;
        for (char byte : stream)
            got += parseAll(bytewise, QByteArray(1, byte));
        bytewise.finish([&](const TrameLive &f) { got << f; });
        QCOMPARE(got, expected);
    }

    // A frame that holds the marker inside waits for the bytes after it at the
    // end of a read; a pause or the end of the stream decides it. One without
    // comes out at once.
    void frameWithMarkerInsideWaits()
    {
        const QByteArray plain = TrameLive::withWords(1250, 100, 1, 2, 3, 4).toByteArray();
        const QByteArray marked = TrameLive::withWords(1250, 100, 0x23, 2, 3, 4).toByteArray();
        LiveFrameParser parser;
        QCOMPARE(parseAll(parser, plain).size(), 1);
        QVERIFY(parseAll(parser, marked).isEmpty());
        QVERIFY(parser.frameWaiting());
        QCOMPARE(parseAll(parser, plain).size(), 2);
        QVERIFY(parseAll(parser, marked).isEmpty());
        Frames paused;
        parser.pause([&](const TrameLive &t) { paused << t; });
        QCOMPARE(paused.size(), 1);
        QCOMPARE(parser.pendingBytes(), 0);
        QCOMPARE(parser.framesFound(), 4u);
    }

    void engineSpeed()
    {
        QCOMPARE(CalculRegimeLive(0), int16_t(-1));
        QCOMPARE(CalculRegimeLive(-5), int16_t(-1));
        QCOMPARE(CalculRegimeLive(375), int16_t(9999));
        QCOMPARE(CalculRegimeLive(300), int16_t(9999));
        QCOMPARE(CalculRegimeLive(376), int16_t(9973));
        QCOMPARE(CalculRegimeLive(1250), int16_t(3000));
        QCOMPARE(CalculRegimeLive(5000), int16_t(750));
        QCOMPARE(CalculRegimeLive(65535), int16_t(57));
        // Truncated, never rounded: 3750000 / 800 = 4687.5 exactly;
        // 3750000 / 1251 = 2997 + 753 / 1251 (1251 x 2997 = 3749247), 2997.60.
        QCOMPARE(CalculRegimeLive(800), int16_t(4687));
        QCOMPARE(CalculRegimeLive(1251), int16_t(2997));
    }

    void advance_data()
    {
        QTest::addColumn<int>("timing");
        QTest::addColumn<int>("rpm");
        QTest::addColumn<int>("degrees");
        QTest::newRow("no delay: the reference 45") << 0 << 3000 << 45;
        QTest::newRow("3000 rpm, 100: 45 - 18") << 100 << 3000 << 27;
        QTest::newRow("3000 rpm, 1000: -135 shown as -99") << 1000 << 3000 << -99;
        QTest::newRow("no speed") << 500 << -1 << -1;
        QTest::newRow("0 rpm") << 500 << 0 << -1;
        QTest::newRow("1 rpm, 62500: 45 - 3") << 62500 << 1 << 42;
        // 749 rpm counts 16 us units, 750 rpm 20 us units.
        QTest::newRow("749 rpm, 2500: 45 - 89.88") << 2500 << 749 << -45;
        QTest::newRow("750 rpm, 2500: 45 - 112.5, to even") << 2500 << 750 << -68;
        QTest::newRow("750 rpm, 100: 40.5 to even") << 100 << 750 << 40;
        // About -39 000: no 16-bit wrap.
        QTest::newRow("9999 rpm, 65000") << 65000 << 9999 << -99;
    }

    void advance()
    {
        QFETCH(int, timing);
        QFETCH(int, rpm);
        QFETCH(int, degrees);
        QCOMPARE(CalculAvanceLive(timing, int16_t(rpm)), int16_t(degrees));
    }

    void loadAndLamps()
    {
        QCOMPARE(CalculJaugeLive(0), int16_t(0));
        QCOMPARE(CalculJaugeLive(1), int16_t(33));
        QCOMPARE(CalculJaugeLive(2 | 0x80), int16_t(66));
        QCOMPARE(CalculJaugeLive(3), int16_t(100));
        const LiveLamps l = LiveLamps::from(0b101001, 16 | 64);
        QCOMPARE(l.inputs, (std::array<bool, 4>{true, false, false, true}));
        QCOMPARE(l.outputs, (std::array<bool, 2>{false, true}));
        QVERIFY(l.decel && !l.knock && l.curve1);
        QVERIFY(!LiveLamps::from(0xC0, 0).curve1);
    }

    void frameReadings()
    {
        const auto off = LiveReading::decode(TrameLive::build(255, 0, 1, 0, 0, 0, 0, 0));
        QCOMPARE(off.RegimeLive, int16_t(-1));
        QCOMPARE(off.AvanceLive, int16_t(-1));
        const auto noTiming = LiveReading::decode(TrameLive::build(0x04, 0xE2, 255, 3, 0, 3, 0, 0));
        QCOMPARE(noTiming.RegimeLive, int16_t(3000));
        QCOMPARE(noTiming.AvanceLive, int16_t(45));
        QCOMPARE(noTiming.ChargeLive, int16_t(100));
        QCOMPARE(LiveReading::silent().RegimeLive, int16_t(-1));
    }

    void logLines()
    {
        QCOMPARE(
            LigneLogLive(TrameLive::build(0x04, 0xE2, 0x01, 0xF4, 0x05, 0x40, 0, 0)),
            QString("RPM : 3000 | 4E2 - DP : 1F4 - XX : 5 - OPTION : 40 - ADC1 : 0 - ADC2 : 0"));
        QCOMPARE(LigneLogLive(TrameLive::build(255, 1, 2, 3, 4, 5, 6, 7)),
                 QString("RPM : OFF | FFFF - DP : FFFF - OPTION : FF - ADC1 : FF - ADC2 : FF"));
        QCOMPARE(LigneLogLive(TrameLive::build(0, 0, 255, 0x10, 0xAB, 1, 0xFE, 0x0F)),
                 QString("RPM : -1 | 0 - DP : FF10 - XX : AB - OPTION : 1 - ADC1 : FE - ADC2 : F"));
    }

    void simulationCommand()
    {
        QCOMPARE(SimulationCommand::PeriodeSimulation(3000), std::optional<uint16_t>(1250));
        QCOMPARE(SimulationCommand::PeriodeSimulation(8000), std::optional<uint16_t>(469));
        QCOMPARE(SimulationCommand::PeriodeSimulation(500), std::optional<uint16_t>(7500));
        QCOMPARE(SimulationCommand::PeriodeSimulation(115), std::optional<uint16_t>(32609));
        QVERIFY(!SimulationCommand::PeriodeSimulation(114));
        QVERIFY(!SimulationCommand::PeriodeSimulation(0));
        QCOMPARE(SimulationCommand::CommandeSimulation(1250), hexBytes("2104E2"));
        QCOMPARE(SimulationCommand::CommandeSimulation(469), hexBytes("2101D5"));
        QCOMPARE(SimulationCommand::CommandeSimulation(7500), hexBytes("211D4C"));
        QCOMPARE(SimulationCommand::CommandeArretSimulation(), hexBytes("22"));
    }

    void terminalText()
    {
        using namespace TerminalDisplay;
        QCOMPARE(ModeFromText(""), Mode::Asc);
        QCOMPARE(TexteRecu("AB", ModeFromText("")), QString("AB"));
        QCOMPARE(TexteRecu("AB", Mode::Dec), QString(" 065 066"));
        QCOMPARE(TexteRecu("AB", Mode::Hex), QString(" 41 42"));
        QCOMPARE(TexteRecu("\x80\xE9", Mode::Asc), QString::fromUtf8("€é"));
        QCOMPARE(Tronque(QString(1000, 'x')).size(), 1000);
        const QString big = QString(901, 'a') + QString(100, 'b');
        QCOMPARE(Tronque(big), QString(100, 'b'));
    }

    void sevenSegmentCodes()
    {
        using namespace SevenSegment;
        QCOMPARE(*CodesNombre(12345, 4), (std::vector<uint8_t>{9, 9, 9, 9}));
        QCOMPARE(*CodesNombre(-1, 4), (std::vector<uint8_t>{CodeBlanc, 0, 15, 15}));
        QCOMPARE(*CodesNombre(-5, 2), (std::vector<uint8_t>{CodeMoins, CodeMoins}));
        QCOMPARE(*CodesNombre(750, 4), (std::vector<uint8_t>{0, 7, 5, 0}));
        QCOMPARE(*CodesNombre(123, 2), (std::vector<uint8_t>{2, 3}));
        QCOMPARE(*CodesNombre(5, 2), (std::vector<uint8_t>{0, 5}));
        QVERIFY(!CodesNombre(3, 3));
        QCOMPARE(Masque(8), uint8_t(127));
        QCOMPARE(Masque(15), uint8_t(113));
        QCOMPARE(Masque(CodeMoins), uint8_t(64));
        QCOMPARE(Masque(16), uint8_t(0));
        QCOMPARE(Masque(255), uint8_t(0));
        const auto segs = Segments(0, 0);
        QCOMPARE(segs[0].centre, QPointF(0, -240));
        QCOMPARE(segs[2].centre, QPointF(120, 120));
    }

    void dialNeedles()
    {
        const QPointF rpm = LiveDials::FinAiguilleRPM(5350);
        QVERIFY(qAbs(rpm.x() - 3031) < 1.5 && qAbs(rpm.y() - 669) < 1.5);
        const QPointF load = LiveDials::FinAiguilleCharge(50);
        QVERIFY(qAbs(load.x() - 1050) < 1.5 && qAbs(load.y() - 200) < 1.5);
        QVERIFY(qAbs(LiveDials::AngleRPM(9999) - 1.945) < 0.01);
    }
};

QTEST_GUILESS_MAIN(TestLiveDecoding)
#include "tst_livedecoding.moc"
