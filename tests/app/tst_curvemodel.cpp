#include "TestSupport.h"
#include "app/CurveChartData.h"
#include "app/CurveModel.h"
#include "base/VEK_LANGUAGE.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

// Rows of rpm x, Atmo y and Turbo y - 5.
static QVector<QStringList> points(const QList<QPointF> &xy)
{
    QVector<QStringList> rows;
    for (const QPointF &p : xy)
        rows << QStringList{QString::number(p.x()), QString::number(p.y()),
                            QString::number(p.y() - 5)};
    return rows;
}

using Rows = QVector<QStringList>;
using TestSupport::row;

static QList<double> column(const CurveModel &m, int c)
{
    QList<double> values;
    for (int r = 0; r < m.pointCount(); ++r)
        values << m.value(r, c);
    return values;
}

class TestCurveModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::useTexts("english.ini"); }

    // What keeps a curve from becoming tables: the rows named, each with its reason.
    void invalidValues_data()
    {
        QTest::addColumn<QVector<QStringList>>("rows");
        QTest::addColumn<bool>("knock");
        QTest::addColumn<QList<int>>("badRows"); // numbered from 1
        QTest::addColumn<QString>("reason");
        const QString notANumber = "a value is not a number (decimal point \".\")";
        const QString outside = "out of range (735 to 10000 rpm, advances 0 to 50°)";
        const QString unsorted = "engine speed not above the previous row's";
        using Bad = QList<int>;
        row("sound", Rows{{"1000", "10", "8"}, {"2000", " 24.5", "+20"}}, false, Bad{}, QString());
        row("empty curve", Rows{}, false, Bad{}, QString());
        row("decimal comma", Rows{{"1000", "24,5", "8"}}, false, Bad{1}, notANumber);
        row("point at either end", Rows{{"1000", ".5", "8."}}, false, Bad{}, QString());
        row("two points", Rows{{"1000", "1.2.3", "8"}}, false, Bad{1}, notANumber);
        row("sign alone", Rows{{"1000", "10", "-"}}, false, Bad{1}, notANumber);
        row("trailing text", Rows{{"1000 rpm", "10", "8"}}, false, Bad{1}, notANumber);
        row("empty cell", Rows{{"1000", "", "8"}}, false, Bad{1}, QString("a value is empty"));
        row("blank turbo cell", Rows{{"1000", "10", " "}}, false, Bad{1},
            QString("a value is empty"));
        row("rpm too low", Rows{{"734", "10", "8"}}, false, Bad{1}, outside);
        row("advance above 50", Rows{{"1000", "10", "50.5"}}, false, Bad{1}, outside);
        row("negative advance", Rows{{"1000", "-1", "8"}}, false, Bad{1}, outside);
        row("unsorted", Rows{{"2000", "10", "8"}, {"1000", "10", "8"}}, false, Bad{2}, unsorted);
        row("same rpm twice", Rows{{"1000", "10", "8"}, {"1000.0", "12", "8"}}, false, Bad{2},
            unsorted);
        row("knock empty is harmless", Rows{{"1000", "10", "8", ""}}, true, Bad{}, QString());
        row("knock text", Rows{{"1000", "10", "8", "k"}}, true, Bad{1}, notANumber);
    }

    void invalidValues()
    {
        QFETCH(QVector<QStringList>, rows);
        QFETCH(bool, knock);
        QFETCH(QList<int>, badRows);
        QFETCH(QString, reason);
        CurveModel m;
        m.setRows(rows, knock);
        const QString message = m.invalidValuesMessage();
        QCOMPARE(message, CurveModel::invalidValuesMessage(m.rows()));
        if (badRows.isEmpty()) {
            QVERIFY2(message.isEmpty(), qPrintable(message));
            return;
        }
        const QStringList lines = message.split('\n');
        QCOMPARE(lines.first(), VEK_LANGUAGE::GetLanguageText("CourbeValeursInvalides"));
        QCOMPARE(lines.size(), badRows.size() + 1);
        for (int i = 0; i < badRows.size(); ++i) {
            QVERIFY(lines.at(i + 1).startsWith(QString("Row %1 (").arg(badRows.at(i))));
            QVERIFY2(lines.at(i + 1).endsWith(": " + reason), qPrintable(lines.at(i + 1)));
        }
    }

    void longListsAreCut()
    {
        QVector<QStringList> rows;
        for (int i = 0; i < 100; ++i)
            rows << QStringList{"x", "10", "8"};
        const QStringList lines = CurveModel::invalidValuesMessage(rows).split('\n');
        QCOMPARE(lines.size(), 22); // the title, twenty rows, "..."
        QCOMPARE(lines.last(), QString("..."));
    }

    void cellsReadAsLeadingNumber()
    {
        CurveModel m;
        m.setRows({{"1000 rpm", "12.5°", "abc"}, {" 2000", "-0.5", ".5"}}, false);
        QCOMPARE(m.value(0, 0), 1000.0);
        QCOMPARE(m.value(0, 1), 12.5);
        QCOMPARE(m.value(0, 2), 0.0);
        QCOMPARE(m.value(1, 0), 2000.0);
        QCOMPARE(m.value(1, 1), -0.5);
        QCOMPARE(m.cell(0, 1), QString("12.5°")); // cells keep their text
        QCOMPARE(m.cell(5, 0), QString());
    }

    void knockColumnAndReset()
    {
        CurveModel m;
        QSignalSpy resets(&m, &CurveModel::reset);
        m.setRows({{"1000", "10", "8", "5.5", "extra"}}, true);
        QCOMPARE(m.columnCount(), 4);
        QCOMPARE(m.headers(), QStringList({"Rpm", "Atmo", "Turbo", "Knock"}));
        QCOMPARE(m.rows().first().size(), 4);
        QCOMPARE(m.gridRows(), QList<QStringList>({m.headers(), {"1000", "10", "8", "5.5"}}));
        m.setKnockColumn(false);
        QCOMPARE(m.rows().first(), QStringList({"1000", "10", "8"}));
        m.clear();
        QCOMPARE(m.pointCount(), 0);
        QCOMPARE(m.columnCount(), 3);
        QCOMPARE(resets.count(), 2);
    }

    void swapIgnoresRowsOutOfRange()
    {
        CurveModel m;
        m.setRows(points({{1000, 10}, {2000, 20}}), false);
        m.SwapRowGrid(0, 2);
        m.SwapRowGrid(-1, 0);
        QCOMPARE(column(m, 0), QList<double>({1000, 2000}));
        m.SwapRowGrid(0, 1);
        QCOMPARE(column(m, 0), QList<double>({2000, 1000}));
    }

    // Sorting by rpm moves whole rows as they are written, in numeric order;
    // of equal values the first stays first.
    void sortAscendingNumerically_data()
    {
        QTest::addColumn<QVector<QStringList>>("rows");
        QTest::addColumn<QList<int>>("order"); // the sorted rows by their place before
        QTest::newRow("numbers") << QVector<QStringList>{{"4000", "4"},
                                                         {"3000", "3"},
                                                         {"800", "0.8"},
                                                         {"10000", "10"},
                                                         {"1000.0", "1"}}
                                 << QList<int>{2, 4, 1, 0, 3};
        QTest::newRow("equal values")
            << QVector<QStringList>{{"2000", "a"}, {"1000", "first"}, {"1000", "second"}}
            << QList<int>{1, 2, 0};
    }

    void sortAscendingNumerically()
    {
        QFETCH(QVector<QStringList>, rows);
        QFETCH(QList<int>, order);
        CurveModel m;
        m.setRows(rows, false);
        const QVector<QStringList> before = m.rows();
        m.Tri_tableau(0);
        QVector<QStringList> sorted;
        for (int i : order)
            sorted << before[i];
        QCOMPARE(m.rows(), sorted);
    }

    void deleteRow()
    {
        CurveModel m;
        m.setRows(points({{1000, 10}, {2000, 20}, {3000, 30}}), false);
        m.SupprimeLigneGrille(1);
        QCOMPARE(column(m, 0), QList<double>({1000, 3000}));
        m.SupprimeLigneGrille(1);
        m.SupprimeLigneGrille(7);
        QCOMPARE(column(m, 0), QList<double>({1000}));
    }

    // Smoothing takes out the points near the line through their neighbours,
    // or beyond both; never an end, nothing of two points, nothing judged of
    // points at one speed.
    void smoothing_data()
    {
        QTest::addColumn<QList<QPointF>>("points"); // rpm, Atmo
        QTest::addColumn<QList<double>>("kept");    // the rpm of the points left
        QList<QPointF> line;
        for (int x = 800; x <= 8000; x += 800)
            line << QPointF(x, 5 + x * 0.003);
        row("straight line", line, QList<double>{800, 8000});
        const auto middle = [](double y) {
            return QList<QPointF>{{1000, 10}, {2000, y}, {3000, 30}};
        };
        row("near line", middle(20.1), QList<double>{1000, 3000});
        row("off line", middle(20.3), QList<double>{1000, 2000, 3000});
        row("above both", middle(35), QList<double>{1000, 3000});
        row("below both", middle(5), QList<double>{1000, 3000});
        row("two points", QList<QPointF>{{1000, 10}, {2000, 25}}, QList<double>{1000, 2000});
        row("three at one speed", QList<QPointF>{{2000, 10}, {2000, 20}, {2000, 15}, {3000, 12}},
            QList<double>{2000, 2000, 2000, 3000});
    }

    void smoothing()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(QList<double>, kept);
        CurveModel m;
        m.setRows(::points(points), false);
        QCOMPARE(m.lisser(), points.size() - kept.size());
        QCOMPARE(column(m, 0), kept);
    }

    void shiftWritesSignedTextAndClamps()
    {
        CurveModel m;
        m.setRows({{"1000", "0.5", "12.5", "49.5"}, {"2000", "12.3", "0", "50"}}, true);
        QVERIFY(m.decalerAvances(-1));
        QCOMPARE(m.rows().at(0), QStringList({"1000", " 0", " 11.5", " 48.5"}));
        QCOMPARE(m.rows().at(1), QStringList({"2000", " 11.3", " 0", " 49"}));
        QVERIFY(m.decalerAvances(+1));
        QVERIFY(m.decalerAvances(+1));
        QCOMPARE(m.rows().at(0), QStringList({"1000", " 2", " 13.5", " 50"}));
        m.setRows({{"1000", "0", "0"}}, false);
        QVERIFY(!m.decalerAvances(-1)); // nothing below 0: no value changed
        QCOMPARE(m.cell(0, 1), QString(" 0"));
    }

    void numberTexts()
    {
        QCOMPARE(CurveModel::texteNombre(12.3 - 1), QString("11.3"));
        QCOMPARE(CurveModel::texteNombre(-0.5), QString("-0.5"));
        QCOMPARE(CurveModel::texteNombre(10000), QString("10000"));
        QCOMPARE(CurveModel::texteNombre(0.1 + 0.2), QString("0.3"));
        QCOMPARE(CurveModel::texteSigne(-0.0), QString(" 0"));
        QCOMPARE(CurveModel::texteSigne(-2), QString("-2"));
    }

    void chartData()
    {
        CurveModel m;
        m.setRows({{"1000", "10", "8"}, {"2000", "20", "18"}}, false);
        CurveChartData xy = GrilleVersGraphe(m, CurveChartData::TypeXY);
        QCOMPARE(xy.columnCount, 4);
        QCOMPARE(xy.seriesCount(), 2);
        QCOMPARE(xy.rows.at(1), QVector<double>({2000, 20, 2000, 18}));
        m.setKnockColumn(true);
        m.setCell(0, 3, "6");
        xy = GrilleVersGraphe(m, CurveChartData::TypeXY);
        QCOMPARE(xy.columnCount, 6);
        QCOMPARE(xy.rows.at(0), QVector<double>({1000, 10, 1000, 8, 1000, 6}));
        const CurveChartData bars = GrilleVersGraphe(m, 1);
        QCOMPARE(bars.columnCount, 2);
        QCOMPARE(bars.rows.at(0), QVector<double>({10, 8}));
        QCOMPARE(CurveChartData::seriesName(2), QString("KNOCK"));

        // A cell without a number has no value to draw.
        m.setKnockColumn(false);
        m.setRows({{"1000", "10", "8"}, {"4x00", "abc", "2z6"}, {"2000", "20", "x"}}, false);
        xy = GrilleVersGraphe(m, CurveChartData::TypeXY);
        QCOMPARE(xy.rows.at(0), QVector<double>({1000, 10, 1000, 8}));
        for (double v : xy.rows.at(1))
            QVERIFY(std::isnan(v));
        QCOMPARE(xy.rows.at(2).mid(0, 3), QVector<double>({2000, 20, 2000}));
        QVERIFY(std::isnan(xy.rows.at(2).at(3)));
        const CurveChartData lines = GrilleVersGraphe(m, 1);
        QVERIFY(std::isnan(lines.rows.at(1).at(0)) && std::isnan(lines.rows.at(1).at(1)));
        QCOMPARE(lines.rows.at(2).at(0), 20.0);
    }
};

QTEST_GUILESS_MAIN(TestCurveModel)
#include "tst_curvemodel.moc"
