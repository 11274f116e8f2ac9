#pragma once

#include "icsp/IcspPort.h"
#include "icsp/IcspProgrammer.h"
#include "icsp/ProgrammerLineChecks.h"

class Clock;

// The set-up dialog's line tests on the real programmer: the hand tests hold
// the port open and drive one line at a time through the line driver; the
// presence test opens the programmer with its self-test on a connection of its own.
class IcspLineChecks final : public ProgrammerLineChecks
{
public:
    IcspLineChecks(const Clock &clock, IcspPortOpener opener = OpenIcspPort, IcspTexts texts = {});
    ~IcspLineChecks() override;

    QString open(const MainSettings &settings) override;
    QString setLine(const MainSettings &settings, int line, int value) override;
    void close() override;
    bool isOpen() const override { return port_ != nullptr; }
    JobOutcome presenceTest(const MainSettings &settings, ProgressSink &progress,
                            const CancelToken &cancel) override;

private:
    // Empty when the line reads back as driven (or cannot be read back).
    QString readBackProblem(int line, int value) const;

    const Clock &clock_;
    IcspPortOpener opener_;
    IcspTexts texts_;
    std::unique_ptr<IcspPort> port_;
    IcspLineSettings lines_; // the wiring last used, for putting the lines to rest
};
