#pragma once

#include "base/NumberHelpers.h"
#include "base/ValueRules.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Rules of the option board's six on/off channels: the kind of each channel
// from the board's description, its action list and its threshold's value.
namespace OptionBoardRules {

constexpr int ChannelCount = 6;

enum class ChannelKind { Input, Output, Analogue, None };
// What a channel does; the dialog's lists show them in the user's language.
enum class Action { Disable, SelectCurve, SelectBreaker, SequentialCut, Rpm, Boost };

// Kind of `channel` (0 to 5) from `DeviceCfg`, whose letters are read from the
// right: channel 0 is the sixth character, channel 5 the first.
ChannelKind kind(const QString &DeviceCfg, int channel);
QString kindLabel(ChannelKind kind); // "INP", "OUT", "ANA", "---" in French
// Actions of a kind; the list position is the stored `Action` code.
QList<Action> actions(ChannelKind kind);
// The action at a list position; Disable for a position the list lacks.
Action actionAt(ChannelKind kind, int position);
// An action as the dialog's list shows it ("Select. COURBE" in French).
QString actionLabel(Action action);
// List position to show for a stored code: one the list lacks shows "DISABLE".
int shownAction(ChannelKind kind, int code);
// Whether an action takes a threshold (the box is available).
bool hasThreshold(Action action);

// The value of the table of value rules an action's threshold is (its
// reading and bounds); none for an action without threshold.
std::optional<ValueRules::Value> thresholdValue(Action action);
// The threshold typed in the box of `channel` (0 to 5) for `action`, read by
// its value's rule: the whole number taken, or the refusal naming the box
// ("SEUIL 5 : « 7,5 » n'est pas un nombre entier."), out of range included.
// Without a threshold for the action, "0".
TypedNumber readThreshold(int channel, Action action, const QString &text);
// The stored threshold: the text's number, rounded down.
int32_t seuil(const QString &text);

} // namespace OptionBoardRules
