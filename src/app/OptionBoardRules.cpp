#include "app/OptionBoardRules.h"

#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"

#include <cmath>
#include <limits>

namespace OptionBoardRules {

using VEK_LANGUAGE::GetLanguageText;

ChannelKind kind(const QString &DeviceCfg, int channel)
{
    const qsizetype at = ChannelCount - 1 - channel;
    if (channel < 0 || channel >= ChannelCount || at >= DeviceCfg.size())
        return ChannelKind::None;
    switch (DeviceCfg.at(at).unicode()) {
    case 'I':
        return ChannelKind::Input;
    case 'O':
        return ChannelKind::Output;
    case 'A':
        return ChannelKind::Analogue;
    default:
        return ChannelKind::None;
    }
}

QString kindLabel(ChannelKind kind)
{
    switch (kind) {
    case ChannelKind::Input:
        return GetLanguageText(QStringLiteral("CarteTypeEntree"));
    case ChannelKind::Output:
        return GetLanguageText(QStringLiteral("CarteTypeSortie"));
    case ChannelKind::Analogue:
        return GetLanguageText(QStringLiteral("CarteTypeAnalogique"));
    case ChannelKind::None:
        break;
    }
    return QStringLiteral("---");
}

QList<Action> actions(ChannelKind kind)
{
    switch (kind) {
    case ChannelKind::Input:
        return {Action::Disable, Action::SelectCurve, Action::SelectBreaker, Action::SequentialCut};
    case ChannelKind::Output:
        return {Action::Disable, Action::Rpm, Action::Boost};
    case ChannelKind::Analogue:
    case ChannelKind::None:
        break;
    }
    return {Action::Disable};
}

Action actionAt(ChannelKind kind, int position)
{
    return actions(kind).value(position, Action::Disable);
}

QString actionLabel(Action action)
{
    static const char *const keys[] = {"CarteActionDisable", "CarteActionCourbe",
                                       "CarteActionRupteur", "CarteActionSequentiel",
                                       "CarteActionRegime",  "CarteActionBoost"};
    return GetLanguageText(QString::fromLatin1(keys[int(action)]));
}

int shownAction(ChannelKind kind, int code)
{
    return code >= 0 && code < actions(kind).size() ? code : 0;
}

bool hasThreshold(Action action)
{
    return thresholdValue(action).has_value();
}

std::optional<ValueRules::Value> thresholdValue(Action action)
{
    switch (action) {
    case Action::Rpm:
    case Action::SelectBreaker:
        return ValueRules::Value::ThresholdRpm;
    case Action::Boost:
        return ValueRules::Value::ThresholdBoost;
    case Action::SequentialCut:
        return ValueRules::Value::ThresholdSequential;
    case Action::Disable:
    case Action::SelectCurve:
        break;
    }
    return std::nullopt;
}

TypedNumber readThreshold(int channel, Action action, const QString &text)
{
    const std::optional<ValueRules::Value> value = thresholdValue(action);
    if (!value)
        return {QStringLiteral("0"), {}};
    ValueRules::Source box = ValueRules::Source::box();
    box.name = GetLanguageText(QStringLiteral("CarteSeuilNumero"),
                               {QStringLiteral("%1"), QString::number(channel + 1)});
    const ValueRules::Outcome read = ValueRules::read(*value, text, box);
    if (!read.taken())
        return {std::nullopt, read.message};
    return {read.text, {}};
}

int32_t seuil(const QString &text)
{
    const double v = std::floor(NombreEnTete(text));
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v < low ? low : (v > high ? high : v));
}

} // namespace OptionBoardRules
