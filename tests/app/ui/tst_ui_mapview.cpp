#include "Keyboard.h"
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

    void noCurveGivesNeutralCells()
    {
        MapTableWidget widget;
        widget.setRowTexts({{"1000", "10", "20"}});
        widget.Check1_Click();
        QCOMPARE(widget.tabl_avance()->item(0, 2)->text(), QString());
        QCOMPARE(widget.tabl_avance()->item(0, 2)->background().color(),
                 MapScenePainter::ColorOf(MapPalette::Neutral));
    }

    // A MAP percentage typed into a box of the map page or a cell of the MAP
    // table, and a pressure band typed into its box, are read when the entry
    // ends, as the engine boxes are: taken on "," or ".", or refused with a
    // message, the value kept. The "Lissage" cell is no percentage.
    void typedMapValues_data()
    {
        QTest::addColumn<QString>("entry"); // box name, or "talbMapAdj" for the table cell
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("message");
        const QString range = "Pourcentage MAP : « %1 » est hors limites : entrez un nombre "
                              "de 0 à 100.";
        const QString band = "Plage de pression MAP : « %1 » n'est ni un pourcentage ni une "
                             "plage de pourcentages de 0 à 100 (« 25-50 »).";
        for (const QString entry : {"tbMapAdj1", "talbMapAdj"}) {
            const QString was = entry == "talbMapAdj" ? "33" : "12.5";
            const auto name = [&](const char *what) { return (entry + ' ' + what).toLatin1(); };
            TestSupport::row(name("comma"), entry, QString("12,5"), QString("12.5"), QString());
            TestSupport::row(name("point"), entry, QString("7.5"), QString("7.5"), QString());
            TestSupport::row(name("beyond"), entry, QString("150"), was, range.arg("150"));
            TestSupport::row(name("negative"), entry, QString("-5"), was, range.arg("-5"));
            TestSupport::row(name("letters"), entry, QString("abc"), was,
                             QString("Pourcentage MAP : « abc » n'est pas un nombre."));
            TestSupport::row(name("exponent"), entry, QString("1e2"), was,
                             QString("Pourcentage MAP : « 1e2 » n'est pas un nombre : « e2 » "
                                     "suit le nombre."));
        }
        TestSupport::row("band", "tbMap2", QString("25-50"), QString("25-50"), QString());
        TestSupport::row("band of one", "tbMap2", QString("40"), QString("40"), QString());
        TestSupport::row("band letters", "tbMap2", QString("abc"), QString("25"), band.arg("abc"));
        TestSupport::row("band beyond", "tbMap2", QString("150"), QString("25"), band.arg("150"));
        TestSupport::row("band reversed", "tbMap2", QString("50-25"), QString("25"),
                         band.arg("50-25"));
    }

    void typedMapValues()
    {
        QFETCH(QString, entry);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(QString, message);
        TestSupport::useFrenchTexts();
        VekContext context;
        QWidget page;
        auto *layout = new QVBoxLayout(&page);
        auto *boxes = new MapBoxesWidget(context.mapBoxes, &page);
        auto *table = new MapTableWidget(&page);
        layout->addWidget(boxes);
        layout->addWidget(table);
        QStringList refused;
        connect(boxes, &MapBoxesWidget::refused, this, [&](const QString &m) { refused << m; });
        connect(table, &MapTableWidget::refused, this, [&](const QString &m) { refused << m; });
        QTableWidget *cells = table->talbMapAdj();
        if (entry == "talbMapAdj") {
            QVERIFY(Keyboard::focus(cells));
            cells->setCurrentCell(0, 2);
            for (const QChar c : typed) // the first key opens the cell's editor
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        } else {
            QVERIFY(Keyboard::focus(page.findChild<QLineEdit *>(entry)));
            Keyboard::retype(typed);
        }
        Keyboard::press(Qt::Key_Return);
        if (entry == "talbMapAdj") // the cell's editor hands its text back once the key is done
            QTRY_COMPARE(QApplication::focusWidget(), cells);
        QCOMPARE(refused.join('\n'), message);
        if (entry == "talbMapAdj") {
            QCOMPARE(cells->item(0, 2)->text(), kept);
        } else {
            const int i = entry.right(1).toInt();
            const bool adjust = entry.startsWith("tbMapAdj");
            QCOMPARE(page.findChild<QLineEdit *>(entry)->text(), kept);
            QCOMPARE(adjust ? context.mapBoxes.tbMapAdj[i] : context.mapBoxes.tbMap[i], kept);
        }
        // The smoothing caption takes no key.
        QVERIFY(Keyboard::focus(cells));
        cells->setCurrentCell(0, 0);
        Keyboard::press(Qt::Key_5);
        QCOMPARE(cells->item(0, 0)->text(), QStringLiteral("Lissage"));
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
