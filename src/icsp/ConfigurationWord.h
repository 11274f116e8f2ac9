#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// The programmer window's configuration controls and the chip's configuration
// word, in both directions, per chip designation. The controls are an
// oscillator list, a code- or write-protect list and up to seven option boxes.
namespace ConfigurationWord {

// What the controls hold: list indexes (-1 = no selection) and the ticks.
struct ConfigControls {
    int oscillator = -1;
    int protect = -1;
    std::array<bool, 7> ticked{};

    bool operator==(const ConfigControls &) const = default;
};

// Which controls a chip shows: the lists' entries, the oscillator index set
// before the word corrects it, and the captions of the visible option boxes
// (CkBit0 first; the rest hidden). Empty lists are hidden.
struct ConfigLayout {
    QStringList oscillators;
    int oscillatorIndex = -1;
    QStringList protections;
    QStringList options;
};

// How a designation stands with the configuration word.
enum class Support {
    Coded,      // controls and word follow each other
    NoControls, // the 18 family: no controls, the word is left as it is
    Unknown,    // a designation outside the table
};

Support supportOf(const QString &deviceChip);

// The controls of a designation; none for the 18 family and unknown ones.
ConfigLayout layoutFor(const QString &deviceChip);

// The word built from the controls, with the extra and always-set bits of the
// family; 0 for a designation without controls.
uint16_t MotConfigDepuisControles(const QString &deviceChip, const ConfigControls &controls);

// The controls that show `word`; nothing unless the designation is Coded.
std::optional<ConfigControls> controlsFromWord(const QString &deviceChip, uint16_t word);

} // namespace ConfigurationWord
