#include "app/AdvanceMap3D.h"

#include "base/NumberHelpers.h"
#include "firmware/CurveColumn.h"

#include <algorithm>
#include <cmath>

using AdvanceCurveMath::RoundHalfEven;

namespace {

constexpr MapColour Green = 0x00FF00;

} // namespace

namespace AdvanceMap3D {

int32_t SpanRpm(const AdvanceCurve &curve)
{
    if (curve.isEmpty())
        return DefaultSpanRpm;
    const int32_t span = RoundHalfEven(curve.last().rpm);
    return span > 0 ? span : DefaultSpanRpm;
}

int BoxValue(const QString &text)
{
    return RoundHalfEven(NombreEnTete(text));
}

} // namespace AdvanceMap3D

MapProjection::MapProjection(double pictureWidth, double pictureHeight, int32_t spanRpm)
    : Origine3DX(static_cast<float>(0.35 * pictureWidth)),
      Origine3DY(static_cast<float>(0.85 * pictureHeight)),
      Etendue3DRpm(spanRpm > 0 ? spanRpm : AdvanceMap3D::DefaultSpanRpm), width(pictureWidth)
{}

void MapProjection::Projette3D(int32_t x, int32_t y, int32_t z, float &px, float &py) const
{
    const int d = RoundHalfEven(2000.0 * (Etendue3DPression - y) / Etendue3DPression);
    px = static_cast<float>(Origine3DX + 0.6 * width * x / Etendue3DRpm - d);
    py = static_cast<float>(Origine3DY - (40.0 * z + d));
}

QPointF MapProjection::project(int32_t x, int32_t y, int32_t z) const
{
    float px = 0;
    float py = 0;
    Projette3D(x, y, z, px, py);
    return {px, py};
}

MapTable3D CalculeTableCarte3D(const AdvanceCurve &curve,
                               const std::array<int, AdvanceMap3D::Levels> &percent)
{
    MapTable3D table{};
    const CurveGridSnapshot grid = AdvanceCurveMath::ToGridSnapshot(curve);
    const CurveColumn atmo(grid, 1);
    const CurveColumn turbo(grid, 2);
    for (int i = 0; i < AdvanceMap3D::Levels; ++i) {
        for (int j = 0; j < AdvanceMap3D::Steps; ++j) {
            const double rpm = 100.0 * j;
            const int a1 = RoundHalfEven(atmo.at(rpm).value_or(-1));
            const int a2 = RoundHalfEven(turbo.at(rpm).value_or(-1));
            const int value = RoundHalfEven(AdvanceCurveMath::BlendAdvance(a1, a2, percent[i]));
            table[i][j] = static_cast<int16_t>(std::clamp(value, -32768, 32767));
        }
    }
    return table;
}

namespace AdvanceMap3D {

static QPointF snapped(const MapProjection &projection, int32_t x, int32_t y, int32_t z)
{
    const QPointF p = projection.project(x, y, z);
    return {double(RoundHalfEven(p.x() / TwipsPerPixel) * TwipsPerPixel),
            double(RoundHalfEven(p.y() / TwipsPerPixel) * TwipsPerPixel)};
}

bool DessineQuadrilatere(const MapProjection &projection, const MapTable3D &table, int i, int j,
                         MapCell &cell)
{
    if (i < 0 || i >= Levels || j < 0 || j >= Steps)
        return false;
    if (100 * (j + 1) > projection.Etendue3DRpm)
        return false;
    const int y0 = RoundHalfEven(33.333 * i);
    const int y1 = RoundHalfEven(33.333 * (i + 1));
    cell.corners = {snapped(projection, 100 * j, y0, table[i][j]),
                    snapped(projection, 100 * j, y1, table[i + 1][j]),
                    snapped(projection, 100 * (j + 1), y1, table[i + 1][j + 1]),
                    snapped(projection, 100 * (j + 1), y0, table[i][j + 1])};
    cell.colour = MapPalette::ColourOf(table[i][j]);
    return true;
}

static void addPath(MapScene &scene, std::initializer_list<QPointF> points, bool dotted)
{
    const QPointF *previous = nullptr;
    for (const QPointF &p : points) {
        if (previous)
            scene.segments.append({QLineF(*previous, p), Green, dotted});
        previous = &p;
    }
}

static QPointF midpoint(QPointF a, QPointF b)
{
    return (a + b) / 2;
}

static void addFrame(MapScene &scene, const MapProjection &pr, const MapInputs &in)
{
    const int32_t s = pr.Etendue3DRpm;
    auto P = [&pr](int32_t x, int32_t y, int32_t z) { return pr.project(x, y, z); };
    addPath(scene, {P(0, 0, 0), P(s, 0, 0), P(s, 100, 0), P(0, 100, 0), P(0, 0, 0)}, false);
    addPath(scene, {P(0, 0, 0), P(0, 0, 40), P(s, 0, 40), P(s, 0, 0)}, false);
    addPath(scene, {P(s, 0, 40), P(s, 100, 40), P(s, 100, 0)}, false);

    const QPointF back = P(0, 0, 0);
    const QPointF front = P(0, 100, 0);
    scene.labels.append({back + QPointF(-120, -90), QStringLiteral("0")});
    scene.labels.append({front + QPointF(-650, -90), QStringLiteral("100")});
    scene.labels.append({front + QPointF(-280, -90), QStringLiteral("%")});
    scene.labels.append({midpoint(back, front) + QPointF(-1000, -90), in.pressureText});

    const QPointF end = P(s, 100, 0);
    scene.labels.append({front + QPointF(-100, 80), QStringLiteral("0")});
    scene.labels.append({end + QPointF(0, 80), QString::number(s), true});
    scene.labels.append({midpoint(front, end) + QPointF(-100, 80), in.speedText});

    scene.labels.append({P(0, 0, 40) + QPointF(-300, -90), QStringLiteral("40\u00B0")});
    scene.labels.append({midpoint(back, P(0, 0, 40)) + QPointF(-800, -100), in.advanceText});

    for (const AdvancePoint &point : in.curve) {
        const int32_t r = RoundHalfEven(point.rpm);
        addPath(scene, {P(r, 0, 0), P(r, 100, 0)}, true);
    }
    for (int k = 0; k < in.pressureLineTexts.size() && k < 4; ++k) {
        const int32_t y = BoxValue(in.pressureLineTexts.at(k));
        addPath(scene, {P(0, y, 0), P(s, y, 0)}, true);
    }
    for (int z : {10, 20, 30})
        addPath(scene, {P(0, 0, z), P(s, 0, z), P(s, 100, z)}, true);
}

MapScene BuildScene(const MapInputs &in)
{
    MapScene scene;
    scene.width = in.width;
    scene.height = in.height;
    const MapProjection projection(in.width, in.height, SpanRpm(in.curve));
    addFrame(scene, projection, in);
    if (in.curve.isEmpty())
        return scene;

    std::array<int, Levels> percent{};
    for (int i = 0; i < Levels && i < in.levelPercentTexts.size(); ++i)
        percent[i] = BoxValue(in.levelPercentTexts.at(i));
    const MapTable3D table = CalculeTableCarte3D(in.curve, percent);
    for (int i = 0; i < Levels - 1; ++i) {
        for (int j = 0; j < Steps - 1; ++j) {
            MapCell cell;
            if (DessineQuadrilatere(projection, table, i, j, cell))
                scene.cells.append(cell);
        }
    }
    return scene;
}

} // namespace AdvanceMap3D
