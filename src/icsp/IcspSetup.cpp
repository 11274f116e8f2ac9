#include "icsp/IcspSetup.h"

#include "base/MainSettings.h"
#include "base/MainSettingsLoader.h"
#include "base/NumberHelpers.h"
#include "base/ValueRules.h"
#include "icsp/ChipTable.h"
#include "icsp/PicDevice.h"
#include "platform/SerialPortNames.h"

#include <array>

#include <QSettings>

#include <algorithm>
#include <cmath>

namespace IcspSetup {

namespace {

// The pins of the output and input lists, list index -> pin: the pins their
// values' rules take, in the lists' order.
const QList<int> &pinsOf(ValueRules::Value list)
{
    return ValueRules::Declared(list).choices;
}

uint8_t pinAt(ValueRules::Value list, uint8_t index)
{
    const QList<int> &pins = pinsOf(list);
    return index < pins.size() ? uint8_t(pins.at(index)) : 0;
}

uint8_t indexOf(ValueRules::Value list, uint8_t pin)
{
    const qsizetype at = pinsOf(list).indexOf(pin);
    return at > 0 ? uint8_t(at) : 0;
}

} // namespace

uint8_t ConvertListeBrocheS(uint8_t NumBroche)
{
    return pinAt(ValueRules::Value::OutputPin, NumBroche);
}

uint8_t ConvertListeBrocheE(uint8_t NumBroche)
{
    return pinAt(ValueRules::Value::InputPin, NumBroche);
}

uint8_t ConvertBrocheListeS(uint8_t NumBroche)
{
    return indexOf(ValueRules::Value::OutputPin, NumBroche);
}

uint8_t ConvertBrocheListeE(uint8_t NumBroche)
{
    return indexOf(ValueRules::Value::InputPin, NumBroche);
}

const QStringList &OutputPinEntries()
{
    static const QStringList entries{
        QStringLiteral("--CHOIX--"),
        QStringLiteral("Broche 1 : /STROBE"),
        QStringLiteral("Broche 2 : D0"),
        QStringLiteral("Broche 3 : D1"),
        QStringLiteral("Broche 4 : D2"),
        QStringLiteral("Broche 5 : D3"),
        QStringLiteral("Broche 6 : D4"),
        QStringLiteral("Broche 7 : D5"),
        QStringLiteral("Broche 8 : D6"),
        QStringLiteral("Broche 9 : D7"),
        QStringLiteral("Broche 14 : /AUTOFEED"),
        QStringLiteral("Broche 16 : /INIT"),
        QStringLiteral("Broche 17 : /SELECT IN"),
    };
    return entries;
}

const QStringList &InputPinEntries()
{
    static const QStringList entries{
        QStringLiteral("--CHOIX--"),          QStringLiteral("Broche 10 : /ACK"),
        QStringLiteral("Broche 11 : BUSY"),   QStringLiteral("Broche 12 : PE"),
        QStringLiteral("Broche 13 : SELECT"), QStringLiteral("Broche 15 : /ERROR"),
    };
    return entries;
}

Twips Db25MarkerPosition(uint8_t pin)
{
    // Pins 14 to 25 lie on the connector's second row; pin 1 is at the right.
    if (pin > 13)
        return {2340 - 150 * (pin - 14), 470};
    return {2410 - 150 * (pin - 1), 305};
}

QString BoxOptionCaption(int index)
{
    switch (index) {
    case 0:
        return QStringLiteral("JDM");
    case 1:
        return QStringLiteral("VEKP V 3.9");
    case 2:
        return QStringLiteral("VEK-MZ300");
    case 3:
        return QStringLiteral("Q-PAK");
    default:
        return {};
    }
}

std::optional<PortRefusal> RefusedPort(const QString &port, int box)
{
    using SerialPortNames::PortFault;
    if (port.isEmpty())
        return PortRefusal::NoPort;
    const PortFault fault = SerialPortNames::FaultOf(port);
    if (fault == PortFault::NotAPort)
        return PortRefusal::NotAPort;
    // A parallel port would not do for the JDM box even if it were there.
    if (box == 0 && SerialPortNames::PortNamed(port).kind == SerialPortNames::PortKind::Parallel)
        return PortRefusal::NeedsSerial;
    if (fault == PortFault::Missing)
        return PortRefusal::Missing;
    if (fault == PortFault::NotASerialDevice)
        return PortRefusal::NotAPortDevice;
    return std::nullopt;
}

QStringList FixedPortEntries()
{
    QStringList ports;
    for (int n = 1; n <= 7; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    ports << QStringLiteral("LPT1");
    return ports;
}

int DelayForSlider(const QString &ICSPDELAY)
{
    return MainSettingsLoader::ProgrammingDelayUs(ICSPDELAY);
}

namespace {

ValueRules::Outcome readAttempts(const QString &text)
{
    return ValueRules::read(ValueRules::Value::WriteAttempts, text,
                            ValueRules::Source::box(ValueRules::Path::SetupDialog));
}

} // namespace

std::optional<uint8_t> WriteAttemptsOf(const QString &text)
{
    const ValueRules::Outcome o = readAttempts(text);
    return o.taken() ? std::optional<uint8_t>(uint8_t(*o.value)) : std::nullopt;
}

namespace {

struct AddressBox {
    const QString &text;
    ValueRules::Value value;
    Field field;
};

// The set-up's area boxes and the values they hold.
std::array<AddressBox, 6> addressBoxes(const Entries &e)
{
    using ValueRules::Value;
    return {{{e.HEXADD, Value::CodeStart, Field::HEXADD},
             {e.HEXLNG, Value::CodeLength, Field::HEXLNG},
             {e.ADDL8, Value::TableAddress, Field::ADDL8},
             {e.ADDH8, Value::TableAddress, Field::ADDH8},
             {e.ADDL16, Value::TableAddress, Field::ADDL16},
             {e.ADDH16, Value::TableAddress, Field::ADDH16}}};
}

ValueRules::Outcome readBox(const AddressBox &box)
{
    return ValueRules::read(box.value, box.text,
                            ValueRules::Source::box(ValueRules::Path::SetupDialog));
}

} // namespace

std::optional<Field> FirstRefusedField(const Entries &e, bool packageChosen)
{
    if (packageChosen)
        return std::nullopt;
    if (!WriteAttemptsOf(e.nbWrite))
        return Field::NbWrite;
    for (const AddressBox &box : addressBoxes(e))
        if (!readBox(box).taken())
            return box.field;
    return std::nullopt;
}

QString FieldRefusal(const Entries &e, Field field)
{
    if (field == Field::NbWrite)
        return readAttempts(e.nbWrite).message;
    for (const AddressBox &box : addressBoxes(e))
        if (box.field == field)
            return readBox(box).message;
    return {};
}

bool ApplyOk(MainSettings &s, PicDevice &device, const Entries &e, bool packageChosen)
{
    s.ICSPDELAY = QString::number(e.delayUs);
    if (!packageChosen) {
        if (const auto attempts = WriteAttemptsOf(e.nbWrite))
            s.ICSPNBWRT = *attempts;
        s.ICSPChip = e.chip;
        s.ICSPHEXADD = e.HEXADD.trimmed();
        s.ICSPHEXLNG = e.HEXLNG.trimmed();
        s.ICSPLTAB_L1 = e.ADDL8.trimmed();
        s.ICSPHTAB_L1 = e.ADDH8.trimmed();
        s.ICSPLTAB16_L1 = e.ADDL16.trimmed();
        s.ICSPHTAB16_L1 = e.ADDH16.trimmed();
    }
    const auto chip = ChipTable::chipForSetting(s.ICSPChip, device.ImagePIC.DeviceID);
    if (!chip)
        return false;
    device.setChip(*chip);
    return true;
}

bool SaveIcspSettings(QSettings &store, const MainSettings &s, bool packageChosen)
{
    const auto save = [&store](const char *key, const QString &value) {
        store.setValue(QStringLiteral("ICSP/") + QLatin1String(key), value);
    };
    save("ICSP_Boitier", QString::number(s.ICSPBoitier));
    save("ICSP_Chip", s.ICSPChip);
    save("ICSP_Port", s.ICSPPort);
    save("ICSP_Broche_MCLR", QString::number(s.ICSPPINMCLR));
    save("ICSP_Broche_CLOCK", QString::number(s.ICSPPINCLOCK));
    save("ICSP_Broche_DATA", QString::number(s.ICSPPINDATA));
    save("ICSP_Broche_DATAR", QString::number(s.ICSPPINDATAR));
    save("ICSP_Delay", s.ICSPDELAY);
    save("ICSP_NbWrite", QString::number(s.ICSPNBWRT));
    if (!packageChosen) {
        save("ICSP_HEXADD", s.ICSPHEXADD);
        save("ICSP_HEXLNG", s.ICSPHEXLNG);
        save("ICSP_LTAB_L1", s.ICSPLTAB_L1);
        save("ICSP_HTAB_L1", s.ICSPHTAB_L1);
        save("ICSP_LTAB16_L1", s.ICSPLTAB16_L1);
        save("ICSP_HTAB16_L1", s.ICSPHTAB16_L1);
    }
    return MainSettingsLoader::SaveStore(store);
}

LiveSettings CaptureLive(const MainSettings &s)
{
    return IcspLineSettings::from(s);
}

void RestoreLive(MainSettings &s, const LiveSettings &kept)
{
    kept.applyTo(s);
}

} // namespace IcspSetup
