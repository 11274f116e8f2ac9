#pragma once

#include "platform/SerialPortNames.h"

#include <QString>

#include <cstdint>

class ModemLines;
class ParallelPortRegisters;
struct MainSettings;

// Programmer line numbers: three outputs towards the PIC and the data line as
// the adapter returns it.
enum IcspLine : int { LineMCLR = 1, LineCLOCK = 2, LineDATA = 4, LineDATA_R = 5 };

// Where the parallel-port pins sit in the port's registers.
namespace ParallelPins {
struct Output {
    bool control = false; // control register, else data register
    uint8_t mask = 0;     // 0: not an output pin
};
Output output(uint8_t pin);
// Status-register bit of an input pin; 0 for a pin that is not an input.
uint8_t statusMask(uint8_t pin);
} // namespace ParallelPins

// The box, port and pin settings a programmer operation works with, copied
// from the main settings when it starts so that a running operation never
// reads them again.
struct IcspLineSettings {
    using PortKind = SerialPortNames::PortKind;

    int16_t ICSPBoitier = 2; // 0 JDM, 1 VEKP, 2 VEK-MZ, 3 Q-PAK
    QString ICSPPort = QStringLiteral("COM1");
    uint8_t ICSPPINMCLR = 5;
    uint8_t ICSPPINCLOCK = 3;
    uint8_t ICSPPINDATA = 2;
    uint8_t ICSPPINDATAR = 10;

    static IcspLineSettings from(const MainSettings &settings);
    // Puts these values back into the main settings (the reverse of from()).
    void applyTo(MainSettings &settings) const;

    // JDM always uses the serial lines (on a parallel port its opening says
    // that it needs a serial one); the others follow the port the text names
    // (SerialPortNames): "COMn" or a serial device, "LPTn" or a parallel one.
    PortKind portKind() const;
    // The port text alone, as for a box other than JDM.
    static PortKind portKindOf(const QString &port);
    // Boxes 2 and 3 return the data line inverted.
    bool invertedDataR() const { return ICSPBoitier == 2 || ICSPBoitier == 3; }
};

// Drives MCLR, CLOCK and DATA and reads DATA_R on the serial modem lines or the
// parallel-port pins the settings name. The first failure of the device (a
// port gone away) is kept; later calls still run, the caller looks at failed().
class IcspLineDriver
{
public:
    IcspLineDriver(const IcspLineSettings &settings, ModemLines *serial,
                   ParallelPortRegisters *parallel);

    // Sets line 1, 2 or 4 to `value` (1 high, anything else low); other lines do nothing.
    void EcrireLigneICSP(int line, int value);
    // Line 5: DATA_R as 0 or 1, inverted for boxes 2 and 3; other lines read 0.
    int LireLigneICSP(int line);

    // One output pin of the parallel port set (1) or cleared, other bits kept.
    void EcrireBrocheLPT(uint8_t pin, int value);
    // 1 when the status bit of the input pin is set; 0 for pin 0 or an unknown pin.
    int LireBrocheLPT(uint8_t pin);

    static bool isOutputPin(uint8_t pin);
    static bool isInputPin(uint8_t pin); // 0 (no pin) included

    // Empty when the pins fit the port; else the message for the user, from
    // `badReadPin` ({BROCHE}: the data-in pin that is no input of the port),
    // checked once when the programmer opens, not at every bit.
    QString pinProblem(const QString &badReadPin) const;

    bool failed() const { return !m_error.isEmpty(); }
    const QString &errorText() const { return m_error; }

private:
    void note(bool ok);

    IcspLineSettings m_settings;
    IcspLineSettings::PortKind m_kind;
    ModemLines *m_serial;
    ParallelPortRegisters *m_parallel;
    QString m_error;
};
