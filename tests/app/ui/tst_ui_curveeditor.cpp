#include "Screenshots.h"
#include "TestSupport.h"
#include "app/VekContext.h"
#include "app/ui/CurveChart.h"
#include "app/ui/CurveEditorPanel.h"
#include "base/VEK_LANGUAGE.h"

#include <QAbstractSeries>
#include <QAction>
#include <QChart>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QValueAxis>
#include <QtTest>

using VEK_LANGUAGE::GetLanguageText;

// The curve page driven as a user would: typing, buttons, the grid's menu.
class TestUiCurveEditor : public QObject
{
    Q_OBJECT

    struct Page {
        VekContext ctx;
        CurveEditorPanel panel{ctx};
        QList<CurveMessage> shown;
        bool answer = true;
        QStringList infos;

        Page()
        {
            panel.setMessagePresenter([this](CurveEditorPanel::MessageKind, const CurveMessage &m) {
                shown << m;
                return answer;
            });
            QObject::connect(&panel, &CurveEditorPanel::info, &panel,
                             [this](const QString &t) { infos << t; });
            panel.resize(1000, 620);
            panel.show();
        }
        template <class T> T *child(const char *name)
        {
            return panel.findChild<T *>(QString::fromLatin1(name));
        }
        void enter(const QString &rpm, const QString &atmo, const QString &turbo)
        {
            child<QLineEdit>("Txt_regime")->setText(rpm);
            child<QLineEdit>("txt_av_atmo")->setText(atmo);
            child<QLineEdit>("txt_av_sural")->clear();
            QTest::keyClicks(child<QLineEdit>("txt_av_sural"), turbo);
            QTest::mouseClick(child<QPushButton>("bp_valide"), Qt::LeftButton);
        }
        void menu(const char *action)
        {
            panel.gridMenu()->findChild<QAction *>(QString::fromLatin1(action))->trigger();
        }
        QList<QPointF> chartAtmo() const { return panel.chart()->seriesPoints(0); }
    };

    static void enterTenPoints(Page &page)
    {
        const double advance[] = {8, 12, 18, 24, 29, 32, 34, 35, 35.5, 36};
        for (int i = 0; i < 10; ++i)
            page.enter(QString::number(8000 - i * 800), QString::number(advance[9 - i]),
                       QString::number(advance[9 - i] - 6));
    }

private slots:
    void initTestCase() { VEK_LANGUAGE::InitLanguage(); }

    void enteredPointsShowInGridAndChart()
    {
        Page page;
        enterTenPoints(page);
        QVERIFY(page.shown.isEmpty());
        QTableWidget *grid = page.panel.grid();
        QCOMPARE(grid->objectName(), QString("tab_avance"));
        QCOMPARE(grid->rowCount(), 10);
        QCOMPARE(grid->item(0, 0)->text(), QString("800"));
        QCOMPARE(grid->item(9, 0)->text(), QString("8000"));
        QCOMPARE(page.chartAtmo().size(), 10);
        QCOMPARE(page.chartAtmo().first(), QPointF(800, 8));
        QCOMPARE(page.panel.chart()->seriesCount(), 2);
        QVERIFY(page.child<QLineEdit>("Txt_regime")->text().isEmpty()); // boxes emptied
        QVERIFY(page.ctx.settings.CourbeModifie);
        QCOMPARE(page.infos.last(), GetLanguageText("BPValideOK"));
    }

    void refusedPointKeepsEntry()
    {
        Page page;
        page.enter("1000", "10", "8");
        page.enter("1000.0", "12", "9");
        QCOMPARE(page.shown.size(), 1);
        QCOMPARE(page.panel.grid()->rowCount(), 1);
        QCOMPARE(page.child<QLineEdit>("Txt_regime")->text(), QString("1000.0"));
    }

    void smoothAndShiftMoveTheChart()
    {
        Page page;
        for (const char *rpm : {"1000", "2000", "3000", "4000"})
            page.enter(rpm, QString::number(QByteArray(rpm).toInt() / 100), "5");
        page.ctx.settings.CourbeModifie = false;
        page.menu("MnuLisser");
        QCOMPARE(page.shown.size(), 1); // the report
        QCOMPARE(page.chartAtmo(), QList<QPointF>({{1000, 10}, {4000, 40}}));
        QVERIFY(page.ctx.settings.CourbeModifie);

        page.ctx.settings.CourbeModifie = false;
        QTest::mouseClick(page.child<QPushButton>("BP_INC"), Qt::LeftButton);
        QCOMPARE(page.chartAtmo(), QList<QPointF>({{1000, 11}, {4000, 41}}));
        QCOMPARE(page.panel.grid()->item(0, 1)->text(), QString("11"));
        QVERIFY(page.ctx.settings.CourbeModifie);
        QTest::mouseClick(page.child<QPushButton>("BP_DEC"), Qt::LeftButton);
        QTest::mouseClick(page.child<QPushButton>("BP_DEC"), Qt::LeftButton);
        QCOMPARE(page.chartAtmo(), QList<QPointF>({{1000, 9}, {4000, 39}}));
    }

    void editModeLocksRpmUntilDoneOrCurveReplaced()
    {
        Page page;
        page.enter("1000", "10", "8");
        page.enter("2000", "20", "18");
        QLineEdit *rpm = page.child<QLineEdit>("Txt_regime");
        page.panel.grid()->selectRow(1);
        page.menu("MnuEditer");
        QVERIFY(!rpm->isEnabled());
        QCOMPARE(rpm->text(), QString("2000"));
        page.child<QLineEdit>("txt_av_atmo")->setText("22");
        QTest::mouseClick(page.child<QPushButton>("bp_valide"), Qt::LeftButton);
        QVERIFY(rpm->isEnabled());
        QCOMPARE(page.panel.chart()->seriesPoints(0).at(1), QPointF(2000, 22));

        page.panel.grid()->selectRow(0);
        page.menu("MnuEditer");
        QVERIFY(!rpm->isEnabled());
        page.ctx.tab_avance.clear(); // New
        QVERIFY(rpm->isEnabled());
        QCOMPARE(page.panel.grid()->rowCount(), 0);
        QCOMPARE(page.chartAtmo().size(), 0);
    }

    void eraseAsksFirst()
    {
        Page page;
        page.enter("1000", "10", "8");
        page.panel.grid()->selectRow(0);
        page.answer = false;
        page.menu("MnuEffacer");
        QCOMPARE(page.panel.grid()->rowCount(), 1);
        page.answer = true;
        page.menu("MnuEffacer");
        QCOMPARE(page.panel.grid()->rowCount(), 0);
        QCOMPARE(page.chartAtmo().size(), 0);
    }

    void knockColumnShowsItsItems()
    {
        Page page;
        QVERIFY(!page.child<QLineEdit>("txt_av_knock")->isVisible());
        page.ctx.tab_avance.setRows({{"1000", "10", "8", "5.5"}}, true);
        QVERIFY(page.child<QLineEdit>("txt_av_knock")->isVisible());
        QVERIFY(page.child<QLabel>("Lbl_av_knock")->isVisible());
        QCOMPARE(page.panel.grid()->columnCount(), 4);
        QCOMPARE(page.panel.chart()->seriesCount(), 3);
        page.panel.showChartPoint(0);
        QCOMPARE(page.child<QLabel>("Lbl_regime")->text(), QString("1000"));
        QCOMPARE(page.child<QLabel>("Lbl_av_knock")->text(), QString("5.5"));
    }

    // Each chart type of the configuration dialog draws its own kind of chart.
    void chartTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("seriesType");
        QTest::newRow("3D line") << 2 << int(QAbstractSeries::SeriesTypeLine);
        QTest::newRow("2D line") << 3 << int(QAbstractSeries::SeriesTypeLine);
        QTest::newRow("3D area") << 4 << int(QAbstractSeries::SeriesTypeArea);
        QTest::newRow("2D area") << 5 << int(QAbstractSeries::SeriesTypeArea);
        QTest::newRow("XY") << 16 << int(QAbstractSeries::SeriesTypeLine);
        QTest::newRow("hand-edited") << 1 << int(QAbstractSeries::SeriesTypeLine);
    }

    void chartTypes()
    {
        QFETCH(int, type);
        QFETCH(int, seriesType);
        Page page;
        page.enter("1000", "10", "8");
        page.enter("3000", "30", "20");
        page.ctx.settings.TypeCourbe = type;
        page.panel.GrilleVersGraphe();
        const QList<QAbstractSeries *> all = page.panel.chart()->chart()->series();
        QCOMPARE(int(all.size()), 2); // Atmo and Turbo
        for (QAbstractSeries *s : all)
            QCOMPARE(int(s->type()), seriesType);
        // XY: rpm across; by point: the point number across, the advance up.
        const QList<QPointF> atmo = page.chartAtmo();
        QCOMPARE(atmo.size(), 2);
        QCOMPARE(atmo.at(1), type == 16 ? QPointF(3000, 30) : QPointF(2, 30));
    }

    // A mistyped cell far out of range must not wipe the axis labels out.
    void axesKeepTheirLabelsOnWildValues()
    {
        Page page;
        page.ctx.tab_avance.setRows({{"1000", "10", "8"}, {"90000000000", "-7", "900000"}}, false);
        for (QAbstractAxis *axis : page.panel.chart()->chart()->axes()) {
            auto *values = qobject_cast<QValueAxis *>(axis);
            QVERIFY(values);
            QVERIFY2(values->tickCount() <= 12, qPrintable(QString::number(values->tickCount())));
            QVERIFY(values->labelsVisible());
        }
        auto *y =
            qobject_cast<QValueAxis *>(page.panel.chart()->chart()->axes(Qt::Vertical).first());
        QVERIFY(y->min() <= -7); // a negative advance is shown, not cut off
    }

    // Cells that hold no number get no point, and no line back to 0; a click
    // on a point still names its own row.
    void badCellsAreNotDrawn()
    {
        Page page;
        page.ctx.tab_avance.setRows({{"1000", "10", "8"},
                                     {"4x00", "abc", "12"},
                                     {"2000", "2z6", "14"},
                                     {"3000", "30", "20"}},
                                    false);
        QCOMPARE(page.chartAtmo(), QList<QPointF>({{1000, 10}, {3000, 30}}));
        QCOMPARE(page.panel.chart()->seriesPoints(1),
                 QList<QPointF>({{1000, 8}, {2000, 14}, {3000, 20}}));
        QSignalSpy selected(page.panel.chart(), &CurveChart::pointSelected);
        auto *turbo = qobject_cast<QLineSeries *>(page.panel.chart()->chart()->series().at(1));
        emit turbo->clicked(QPointF(2000, 14));
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().first().toInt(), 2);
    }

    // New or Open: the point display no longer shows the old curve's point.
    void newCurveClearsThePointShown()
    {
        Page page;
        enterTenPoints(page);
        page.panel.showChartPoint(4);
        QVERIFY(!page.child<QLabel>("Lbl_regime")->text().isEmpty());
        page.ctx.tab_avance.clear();
        for (const char *name : {"Lbl_regime", "Lbl_av_atmo", "Lbl_av_sural", "Lbl_av_knock"})
            QVERIFY2(page.child<QLabel>(name)->text().isEmpty(), name);
        page.panel.showChartPoint(4);
        page.ctx.tab_avance.setRows({{"2000", "20", "25"}}, false);
        QVERIFY(page.child<QLabel>("Lbl_regime")->text().isEmpty());
    }

    // The decimal comma typed in the boxes is stored with ".".
    void decimalCommaIsStoredWithAPoint()
    {
        Page page;
        page.enter("1500", "24,5", "30");
        QCOMPARE(page.ctx.tab_avance.cell(0, 1), QString("24.5"));
        QCOMPARE(page.ctx.tab_avance.value(0, 1), 24.5);
    }

    void screenshot()
    {
        Page page;
        enterTenPoints(page);
        page.panel.grid()->selectRow(4);
        page.panel.showChartPoint(4);
        TestSupport::settle();
        QVERIFY(page.panel.grab().save(TestSupport::screenshotPath("curve_page.png")));
    }
};

VEK_TEST_MAIN_WITH_SCREENSHOTS(TestUiCurveEditor)
#include "tst_ui_curveeditor.moc"
