#include "SimulatedProgrammerBox.h"

#include "SimulatedPic.h"
#include "platform/ModemLines.h"
#include "platform/ParallelPort.h"

namespace {

class BoxModemLines final : public ModemLines
{
public:
    explicit BoxModemLines(SimulatedProgrammerBox &box) : m_box(box) {}
    ~BoxModemLines() override { m_box.portClosed(); }
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
    ~BoxParallelPort() override { m_box.portClosed(); }
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

// The PC parallel port's connector: the register and bit behind each pin.
// Levels are taken as the register bits hold them; the port's own inversion of
// pins 1, 11, 14 and 17 is left out, the boxes being wired for the pins they use.
enum class Register { None, Data, Status, Control };
struct PortPin {
    Register reg = Register::None;
    int bit = 0;
};

PortPin portPin(int pin)
{
    if (pin >= 2 && pin <= 9)
        return {Register::Data, pin - 2}; // D0 to D7
    switch (pin) {
    case 1:
        return {Register::Control, 0}; // nStrobe
    case 14:
        return {Register::Control, 1}; // nAutoFeed
    case 16:
        return {Register::Control, 2}; // nInit
    case 17:
        return {Register::Control, 3}; // nSelectIn
    case 15:
        return {Register::Status, 3}; // nError
    case 13:
        return {Register::Status, 4}; // Select
    case 12:
        return {Register::Status, 5}; // PaperOut
    case 10:
        return {Register::Status, 6}; // nAck
    case 11:
        return {Register::Status, 7}; // Busy
    default:
        return {};
    }
}

// Level of an output pin, as the port's registers set it.
bool outputLevel(int pin, uint8_t data, uint8_t control)
{
    const PortPin p = portPin(pin);
    if (p.reg == Register::Data)
        return (data >> p.bit) & 1;
    if (p.reg == Register::Control)
        return (control >> p.bit) & 1;
    return false;
}

} // namespace

SimulatedProgrammerBox::SimulatedProgrammerBox(SimulatedPic &pic, const IcspLineSettings &wiring)
    : m_pic(pic), m_wiring(wiring),
      m_invertsDataR(wiring.ICSPBoitier == 2 || wiring.ICSPBoitier == 3)
{
    const QString &port = wiring.ICSPPort;
    if (wiring.ICSPBoitier == 0)
        m_connector = Connector::Serial;
    else if (wiring.ICSPBoitier < 0 || wiring.ICSPBoitier > 3)
        m_connector = Connector::None;
    else if (port.startsWith(QLatin1String("LPT")) ||
             port.startsWith(QLatin1String("/dev/parport")))
        m_connector = Connector::Parallel;
    else if (port.startsWith(QLatin1String("COM")) || port.startsWith(QLatin1String("/dev/")))
        m_connector = Connector::Serial;
}

IcspPortOpener SimulatedProgrammerBox::opener()
{
    return [this](const IcspLineSettings &settings) {
        DeviceResult<IcspPort> result;
        ++m_opens;
        if (!m_openError.isEmpty()) {
            result.error = settings.ICSPPort + QStringLiteral(": ") + m_openError;
            return result;
        }
        // The kind of port the program asked for; the box answers on it only
        // when it is plugged into that kind.
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
    return m_invertsDataR ? !level : level;
}

void SimulatedProgrammerBox::serialOutputs(bool txd, bool rts, bool dtr)
{
    if (m_connector == Connector::Serial)
        drive(txd, rts, dtr);
}

bool SimulatedProgrammerBox::serialCts() const
{
    return m_connector == Connector::Serial && returnedLevel();
}

void SimulatedProgrammerBox::parallelOutputs(uint8_t data, uint8_t control)
{
    dataRegister = data;
    controlRegister = control;
    if (m_connector != Connector::Parallel)
        return;
    drive(outputLevel(m_wiring.ICSPPINMCLR, data, control),
          outputLevel(m_wiring.ICSPPINCLOCK, data, control),
          outputLevel(m_wiring.ICSPPINDATA, data, control));
}

uint8_t SimulatedProgrammerBox::parallelStatus() const
{
    // Unused inputs float high, as on a real port.
    uint8_t status = 0xF8;
    const PortPin in = portPin(m_wiring.ICSPPINDATAR);
    if (m_connector == Connector::Parallel && in.reg == Register::Status) {
        const uint8_t mask = uint8_t(1u << in.bit);
        status = returnedLevel() ? uint8_t(status | mask) : uint8_t(status & ~mask);
    }
    return status;
}
