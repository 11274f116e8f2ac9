#pragma once

#include "base/Jobs.h"
#include "bootloader/BootloaderTexts.h"
#include "icsp/BootloaderCode.h"
#include "icsp/TransferContext.h"
#include "platform/ByteLink.h"
#include "platform/DeviceResult.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The module as the bootloader window knows it, from the identity queries.
struct ModuleIdentity {
    QString ModuleNom;       // the name (12 bytes, or fewer when the answer fell short)
    QString ModuleVersionOS; // "2.1.5"
    QString ModuleRevision;  // "5", "1F"

    // Version text of the two answer bytes: b1 in hexadecimal, then each digit of b2.
    static QString Version(uint8_t b1, uint8_t b2);
    // Status-bar text: name, "\REV:", revision, " - OS:", version.
    QString texteEtat() const;
};

// The open connection of a transfer window: the port the connection opened and
// the module's identity. The window's jobs use it one at a time (the job runner
// runs one job, and the window leaves the session alone while one runs).
class BootloaderSession
{
public:
    using Opener =
        std::function<DeviceResult<ByteLink>(const QString &device, const QString &settings)>;
    // The default opener opens a tty.
    explicit BootloaderSession(Opener opener = {});

    bool connected() const { return m_connected && m_port; }
    ByteLink *port() const { return m_port.get(); }
    ModuleIdentity identity;
    // What the downloads on this connection came to, for what the
    // disconnection says: none asked, the last one wrote all it was asked,
    // one failed (the module may hold part of it: until a later one is done),
    // or the last one was refused before any frame.
    enum class Transfers { None, Done, Failed, Refused };
    Transfers transfers = Transfers::None;
    void transferStarted() { transfers = Transfers::Failed; } // until it is done
    void transferDone() { transfers = Transfers::Done; }
    void transferRefused();
    // The words of the connection, for what its later exchanges report.
    BootloaderTexts texts;

    // Opens the device (closing what was open). On failure, what `words` say
    // of `port` (the port as the user set it); the system's words without them.
    std::optional<QString> open(const QString &device, const QString &settings,
                                const PortFailureTexts &words = {}, const QString &port = {});
    void setConnected() { m_connected = m_port != nullptr; }
    void close();

private:
    Opener m_opener;
    std::unique_ptr<ByteLink> m_port;
    bool m_connected = false;
};

// The module's own serial line, as the bootloader and first-load windows open it.
inline const QString ModuleLinkSettings = QStringLiteral("57600,N,8,1");

// What the connection needs, taken from the settings on the GUI thread.
struct ConnectionRequest {
    QString device; // the tty to open
    QString settings = ModuleLinkSettings;
    bool identify = true; // bootloader window: probe and identity; else the hello
    QString nomProgrammateur;
    BootloaderTexts texts;
    QString unansweredStatus; // shown after each unanswered greeting, when set

    // The request for the ICSPPort setting's line at `settings`, its texts read
    // from the current language (GUI thread).
    static ConnectionRequest forPort(const QString &icspPort, const QString &settings,
                                     bool identify, const QString &nomProgrammateur);
};

// The device of the ICSPPort setting, named as every window names it
// (SerialPortNames::SerialDeviceOf); empty for a setting that names no serial port.
QString PortBootloader(const QString &icspPort);
// The refusal that comes before any port is touched: a parallel port, or no
// firmware package chosen; nothing when the transfer may go on.
std::optional<QString> RefusTransfert(const QString &icspPort, bool packageSelected);
// The same with the package list's current text: a package is a ".XOS" file.
std::optional<QString> RefusTransfert(const QString &icspPort, const QString &typeVersionOS);

// Opens the port, greets the bootloader (three tries) and, for the bootloader
// window, reads the identity. Ends connected, or disconnected with the port
// closed and the reason in the outcome.
JobOutcome Connecter(BootloaderSession &session, const ConnectionRequest &request,
                     ProgressSink &sink, const CancelToken &cancel);

// Ends the transfer: the bootloader window first sends 0xED, 0xED and '?'
// without judging the answers, then the judged close. Always ends disconnected;
// an acknowledged close says that all went well only when the downloads wrote
// all they were asked: after a failed or a refused one it says so.
JobOutcome Deconnecter(BootloaderSession &session, bool queriesFirst, ProgressSink &sink,
                       const CancelToken &cancel);

// The two as jobs on a window's connection (the request copied when the job is made).
TransferJob ConnectionJob(std::shared_ptr<BootloaderSession> session,
                          const ConnectionRequest &request);
TransferJob DisconnectionJob(std::shared_ptr<BootloaderSession> session, bool queriesFirst);
