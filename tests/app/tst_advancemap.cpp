#include "app/AdvanceMap3D.h"
#include "app/MapAdvanceTable.h"
#include "app/MapPalette.h"

#include <QtTest>

using namespace AdvanceMap3D;

namespace {

std::optional<double> cellValue(const AdvanceCurve &curve, const char *rpm, const char *percent)
{
    const CurveGridSnapshot grid = AdvanceCurveMath::ToGridSnapshot(curve);
    return MapAdvanceTable::CellValue(CurveColumn(grid, 1), CurveColumn(grid, 2), rpm, percent);
}

const QStringList DesignedPercents{"0", "12.5", "25", "37.5"};

MapInputs inputs(const AdvanceCurve &curve)
{
    MapInputs in;
    in.curve = curve;
    in.levelPercentTexts = DesignedPercents;
    in.pressureLineTexts = {"12.5", "25", "37.5", "50"};
    return in;
}

} // namespace

class TestAdvanceMap : public QObject
{
    Q_OBJECT

private slots:
    void palette()
    {
        const QList<MapColour> p = CreePalette(64);
        QCOMPARE(p.size(), 64);
        QCOMPARE(p.at(0), MapColour(0x0000FF));  // pure blue
        QCOMPARE(p.at(63), MapColour(0xFF0000)); // pure red
        QCOMPARE((p.at(31) >> 8) & 0xFF, 255u);  // full green in the middle
        QCOMPARE((p.at(32) >> 8) & 0xFF, 255u);
        // Entry 16: red 255 x sqrt(16/63) = 128.5, green 255 x sqrt(16/31) = 183.2, blue 126.49.
        QCOMPARE(p.at(16), MapColour((129 << 16) | (183 << 8) | 126));
        QVERIFY(CreePalette(2).isEmpty());
    }

    void cellColours()
    {
        QCOMPARE(Color_Table(9).fore, MapPalette::White);
        QCOMPARE(Color_Table(10).fore, MapPalette::Black);
        QCOMPARE(Color_Table(0).back, CreePalette(64).at(0));
        QCOMPARE(Color_Table(63).back, CreePalette(64).at(63));
        // Outside the palette: the nearest end, never past it.
        QCOMPARE(Color_Table(-7).back, CreePalette(64).at(0));
        QCOMPARE(Color_Table(-7).fore, MapPalette::White);
        QCOMPARE(Color_Table(300).back, CreePalette(64).at(63));
        QCOMPARE(Color_Table(std::numeric_limits<double>::quiet_NaN()).back, MapPalette::Neutral);
        QCOMPARE(MapPalette::Index(1e300), 63);
    }

    void projection()
    {
        const MapProjection pr(9600, 6000, 6000);
        QCOMPARE(pr.Origine3DX, 3360.0f);
        QCOMPARE(pr.Origine3DY, 5100.0f);
        // Front edge at full pressure: no recession.
        QCOMPARE(pr.project(6000, 100, 0), QPointF(3360 + 0.6 * 9600, 5100));
        // Pressure 0 recedes 2000 up and left; a degree rises 40.
        QCOMPARE(pr.project(0, 0, 10), QPointF(3360 - 2000, 5100 - 400 - 2000));
        // 2000 x 50 / 100 = 1000.
        QCOMPARE(pr.project(0, 50, 0), QPointF(2360, 4100));
    }

    void span()
    {
        QCOMPARE(SpanRpm({}), 8000);
        QCOMPARE(SpanRpm({{1000, 10, 10}, {6000, 30, 30}}), 6000);
        // A last rpm of 0 (or below) would divide the projection by 0.
        QCOMPARE(SpanRpm({{0, 10, 10}}), 8000);
        QCOMPARE(SpanRpm({{-50, 10, 10}}), 8000);
        const MapProjection pr(9600, 6000, 0);
        QCOMPARE(pr.Etendue3DRpm, 8000);
    }

    void headerOnlyGridDrawsTheFrameOnly()
    {
        const MapScene scene = BuildScene(inputs({}));
        QVERIFY(scene.cells.isEmpty());
        // 9 box edges, 4 pressure lines, 3 x 2 advance lines, no curve-point line.
        QCOMPARE(scene.segments.size(), 9 + 4 + 6);
        bool spanLabel = false;
        for (const MapLabel &l : scene.labels)
            spanLabel |= l.text == QLatin1String("8000") && l.alignRight;
        QVERIFY(spanLabel);
    }

    void cellsStopAtTheSpan()
    {
        const MapScene scene = BuildScene(inputs({{1000, 10, 20}, {6000, 30, 40}}));
        QCOMPARE(scene.cells.size(), 3 * 60); // j = 0 to 59 on each of 3 level bands
        QCOMPARE(scene.segments.size(), 9 + 2 + 4 + 6);
        for (const MapCell &c : scene.cells)
            for (const QPointF &p : c.corners) {
                QCOMPARE(std::fmod(p.x(), 15.0), 0.0); // snapped to whole pixels
                QVERIFY(p.x() <= 0.95 * 9600 + 15);
            }
    }

    void tableBlendsByLevel()
    {
        const AdvanceCurve curve{{1000, 10, 30}, {5000, 10, 30}};
        const MapTable3D t = CalculeTableCarte3D(curve, {0, 12, 25, 38});
        QCOMPARE(t[0][20], int16_t(10));
        QCOMPARE(t[1][20], int16_t(12)); // 10 + 20 x 12 / 100 = 12.4
        QCOMPARE(t[2][20], int16_t(15));
        QCOMPARE(t[3][20], int16_t(18)); // 17.6
        // Beyond 100 % the value passes the boost curve: 10 + 20 x 1.5 = 40.
        QCOMPARE(CalculeTableCarte3D(curve, {150, 0, 0, 0})[0][10], int16_t(40));
        // Equal curves give the same advance at every level.
        const MapTable3D same = CalculeTableCarte3D({{1000, 22, 22}}, {0, 12, 25, 38});
        QCOMPARE(same[3][50], same[0][50]);
    }

    void designedBoxesReadAsWholeNumbers()
    {
        QCOMPARE(BoxValue("12.5"), 12);
        QCOMPARE(BoxValue("37.5"), 38);
        QCOMPARE(BoxValue(" 50"), 50);
        QCOMPARE(BoxValue(""), 0);
        QCOMPARE(BoxValue("25-50"), 25);
    }

    void cellColourIsTheLowCornerAdvance()
    {
        const AdvanceCurve curve{{1000, 5, 60}, {3000, 40, 60}};
        const MapScene scene = BuildScene(inputs(curve));
        QVERIFY(!scene.cells.isEmpty());
        const MapTable3D t = CalculeTableCarte3D(curve, {0, 12, 25, 38});
        QCOMPARE(scene.cells.first().colour, MapPalette::ColourOf(t[0][0]));
        // Advances past the palette (over 63 degrees) take its last colour.
        const MapScene hot = BuildScene(inputs({{1000, 70, 90}}));
        for (const MapCell &c : hot.cells)
            QCOMPARE(c.colour, CreePalette(64).at(63));
    }

    void mapTableCells()
    {
        const AdvanceCurve up{{1000, 10, 30}};
        QCOMPARE(*cellValue(up, "1000", "50"), 20.0);
        QCOMPARE(*cellValue(up, "1000", "0"), 10.0);
        const AdvanceCurve down{{1000, 30, 10}};
        QCOMPARE(*cellValue(down, "1000", "50"), 20.0);
        QCOMPARE(*cellValue({{1000, 10, 20}, {3000, 20, 40}}, "2000", "33"), 15 + 15 * 0.33);
        QVERIFY(!cellValue({}, "1000", "50"));
        QCOMPARE(MapAdvanceTable::CellText(15 + 10 * 0.33 / 1), QStringLiteral("18.3"));
    }
};

QTEST_GUILESS_MAIN(TestAdvanceMap)
#include "tst_advancemap.moc"
