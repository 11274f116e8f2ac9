#pragma once

#include "base/Jobs.h"
#include "base/MainSettings.h"

#include <QString>

// The programmer as the set-up dialog's line tests reach it: its port held open
// for the hand tests, one output line driven at a time, and the presence test.
// Every call takes the settings in force, as the set-up changes them live.
class ProgrammerLineChecks
{
public:
    virtual ~ProgrammerLineChecks() = default;

    // Opens the programmer's port for the hand tests: "" when open, else why not.
    virtual QString open(const MainSettings &settings) = 0;
    // Drives line 1 (MCLR), 2 (CLOCK) or 4 (DATA) to `value` (0 or 1) on the
    // open port, routed by box type and port: "" when done, else why not.
    virtual QString setLine(const MainSettings &settings, int line, int value) = 0;
    // Lines to rest and port released; nothing when it is not open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The box's self-test on a connection of its own, opened and closed inside.
    // Succeeded when the box answered. Code 1: it did not, and the message is
    // the self-test's report; any other code: no test was run, the message says why.
    // Runs off the GUI thread while the hand-test port is closed.
    virtual JobOutcome presenceTest(const MainSettings &settings, ProgressSink &progress,
                                    const CancelToken &cancel) = 0;
};
