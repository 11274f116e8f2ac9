#pragma once

#include <array>
#include <cstdint>

// The PC's copy of a PIC's memories, byte-addressed like the chip's HEX files.
struct PicImage {
    // Program words, low byte at 2k, high byte at 2k+1: room for 16384 words
    // (or 32768 bytes of an 18F chip) and one spare byte.
    static constexpr int CodeBytes = 32768;
    static constexpr int CodeWords = CodeBytes / 2;
    static constexpr int EepromBytes = 256;

    std::array<uint8_t, CodeBytes + 1> ImageCode{};
    std::array<uint8_t, EepromBytes + 1> ImageEEPROM{};
    uint16_t ConfigWord = 0;         // chip address 0x2007
    std::array<uint8_t, 8> UserID{}; // four ID words, low byte then high byte
    uint16_t DeviceID = 0;           // chip address 0x2006, as last read

    // Word k of the program memory (0 for a word outside the image).
    uint16_t codeWord(int k) const
    {
        if (k < 0 || k >= CodeWords)
            return 0;
        return static_cast<uint16_t>(ImageCode[2 * k] | (ImageCode[2 * k + 1] << 8));
    }
    void setCodeWord(int k, uint16_t word)
    {
        if (k < 0 || k >= CodeWords)
            return;
        ImageCode[2 * k] = static_cast<uint8_t>(word & 0xFF);
        ImageCode[2 * k + 1] = static_cast<uint8_t>(word >> 8);
    }
};
