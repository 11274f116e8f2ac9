#pragma once

#include <QString>

#include <array>

// A firmware lookup table: entries 1 to 256 are PIC instruction words as four
// upper-case hexadecimal digits ("0782" first, then RETLW words "34xx").
// Entry 0 is never used.
using FirmwareTable = std::array<QString, 257>;
