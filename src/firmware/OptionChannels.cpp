#include "firmware/OptionChannels.h"

#include <cmath>

namespace {
constexpr int kChannels = 6;

QChar channelLetter(const OptionBoardState &board, int j)
{
    const qsizetype index = kChannels - 1 - j; // read from the right end
    return index >= 0 && index < board.DeviceCfg.size() ? board.DeviceCfg.at(index) : QChar();
}
} // namespace

int16_t IndexVoieOption(const OptionBoardState &board, const QString &kind, int n)
{
    if (kind == QLatin1String("I")) {
        int16_t found = 0;
        for (int j = 0; j < kChannels; ++j)
            if (channelLetter(board, j) == u'I' && board.VoiesTOR[j].Action == n)
                found = static_cast<int16_t>(j + 1);
        return found;
    }
    if (kind == QLatin1String("O")) {
        int count = 0;
        for (int j = 0; j < kChannels; ++j)
            if (channelLetter(board, j) == u'O' && ++count == n)
                return static_cast<int16_t>(j);
        return 0;
    }
    return 0;
}

int32_t ValeurVoieOption(const OptionBoardState &board, int k)
{
    if (k < 0 || k >= static_cast<int>(board.VoiesTOR.size()))
        return 0;
    const VoieTOR &voie = board.VoiesTOR[k];
    switch (voie.Action) {
    case 1:
        return voie.Seuil > 500 ? static_cast<int32_t>(std::nearbyint(3000000.0 / voie.Seuil)) : 0;
    case 2:
        return voie.Seuil;
    default:
        return 0;
    }
}
