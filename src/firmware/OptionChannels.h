#pragma once

#include "base/OptionBoardState.h"

#include <QString>

#include <cstdint>

// Channel of the option board, for the low tables' header.
// Kind "I": 1 + the highest position whose channel is an input with action n,
// 0 for none. Kind "O": the position of the n-th output channel counted from
// position 0, 0 when there are fewer (so an output at position 0 counts as none).
// Position j is the letter at character 6 - j of DeviceCfg.
int16_t IndexVoieOption(const OptionBoardState &board, const QString &kind, int n);

// Table value of the threshold of channel k: a period for action 1 (rpm), the
// threshold itself for action 2, else 0.
int32_t ValeurVoieOption(const OptionBoardState &board, int k);
