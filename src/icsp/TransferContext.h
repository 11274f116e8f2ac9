#pragma once

#include "base/Jobs.h"
#include "base/MainSettings.h"
#include "icsp/IcspPort.h"

#include <cstdint>
#include <functional>
#include <optional>

class Clock;

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
