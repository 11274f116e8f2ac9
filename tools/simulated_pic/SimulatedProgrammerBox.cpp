#include "SimulatedProgrammerBox.h"

#include "SimulatedPic.h"
#include "platform/ModemLines.h"
#include "platform/ParallelPort.h"

namespace {

class BoxModemLines final : public ModemLines
{
public:
    explicit BoxModemLines(SimulatedProgrammerBox &box) : m_box(box) {}
    bool setTxd(bool on) override { return set(m_txd, on); }
    bool setRts(bool on) override { return set(m_rts, on && !m_box.outputsIgnored()); }
    bool setDtr(bool on) override { return set(m_dtr, on && !m_box.outputsIgnored()); }
    std::optional<Outputs> outputs() override { return Outputs{m_rts, m_dtr}; }
    std::optional<bool> cts() override
    {
        ++m_box.lineOperations;
        return m_box.serialCts();
    }
    QString errorText() const override { return {}; }

private:
    bool set(bool &line, bool on)
    {
        ++m_box.lineOperations;
        line = on;
        m_box.serialOutputs(m_txd, m_rts, m_dtr);
        return true;
    }
    SimulatedProgrammerBox &m_box;
    bool m_txd = false, m_rts = false, m_dtr = false;
};

class BoxParallelPort final : public ParallelPortRegisters
{
public:
    explicit BoxParallelPort(SimulatedProgrammerBox &box) : m_box(box) {}
    bool writeData(uint8_t value) override
    {
        ++m_box.lineOperations;
        m_box.parallelOutputs(value, m_box.controlRegister);
        return true;
    }
    std::optional<uint8_t> readData() override { return m_box.dataRegister; }
    bool writeControl(uint8_t value) override
    {
        ++m_box.lineOperations;
        m_box.parallelOutputs(m_box.dataRegister, value);
        return true;
    }
    std::optional<uint8_t> readControl() override { return m_box.controlRegister; }
    std::optional<uint8_t> readStatus() override
    {
        ++m_box.lineOperations;
        return m_box.parallelStatus();
    }
    QString errorText() const override { return {}; }

private:
    SimulatedProgrammerBox &m_box;
};

// Level of an output pin, as the port's registers set it.
bool outputBit(uint8_t pin, uint8_t data, uint8_t control)
{
    const ParallelPins::Output out = ParallelPins::output(pin);
    return ((out.control ? control : data) & out.mask) != 0;
}

} // namespace

SimulatedProgrammerBox::SimulatedProgrammerBox(SimulatedPic &pic, const IcspLineSettings &wiring)
    : m_pic(pic), m_wiring(wiring)
{}

IcspPortOpener SimulatedProgrammerBox::opener()
{
    return [this](const IcspLineSettings &settings) {
        DeviceResult<IcspPort> result;
        ++m_opens;
        if (!m_openError.isEmpty()) {
            result.error = settings.ICSPPort + QStringLiteral(": ") + m_openError;
            return result;
        }
        result.device = std::make_unique<IcspPort>();
        if (settings.portKind() == IcspLineSettings::PortKind::Parallel)
            result.device->parallel = std::make_unique<BoxParallelPort>(*this);
        else
            result.device->modem = std::make_unique<BoxModemLines>(*this);
        return result;
    };
}

void SimulatedProgrammerBox::drive(bool mclr, bool clock, bool data)
{
    // Data first: the chip samples on the clock's falling edge.
    m_clock = clock;
    m_pic.setData(data);
    m_pic.setMclr(mclr);
    m_pic.setClock(clock);
}

bool SimulatedProgrammerBox::returnedLevel() const
{
    bool level = m_pic.dataLine();
    switch (m_loopback) {
    case Loopback::Normal:
        break;
    case Loopback::StuckLow:
        level = false;
        break;
    case Loopback::StuckHigh:
        level = true;
        break;
    case Loopback::Inverted:
        level = !level;
        break;
    case Loopback::FollowsClock:
        level = m_clock;
        break;
    }
    // Boxes 2 and 3 bring the line back through an inverting stage.
    return m_wiring.invertedDataR() ? !level : level;
}

void SimulatedProgrammerBox::serialOutputs(bool txd, bool rts, bool dtr)
{
    if (m_wiring.portKind() != IcspLineSettings::PortKind::Serial)
        return;
    drive(txd, rts, dtr);
}

bool SimulatedProgrammerBox::serialCts() const
{
    return m_wiring.portKind() == IcspLineSettings::PortKind::Serial && returnedLevel();
}

void SimulatedProgrammerBox::parallelOutputs(uint8_t data, uint8_t control)
{
    dataRegister = data;
    controlRegister = control;
    if (m_wiring.portKind() != IcspLineSettings::PortKind::Parallel)
        return;
    drive(outputBit(m_wiring.ICSPPINMCLR, data, control),
          outputBit(m_wiring.ICSPPINCLOCK, data, control),
          outputBit(m_wiring.ICSPPINDATA, data, control));
}

uint8_t SimulatedProgrammerBox::parallelStatus() const
{
    // Unused inputs float high, as on a real port.
    const uint8_t mask = ParallelPins::statusMask(m_wiring.ICSPPINDATAR);
    uint8_t status = 0x78 | 0x80;
    if (m_wiring.portKind() == IcspLineSettings::PortKind::Parallel && mask)
        status = returnedLevel() ? uint8_t(status | mask) : uint8_t(status & ~mask);
    return status;
}
