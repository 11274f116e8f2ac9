#include "app/ui/MapPage.h"

#include "app/VEK_LANGUAGE.h"
#include "app/VekContext.h"
#include "app/ui/AdvanceMapView.h"
#include "app/ui/MapTableWidget.h"

#include <QHBoxLayout>

using VEK_LANGUAGE::GetLanguageText;

MapPage::MapPage(VekContext &context, QWidget *parent)
    : QWidget(parent), m_context(context), m_map(new AdvanceMapView(this)), m_table(new MapTableWidget(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_map, 3);
    layout->addWidget(m_table, 2);
    refresh({});
}

MapInputs MapPage::InputsFor(const VekContext &context, const AdvanceCurve &curve)
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

void MapPage::refresh(const AdvanceCurve &curve)
{
    m_curve = curve;
    m_map->draw(InputsFor(m_context, curve));
}

void MapPage::retranslate()
{
    m_table->retranslate();
    refresh(m_curve);
}
