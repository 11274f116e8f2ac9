#pragma once

#include "app/AdvanceMap3D.h"

#include <QColor>
#include <QImage>

class QPainter;

// Draws a map scene. The painter works in the scene's twips: the caller sets
// the transform that maps them onto the device.
namespace MapScenePainter {

QColor ColorOf(MapColour colour);

void Paint(QPainter &painter, const MapScene &scene);

// The scene at screen size (15 twips per pixel), as the map picture shows it.
QImage Render(const MapScene &scene);

} // namespace MapScenePainter
