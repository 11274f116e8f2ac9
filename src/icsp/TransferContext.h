#pragma once

#include "base/Jobs.h"
#include "base/MainSettings.h"
#include "icsp/IcspPort.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class BootloaderSession;
class Clock;
class PicDevice;
struct VekContext;

// What a transfer job works with: the settings as they stood when it started,
// where its progress and status go, and its cancel request. The window that
// runs the job builds it, so everything the job reports goes to that window.
// The shared device record is not in it: a job copies what it sends when it
// is made, on the GUI thread, and hands back what it read in its outcome.
struct TransferContext {
    const MainSettings settings;
    ProgressSink &progress;
    const CancelToken &cancel;
    // How the programmer reaches its port, and the clock of its waits.
    IcspPortOpener programmerPort;
    const Clock &clock;
};

// A long exchange of a transfer window, run off the GUI thread.
using TransferJob = std::function<JobOutcome(TransferContext &)>;

// Reads the chip's device-ID word through the programmer; nothing when no chip
// answered (the device ID last read then stands).
using DeviceIdReader = std::function<std::optional<uint16_t>(TransferContext &)>;

// Outcome of reading or writing the image as a file: `info` for the
// information label (may be empty), `notice` for a message box when not empty.
struct ImageFileOutcome {
    bool ok = false;
    QString info;
    QString notice;
};

// Outcome codes of the bootloader jobs (JobOutcome::code), so that a window
// picks the right message box.
enum BootloaderCode {
    BootloaderOk = 0,
    BootloaderPortFailed = 1,     // the port could not be opened
    BootloaderGreetingFailed = 2, // probe or hello unanswered three times
    BootloaderIdentityFailed = 3, // an identity answer missing or short
    BootloaderCloseFailed = 4,    // close not acknowledged (disconnected all the same)
    BootloaderLineLost = 5,       // the line failed: disconnected
    BootloaderHelloFailed = 6,    // the download's hello was not accepted
    BootloaderFrameFailed = 7,    // a frame refused or unanswered, or stray bytes
    BootloaderNotConnected = 8,
};

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

// The image as an Intel HEX file or as the packages' scrambled HEX file.
struct ImageFileServices {
    enum class Format { Hex, Xeh };
    std::function<ImageFileOutcome(PicDevice &, const QString &, Format)> read;
    std::function<ImageFileOutcome(const PicDevice &, const QString &, Format)> write;
};

// What the transfer windows share for the whole run; the layers that provide
// a service plug it in here once (the programmer's device-ID read, the HEX files,
// the bootloader).
struct TransferServices {
    DeviceIdReader readDeviceId; // run on opening a window when the chip choice is "AUTO"
    ImageFileServices imageFiles;
    BootloaderServices bootloader;                // the programmer window's bootloader buttons
    IcspPortOpener programmerPort = OpenIcspPort; // tests put a simulated box here
    // The refusal text when the low and high curve tables of `nbTables` lines at
    // these start addresses would overlap, as the table programming words it;
    // the programmer set-up refuses such addresses at OK.
    std::function<std::optional<QString>(const QString &nbTables, const QString &low,
                                         const QString &high)>
        tablesOverlap;
    const Clock *clock = nullptr; // nullptr: the steady clock
};
