#include "icsp/ConfigurationWord.h"

#include <vector>

namespace ConfigurationWord {

namespace {

// One option box: its bit, and whether a tick stands for the bit set (1) or clear (0).
struct Option {
    int bit;
    bool tickedWhenSet;
};

// One family of designations and how its word is laid out.
struct Family {
    std::vector<const char *> chips;
    std::vector<int> oscillatorBits; // index bit 0 first
    std::vector<int> protectBits;    // index bit 0 first; empty: no protect list
    std::vector<Option> options;     // CkBit0 first
    uint16_t alwaysSet;
    // Extra bits written with each protect index bit, and with CP not ticked.
    std::vector<uint16_t> protectCopies;
    int cpOption; // option box whose untick sets `cpUntickedBits`, -1 none
    uint16_t cpUntickedBits;
    std::vector<const char *> oscillators;
    int oscillatorIndex;
    std::vector<const char *> protections;
    std::vector<const char *> captions;
};

const std::vector<const char *> kOsc4 = {"LP", "XT", "HS", "RC"};
const std::vector<const char *> kOsc8 = {"LP",        "XT",           "HS",     "ExtClk",
                                         "IntRC I/O", "IntRC CLKOUT", "ER I/O", "ER CLKOUT"};

const Family kFamilies[] = {
    {{"16F84", "16F84A"},
     {0, 1},
     {},
     {{2, true}, {3, false}, {4, false}},
     0,
     {},
     2,
     0x3FF0,
     kOsc4,
     1,
     {},
     {"WDT", "PWRT", "CP"}},
    {{"12C508", "12C508A"},
     {0, 1},
     {},
     {{2, true}, {3, false}, {4, true}},
     0,
     {},
     1,
     0x0FE8,
     {"LP", "XT", "IntRC", "ExtRC"},
     1,
     {},
     {"WDT", "CP", "MCLR"}},
    {{"16F628", "16F88"},
     {0, 1, 4},
     {10, 11},
     {{2, true}, {3, false}, {5, true}, {6, true}, {7, true}, {8, false}},
     0,
     {0x1400, 0x2800},
     -1,
     0,
     kOsc8,
     4,
     {"CP 0000h-07FFh", "CP 0200h-07FFh", "CP 0400h-07FFh", "CP OFF"},
     {"WDT", "PWRT", "MCLR", "BODEN", "LVP", "CPD"}},
    {{"12F629"},
     {0, 1, 2},
     {},
     {{3, true}, {4, false}, {5, true}, {6, true}, {7, false}, {8, false}},
     0,
     {},
     -1,
     0,
     kOsc8,
     4,
     {},
     {"WDT", "PWRT", "MCLR", "BODEN", "CP", "CPD"}},
    {{"16F876"},
     {0, 1},
     {4, 5},
     {{2, true}, {3, false}, {6, true}, {7, true}, {8, false}, {9, true}, {11, false}},
     0x0400,
     {0x1010, 0x2020},
     -1,
     0,
     kOsc4,
     1,
     {"CP 0000h-1FFFh", "CP 1000h-1FFFh", "CP 1F00h-1FFFh", "CP OFF"},
     {"WDT", "PWRT", "BODEN", "LVP", "CPD", "WRT", "DEBUGGER"}},
    {{"16F876A"},
     {0, 1},
     {9, 10},
     {{2, true}, {3, false}, {6, true}, {7, true}, {8, false}, {13, false}, {11, false}},
     0x1030,
     {},
     -1,
     0,
     kOsc4,
     1,
     {"WP 0000h-0FFFh", "WP 0000h-07FFh", "WP 0000h-00FFh", "WP OFF"},
     {"WDT", "PWRT", "BODEN", "LVP", "CPD", "CP", "DEBUGGER"}},
};

const char *const kNoControlChips[] = {"18F2455", "18F2550", "18F4455", "18F4550"};

const Family *familyOf(const QString &deviceChip)
{
    for (const Family &f : kFamilies)
        for (const char *chip : f.chips)
            if (deviceChip == QLatin1String(chip))
                return &f;
    return nullptr;
}

QStringList texts(const std::vector<const char *> &list)
{
    QStringList out;
    for (const char *t : list)
        out << QString::fromLatin1(t);
    return out;
}

// The bits of `index` (bit 0 first) spread to `bits`; -1 sets them all.
uint16_t spread(int index, const std::vector<int> &bits)
{
    uint16_t word = 0;
    int i = 0;
    for (int bit : bits)
        if (index & (1 << i++))
            word |= uint16_t(1u << bit);
    return word;
}

int gather(uint16_t word, const std::vector<int> &bits)
{
    int index = 0;
    for (size_t i = 0; i < bits.size(); ++i)
        if (word & (1u << bits[i]))
            index |= 1 << i;
    return index;
}

} // namespace

Support supportOf(const QString &deviceChip)
{
    if (familyOf(deviceChip))
        return Support::Coded;
    for (const char *chip : kNoControlChips)
        if (deviceChip == QLatin1String(chip))
            return Support::NoControls;
    return Support::Unknown;
}

ConfigLayout layoutFor(const QString &deviceChip)
{
    ConfigLayout layout;
    if (const Family *f = familyOf(deviceChip)) {
        layout.oscillators = texts(f->oscillators);
        layout.oscillatorIndex = f->oscillatorIndex;
        layout.protections = texts(f->protections);
        layout.options = texts(f->captions);
    }
    return layout;
}

uint16_t MotConfigDepuisControles(const QString &deviceChip, const ConfigControls &controls)
{
    const Family *f = familyOf(deviceChip);
    if (!f)
        return 0;
    uint16_t word = f->alwaysSet | spread(controls.oscillator, f->oscillatorBits) |
                    spread(controls.protect, f->protectBits);
    int i = 0;
    for (uint16_t copy : f->protectCopies)
        if (controls.protect & (1 << i++))
            word |= copy;
    i = 0;
    for (const Option &o : f->options) {
        if (controls.ticked[i] == o.tickedWhenSet)
            word |= uint16_t(1u << o.bit);
        if (i == f->cpOption && !controls.ticked[i])
            word |= f->cpUntickedBits;
        ++i;
    }
    return word;
}

std::optional<ConfigControls> controlsFromWord(const QString &deviceChip, uint16_t word)
{
    const Family *f = familyOf(deviceChip);
    if (!f)
        return std::nullopt;
    ConfigControls controls;
    controls.oscillator = gather(word, f->oscillatorBits);
    controls.protect = !f->protectBits.empty() ? gather(word, f->protectBits) : -1;
    int i = 0;
    for (const Option &o : f->options)
        controls.ticked[i++] = bool(word & (1u << o.bit)) == o.tickedWhenSet;
    return controls;
}

} // namespace ConfigurationWord
