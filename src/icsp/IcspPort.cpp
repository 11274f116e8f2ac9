#include "icsp/IcspPort.h"

#include "platform/ModemLines.h"
#include "platform/ParallelPort.h"
#include "platform/RawTty.h"
#include "platform/SystemCalls.h"

IcspPort::IcspPort() = default;
IcspPort::~IcspPort() = default;
IcspPort::IcspPort(IcspPort &&) noexcept = default;
IcspPort &IcspPort::operator=(IcspPort &&) noexcept = default;

namespace {

DeviceResult<IcspPort> openSerial(const QString &port, SystemCalls &calls)
{
    DeviceResult<IcspPort> result;
    auto tty = RawTty::open(port, IcspLinkSettings);
    if (!tty) {
        result.failAs(tty);
        return result;
    }
    auto modem = std::make_unique<TtyModemLines>(tty.device->fd(), tty.device->device(), calls);
    if (!modem->present()) {
        result.error = modem->errorText();
        result.fault = DeviceFault::NoModemLines;
        return result;
    }
    result.device = std::make_unique<IcspPort>();
    result.device->modem = std::move(modem);
    result.device->tty = std::move(tty.device);
    return result;
}

DeviceResult<IcspPort> openParallel(const QString &port, SystemCalls &calls)
{
    DeviceResult<IcspPort> result;
    auto lpt = PpdevPort::open(port, calls);
    if (!lpt) {
        result.failAs(lpt);
        return result;
    }
    result.device = std::make_unique<IcspPort>();
    result.device->parallel = std::move(lpt.device);
    return result;
}

} // namespace

DeviceResult<IcspPort> OpenIcspPort(const IcspLineSettings &settings)
{
    return OpenIcspPortThrough(settings, SystemCalls::real());
}

DeviceResult<IcspPort> OpenIcspPortThrough(const IcspLineSettings &settings, SystemCalls &calls)
{
    switch (settings.portKind()) {
    case IcspLineSettings::PortKind::Serial:
        return openSerial(settings.ICSPPort, calls);
    case IcspLineSettings::PortKind::Parallel:
        return openParallel(settings.ICSPPort, calls);
    case IcspLineSettings::PortKind::None:
        break;
    }
    DeviceResult<IcspPort> result;
    result.error = settings.ICSPPort + QStringLiteral(": not a programmer port");
    result.fault = DeviceFault::NotAPort;
    return result;
}
