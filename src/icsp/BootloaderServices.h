#pragma once

#include "base/MainSettings.h"
#include "icsp/TransferContext.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class BootloaderSession;
class PicDevice;
struct VekContext;

// A bootloader download made ready on the GUI thread: the job that only sends,
// or the refusal to show (title, text, and the information label's text).
struct BootloaderJob {
    TransferJob job; // empty when refused
    QString title;
    QString refusal;
    QString info;
    QString notice; // shown before the job starts (the curve areas about to be written)
};

// The module's bootloader as the programmer window reaches it: the window holds
// a session it cannot look into, and these build the jobs that run on it.
struct BootloaderServices {
    using Session = std::shared_ptr<BootloaderSession>;
    using Ask = std::function<bool(const QString &title, const QString &text)>;
    using Tell = std::function<void(const QString &title, const QString &text)>;
    std::function<Session()> newSession;
    std::function<bool(const BootloaderSession &)> connected;
    // The refusal that comes before any port is touched (parallel port, no package).
    std::function<std::optional<QString>(const QString &icspPort, const QString &typeVersionOS)>
        refusal;
    // Opens the ICSPPort's serial line at 19200 bauds and greets with the hello.
    std::function<TransferJob(Session, const QString &icspPort, const QString &nomProgrammateur)>
        connect;
    // The close command, then the port closed.
    std::function<TransferJob(Session)> disconnect;
    // The tables of curve set 1 built, placed in the image and made ready to send;
    // the generators' questions go through `ask` and `tell`.
    std::function<BootloaderJob(Session, VekContext &, Ask ask, Tell tell)> prepareCurves;
    // The package's firmware loaded into the image and its range made ready to send.
    std::function<BootloaderJob(Session, const MainSettings &, PicDevice &)> prepareFirmware;
};
