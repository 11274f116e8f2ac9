#pragma once

#include "app/AdvancePoint.h"
#include "app/MapPalette.h"

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// The 3D advance map: the advance drawn as a surface over engine speed and
// boost pressure in an oblique projection. Everything here is in twips of the
// map picture (1/1440 inch, 15 twips per screen pixel), y growing downwards.
// The result is a scene of lines, labels and coloured cells that a painter
// draws as it stands.

namespace AdvanceMap3D {

constexpr int DefaultSpanRpm = 8000;
constexpr int PressureSpan = 100;
constexpr int TwipsPerPixel = 15;
constexpr int Levels = 4;  // pressure levels computed
constexpr int Steps = 100; // 100 rpm steps computed

// Speed span of the map: the last point's rpm, or the default when there is
// no point or that rpm is not positive (the span divides the projection).
int32_t SpanRpm(const AdvanceCurve &curve);

} // namespace AdvanceMap3D

// Projection state set by the frame drawing.
struct MapProjection {
    float Origine3DX = 0;
    float Origine3DY = 0;
    int32_t Etendue3DRpm = AdvanceMap3D::DefaultSpanRpm;
    int32_t Etendue3DPression = AdvanceMap3D::PressureSpan;
    double width = 0;

    MapProjection() = default;
    MapProjection(double pictureWidth, double pictureHeight, int32_t spanRpm);

    // Point of speed x (rpm), pressure y (0 to 100) and advance z (degrees).
    void Projette3D(int32_t x, int32_t y, int32_t z, float &px, float &py) const;
    QPointF project(int32_t x, int32_t y, int32_t z) const;
};

// Advance in whole degrees per pressure level (0 to 4) and 100 rpm step (0 to
// 100); levels 0 to 3 and steps 0 to 99 are filled.
using MapTable3D =
    std::array<std::array<int16_t, AdvanceMap3D::Steps + 1>, AdvanceMap3D::Levels + 1>;

// Fills the table from the curve and the four level percentages.
MapTable3D CalculeTableCarte3D(const AdvanceCurve &curve,
                               const std::array<int, AdvanceMap3D::Levels> &percent);

struct MapSegment {
    QLineF line;
    MapColour colour = 0;
    bool dotted = false;
};

struct MapLabel {
    QPointF at; // top-left corner of the text (top-right when alignRight)
    QString text;
    bool alignRight = false;
};

struct MapCell {
    std::array<QPointF, 4> corners; // twips, snapped to whole screen pixels
    MapColour colour = 0;
};

struct MapScene {
    double width = 0;  // twips
    double height = 0; // twips
    MapColour background = 0x000000;
    QList<MapSegment> segments;
    QList<MapLabel> labels;
    QList<MapCell> cells; // drawn after the segments, outlined in white
    MapColour cellEdge = 0xFFFFFF;
};

// What the map reads from the main window.
struct MapInputs {
    AdvanceCurve curve;
    QStringList levelPercentTexts; // boxes tbMapAdj(0..3): percentage per level
    QStringList pressureLineTexts; // boxes tbMap(1..4): pressures of the grid lines
    double width = 9600;           // picture size in twips
    double height = 6000;
    QString pressureText; // axis captions
    QString speedText;
    QString advanceText;
};

namespace AdvanceMap3D {

// A box text read as a number ("." decimal point, leading number only, empty
// reads 0), rounded to whole.
int BoxValue(const QString &text);

// Box, axes, labels and grid lines (the frame drawing), then, when the curve has
// points, the surface cells.
MapScene BuildScene(const MapInputs &inputs);

// The cell between levels i, i+1 and steps j, j+1; false when it lies beyond the span.
bool DessineQuadrilatere(const MapProjection &projection, const MapTable3D &table, int i, int j,
                         MapCell &cell);

} // namespace AdvanceMap3D
