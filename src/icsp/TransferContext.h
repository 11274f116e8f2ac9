#pragma once

#include "base/Jobs.h"
#include "base/MainSettings.h"
#include "icsp/IcspPort.h"

#include <cstdint>
#include <functional>
#include <optional>

class Clock;
class PicDevice;

// How long the module may take to answer: what the transfer windows' timers stand for.
struct TransferTimeouts {
    int commandMs = 500;   // a bootloader command (hello, write frame, close, probe)
    int identityMs = 1000; // an identity query of the module
};

// What a transfer job works with: the shared device record and image, the
// settings as they stood when it started, where its progress and status go,
// its cancel request and its time-outs. The window that runs the job builds it,
// so everything the job reports goes to that window.
struct TransferContext {
    PicDevice &pic;
    const MainSettings settings;
    ProgressSink &progress;
    const CancelToken &cancel;
    TransferTimeouts timeouts;
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

// The image as an Intel HEX file or as the packages' scrambled HEX file.
struct ImageFileServices {
    enum class Format { Hex, Xeh };
    std::function<ImageFileOutcome(PicDevice &, const QString &, Format)> read;
    std::function<ImageFileOutcome(const PicDevice &, const QString &, Format)> write;
};

// What the transfer windows share for the whole run; the layers that provide
// a service plug it in here once (the programmer's device-ID read, the HEX files).
struct TransferServices {
    DeviceIdReader readDeviceId; // run on opening a window when the chip choice is "AUTO"
    TransferTimeouts timeouts;
    ImageFileServices imageFiles;
    IcspPortOpener programmerPort = OpenIcspPort; // tests put a simulated box here
    const Clock *clock = nullptr;                 // nullptr: the steady clock
};
