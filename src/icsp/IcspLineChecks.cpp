#include "icsp/IcspLineChecks.h"

#include "base/VEK_LANGUAGE.h"
#include "icsp/IcspChipOperations.h"
#include "platform/ModemLines.h"

IcspLineChecks::IcspLineChecks(const Clock &clock, IcspPortOpener opener, IcspTexts texts)
    : clock_(clock), opener_(std::move(opener)), texts_(std::move(texts))
{}

IcspLineChecks::~IcspLineChecks()
{
    close();
}

QString IcspLineChecks::open(const MainSettings &settings)
{
    lines_ = IcspLineSettings::from(settings);
    if (port_)
        return {};
    DeviceResult<IcspPort> opened = opener_(lines_);
    if (!opened)
        return texts_.portFailure.describe(lines_.ICSPPort, opened);
    port_ = std::move(opened.device);
    return {};
}

QString IcspLineChecks::setLine(const MainSettings &settings, int line, int value)
{
    if (!port_)
        return {};
    // The box, port and pins are read afresh: the dialog changes them live.
    lines_ = IcspLineSettings::from(settings);
    IcspLineDriver driver(lines_, port_->modem.get(), port_->parallel.get());
    const QString pins = driver.pinProblem(texts_.badReadPin);
    if (!pins.isEmpty())
        return pins;
    driver.EcrireLigneICSP(line, value);
    if (driver.failed())
        return driver.errorText();
    return readBackProblem(line, value);
}

QString IcspLineChecks::readBackProblem(int line, int value) const
{
    // A line is shown driven only when the port says it is: RTS (CLOCK) and
    // DTR (DATA) are read back; TXD (MCLR) cannot be.
    if (lines_.portKind() != IcspLineSettings::PortKind::Serial || !port_->modem ||
        (line != LineCLOCK && line != LineDATA))
        return {};
    const auto outputs = port_->modem->outputs();
    if (!outputs)
        return {};
    const bool level = line == LineCLOCK ? outputs->rts : outputs->dtr;
    if (level == (value == 1))
        return {};
    return VEK_LANGUAGE::GetLanguageText(QStringLiteral("IcspLineReadBack"),
                                         {QStringLiteral("%1"), QString::number(level ? 1 : 0)});
}

void IcspLineChecks::close()
{
    if (!port_)
        return;
    IcspLineDriver driver(lines_, port_->modem.get(), port_->parallel.get());
    for (const int line : {LineMCLR, LineCLOCK, LineDATA})
        driver.EcrireLigneICSP(line, 0);
    port_.reset();
}

JobOutcome IcspLineChecks::presenceTest(const MainSettings &settings, ProgressSink &progress,
                                        const CancelToken &cancel)
{
    IcspProgrammer programmer(settings, clock_, opener_, texts_);
    programmer.attach(&progress, &cancel);
    ProgrammerSession session(programmer);
    const uint8_t opened = session.open().code;
    // The window says "no answer" itself; what follows is why.
    QString failure = programmer.failureText();
    if (opened == IcspProgrammer::OpenNoAnswer) {
        QStringList why{programmer.selfTestReport()};
        if (!programmer.lineError().isEmpty())
            why << programmer.lineError();
        failure = why.join(QLatin1Char('\n'));
    }
    return opened == 0 ? JobOutcome::success() : JobOutcome::failure(failure, opened);
}
