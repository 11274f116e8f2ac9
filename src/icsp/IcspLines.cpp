#include "icsp/IcspLines.h"
#include "base/VEK_LANGUAGE.h"

#include "base/MainSettings.h"
#include "platform/ModemLines.h"
#include "platform/ParallelPort.h"
#include "platform/SerialPortNames.h"

namespace ParallelPins {

Output output(uint8_t pin)
{
    if (pin >= 2 && pin <= 9)
        return {false, uint8_t(1u << (pin - 2))};
    switch (pin) {
    case 1:
        return {true, 0x01};
    case 14:
        return {true, 0x02};
    case 16:
        return {true, 0x04};
    case 17:
        return {true, 0x08};
    default:
        return {};
    }
}

uint8_t statusMask(uint8_t pin)
{
    switch (pin) {
    case 10:
        return 0x40;
    case 11:
        return 0x80;
    case 12:
        return 0x20;
    case 13:
        return 0x10;
    case 15:
        return 0x08;
    default:
        return 0;
    }
}

} // namespace ParallelPins

IcspLineSettings IcspLineSettings::from(const MainSettings &s)
{
    return {s.ICSPBoitier,  s.ICSPPort,    s.ICSPPINMCLR,
            s.ICSPPINCLOCK, s.ICSPPINDATA, s.ICSPPINDATAR};
}

void IcspLineSettings::applyTo(MainSettings &s) const
{
    s.ICSPBoitier = ICSPBoitier;
    s.ICSPPort = ICSPPort;
    s.ICSPPINMCLR = ICSPPINMCLR;
    s.ICSPPINCLOCK = ICSPPINCLOCK;
    s.ICSPPINDATA = ICSPPINDATA;
    s.ICSPPINDATAR = ICSPPINDATAR;
}

IcspLineSettings::PortKind IcspLineSettings::portKind() const
{
    if (ICSPBoitier == 0)
        return PortKind::Serial;
    if (ICSPBoitier < 0 || ICSPBoitier > 3)
        return PortKind::None;
    return portKindOf(ICSPPort);
}

IcspLineSettings::PortKind IcspLineSettings::portKindOf(const QString &port)
{
    return SerialPortNames::PortNamed(port).kind;
}

IcspLineDriver::IcspLineDriver(const IcspLineSettings &settings, ModemLines *serial,
                               ParallelPortRegisters *parallel)
    : m_settings(settings), m_kind(settings.portKind()), m_serial(serial), m_parallel(parallel)
{}

void IcspLineDriver::note(bool ok)
{
    if (ok || !m_error.isEmpty())
        return;
    if (m_serial)
        m_error = m_serial->errorText();
    else if (m_parallel)
        m_error = m_parallel->errorText();
}

void IcspLineDriver::EcrireLigneICSP(int line, int value)
{
    const bool on = value == 1;
    if (m_kind == IcspLineSettings::PortKind::Serial && m_serial) {
        switch (line) {
        case LineMCLR:
            note(m_serial->setTxd(on));
            break;
        case LineCLOCK:
            note(m_serial->setRts(on));
            break;
        case LineDATA:
            note(m_serial->setDtr(on));
            break;
        default:
            break;
        }
    } else if (m_kind == IcspLineSettings::PortKind::Parallel) {
        switch (line) {
        case LineMCLR:
            EcrireBrocheLPT(m_settings.ICSPPINMCLR, value);
            break;
        case LineCLOCK:
            EcrireBrocheLPT(m_settings.ICSPPINCLOCK, value);
            break;
        case LineDATA:
            EcrireBrocheLPT(m_settings.ICSPPINDATA, value);
            break;
        default:
            break;
        }
    }
}

int IcspLineDriver::LireLigneICSP(int line)
{
    if (line != LineDATA_R)
        return 0;
    int raw = 0;
    if (m_kind == IcspLineSettings::PortKind::Serial && m_serial) {
        const auto cts = m_serial->cts();
        note(cts.has_value());
        raw = cts.value_or(false) ? 1 : 0;
    } else if (m_kind == IcspLineSettings::PortKind::Parallel) {
        raw = LireBrocheLPT(m_settings.ICSPPINDATAR);
    } else {
        return 0;
    }
    if (m_settings.invertedDataR())
        return raw == 1 ? 0 : 1;
    return raw;
}

void IcspLineDriver::EcrireBrocheLPT(uint8_t pin, int value)
{
    const ParallelPins::Output out = ParallelPins::output(pin);
    if (out.mask == 0 || !m_parallel)
        return;
    const bool data = !out.control;
    const auto now = data ? m_parallel->readData() : m_parallel->readControl();
    note(now.has_value());
    const uint8_t old = now.value_or(0);
    const uint8_t next = value == 1 ? uint8_t(old | out.mask) : uint8_t(old & ~out.mask);
    note(data ? m_parallel->writeData(next) : m_parallel->writeControl(next));
}

int IcspLineDriver::LireBrocheLPT(uint8_t pin)
{
    const uint8_t mask = ParallelPins::statusMask(pin);
    if (mask == 0 || !m_parallel)
        return 0;
    const auto status = m_parallel->readStatus();
    note(status.has_value());
    return (status.value_or(0) & mask) ? 1 : 0;
}

bool IcspLineDriver::isOutputPin(uint8_t pin)
{
    return ParallelPins::output(pin).mask != 0;
}

bool IcspLineDriver::isInputPin(uint8_t pin)
{
    return pin == 0 || ParallelPins::statusMask(pin) != 0;
}

QString IcspLineDriver::pinProblem(const QString &badReadPin) const
{
    if (m_kind != IcspLineSettings::PortKind::Parallel || isInputPin(m_settings.ICSPPINDATAR))
        return {};
    return VEK_LANGUAGE::ReplacePlaceholders(
        badReadPin, {"{BROCHE}", QString::number(m_settings.ICSPPINDATAR)});
}
