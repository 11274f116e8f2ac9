#include "ManualClock.h"
#include "RecordingSink.h"
#include "ScriptedByteLink.h"
#include "TestSupport.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderSession.h"
#include "bootloader/VEK_BOOTLOADER.h"
#include "icsp/ChipTable.h"

#include <QtTest>

using TestSupport::row;

// The command layer, the range writer and the connection against a scripted
// module on the test clock.
class TestBootloaderCommands : public QObject
{
    Q_OBJECT
private slots:
    void frameLayout();
    void commandJudgement_data();
    void commandJudgement();
    void sendByteReturnsWhatCame();
    void unalignedRangesSendNothing_data();
    void unalignedRangesSendNothing();
    void rangeSendsOneFramePerBlock();
    void rangeStopsAtARefusalOrACancel_data();
    void rangeStopsAtARefusalOrACancel();
    void identityTexts();
    void connectionAndIdentity_data();
    void connectionAndIdentity();
    void portThatCannotOpenStaysDisconnected();
    void lateAnswersOfTheClosingBytesAreNotTheClosesAnswer();
};

namespace {

BootloaderTexts texts()
{
    BootloaderTexts t;
    t.progressCode = "CODE";
    t.blocks = "blocks";
    t.blockRefused = "refused {ADR}:{REPONSE}";
    t.blockShort = "incomplete {ADR}:{REPONSE}";
    t.cancelled = "cancelled {ADR}";
    t.rangeRefused = {"empty {DEBUT}", "blocks {DEBUT}-{FIN}", "memory {DEBUT}-{FIN} {MOTS}"};
    t.lineLost = "lost {PORT} {RAISON}";
    t.portFailure.openFailed = "open {PORT} {RAISON}";
    t.identityShort = "short {CMD} {RECU}/{ATTENDU}";
    t.greetingFailed = "no answer";
    t.port = "PTY";
    t.timeout = "Timeout of communication !";
    t.checkPort = "Check the port";
    t.connected = "Connected";
    return t;
}

// A well-behaved bootloader: answers each command at once.
void goodModule(ScriptedByteLink &link, const QByteArray &w)
{
    static const QHash<uint8_t, QByteArray> answers{
        {0xEA, "\xEB"}, {0xE3, "\xE7\xE4"},     {0xED, "\xE4"},
        {':', ";"},     {'1', "\x02\x15"},      {'5', "\x01"},
        {0xEE, "\x1F"}, {0xEF, "VEK-MZ300 OS"}, {'?', QByteArray(1, '\0')}};
    if (const auto answer = answers.constFind(uint8_t(w[0])); answer != answers.cend())
        link.reply(*answer);
}

PicImage imageWithPattern()
{
    PicImage image;
    for (int k = 0; k < PicImage::CodeWords; ++k)
        image.setCodeWord(k, uint16_t((k * 0x1E3) & 0x3FFF));
    return image;
}

} // namespace

void TestBootloaderCommands::frameLayout()
{
    PicImage image;
    for (int k = 0; k < 16; ++k)
        image.setCodeWord(k, 0x3FFF);
    QCOMPARE(BootloaderFrame(image, 8).toHex(' '),
             QByteArray("e3 00 08 10 f0 3f ff 3f ff 3f ff 3f ff 3f ff 3f ff 3f ff 3f ff"));
    // The high byte keeps 14 bits; the checksum covers the data bytes only.
    image.setCodeWord(0x1238, 0xC1EA);
    const QByteArray frame = BootloaderFrame(image, 0x1238);
    QCOMPARE(frame.size(), 21);
    QCOMPARE(uint8_t(frame[1]), 0x12);
    QCOMPARE(uint8_t(frame[2]), 0x38);
    QCOMPARE(uint8_t(frame[5]), 0x01);
    QCOMPARE(uint8_t(frame[6]), 0xEA);
    QCOMPARE(uint8_t(frame[4]), 0xEB);
}

void TestBootloaderCommands::commandJudgement_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("status");
    QTest::addColumn<qint64>("elapsedMs");
    using S = BootloaderStatus;
    QTest::newRow("hello") << 0xEA << QByteArray("\xEB") << int(S::Accepted) << 0LL;
    // A wrong answer waits a moment for a true one behind a stray byte.
    QTest::newRow("hello wrong") << 0xEA << QByteArray("\xEC") << int(S::WrongAnswer) << 20LL;
    QTest::newRow("frame") << 0xE3 << QByteArray("\xE7\xE4") << int(S::Accepted) << 0LL;
    QTest::newRow("frame three bytes")
        << 0xE3 << QByteArray("\xE7\xE4\xE4") << int(S::Accepted) << 0LL;
    QTest::newRow("frame half") << 0xE3 << QByteArray("\xE7") << int(S::ShortAnswer) << 500LL;
    QTest::newRow("frame reversed")
        << 0xE3 << QByteArray("\xE4\xE7") << int(S::WrongAnswer) << 20LL;
    QTest::newRow("frame behind a stray byte")
        << 0xE3 << QByteArray("\xE4\xE7\xE4") << int(S::Accepted) << 0LL;
    QTest::newRow("probe behind a stray byte")
        << 0x3A << QByteArray("\xE4;") << int(S::Accepted) << 0LL;
    QTest::newRow("close") << 0xED << QByteArray("\xE4") << int(S::Accepted) << 0LL;
    QTest::newRow("probe") << 0x3A << QByteArray(";") << int(S::Accepted) << 0LL;
    QTest::newRow("silence") << 0x3A << QByteArray() << int(S::NoAnswer) << 500LL;
    QTest::newRow("not judged") << 0x31 << QByteArray("\x02") << int(S::NotACommand) << 0LL;
}

void TestBootloaderCommands::commandJudgement()
{
    QFETCH(int, command);
    QFETCH(QByteArray, answer);
    QFETCH(int, status);
    QFETCH(qint64, elapsedMs);
    ManualClock clock;
    ScriptedByteLink link(clock, [&](ScriptedByteLink &l, const QByteArray &) {
        if (!answer.isEmpty())
            l.reply(answer);
    });
    link.reply("junk"); // waiting before the command: dropped, not taken for the answer
    const qint64 start = clock.nowMs();
    const QByteArray frame = command == 0xE3 ? BootloaderFrame(PicImage{}, 0) : QByteArray();
    const BootloaderReply reply = BootloaderCommand(link, uint8_t(command), frame);
    QCOMPARE(int(reply.status), status);
    QCOMPARE(clock.nowMs() - start, elapsedMs);
    if (status == int(BootloaderStatus::NotACommand))
        QVERIFY(link.writes.isEmpty());
    else
        QCOMPARE(link.writes.value(0), command == 0xE3 ? frame : QByteArray(1, char(command)));
}

void TestBootloaderCommands::sendByteReturnsWhatCame()
{
    ManualClock clock;
    ScriptedByteLink link(clock, [](ScriptedByteLink &l, const QByteArray &w) {
        if (uint8_t(w[0]) == 0xEF)
            l.reply("VEK-M", 20); // five of twelve, then nothing
    });
    const qint64 asked = clock.nowMs();
    BootloaderReply name = BootloaderSendByte(link, 0xEF, 12);
    QCOMPARE(name.status, BootloaderStatus::ShortAnswer);
    QCOMPARE(name.answer, QByteArray("VEK-M"));
    QCOMPARE(clock.nowMs() - asked, 1000); // an identity query waits one second
    // Count 0: at once, whatever was waiting.
    link.reply("\xE4");
    const qint64 before = clock.nowMs();
    const BootloaderReply none = BootloaderSendByte(link, 0xED, 0);
    QCOMPARE(none.status, BootloaderStatus::Accepted);
    QCOMPARE(none.answer, QByteArray("\xE4"));
    QCOMPARE(clock.nowMs(), before);
}

void TestBootloaderCommands::unalignedRangesSendNothing_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("says"); // the rule the range breaks
    QTest::addColumn<QString>("chip"); // "": none chosen, the image's 16384 words
    const QString none("");            // no chip chosen
    row("start inside a block", 0x104, 0x200, QString("blocks 0104-01FF"), none);
    row("end inside a block", 0x100, 0x1FC, QString("blocks 0100-01FB"), none);
    row("empty", 0x100, 0x100, QString("empty 0100"), none);
    row("beyond the image", 0x3F00, 0x4008, QString("memory 3F00-4007 16384"), none);
    row("negative", -8, 0x10, QString("memory -0008-000F 16384"), none);
    row("beyond a 16F876A", 0x1F00, 0x2200, QString("memory 1F00-21FF 8192"),
        QString("PIC-16F876A"));
}

void TestBootloaderCommands::unalignedRangesSendNothing()
{
    QFETCH(int, first);
    QFETCH(int, end);
    QFETCH(QString, says);
    QFETCH(QString, chip);
    PicDevice device;
    if (!chip.isEmpty())
        device.setChip(*ChipTable::fixedChip(chip));
    ManualClock clock;
    ScriptedByteLink link(clock, goodModule);
    RecordingSink sink;
    CancelToken cancel;
    const WriteRangeResult r =
        BootloaderWriteRange(link, device, first, end, {}, texts(), sink, cancel);
    QCOMPARE(r.stop, WriteRangeResult::Stop::RangeRefused);
    QVERIFY(link.writes.isEmpty());
    QCOMPARE(BootloaderRangeMessage(r, texts()), says);
}

void TestBootloaderCommands::rangeSendsOneFramePerBlock()
{
    ManualClock clock;
    ScriptedByteLink link(clock, goodModule);
    RecordingSink sink;
    CancelToken cancel;
    PicDevice device;
    device.ImagePIC = imageWithPattern();
    const PicImage &image = device.ImagePIC;
    const int first = 0x300, end = 0x400;
    const WriteRangeProgress progress{(end - first) * 2 / 16,
                                      [&](int w) { return 100.0 * (end - w) / (end - first); }};
    const WriteRangeResult r =
        BootloaderWriteRange(link, device, first, end, progress, texts(), sink, cancel);
    QVERIFY(r.ok());
    QCOMPARE(r.framesAccepted, 32);
    QCOMPARE(link.writes.size(), 32);
    for (int i = 0; i < 32; ++i)
        QCOMPARE(link.writes[i], BootloaderFrame(image, first + 8 * i));
    // The caller's rule at each block's last word, rounded: 97 first, 0 last.
    QCOMPARE(sink.percents(1).first(), 97.0);
    QCOMPARE(sink.percents(1).last(), 0.0);
    QCOMPARE(sink.texts(1).first(), QString("CODE 32 blocks "));
}

void TestBootloaderCommands::rangeStopsAtARefusalOrACancel_data()
{
    // The answers to the frames in turn (an acknowledgement for the others),
    // and the frame after whose answer the user cancels (0: never).
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<int>("cancelAfter");
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("sent");
    QTest::addColumn<QString>("message");
    const QByteArray ack("\xE7\xE4");
    using Stop = WriteRangeResult::Stop;
    QTest::newRow("half an acknowledgement")
        << QList<QByteArray>{ack, ack, "\xE7"} << 0 << int(Stop::Refused) << 2 << 0x10 << 3
        << "incomplete 0010: E7";
    // A byte beyond the second acknowledgement is accepted with it, but must
    // not make the third frame's missing answer whole.
    QTest::newRow("stray byte before silence")
        << QList<QByteArray>{ack, "\xE7\xE4\xE7", ""} << 0 << int(Stop::Refused) << 2 << 0x10 << 3
        << "Timeout of communication ! [0x0010]";
    // The cancel request is honoured between frames.
    QTest::newRow("cancelled after the fourth frame")
        << QList<QByteArray>{} << 4 << int(Stop::Cancelled) << 4 << 0x20 << 4 << "cancelled 0020";
}

void TestBootloaderCommands::rangeStopsAtARefusalOrACancel()
{
    QFETCH(QList<QByteArray>, answers);
    QFETCH(int, cancelAfter);
    QFETCH(int, stop);
    QFETCH(int, accepted);
    QFETCH(int, block);
    QFETCH(int, sent);
    QFETCH(QString, message);
    ManualClock clock;
    CancelToken cancel;
    ScriptedByteLink link(clock, [&](ScriptedByteLink &l, const QByteArray &) {
        const int frame = int(l.writes.size());
        const QByteArray answer = answers.value(frame - 1, QByteArray("\xE7\xE4"));
        if (!answer.isEmpty())
            l.reply(answer);
        if (frame == cancelAfter)
            cancel.cancel();
    });
    RecordingSink sink;
    const WriteRangeResult r =
        BootloaderWriteRange(link, PicDevice{}, 0, 0x200, {}, texts(), sink, cancel);
    QCOMPARE(int(r.stop), stop);
    QCOMPARE(r.framesAccepted, accepted);
    QCOMPARE(r.block, block);
    QCOMPARE(link.writes.size(), sent);
    QCOMPARE(BootloaderRangeMessage(r, texts()), message);
}

void TestBootloaderCommands::identityTexts()
{
    QCOMPARE(ModuleIdentity::Version(0x02, 0x15), QString("2.1.5"));
    QCOMPARE(ModuleIdentity::Version(0x01, 0x0A), QString("1.0.A"));
    QCOMPARE(ModuleIdentity::Version(0x10, 0xFF), QString("10.F.F"));
    QCOMPARE(ModuleIdentity::Version(0x03, 0x07), QString("3.0.7"));
    QCOMPARE(ModuleIdentity::Version(0x0B, 0xA0), QString("B.A.0"));
    ModuleIdentity id{"VEK-MZ300 OS", "2.1.A", "5"};
    QCOMPARE(id.texteEtat(), QString("VEK-MZ300 OS\\REV:5 - OS:2.1.A"));
}

namespace {

// A session whose opener hands out a scripted link.
struct ScriptedSession {
    ManualClock clock;
    ScriptedByteLink *link = nullptr;
    ScriptedByteLink::Script script;
    QString openError;
    BootloaderSession session{[this](const QString &, const QString &) {
        DeviceResult<ByteLink> r;
        if (!openError.isEmpty()) {
            r.error = openError;
            return r;
        }
        auto l = std::make_unique<ScriptedByteLink>(clock, script);
        link = l.get();
        r.device = std::move(l);
        return r;
    }};
    JobOutcome connect(RecordingSink &sink)
    {
        ConnectionRequest request;
        request.device = "/dev/pts/x";
        request.nomProgrammateur = "VEK-MZ300";
        request.texts = texts();
        return Connecter(session, request, sink, CancelToken{});
    }
};

} // namespace

void TestBootloaderCommands::connectionAndIdentity_data()
{
    // The answers of one command in turn (an empty one: none), then a good
    // module's; the commands the module receives; how the connection ends.
    QTest::addColumn<char>("command");
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("said"); // the identity, or a part of the failure
    QTest::newRow("first probe unanswered")
        << ':' << QList<QByteArray>{""} << QByteArray("::15\xEE\xEF") << 0
        << "VEK-MZ300 OS\\REV:1F - OS:2.1.5";
    QTest::newRow("revision zero is one digit")
        << char(0xEE) << QList<QByteArray>{QByteArray(1, '\0')} << QByteArray(":15\xEE\xEF") << 0
        << "VEK-MZ300 OS\\REV:0 - OS:2.1.5";
    QTest::newRow("short version") << '1' << QList<QByteArray>{"\x02"} << QByteArray(":1")
                                   << int(BootloaderIdentityFailed) << "short 31 1/2";
}

void TestBootloaderCommands::connectionAndIdentity()
{
    QFETCH(char, command);
    QFETCH(QList<QByteArray>, answers);
    QFETCH(QByteArray, sent);
    QFETCH(int, code);
    QFETCH(QString, said);
    ScriptedSession s;
    QList<QByteArray> received;
    s.script = [&](ScriptedByteLink &l, const QByteArray &w) {
        received << w;
        if (w[0] != command || answers.isEmpty())
            goodModule(l, w);
        else if (const QByteArray answer = answers.takeFirst(); !answer.isEmpty())
            l.reply(answer);
    };
    RecordingSink sink;
    const JobOutcome outcome = s.connect(sink);
    QCOMPARE(outcome.code, code);
    QCOMPARE(s.session.connected(), code == 0);
    QList<QByteArray> commands;
    for (char c : sent)
        commands << QByteArray(1, c);
    QCOMPARE(received, commands);
    if (code != 0) { // the port is closed
        QVERIFY(outcome.message.startsWith(texts().checkPort));
        QVERIFY2(outcome.message.contains(said), qPrintable(outcome.message));
        QVERIFY(s.session.port() == nullptr);
        QCOMPARE(sink.statuses.last(), texts().timeout);
        return;
    }
    QCOMPARE(s.session.identity.texteEtat(), said);
    QCOMPARE(sink.statuses.last(), texts().connected);
    // Disconnection: 0xED, 0xED and '?' unjudged, then the judged close.
    received.clear();
    const JobOutcome closed = Deconnecter(s.session, true, sink, CancelToken{});
    QVERIFY(closed.succeeded());
    QVERIFY(!s.session.connected());
    const QByteArray close(1, char(0xED));
    QCOMPARE(received, (QList<QByteArray>{close, close, "?", close}));
}

void TestBootloaderCommands::portThatCannotOpenStaysDisconnected()
{
    ScriptedSession s;
    s.openError = "/dev/pts/x: No such file or directory";
    RecordingSink sink;
    const JobOutcome outcome = s.connect(sink);
    QCOMPARE(outcome.code, int(BootloaderPortFailed));
    QCOMPARE(outcome.message, QString("open PTY /dev/pts/x: No such file or directory"));
    QVERIFY(!s.session.connected());
    // The bootloader opens the port the programmer opens: a two-digit COM too.
    QCOMPARE(PortBootloader("COM12"), QString("/dev/ttyS11"));
    QCOMPARE(PortBootloader("/dev/ttyUSB1"), QString("/dev/ttyUSB1"));
}

// The module answers each unjudged 0xED too, and on a busy line those answers
// come late: they must not be taken for the answer of the judged close.
void TestBootloaderCommands::lateAnswersOfTheClosingBytesAreNotTheClosesAnswer()
{
    ScriptedSession s;
    s.script = goodModule;
    RecordingSink sink;
    QVERIFY(s.connect(sink).succeeded());
    int closes = 0;
    s.script = [&](ScriptedByteLink &l, const QByteArray &w) {
        if (w == QByteArray(1, char(0xED)) && ++closes <= 2)
            l.reply(QByteArray(1, char(0xE4)), 40); // late: after the '?' is answered
        else if (w == "?")
            l.reply(QByteArray(1, char(0x00)), 1);
        else if (w == QByteArray(1, char(0xED)))
            l.reply(QByteArray(1, char(0xE4)), 1);
    };
    s.link->setScript(s.script);
    const JobOutcome closed = Deconnecter(s.session, true, sink, CancelToken{});
    QVERIFY2(closed.succeeded(), qPrintable(closed.message));
    QCOMPARE(closes, 3);
}

QTEST_GUILESS_MAIN(TestBootloaderCommands)
#include "tst_bootloadercommands.moc"
