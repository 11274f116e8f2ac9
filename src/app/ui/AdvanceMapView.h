#pragma once

#include "app/AdvanceMap3D.h"

#include <QWidget>

// The map picture (PicMap): shows a map scene scaled to the widget, keeping
// its proportions.
class AdvanceMapView : public QWidget
{
    Q_OBJECT
public:
    explicit AdvanceMapView(QWidget *parent = nullptr);

    // Frame, then surface when the curve has points.
    void draw(const MapInputs &inputs);
    const MapScene &scene() const { return m_scene; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    MapScene m_scene;
};
