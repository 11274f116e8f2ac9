#include "bootloader/BootloaderSession.h"

#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "bootloader/VEK_BOOTLOADER.h"
#include "platform/SerialPortNames.h"
#include "platform/TtyByteLink.h"

using VEK_LANGUAGE::ReplacePlaceholders;
using namespace VEK_BOOTLOADER;

namespace {

constexpr int GreetingTries = 3;

QString hexDigits(uint8_t value)
{
    return QString::number(value, 16).toUpper();
}

DeviceResult<ByteLink> openTty(const QString &device, const QString &settings)
{
    DeviceResult<TtyByteLink> tty = TtyByteLink::open(device, settings);
    DeviceResult<ByteLink> link;
    link.device = std::move(tty.device);
    link.failAs(tty);
    return link;
}

JobOutcome lineLost(BootloaderSession &session, const BootloaderTexts &texts,
                    const BootloaderReply &reply, ProgressSink &sink)
{
    session.close();
    const QString message = texts.lostLine(reply.line);
    sink.setStatus(message);
    return JobOutcome::failure(message, BootloaderLineLost);
}

// One identity query: the whole answer (or, with `partial`, what came of it),
// or the reason it is missing.
std::optional<QString> query(ByteLink &port, uint8_t command, int count,
                             const BootloaderTexts &texts, QByteArray &answer, bool partial = false)
{
    const BootloaderReply reply = BootloaderSendByte(port, command, count);
    answer = reply.answer;
    if (reply.ok() || (partial && reply.status == BootloaderStatus::ShortAnswer))
        return std::nullopt;
    if (reply.status == BootloaderStatus::LineLost)
        return texts.lostLine(reply.line);
    return ReplacePlaceholders(texts.identityShort, {"{CMD}", HexInt(command, 2), "{RECU}",
                                                     QString::number(reply.answer.size()),
                                                     "{ATTENDU}", QString::number(count)});
}

// The four identity queries; the fields are written as their answers come.
std::optional<QString> identify(ByteLink &port, const BootloaderTexts &texts, ModuleIdentity &id)
{
    QByteArray a;
    if (auto failed = query(port, QueryVersion, 2, texts, a))
        return failed;
    id.ModuleVersionOS = ModuleIdentity::Version(uint8_t(a[0]), uint8_t(a[1]));
    if (auto failed = query(port, QueryFive, 1, texts, a))
        return failed;
    if (auto failed = query(port, QueryRevision, 1, texts, a))
        return failed;
    id.ModuleRevision = hexDigits(uint8_t(a[0]));
    // Modules in the field may send a shorter name: what came is the name.
    if (auto failed = query(port, QueryName, 12, texts, a, true))
        return failed;
    id.ModuleNom = QString::fromLatin1(a);
    return std::nullopt;
}

// Reads and drops what arrives until the line has been quiet for a moment
// (never longer than one command's time-out).
void DropAnswersUntilQuiet(ByteLink &port)
{
    constexpr qint64 QuietForMs = 30;
    QByteArray dropped;
    for (int i = 0; i < int(CommandTimeoutMs / QuietForMs); ++i) {
        const qsizetype before = dropped.size();
        const ByteLink::Status status = port.read(dropped, 1, QuietForMs);
        if (status != ByteLink::Status::Ok || dropped.size() == before)
            return;
    }
}

// After a greeting that took `tries` tries, the answers of the unanswered ones
// may still be on their way: each is read and dropped as it comes, until all
// have come or none can come any more. The answer taken came within the
// probing, so no answer is later than `tries` deadlines; once the line has
// been quiet that long and one deadline more since its last byte, the rest
// will not come.
void AwaitLateGreetingAnswers(ByteLink &port, int tries)
{
    const int unanswered = tries - 1;
    const qint64 quietMs = (tries + 1) * CommandTimeoutMs;
    QByteArray late;
    while (late.size() < unanswered) {
        if (port.read(late, 1, quietMs) != ByteLink::Status::Ok)
            return;
    }
}

} // namespace

QString ModuleIdentity::Version(uint8_t b1, uint8_t b2)
{
    const QString s = HexInt(b2, 2);
    return hexDigits(b1) + '.' + s[0] + '.' + s[1];
}

QString ModuleIdentity::texteEtat() const
{
    return ModuleNom + QStringLiteral("\\REV:") + ModuleRevision + QStringLiteral(" - OS:") +
           ModuleVersionOS;
}

BootloaderSession::BootloaderSession(Opener opener)
    : m_opener(opener ? std::move(opener) : Opener(openTty))
{}

std::optional<QString> BootloaderSession::open(const QString &device, const QString &settings,
                                               const PortFailureTexts &words, const QString &port)
{
    close();
    DeviceResult<ByteLink> opened = m_opener(device, settings);
    if (!opened)
        return words.describe(port.isEmpty() ? device : port, opened);
    m_port = std::move(opened.device);
    return std::nullopt;
}

void BootloaderSession::close()
{
    m_port.reset();
    m_connected = false;
    transfers = Transfers::None;
}

void BootloaderSession::transferRefused()
{
    // What a failed download left in the module is still there.
    if (transfers != Transfers::Failed)
        transfers = Transfers::Refused;
}

QString PortBootloader(const QString &icspPort)
{
    return SerialPortNames::SerialDeviceOf(icspPort);
}

std::optional<QString> RefusTransfert(const QString &icspPort, bool packageSelected)
{
    if (SerialPortNames::PortNamed(icspPort).kind == SerialPortNames::PortKind::Parallel)
        return BootloaderMessages::NoLpt;
    if (!packageSelected)
        return BootloaderMessages::NoPackage;
    return std::nullopt;
}

std::optional<QString> RefusTransfert(const QString &icspPort, const QString &typeVersionOS)
{
    return RefusTransfert(icspPort, typeVersionOS.endsWith(QLatin1String("XOS")));
}

ConnectionRequest ConnectionRequest::forPort(const QString &icspPort, const QString &settings,
                                             bool identify, const QString &nomProgrammateur)
{
    ConnectionRequest request;
    request.device = PortBootloader(icspPort);
    request.settings = settings;
    request.identify = identify;
    request.nomProgrammateur = nomProgrammateur;
    request.texts = BootloaderTexts::load(icspPort);
    return request;
}

JobOutcome Connecter(BootloaderSession &session, const ConnectionRequest &request,
                     ProgressSink &sink, const CancelToken &cancel)
{
    const BootloaderTexts &texts = request.texts;
    if (const std::optional<QString> message =
            session.open(request.device, request.settings, texts.portFailure, texts.port)) {
        sink.setStatus(*message);
        return JobOutcome::failure(*message, BootloaderPortFailed);
    }
    ByteLink &port = *session.port();
    port.discardInput();
    sink.setStatus(BootloaderMessages::StartOfCommunication);
    const uint8_t greeting = request.identify ? Probe : Hello;
    bool greeted = false;
    int tries = 0;
    for (; tries < GreetingTries && !greeted; ++tries) {
        if (cancel.cancelled()) {
            // Said like a failure: the label no longer says the greeting starts.
            session.close();
            sink.setStatus(texts.connectionCancelled);
            return JobOutcome::cancelled(texts.connectionCancelled);
        }
        const BootloaderReply reply = BootloaderCommand(port, greeting);
        if (reply.status == BootloaderStatus::LineLost)
            return lineLost(session, texts, reply, sink);
        greeted = reply.ok();
        if (!greeted && !request.unansweredStatus.isEmpty())
            sink.setStatus(request.unansweredStatus);
    }
    if (!greeted) {
        session.close();
        sink.setStatus(BootloaderMessages::Timeout);
        return JobOutcome::failure(texts.greetingFailed + ' ' + request.nomProgrammateur,
                                   BootloaderGreetingFailed);
    }
    // The answer of an unanswered try may still come, after the one taken:
    // it must not be read as an identity answer or the next command's.
    if (tries > 1)
        AwaitLateGreetingAnswers(port, tries);
    if (request.identify) {
        if (const std::optional<QString> failed = identify(port, texts, session.identity)) {
            // Disconnected means the port is closed: nothing is left half open.
            session.close();
            sink.setStatus(BootloaderMessages::Timeout);
            return JobOutcome::failure(BootloaderMessages::CheckPort + '\n' + *failed,
                                       BootloaderIdentityFailed);
        }
    }
    session.setConnected();
    session.texts = texts;
    const QString done = request.identify ? BootloaderMessages::Connected : QString();
    sink.setStatus(done);
    return JobOutcome::success(done);
}

JobOutcome Deconnecter(BootloaderSession &session, bool queriesFirst, ProgressSink &sink,
                       const CancelToken &)
{
    ByteLink *port = session.port();
    BootloaderReply judged;
    if (port) {
        if (queriesFirst) {
            BootloaderSendByte(*port, Close, 0);
            BootloaderSendByte(*port, Close, 0);
            BootloaderSendByte(*port, QueryLeave, 1);
            // The two 0xED wait for nothing: their answers may still be on the
            // way and must not be taken for the close's own answer.
            DropAnswersUntilQuiet(*port);
        }
        judged = BootloaderCommand(*port, Close);
    }
    const BootloaderSession::Transfers transfers = session.transfers;
    const BootloaderTexts texts = session.texts;
    session.close();
    if (!judged.ok()) {
        // Why, as the other link failures say it: the device gone, no answer.
        QString cause = port ? BootloaderFailureCause(judged, texts) : QString();
        if (!cause.isEmpty())
            cause.prepend(QLatin1Char('\n'));
        sink.setStatus(BootloaderMessages::CloseFailedInfo + cause);
        return JobOutcome::failure(BootloaderMessages::CloseFailed + cause, BootloaderCloseFailed);
    }
    const QString done =
        transfers == BootloaderSession::Transfers::Failed    ? texts.closedAfterFailure
        : transfers == BootloaderSession::Transfers::Refused ? texts.closedAfterRefusal
                                                             : BootloaderMessages::CloseDone;
    sink.setStatus(done);
    return JobOutcome::success(done);
}

TransferJob ConnectionJob(std::shared_ptr<BootloaderSession> session,
                          const ConnectionRequest &request)
{
    return [session, request](TransferContext &t) {
        return Connecter(*session, request, t.progress, t.cancel);
    };
}

TransferJob DisconnectionJob(std::shared_ptr<BootloaderSession> session, bool queriesFirst)
{
    return [session, queriesFirst](TransferContext &t) {
        return Deconnecter(*session, queriesFirst, t.progress, t.cancel);
    };
}
