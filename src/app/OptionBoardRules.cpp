#include "app/OptionBoardRules.h"

#include "base/NumberHelpers.h"

#include <cmath>
#include <limits>

namespace OptionBoardRules {

namespace {
const QString Disable = QStringLiteral("DISABLE");
} // namespace

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
        return QStringLiteral("INP");
    case ChannelKind::Output:
        return QStringLiteral("OUT");
    case ChannelKind::Analogue:
        return QStringLiteral("ANA");
    case ChannelKind::None:
        break;
    }
    return QStringLiteral("---");
}

QStringList actions(ChannelKind kind)
{
    switch (kind) {
    case ChannelKind::Input:
        return {Disable, QStringLiteral("Select. COURBE"), QStringLiteral("Select. RUPTEUR(2)"),
                QStringLiteral("Coupure SEQUENTIEL")};
    case ChannelKind::Output:
        return {Disable, QStringLiteral("RPM"), QStringLiteral("BOOST")};
    case ChannelKind::Analogue:
    case ChannelKind::None:
        break;
    }
    return {Disable};
}

int shownAction(ChannelKind kind, int code)
{
    return code >= 0 && code < actions(kind).size() ? code : 0;
}

bool hasThreshold(const QString &action)
{
    return thresholdValue(action).has_value();
}

std::optional<ValueRules::Value> thresholdValue(const QString &action)
{
    if (action == QLatin1String("RPM") || action == QLatin1String("Select. RUPTEUR(2)"))
        return ValueRules::Value::ThresholdRpm;
    if (action == QLatin1String("BOOST"))
        return ValueRules::Value::ThresholdBoost;
    if (action == QLatin1String("Coupure SEQUENTIEL"))
        return ValueRules::Value::ThresholdSequential;
    return std::nullopt;
}

TypedNumber readThreshold(int channel, const QString &action, const QString &text)
{
    const std::optional<ValueRules::Value> value = thresholdValue(action);
    if (!value)
        return {QStringLiteral("0"), {}};
    ValueRules::Source box = ValueRules::Source::box();
    box.name = QStringLiteral("SEUIL %1").arg(channel + 1);
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
