#pragma once

#include <array>
#include <cstdint>

// The byte scrambling of the firmware packages' HEX files: inside each 16-byte
// program block the bytes travel in a fixed order, and every program and EEPROM
// byte is masked with one of two keys.
namespace XehScrambling {

// Entry i is the offset, within its 16-byte block, of the image byte that
// travels at data position i of a program record. A permutation of 0 to 15.
constexpr std::array<uint8_t, 16> PositionTable = {11, 4,  14, 1, 8,  15, 2,  9,
                                                   6,  13, 0,  7, 12, 3,  10, 5};
constexpr uint8_t OddAddressKey = 0xA7;  // odd program bytes and every EEPROM byte
constexpr uint8_t EvenAddressKey = 0x5C; // even program bytes

constexpr uint8_t scramble(uint8_t value, uint8_t key)
{
    return static_cast<uint8_t>((value ^ key) - key);
}
constexpr uint8_t unscramble(uint8_t stored, uint8_t key)
{
    return static_cast<uint8_t>(static_cast<uint8_t>(stored + key) ^ key);
}
constexpr uint8_t keyForAddress(uint32_t address)
{
    return (address & 1) ? OddAddressKey : EvenAddressKey;
}

} // namespace XehScrambling
