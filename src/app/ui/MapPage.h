#pragma once

#include "app/AdvanceMap3D.h"

#include <QWidget>

class AdvanceMapView;
class MapTableWidget;
struct VekContext;

// The map page: the 3D advance map beside the MAP advance table.
class MapPage : public QWidget
{
    Q_OBJECT
public:
    explicit MapPage(VekContext &context, QWidget *parent = nullptr);

    AdvanceMapView *PicMap() const { return m_map; }
    MapTableWidget *mapTable() const { return m_table; }

    // What the map draws for a curve: the level percentages and pressure
    // lines of the context's MAP boxes, the axis captions, the design size.
    static MapInputs InputsFor(const VekContext &context, const AdvanceCurve &curve);

    // Draws the map for the curve (on every switch to the page).
    void refresh(const AdvanceCurve &curve);
    void retranslate();

private:
    VekContext &m_context;
    AdvanceMapView *m_map;
    MapTableWidget *m_table;
    AdvanceCurve m_curve;
};
