#pragma once

#include "base/MainSettings.h"
#include "icsp/TransferContext.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

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

// The module's bootloader as the programmer window reaches it: one connection
// (a session the window cannot look into) and the jobs that run on it. The
// layers that can reach the bootloader provide it; the window only calls it.
class BootloaderService
{
public:
    using Ask = std::function<bool(const QString &title, const QString &text)>;
    using Tell = std::function<void(const QString &title, const QString &text)>;

    virtual ~BootloaderService() = default;

    virtual bool connected() const = 0;
    // The refusal that comes before any port is touched (parallel port, no package).
    virtual std::optional<QString> refusal(const QString &icspPort,
                                           const QString &typeVersionOS) const = 0;
    // Opens the ICSPPort's serial line at 19200 bauds and greets with the hello.
    virtual TransferJob connect(const QString &icspPort, const QString &nomProgrammateur) = 0;
    // The close command, then the port closed.
    virtual TransferJob disconnect() = 0;
    // The tables of curve set 1 built, placed in the image and made ready to send;
    // the generators' questions go through `ask` and `tell`.
    virtual BootloaderJob prepareCurves(VekContext &context, Ask ask, Tell tell) = 0;
    // The firmware of the package `typeVersionOS` (the firmware list's entry)
    // loaded into the image and its range made ready to send.
    virtual BootloaderJob prepareFirmware(const MainSettings &settings,
                                          const QString &typeVersionOS, PicDevice &pic) = 0;
};

// A new connection for a window; empty where no bootloader is plugged in.
using BootloaderServiceMaker = std::function<std::unique_ptr<BootloaderService>()>;
