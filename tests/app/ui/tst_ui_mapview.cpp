#include "Screenshots.h"
#include "TestSupport.h"
#include "app/MapPalette.h"
#include "app/VekContext.h"
#include "app/ui/AdvanceMapView.h"
#include "app/ui/MapBoxesWidget.h"
#include "app/ui/MapPageInputs.h"
#include "app/ui/MapScenePainter.h"
#include "app/ui/MapTableWidget.h"
#include "app/ui/VEK_Accueil.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const AdvanceCurve Realistic{{800, 8, 8},    {1500, 14, 12}, {2500, 24, 18}, {3500, 30, 22},
                             {4500, 34, 26}, {6000, 36, 28}, {7500, 36, 28}};

int countPixels(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

} // namespace

class TestMapView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void mapPicture()
    {
        VekContext context;
        const MapScene scene = AdvanceMap3D::BuildScene(MapPageInputs::For(context, Realistic));
        const QImage image = MapScenePainter::Render(scene);
        TestSupport::keepScreenshot(image, QStringLiteral("map.png"));
        QCOMPARE(image.size(), QSize(640, 400));
        // Frame lines in green, cells filled from the palette: the low advances
        // (blue side) and the high ones (red side) both show.
        QVERIFY(countPixels(image, qRgb(0, 255, 0)) > 500);
        const QRgb low = MapScenePainter::ColorOf(MapPalette::ColourOf(8)).rgb();
        const QRgb high = MapScenePainter::ColorOf(MapPalette::ColourOf(36)).rgb();
        QVERIFY(countPixels(image, low) > 20);
        QVERIFY(countPixels(image, high) > 20);
    }

    void emptyCurveShowsTheFrame()
    {
        VekContext context;
        const QImage image =
            MapScenePainter::Render(AdvanceMap3D::BuildScene(MapPageInputs::For(context, {})));
        TestSupport::keepScreenshot(image, QStringLiteral("map-empty.png"));
        QVERIFY(countPixels(image, qRgb(0, 255, 0)) > 500);
        QCOMPARE(countPixels(image, qRgb(255, 255, 255)), 0); // no cell edges
    }

    void mapPage()
    {
        VekContext context;
        QWidget page;
        auto *column = new QVBoxLayout;
        auto *view = new AdvanceMapView;
        auto *boxes = new MapBoxesWidget(context.mapBoxes);
        column->addWidget(view, 1);
        column->addWidget(boxes);
        auto *mapTable = new MapTableWidget;
        auto *row = new QHBoxLayout(&page);
        row->addLayout(column, 3);
        row->addWidget(mapTable, 2);
        page.resize(1100, 520);
        view->draw(MapPageInputs::For(context, Realistic));
        mapTable->setRowsFromCurve(Realistic);
        mapTable->setCurveSource([] { return Realistic; });
        mapTable->Check1()->click();
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        TestSupport::keepScreenshot(page.grab().toImage(), QStringLiteral("map-page.png"));
        QTableWidget *table = mapTable->tabl_avance();
        QCOMPARE(table->rowCount(), 7);
        // 2500 rpm: Atmo 24, Turbo 18; level 2 is 33 %: 24 - 6 x 0.33 = 22.02.
        QCOMPARE(table->item(2, 2)->text(), QStringLiteral("22.02"));
        QCOMPARE(table->item(2, 3)->text(), QStringLiteral("20.04"));
        QCOMPARE(table->item(2, 4)->text(), QStringLiteral("18"));
        QCOMPARE(table->item(0, 1)->foreground().color(), QColor(Qt::white)); // 8 degrees
        QCOMPARE(table->item(2, 2)->background().color(),
                 MapScenePainter::ColorOf(MapPalette::ColourOf(22)));
    }

    void percentCellsTakeDigitsOnly()
    {
        MapTableWidget widget;
        QTableWidget *adjust = widget.talbMapAdj();
        widget.show();
        adjust->setCurrentCell(0, 2);
        adjust->item(0, 2)->setText(QString());
        QTest::keyClicks(adjust, QStringLiteral("7x5"));
        QCOMPARE(adjust->item(0, 2)->text(), QStringLiteral("75"));
        QTest::keyClick(adjust, '9'); // 759 is over 100
        QCOMPARE(adjust->item(0, 2)->text(), QStringLiteral("75"));
        QTest::keyClick(adjust, Qt::Key_Backspace);
        QTest::keyClick(adjust, Qt::Key_Backspace);
        QTest::keyClick(adjust, Qt::Key_Backspace);
        QCOMPARE(adjust->item(0, 2)->text(), QString());
        adjust->setCurrentCell(0, 0);
        QTest::keyClick(adjust, '5'); // the "Lissage" caption is not a percentage
        QCOMPARE(adjust->item(0, 0)->text(), QStringLiteral("Lissage"));
    }

    void noCurveGivesNeutralCells()
    {
        MapTableWidget widget;
        widget.setRowTexts({{"1000", "10", "20"}});
        widget.Check1_Click();
        QCOMPARE(widget.tabl_avance()->item(0, 2)->text(), QString());
        QCOMPARE(widget.tabl_avance()->item(0, 2)->background().color(),
                 MapScenePainter::ColorOf(MapPalette::Neutral));
    }

    void boxesEditTheSharedTexts()
    {
        VekContext context;
        MapBoxesWidget boxes(context.mapBoxes);
        QCOMPARE(boxes.tbMapAdj(1)->text(), QStringLiteral("12.5"));
        QSignalSpy changed(&boxes, &MapBoxesWidget::tbMapAdjChanged);
        boxes.tbMapAdj(1)->clear();
        QTest::keyClicks(boxes.tbMapAdj(1), QStringLiteral("250"));
        QCOMPARE(context.mapBoxes.tbMapAdj[1], QStringLiteral("25")); // 250 is refused
        QVERIFY(changed.count() > 0);
        context.mapBoxes.tbMap[2] = QStringLiteral("25-50");
        boxes.reload();
        QCOMPARE(boxes.tbMap(2)->text(), QStringLiteral("25-50"));
    }

    void mainWindowDrawsTheMapOnItsPage()
    {
        QStandardPaths::setTestModeEnabled(true);
        VEK_Accueil w;
        w.Form_Load(false);
        QVector<QStringList> rows;
        for (const AdvancePoint &p : Realistic)
            rows << QStringList{QString::number(p.rpm), QString::number(p.atmo),
                                QString::number(p.turbo)};
        w.context().tab_avance.setRows(rows, false);
        auto *map = w.findChild<AdvanceMapView *>(QStringLiteral("PicMap"));
        QVERIFY(map);
        map->show();
        w.SSTab1()->setCurrentIndex(2);
        QCOMPARE(map->scene().cells.size(), 3 * 75);
        // A percentage box change marks the curve and redraws the map.
        w.settings().CourbeModifie = false;
        w.findChild<QLineEdit *>(QStringLiteral("tbMapAdj3"))->setText(QStringLiteral("100"));
        QVERIFY(w.settings().CourbeModifie);
        QCOMPARE(w.context().mapBoxes.tbMapAdj[3], QStringLiteral("100"));
        // The MAP table computes from the grid.
        auto *table = w.findChild<MapTableWidget *>();
        QCOMPARE(table->tabl_avance()->rowCount(), int(Realistic.size())); // from the new curve
        table->Check1()->click();
        QCOMPARE(table->tabl_avance()->item(2, 2)->text(), QStringLiteral("22.02"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        TestSupport::keepScreenshot(w.grab().toImage(), QStringLiteral("mainwindow-map.png"));
        w.SSTab1()->setCurrentIndex(0);
        TestSupport::keepScreenshot(w.grab().toImage(),
                                    QStringLiteral("mainwindow-parameters.png"));
    }
};

QTEST_MAIN(TestMapView)
#include "tst_ui_mapview.moc"
