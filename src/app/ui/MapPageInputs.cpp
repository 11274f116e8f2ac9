#include "app/ui/MapPageInputs.h"

#include "app/VEK_LANGUAGE.h"
#include "app/VekContext.h"

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
