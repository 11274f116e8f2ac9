#pragma once

#include <QString>

#include <array>
#include <cstdint>

// One on/off channel of the option board.
struct VoieTOR {
    uint8_t Action = 0;
    int32_t Seuil = 0;
};

// The selected option board: its catalogue texts (written when the board choice
// changes) and its channel table (seven records, six used).
struct OptionBoardState {
    QString CarteOptionId; // position in the catalogue, as decimal text
    QString CarteOptionNom;
    QString DeviceCfg;
    QString DeviceCfgP;
    QString DeviceCfgA;
    QString DeviceAnalogue;
    QString DeviceInput;
    QString DeviceOuput;
    std::array<VoieTOR, 7> VoiesTOR{};
};
