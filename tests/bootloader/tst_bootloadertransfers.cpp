#include "ModuleSimulator.h"
#include "RecordingSink.h"
#include "TestSupport.h"
#include "app/CurveTables.h"
#include "app/VekContext.h"
#include "base/JobRunner.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/BootloaderDownloads.h"
#include "bootloader/BootloaderSession.h"
#include "firmware/HexFiles.h"
#include "firmware/TableGenerationPrompts.h"
#include "firmware/VEK_Gestion_OS.h"
#include "icsp/ChipTable.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using TestSupport::row;

// End to end: the plain transfers over a real pseudo-terminal against the
// simulated module's bootloader, whose flash the tests read back.
class TestBootloaderTransfers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void connectIdentifyAndDisconnectAsJobs();
    void curveTablesReachTheFlash_data();
    void curveTablesReachTheFlash();
    void firmwareReachesTheFlash_data();
    void firmwareReachesTheFlash();
    void curveDownloadsRefusedBeforeTheImageIsTouched_data();
    void curveDownloadsRefusedBeforeTheImageIsTouched();
    void faultsEndInAMessageAndTheFlashHoldsWhatWasAcknowledged_data();
    void faultsEndInAMessageAndTheFlashHoldsWhatWasAcknowledged();
    void identityFaultsFailTheConnection_data();
    void identityFaultsFailTheConnection();
    void damagedFirmwareFileIsNotSent_data();
    void damagedFirmwareFileIsNotSent();
    void firmwareRangesOutsideTheChipAreRefused_data();
    void firmwareRangesOutsideTheChipAreRefused();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<VekContext> m_context;
};

namespace {

class Answers : public TableGenerationPrompts
{
public:
    bool askTruncation(const QString &, const QString &) override { return true; }
    void showError(const QString &, const QString &text) override { errors << text; }
    QStringList errors;
};

BootloaderTexts texts()
{
    return BootloaderTexts::load("PTY");
}

JobOutcome connectModule(BootloaderSession &session, const QString &device)
{
    ConnectionRequest request;
    request.device = device;
    request.nomProgrammateur = "VEK-MZ300";
    request.texts = texts();
    RecordingSink sink;
    return Connecter(session, request, sink, CancelToken{});
}

// The simulated module with its bootloader, and its flash read back.
struct Module {
    ModuleSimulator sim;
    QTemporaryDir dir;
    bool start(const QStringList &extra = {})
    {
        return sim.start(QStringList{"--bootloader"} + extra);
    }
    // Starts it with `extra` (faults, pace...) and connects `session` to it.
    JobOutcome startAndConnect(BootloaderSession &session, const QStringList &extra = {})
    {
        if (!start(extra))
            return JobOutcome::failure("the simulated module did not start");
        return connectModule(session, sim.devicePath());
    }
    QList<uint16_t> flash() { return sim.flashWords(dir.filePath("flash.bin")); }
    // Frames the module found malformed.
    int badFrames()
    {
        sim.command("blstats");
        const QString line = sim.waitForLine("BLSTATS");
        const QRegularExpression bad("bad=(\\d+)");
        return line.isEmpty() ? -1 : bad.match(line).captured(1).toInt();
    }
};

// Words outside the ranges must still be blank.
int writtenOutside(const QList<uint16_t> &flash, const QList<TablePlacement::WordRange> &ranges)
{
    int n = 0;
    for (int k = 0; k < flash.size(); ++k) {
        bool inside = false;
        for (const auto &r : ranges)
            inside = inside || (k >= r.first && k < r.end);
        n += !inside && flash[k] != 0x3FFF;
    }
    return n;
}

// A firmware image whose words hold the bootloader's command and answer bytes.
PicImage firmwareImage()
{
    PicImage image;
    for (int k = 0; k < PicImage::CodeWords; ++k)
        image.setCodeWord(k, 0x3FFF);
    const uint16_t tricky[] = {0x00EA, 0x00E3, 0x3AED, 0x003A, 0x00E4, 0x3BE7,
                               0x00EB, 0x35EF, 0x3FEE, 0x313F, 0x0000, 0x2FE3};
    for (int k = 0; k < 0x400; ++k)
        image.setCodeWord(k, k % 3 == 0 ? tricky[(k / 3) % 12] : uint16_t((k * 0x2F1) & 0x3FFF));
    return image;
}

} // namespace

void TestBootloaderTransfers::initTestCase()
{
    VEK_LANGUAGE::InitLanguage();
    QVERIFY(m_dir.isValid());
    VEK_Gestion_OS::SetDossierProgramme(m_dir.path() + '/');
}

void TestBootloaderTransfers::init()
{
    m_context = std::make_unique<VekContext>();
    m_context->tab_avance.setRows({{"1000", "12", "8"},
                                   {"2000", "14", "9"},
                                   {"3000", "16", "11"},
                                   {"5000", "17", "13"},
                                   {"7000", "18", "15"}},
                                  false);
    m_context->moteur.Txt_av_statique = "20";
    m_context->pic.setChip(*ChipTable::fixedChip("PIC-16F876A"));
    m_context->settings.ICSPChip = "PIC-16F876A";
    QFile::remove(VEK_Gestion_OS::CheminTemp("~TEMP.HEX"));
    QFile::remove(VEK_Gestion_OS::CheminTemp("~TEMP.XEH"));
}

void TestBootloaderTransfers::connectIdentifyAndDisconnectAsJobs()
{
    Module module;
    QVERIFY(
        module.start({"--bl-name", "VEKMZ-TEST12", "--bl-revision", "1F", "--bl-version", "0BA0"}));
    auto session = std::make_shared<BootloaderSession>();
    JobRunner runner;
    QSignalSpy finished(&runner, &JobRunner::finished);
    ConnectionRequest request;
    request.device = module.sim.devicePath();
    request.texts = texts();
    QVERIFY(runner.start([session, request](ProgressSink &sink, const CancelToken &cancel) {
        return Connecter(*session, request, sink, cancel);
    }));
    // One transfer at a time on the port.
    QVERIFY(!runner.start([](ProgressSink &, const CancelToken &) { return JobOutcome{}; }));
    QVERIFY(finished.wait(10000));
    const JobOutcome outcome = finished.takeFirst().first().value<JobOutcome>();
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.message));
    QCOMPARE(session->identity.ModuleNom, QString("VEKMZ-TEST12"));
    QCOMPARE(session->identity.ModuleRevision, QString("1F"));
    QCOMPARE(session->identity.ModuleVersionOS, QString("B.A.0"));

    QVERIFY(runner.start([session](ProgressSink &sink, const CancelToken &cancel) {
        return Deconnecter(*session, true, sink, cancel);
    }));
    QVERIFY(finished.wait(10000));
    const JobOutcome closed = finished.takeFirst().first().value<JobOutcome>();
    QVERIFY2(closed.succeeded(), qPrintable(closed.message));
    QCOMPARE(closed.message, VEK_LANGUAGE::GetLanguageText("BLTransfertFinalise"));
    QVERIFY(!session->connected());
}

void TestBootloaderTransfers::curveTablesReachTheFlash_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("curveSet");
    QTest::addColumn<double>("firstPercent"); // 8 words of the 512 a line sends, rounded
    for (int type : {8, 88}) {
        QTest::addRow("type %d, 1 line", type) << type << 1 << 1 << 2.0;
        QTest::addRow("type %d, 2 lines", type) << type << 2 << 1 << 1.0;
        QTest::addRow("type %d, 3 lines", type) << type << 3 << 1 << 1.0;
        QTest::addRow("type %d, 4 lines", type) << type << 4 << 1 << 0.0;
    }
    QTest::newRow("type 8, second curve set") << 8 << 2 << 2 << 1.0;
}

void TestBootloaderTransfers::curveTablesReachTheFlash()
{
    QFETCH(int, type);
    QFETCH(int, lines);
    QFETCH(int, curveSet);
    QFETCH(double, firstPercent);
    MainSettings &s = m_context->settings;
    s.TypeCompilation = int16_t(type);
    s.ICSPNbTables = QString::number(lines);
    s.ICSPLTAB_L1 = "800";
    s.ICSPHTAB_L1 = "1000";
    s.ICSPLTAB_L2 = "1800"; // within the 8192 words of the 16F876A
    s.ICSPHTAB_L2 = "1C00";
    m_context->mapBoxes.tbMapAdj = {" 0", "33.3", "66.7", "100", "", "", "", "", ""};

    Module module;
    BootloaderSession session;
    QVERIFY(module.startAndConnect(session).succeeded());

    Answers answers;
    CurveDownloadRequest request;
    request.DeviceChip = m_context->pic.DeviceChip;
    request.gridRows = CurveTables::Grille(*m_context).rowCount();
    request.placement = DemandePlacement(s, m_context->mapBoxes.tbMapAdj, curveSet);
    TableIncludeFiles::TablesExport tables;
    request.generer = [&](TableIncludeFiles::TablesExport &t) {
        const int16_t r = CurveTables::GenererTablesExport(type, *m_context, answers, t);
        tables = t;
        return r;
    };
    const CurveDownloadPlan plan = PreparerTelechargementCourbes(request, m_context->pic);
    QVERIFY2(plan.plan, qPrintable(plan.refusal.text + answers.errors.join('\n')));

    RecordingSink sink;
    const JobOutcome outcome =
        TelechargerCourbes(session, m_context->pic, *plan.plan, texts(), sink, CancelToken{});
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.message));
    QCOMPARE(outcome.message, VEK_LANGUAGE::GetLanguageText("BLCourbesOK"));
    QCOMPARE(sink.statuses.last(), VEK_LANGUAGE::GetLanguageText("BLTransfertEffectue"));
    // One bar over both areas (2 x 256 words a line), running forward to 100.
    const QList<double> percents = sink.percents();
    QCOMPARE(percents.size(), 64 * lines);
    QCOMPARE(percents.first(), firstPercent);
    QCOMPARE(percents.last(), 100.0);
    QVERIFY(std::is_sorted(percents.begin(), percents.end()));
    QCOMPARE(sink.texts(1).first(), QString("%1 %2 %3 ")
                                        .arg(VEK_LANGUAGE::GetLanguageText("DP1ProgCODE"))
                                        .arg(64 * lines)
                                        .arg(VEK_LANGUAGE::GetLanguageText("Mbloc")));

    // Word for word what was placed; the line at 0 % holds the atmospheric
    // tables, the line at 100 % the boost ones.
    const QList<uint16_t> flash = module.flash();
    QCOMPARE(flash.size(), PicImage::CodeWords);
    const int low = curveSet == 1 ? 0x800 : 0x1800, high = curveSet == 1 ? 0x1000 : 0x1C00;
    for (int k = 0; k < 256 * lines; ++k) {
        QCOMPARE(flash[low + k], m_context->pic.ImagePIC.codeWord(low + k));
        QCOMPARE(flash[high + k], m_context->pic.ImagePIC.codeWord(high + k));
    }
    const auto word = [](const QStringList &table, int i) {
        return uint16_t(table[i].toInt(nullptr, 16));
    };
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(flash[low + i], word(tables.basseAtmo, i));
        QCOMPARE(flash[high + i], word(tables.hauteAtmo, i));
        if (lines == 4) {
            QCOMPARE(flash[low + 3 * 256 + i], word(tables.basseBoost, i));
            QCOMPARE(flash[high + 3 * 256 + i], word(tables.hauteBoost, i));
        }
    }
    QCOMPARE(flash[low], uint16_t(0x0782));
    QCOMPARE(writtenOutside(flash, {plan.plan->low, plan.plan->high}), 0);
    QCOMPARE(module.badFrames(), 0);
}

void TestBootloaderTransfers::firmwareReachesTheFlash_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("first"); // the words sent, from the package's settings
    QTest::addColumn<int>("end");
    QTest::addColumn<double>("firstPercent"); // the share sent, counted from word 0
    QTest::addColumn<int>("blocks");          // as the progress text counts them, from word 0
    const QStringList none;
    QTest::newRow("module in step") << none << 0 << 0x400 << 1.0 << 128;           // 100 x 7 / 1024
    QTest::newRow("the package's defaults") << none << 0 << 0x200 << 1.0 << 64;    // 100 x 7 / 512
    QTest::newRow("words 0x100 to 0x1FF") << none << 0x100 << 0x200 << 51.0 << 64; // x 263 / 512
    // An acknowledgement followed by one more byte is an acknowledgement; the
    // byte is not taken for the next frame's answer.
    for (const char *fault : {"extra:E3:2", "extra:E3:0", "extra:E3:128"})
        QTest::addRow("%s", fault) << QStringList{"--fault", fault} << 0 << 0x400 << 1.0 << 128;
    QTest::newRow("extra byte after each frame, paced line")
        << QStringList{"--fault", "extra:E3:0", "--baud", "57600"} << 0 << 0x400 << 1.0 << 128;
}

void TestBootloaderTransfers::firmwareReachesTheFlash()
{
    QFETCH(QStringList, faults);
    QFETCH(int, first);
    QFETCH(int, end);
    QFETCH(double, firstPercent);
    QFETCH(int, blocks);
    m_context->pic.ImagePIC = firmwareImage();
    QVERIFY(EcrireFichierHex(m_context->pic, VEK_Gestion_OS::CheminTemp("~TEMP.HEX")).succeeded());
    m_context->pic.InitMemoire(); // the download reads the file again
    m_context->settings.ICSPHEXADD = QString::number(first, 16).rightJustified(3, '0');
    m_context->settings.ICSPHEXLNG = QString::number(end - first, 16).rightJustified(3, '0');

    Module module;
    BootloaderSession session;
    QVERIFY(module.startAndConnect(session, faults).succeeded());
    const FirmwareDownloadPlan plan =
        PreparerTelechargementFirmware(m_context->settings, "OBADHEX.XOS", m_context->pic);
    QVERIFY2(plan.range, qPrintable(plan.refusal.text));
    RecordingSink sink;
    const JobOutcome outcome =
        TelechargerFirmware(session, m_context->pic, *plan.range, texts(), sink, CancelToken{});
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.message));
    QCOMPARE(outcome.message, VEK_LANGUAGE::GetLanguageText("BLFirmwareOK"));
    QCOMPARE(sink.percents().first(), firstPercent);
    QCOMPARE(sink.percents().last(), 100.0);
    QCOMPARE(sink.texts(1).first(), QString("%1 %2 %3 ")
                                        .arg(VEK_LANGUAGE::GetLanguageText("DP1ProgCODE"))
                                        .arg(blocks)
                                        .arg(VEK_LANGUAGE::GetLanguageText("Mbloc")));

    const QList<uint16_t> flash = module.flash();
    const PicImage expected = firmwareImage();
    for (int k = first; k < end; ++k)
        QCOMPARE(flash[k], expected.codeWord(k));
    QCOMPARE(writtenOutside(flash, {{first, end}}), 0);
    QCOMPARE(module.badFrames(), 0);
    QVERIFY(Deconnecter(session, true, sink, CancelToken{}).succeeded());
}

void TestBootloaderTransfers::curveDownloadsRefusedBeforeTheImageIsTouched_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("title");
    row("two points suffice", QString("two points"), QString(""));
    row("chip without curve download", QString("chip"), QString("MessWARNING"));
    row("one point", QString("one point"), QString("MsgBoxCURVBad3"));
    row("unusable cell", QString("cell"), QString("MsgBoxCURVBad3"));
    row("type 16", QString("type"), QString("MSGBAsm2"));
    row("generator gives up", QString("generator"), QString("DownloadCourbesTitre"));
    row("MAP text", QString("map"), QString("MessWARNING"));
}

void TestBootloaderTransfers::curveDownloadsRefusedBeforeTheImageIsTouched()
{
    QFETCH(QString, change);
    QFETCH(QString, title);
    m_context->pic.ImagePIC = firmwareImage();
    const PicImage before = m_context->pic.ImagePIC;
    m_context->settings.ICSPNbTables = "2";
    m_context->settings.TypeCompilation = 8;
    CurveDownloadRequest request;
    request.DeviceChip = change == "chip" ? "12F629" : m_context->pic.DeviceChip;
    request.gridRows = change == "one point" ? 2 : 3;
    if (change == "cell")
        request.curveProblem = "Row 2: \"1O\" is not a number";
    if (change == "type")
        m_context->settings.TypeCompilation = 16;
    if (change == "map")
        m_context->mapBoxes.tbMapAdj[1] = "120";
    request.placement = DemandePlacement(m_context->settings, m_context->mapBoxes.tbMapAdj, 1);
    Answers answers;
    request.generer = [&](TableIncludeFiles::TablesExport &t) {
        return change == "generator" ? int16_t(-1)
                                     : CurveTables::GenererTablesExport(8, *m_context, answers, t);
    };
    const CurveDownloadPlan plan = PreparerTelechargementCourbes(request, m_context->pic);
    QCOMPARE(plan.plan.has_value(), title.isEmpty());
    if (title.isEmpty())
        return;
    QCOMPARE(plan.refusal.title, VEK_LANGUAGE::GetLanguageText(title));
    QVERIFY(!plan.refusal.text.isEmpty());
    if (change == "cell")
        QCOMPARE(plan.refusal.text, request.curveProblem);
    QVERIFY(m_context->pic.ImagePIC.ImageCode == before.ImageCode);
}

void TestBootloaderTransfers::faultsEndInAMessageAndTheFlashHoldsWhatWasAcknowledged_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("framesWritten"); // of the 0x100-word firmware range
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("names");
    QTest::newRow("silence") << "silent:E3:5" << 4 << int(BootloaderFrameFailed)
                             << QString::fromUtf8("Délai de communication dépassé ! [0x0020]");
    QTest::newRow("wrong answer") << "wrong:E3:3" << 2 << int(BootloaderFrameFailed) << "[0x0010]";
    QTest::newRow("half an answer")
        << "partial:E3:7" << 6 << int(BootloaderFrameFailed) << "[0x0030]";
    QTest::newRow("late answer") << "late:E3:4" << 4 << int(BootloaderFrameFailed)
                                 << QString::fromUtf8("Délai de communication dépassé ! [0x0018]");
    QTest::newRow("line dropped")
        << "drop:E3:9" << 8 << int(BootloaderLineLost)
        << QString::fromUtf8("Liaison interrompue sur PTY : le périphérique a disparu (adaptateur "
                             "USB débranché ?) [0x0040]");
    QTest::newRow("hello unanswered") << "silent:EA:1" << 0 << int(BootloaderHelloFailed)
                                      << QString::fromUtf8("vérifiez le port");
    QTest::newRow("hello wrong") << "wrong:EA:1" << 0 << int(BootloaderHelloFailed)
                                 << QString::fromUtf8("vérifiez le port");
}

void TestBootloaderTransfers::faultsEndInAMessageAndTheFlashHoldsWhatWasAcknowledged()
{
    QFETCH(QString, fault);
    QFETCH(int, framesWritten);
    QFETCH(int, code);
    QFETCH(QString, names);
    m_context->pic.ImagePIC = firmwareImage();
    Module module;
    BootloaderSession session;
    // A late answer comes three times the 500 ms a frame is given after it.
    QVERIFY(
        module.startAndConnect(session, {"--fault", fault, "--bl-late-ms", "1500"}).succeeded());
    RecordingSink sink;
    const JobOutcome outcome =
        TelechargerFirmware(session, m_context->pic, {0, 0x100}, texts(), sink, CancelToken{});
    QVERIFY(!outcome.succeeded());
    QCOMPARE(outcome.code, code);
    QVERIFY2(outcome.message.contains(names), qPrintable(outcome.message));
    QVERIFY(!sink.statuses.contains(VEK_LANGUAGE::GetLanguageText("BLTransfertEffectue")));
    // The failure shows in the window that runs the transfer.
    QVERIFY(!sink.statuses.last().isEmpty());
    QCOMPARE(session.connected(), code != int(BootloaderLineLost));

    // The flash is read back whatever the fault, the line dropped included.
    const QList<uint16_t> flash = module.flash();
    QVERIFY(flash.size() >= 0x100);
    const PicImage expected = firmwareImage();
    for (int k = 0; k < 8 * framesWritten; ++k)
        QCOMPARE(flash[k], expected.codeWord(k));
    QCOMPARE(writtenOutside(flash, {{0, 8 * framesWritten}}), 0);
    QCOMPARE(module.badFrames(), 0);
}

void TestBootloaderTransfers::identityFaultsFailTheConnection_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::newRow("probe silent") << "silent:3A:0" << int(BootloaderGreetingFailed);
    QTest::newRow("short version") << "short:31:1" << int(BootloaderIdentityFailed);
    QTest::newRow("no revision") << "silent:EE:1" << int(BootloaderIdentityFailed);
    QTest::newRow("line dropped at the name") << "drop:EF:1" << int(BootloaderIdentityFailed);
}

void TestBootloaderTransfers::identityFaultsFailTheConnection()
{
    QFETCH(QString, fault);
    QFETCH(int, code);
    Module module;
    BootloaderSession session;
    const JobOutcome outcome = module.startAndConnect(session, {"--fault", fault});
    QCOMPARE(outcome.code, code);
    QVERIFY(!outcome.message.isEmpty());
    QVERIFY(!session.connected());
    QVERIFY(session.port() == nullptr);
}

void TestBootloaderTransfers::damagedFirmwareFileIsNotSent_data()
{
    QTest::addColumn<bool>("scrambled");
    QTest::addColumn<QString>("damage");
    for (const bool scrambled : {false, true})
        for (const char *damage :
             {"cut at a line end", "cut inside line 200", "checksum of line 10"})
            QTest::addRow("%s %s", scrambled ? "~TEMP.XEH" : "~TEMP.HEX", damage)
                << scrambled << QString(damage);
}

void TestBootloaderTransfers::damagedFirmwareFileIsNotSent()
{
    QFETCH(bool, scrambled);
    QFETCH(QString, damage);
    m_context->pic.ImagePIC = firmwareImage();
    const QString file = VEK_Gestion_OS::CheminTemp(scrambled ? "~TEMP.XEH" : "~TEMP.HEX");
    // Named as the member of the package the user chose, never as our work file.
    const QString shown = VEK_Gestion_OS::DossierPaquets() +
                          (scrambled ? "OBADHEX.XOS (CODE.XEH)" : "OBADHEX.XOS (CODE.HEX)");
    QVERIFY((scrambled ? EcrireFichierXeh : EcrireFichierHex)(m_context->pic, file).succeeded());
    QByteArray text = TestSupport::readFile(file);
    const auto lineStart = [&text](int line) {
        qsizetype at = 0;
        for (int l = 1; l < line; ++l)
            at = text.indexOf("\r\n", at) + 2;
        return at;
    };
    QString expected;
    if (damage == "cut at a line end") {
        text.truncate(lineStart(300)); // no end record
        expected = "Fichier " + shown +
                   " corrompu : il s'arrête à la ligne 299 sans enregistrement de fin.";
    } else if (damage == "cut inside line 200") {
        text.truncate(lineStart(200) + 20);
        expected = "Fichier " + shown +
                   " refusé : la ligne 200 n'a pas la longueur que donne son nombre d'octets.";
    } else {
        const qsizetype digit = lineStart(11) - 3; // the checksum's last digit
        text[digit] = text[digit] == '0' ? '1' : '0';
        expected = "Fichier " + shown + " refusé : la somme de contrôle de la ligne 10 est fausse.";
    }
    QVERIFY(TestSupport::writeFile(file, text));
    // The image holds something else: the refused file must not replace it.
    for (int k = 0; k < PicImage::CodeWords; ++k)
        m_context->pic.ImagePIC.setCodeWord(k, 0x1234);
    const PicImage before = m_context->pic.ImagePIC;
    const FirmwareDownloadPlan plan =
        PreparerTelechargementFirmware(m_context->settings, "OBADHEX.XOS", m_context->pic);
    QVERIFY(!plan.range);
    QCOMPARE(plan.refusal.text, expected);
    QVERIFY(m_context->pic.ImagePIC.ImageCode == before.ImageCode);

    QFile::remove(file);
    const FirmwareDownloadPlan none =
        PreparerTelechargementFirmware(m_context->settings, "OBADHEX.XOS", m_context->pic);
    QVERIFY(!none.range);
    QCOMPARE(none.refusal.text, VEK_LANGUAGE::GetLanguageText("BLPasDeFichierOS"));
}

void TestBootloaderTransfers::firmwareRangesOutsideTheChipAreRefused_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("says");    // empty: accepted; %1: the file
    QTest::addColumn<QByteArray>("file"); // "~TEMP.HEX" unless "XEH", then its records
    // The 16F876A has 8192 words, 0x0000 to 0x1FFF.
    const auto past = [](const char *first, const char *last) {
        return QString("La zone [0x%1-0x%2] dépasse la mémoire de programme de 8192 mots "
                       "(0x0000-0x1FFF) : rien n'est envoyé.")
            .arg(first, last);
    };
    const auto blocks = [](const char *first, const char *last) {
        return QString("La zone [0x%1-0x%2] n'est pas faite de blocs entiers de 8 mots (début et "
                       "longueur multiples de 8) : rien n'est envoyé.")
            .arg(first, last);
    };
    const QString badCode =
        "Emplacement du programme refusé : début et longueur en hexadécimal (1 à 4 chiffres).";
    const QByteArray hexFile; // the image written as ~TEMP.HEX
    const auto range = [&](const char *name, const char *start, const char *length,
                           const QString &says, const QByteArray &file) {
        row(name, QString(start), QString(length), says, file);
    };
    range("defaults", "000", "200", "", hexFile);
    range("whole 16F876A", "000", "2000", "", hexFile);
    range("beyond the chip", "1F00", "200", past("1F00", "20FF"), hexFile);
    range("beyond 16383 words", "3F00", "200", past("3F00", "40FF"), hexFile);
    range("last block incomplete", "000", "1FC", blocks("0000", "01FB"), hexFile);
    range("start inside a block", "004", "1F8", blocks("0004", "01FB"), hexFile);
    range("zero length", "100", "0",
          "La zone commençant en 0x0100 est vide (longueur nulle) : rien n'est envoyé.", hexFile);
    range("not hexadecimal", "0x0", "200", badCode, hexFile);
    range("empty length", "000", "", badCode, hexFile);
    // An end past 0xFFFF is named as it is, with every rule it breaks.
    range("end past 0xFFFF", "FFF8", "10", past("FFF8", "10007"), hexFile);
    range("both rules past 0xFFFF", "FFFF", "8",
          blocks("FFFF", "10006") + "\n" + past("FFFF", "10006"), hexFile);
    // A range the file gives no word of would write blank words over the firmware.
    const QString nothing =
        "Le fichier %1 ne contient aucun mot de la zone [0x0000-0x01FF] : rien n'est envoyé.";
    const QByteArray end = ":00000001FF\r\n";
    range("only the end record", "000", "200", nothing, end);
    range("scrambled, only the end record", "000", "200", nothing, "XEH" + end);
    // Words 0x400 and 0x401 only, past the range 0x000-0x1FF.
    const QByteArray past400 = ":0408000001000200F1\r\n" + end;
    range("words past the range", "000", "200", nothing, past400);
    range("a word of the range", "000", "408", "", past400);
}

void TestBootloaderTransfers::firmwareRangesOutsideTheChipAreRefused()
{
    QFETCH(QString, start);
    QFETCH(QString, length);
    QFETCH(QString, says);
    QFETCH(QByteArray, file);
    m_context->pic.ImagePIC = firmwareImage();
    const QString hex = VEK_Gestion_OS::CheminTemp("~TEMP.HEX");
    const QString xeh = VEK_Gestion_OS::CheminTemp("~TEMP.XEH");
    QFile::remove(xeh);
    if (file.isEmpty()) {
        QVERIFY(EcrireFichierHex(m_context->pic, hex).succeeded());
    } else if (file.startsWith("XEH")) {
        QVERIFY(!QFile::exists(hex) || QFile::remove(hex));
        QVERIFY(TestSupport::writeFile(xeh, file.mid(3)));
    } else {
        QVERIFY(TestSupport::writeFile(hex, file));
    }
    m_context->settings.ICSPHEXADD = start;
    m_context->settings.ICSPHEXLNG = length;
    const FirmwareDownloadPlan plan =
        PreparerTelechargementFirmware(m_context->settings, "OBADHEX.XOS", m_context->pic);
    QCOMPARE(plan.range.has_value(), says.isEmpty());
    // The user's package is named, never our temporary copy of its member.
    const QString member = VEK_Gestion_OS::DossierPaquets() + "OBADHEX.XOS (CODE." +
                           (file.startsWith("XEH") ? "XEH" : "HEX") + ")";
    QCOMPARE(plan.refusal.text, says.contains("%1") ? says.arg(member) : says);
}

QTEST_GUILESS_MAIN(TestBootloaderTransfers)
#include "tst_bootloadertransfers.moc"
