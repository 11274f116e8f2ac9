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
    return action != Disable && action != QLatin1String("CLIQUETIS") &&
           action != QLatin1String("Select. COURBE");
}

Range thresholdRange(const QString &action)
{
    if (action == QLatin1String("RPM") || action == QLatin1String("Select. RUPTEUR(2)"))
        return {500, 10000};
    if (action == QLatin1String("BOOST"))
        return {-1, 100};
    if (action == QLatin1String("Coupure SEQUENTIEL"))
        return {0, 100};
    return {0, 0};
}

TypedNumber clampThreshold(int channel, const QString &action, const QString &text)
{
    const Range range = thresholdRange(action);
    if (range.lowest == 0 && range.highest == 0)
        return {QStringLiteral("0"), {}};
    TypedNumber read = ReadTypedNumber(text);
    if (!read.number) {
        read.refusal = QStringLiteral("SEUIL %1 : ").arg(channel + 1) + read.refusal;
        return read;
    }
    const double v = NombreEnTete(*read.number);
    if (v < range.lowest)
        read.number = QString::number(range.lowest);
    else if (v > range.highest)
        read.number = QString::number(range.highest);
    return read;
}

int32_t seuil(const QString &text)
{
    const double v = std::floor(NombreEnTete(text));
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v < low ? low : (v > high ? high : v));
}

} // namespace OptionBoardRules
