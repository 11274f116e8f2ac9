#pragma once

#include "base/MainSettings.h"
#include "icsp/IcspLines.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class PicDevice;
class QSettings;
struct MainSettings;

// The plain side of the programmer set-up dialog: pin lists and their
// conversions, marker places on the connector picture, checks of what the user
// typed, and what OK applies and saves.
namespace IcspSetup {

// Output list index (0 to 12) to DB-25 pin: 1-9 give 1-9, 10 gives 14, 11 and
// 12 give 16 and 17, anything else 0 (no pin).
uint8_t ConvertListeBrocheS(uint8_t NumBroche);
// Input list index (0 to 5) to pin: 1-4 give 10-13, 5 gives 15, anything else 0.
uint8_t ConvertListeBrocheE(uint8_t NumBroche);
// Pin to output list index: the inverse of ConvertListeBrocheS, 0 for any other pin.
uint8_t ConvertBrocheListeS(uint8_t NumBroche);
// Pin to input list index: the inverse of ConvertListeBrocheE, 0 for any other pin.
uint8_t ConvertBrocheListeE(uint8_t NumBroche);

// Entries of the three output pin lists (13) and of the input list (6).
const QStringList &OutputPinEntries();
const QStringList &InputPinEntries();

// Place of a pin's marker on the DB-25 picture, in twips from its top left.
struct Twips {
    int left = 0;
    int top = 0;
    bool operator==(const Twips &) const = default;
};
Twips Db25MarkerPosition(uint8_t pin);

// Captions of the four box options: "JDM", "VEKP V 3.9", "VEK-MZ300", "Q-PAK".
constexpr int BoxTypeCount = 4;
QString BoxOptionCaption(int index);

// Why OK refuses the port field's text `port` for box type `box`: no text, a
// text that names no port, a port whose device is not there ("COM2" without
// /dev/ttyS1 as "/dev/ttyS1" typed), a device that is neither a serial nor a
// parallel port (/dev/null), all by the rule of SerialPortNames (FaultOf); or
// a parallel port for the JDM box, which drives its lines on a serial port
// only. Nothing when the port may be taken.
enum class PortRefusal { NoPort, NotAPort, Missing, NotAPortDevice, NeedsSerial };
std::optional<PortRefusal> RefusedPort(const QString &port, int box);

// The fixed port entries: "COM1" to "COM7" and "LPT1".
QStringList FixedPortEntries();

// Range of the delay after each bit frame, in whole microseconds.
constexpr int MinDelayUs = MinIcspDelayUs;
constexpr int MaxDelayUs = MaxIcspDelayUs;
// The stored delay text as the slider shows it: the delay the programmer uses
// (MainSettingsLoader::ProgrammingDelayUs).
int DelayForSlider(const QString &ICSPDELAY);

// Write attempts per word, read by the rule the settings file is read by:
// a whole number from 1 to 9.
std::optional<uint8_t> WriteAttemptsOf(const QString &text);

// What the dialog hands to OK.
struct Entries {
    QString chip; // the chip last picked
    int delayUs = 15;
    QString nbWrite; // write attempts as typed
    QString HEXADD, HEXLNG, ADDL8, ADDH8, ADDL16, ADDH16;
};

// The boxes that OK checks, in the order they are checked.
enum class Field { NbWrite, HEXADD, HEXLNG, ADDL8, ADDH8, ADDL16, ADDH16 };

// The first box whose text OK refuses, each by the rule of its value: write
// attempts 1 to 9; addresses of one to four hexadecimal digits. Where the areas lie is the
// transfers' rule (TransferServices::areasRefused). With a package chosen those boxes are locked
// and not taken, so nothing is refused.
std::optional<Field> FirstRefusedField(const Entries &entries, bool packageChosen);
// Why the rule of its value refuses the text of a box, naming the value and
// the text ("Essais d'écriture : « 12 » n'est pas accepté…").
QString FieldRefusal(const Entries &entries, Field field);

// A box whose area the transfers' rule refuses, and why.
struct AreaRefusal {
    Field field;
    QString text;
};

// OK on checked entries: the delay, and without a package the write attempts,
// the chip (ICSPChip and the device record) and the six addresses; then the
// device record is set for the chip choice in force (the identification of
// the programmer window). False when that choice names no known chip (the
// record is then kept).
bool ApplyOk(MainSettings &settings, PicDevice &device, const Entries &entries, bool packageChosen);

// Writes the programmer set-up into section "ICSP" of the store: the nine keys
// always, the six addresses only without a package. False when the store
// cannot be written.
bool SaveIcspSettings(QSettings &store, const MainSettings &settings, bool packageChosen);

// The settings the dialog writes at once while it is open (box, port and pins),
// kept for Cancel.
using LiveSettings = IcspLineSettings;
LiveSettings CaptureLive(const MainSettings &settings);
void RestoreLive(MainSettings &settings, const LiveSettings &kept);

} // namespace IcspSetup
