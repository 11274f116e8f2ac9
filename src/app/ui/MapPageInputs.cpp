#include "app/ui/MapPageInputs.h"

#include "app/VekContext.h"
#include "base/VEK_LANGUAGE.h"

using VEK_LANGUAGE::GetLanguageText;

namespace MapPageInputs {

MapInputs For(const VekContext &context, const AdvanceCurve &curve)
{
    MapInputs in;
    in.curve = curve;
    for (int i = 0; i < 4; ++i) {
        in.levelPercentTexts << context.mapBoxes.tbMapAdj.at(i);
        in.pressureLineTexts << context.mapBoxes.tbMap.at(i + 1);
    }
    in.pressureText = GetLanguageText(QStringLiteral("MapPressure"));
    in.speedText = GetLanguageText(QStringLiteral("MapSpeed"));
    in.advanceText = GetLanguageText(QStringLiteral("MapAdvance"));
    return in;
}

} // namespace MapPageInputs
