#pragma once

#include "base/NumberHelpers.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// Rules of the option board's six on/off channels: the kind of each channel
// from the board's description, its action list and the threshold ranges.
namespace OptionBoardRules {

constexpr int ChannelCount = 6;

enum class ChannelKind { Input, Output, Analogue, None };

// Kind of `channel` (0 to 5) from `DeviceCfg`, whose letters are read from the
// right: channel 0 is the sixth character, channel 5 the first.
ChannelKind kind(const QString &DeviceCfg, int channel);
QString kindLabel(ChannelKind kind); // "INP", "OUT", "ANA", "---"
// Actions of a kind; the list position is the stored `Action` code.
QStringList actions(ChannelKind kind);
// List position to show for a stored code: one the list lacks shows "DISABLE".
int shownAction(ChannelKind kind, int code);
// Whether an action takes a threshold (the box is available).
bool hasThreshold(const QString &action);

struct Range {
    int lowest = 0;
    int highest = 0;
};
Range thresholdRange(const QString &action);
// The threshold typed in the box of `channel` (0 to 5), read as every typed
// number is (ReadTypedNumber) and brought into the action's range, "." as its
// decimal point; without a threshold for the action, "0". A text that is no
// number is refused: "SEUIL 5 : « abc » n'est pas un nombre.".
TypedNumber clampThreshold(int channel, const QString &action, const QString &text);
// The stored threshold: the text's number, rounded down.
int32_t seuil(const QString &text);

} // namespace OptionBoardRules
