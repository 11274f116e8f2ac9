#include "FailingWrites.h"
#include "Screenshots.h"
#include "TestSupport.h"
#include "app/PrintLayout.h"
#include "app/VekContext.h"
#include "app/ui/MapPageInputs.h"
#include "app/ui/PrintService.h"
#include "base/VEK_LANGUAGE.h"
#include "platform/DataPaths.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const AdvanceCurve Realistic{{800, 8, 8},    {1500, 14, 12}, {2500, 24, 18}, {3500, 30, 22},
                             {4500, 34, 26}, {6000, 36, 28}, {7500, 36, 28}};

// Renders page `page` of a PDF to a PNG (pdftoppm) and loads it.
QImage renderPage(const QString &pdf, int page = 1)
{
    const QString base = pdf + QStringLiteral("-p%1").arg(page);
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {"-png", "-r", "60", "-f", QString::number(page), "-l", QString::number(page),
                       "-singlefile", pdf, base});
    const QImage image(base + QStringLiteral(".png"));
    TestSupport::keepScreenshot(image, QFileInfo(base).fileName() + QStringLiteral(".png"));
    return image;
}

int pageCount(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    const QString out = QString::fromLocal8Bit(info.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// Bounding box of the pixels close to a colour.
QRect boxOf(const QImage &image, const std::function<bool(QColor)> &match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool reddish(QColor c)
{
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
}
bool notWhite(QColor c)
{
    return c.red() < 240 || c.green() < 240 || c.blue() < 240;
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_informed;
    QStringList m_asked;
    QStringList m_status;
    bool m_answer = true;

    void hook(PrintService &service)
    {
        service.setMessageSinks([this](const QString &t) { m_informed << t; },
                                [this](const QString &t) {
                                    m_asked << t;
                                    return m_answer;
                                });
        service.setStatusSink([this](const QString &t) { m_status << t; });
        service.setPrinterLookup([] { return QPrinterInfo(); }); // never a real printer in tests
        service.setPdfChooser([] { return QString(); });
    }

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void init()
    {
        m_informed.clear();
        m_asked.clear();
        m_status.clear();
        m_answer = true;
    }

    void pictureOnThePage()
    {
        using PrintLayout::PlacePicture;
        const QSizeF a4(11906, 16838);
        // Centred, 200 twips from the top.
        QCOMPARE(PlacePicture({6000, 3000}, a4), QRectF((11906 - 6000) / 2.0, 200, 6000, 3000));
        // Wider than the page: scaled to the page width, never a negative position.
        const QRectF wide = PlacePicture({20000, 5000}, a4);
        QCOMPARE(wide.left(), 0.0);
        QCOMPARE(wide.width(), 11906.0);
        QCOMPARE(wide.height(), 5000 * 11906 / 20000.0);
        // Taller than the room left under the margin: scaled to it.
        const QRectF tall = PlacePicture({5000, 40000}, a4);
        QCOMPARE(tall.bottom(), 16838.0);
        QVERIFY(tall.left() > 0);
        QVERIFY(PlacePicture({0, 10}, a4).isNull());
    }

    void nothingToPrint_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("text");
        QTest::newRow("parameters") << 0 << 5 << "x";
        QTest::newRow("chart without points") << 1 << 0 << "";
        QTest::newRow("map without points") << 2 << 0 << "";
        QTest::newRow("empty terminal") << 3 << 5 << "";
    }

    void nothingToPrint()
    {
        QFETCH(int, page);
        QFETCH(int, points);
        QFETCH(QString, text);
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("nothing.pdf"));
        service.setPdfOutput(pdf);
        QLabel chart(QStringLiteral("chart"));
        QVERIFY(!service.bp_imprimer({page, points, &chart, {}, text}));
        QCOMPARE(m_informed, QStringList{VEK_LANGUAGE::GetLanguageText("PrintRienAImprimer")});
        QVERIFY(!QFile::exists(pdf));
    }

    void wideChartIsScaledToThePage()
    {
        // A picture with a red border, wider than any page: the whole border
        // must be on paper, centred.
        QPixmap wide(1500, 500);
        wide.fill(Qt::white);
        QPainter p(&wide);
        p.setPen(QPen(Qt::red, 12));
        p.drawRect(6, 6, 1488, 488);
        p.end();
        QLabel chart;
        chart.setPixmap(wide);
        chart.resize(1500, 500);
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("wide.pdf"));
        service.setPdfOutput(pdf);
        QVERIFY(service.bp_imprimer({PrintLayout::Curves, 3, &chart, {}, {}}));
        QCOMPARE(m_status, QStringList{"Fichier PDF enregistré : " + pdf});
        const QImage page = renderPage(pdf);
        QVERIFY(!page.isNull());
        const QRect red = boxOf(page, reddish);
        QVERIFY(red.isValid());
        QVERIFY(red.left() > 0);
        QVERIFY(red.right() < page.width() - 1);
        QVERIFY(std::abs(red.left() - (page.width() - 1 - red.right())) <= 3); // centred
        // The right edge of the border is there too: the picture is whole.
        int rightEdge = 0;
        for (int y = red.top(); y <= red.bottom(); ++y)
            rightEdge += reddish(page.pixelColor(red.right(), y));
        QVERIFY(rightEdge > red.height() / 2);
    }

    void chartPage()
    {
        auto *atmo = new QLineSeries;
        auto *turbo = new QLineSeries;
        for (const AdvancePoint &point : Realistic) {
            atmo->append(point.rpm, point.atmo);
            turbo->append(point.rpm, point.turbo);
        }
        auto *chart = new QChart;
        chart->addSeries(atmo);
        chart->addSeries(turbo);
        chart->createDefaultAxes();
        QChartView view(chart);
        view.resize(700, 420);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("chart.pdf"));
        service.setPdfOutput(pdf);
        QVERIFY(service.bp_imprimer({PrintLayout::RealTime, int(Realistic.size()), &view, {}, {}}));
        const QImage page = renderPage(pdf);
        const QRect ink = boxOf(page, notWhite);
        QVERIFY(ink.isValid());
        QVERIFY(ink.top() < page.height() / 3);
    }

    void mapPage()
    {
        VekContext context;
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("map.pdf"));
        service.setPdfOutput(pdf);
        const MapScene scene = AdvanceMap3D::BuildScene(MapPageInputs::For(context, Realistic));
        QVERIFY(
            service.bp_imprimer({PrintLayout::Map3D, int(Realistic.size()), nullptr, scene, {}}));
        const QImage page = renderPage(pdf);
        const QRect map =
            boxOf(page, [](QColor c) { return c.red() < 30 && c.green() < 30 && c.blue() < 30; });
        QVERIFY(map.isValid()); // the black picture
        QVERIFY(std::abs(map.left() - (page.width() - 1 - map.right())) <= 3);
        const QRect green = boxOf(
            page, [](QColor c) { return c.green() > 200 && c.red() < 100 && c.blue() < 100; });
        QVERIFY(map.contains(green));
    }

    void terminalText()
    {
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("text.pdf"));
        service.setPdfOutput(pdf);
        QStringList lines;
        for (int i = 1; i <= 150; ++i)
            lines << QStringLiteral("#VEK line %1: 1500 rpm 12.5 deg").arg(i);
        lines << QStringLiteral("long:") + QString(300, QLatin1Char('x')) + QStringLiteral(":end");
        QVERIFY(service.bp_imprimer({PrintLayout::Terminal, 0, nullptr, {}, lines.join("\r\n")}));
        QCOMPARE(m_informed, QStringList{VEK_LANGUAGE::GetLanguageText("PrintTexteEnCours")});
        QCOMPARE(m_status, QStringList{"Fichier PDF enregistré : " + pdf});
        QVERIFY(pageCount(pdf) >= 2);
        QVERIFY(boxOf(renderPage(pdf), notWhite).isValid());
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        text.waitForFinished();
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY(out.contains(QStringLiteral("#VEK line 1:")));
        QVERIFY(out.contains(QStringLiteral("#VEK line 150:")));
        QVERIFY(out.contains(QStringLiteral(":end"))); // a long line is wrapped, not cut
    }

    // Text and pictures keep clear of the paper's edge, where printers cannot
    // print: 10 mm all round.
    void everyPrintKeepsAMargin_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("terminal text") << int(PrintLayout::Terminal);
        QTest::newRow("curve chart") << int(PrintLayout::Curves);
        QTest::newRow("3D map") << int(PrintLayout::Map3D);
    }

    void everyPrintKeepsAMargin()
    {
        QFETCH(int, page);
        // A chart wider than any page and inked to its edges: it fills the
        // width between the margins.
        QPixmap wide(1500, 500);
        wide.fill(Qt::black);
        QLabel chart;
        chart.setPixmap(wide);
        chart.resize(wide.size());
        VekContext context;
        const MapScene map = AdvanceMap3D::BuildScene(MapPageInputs::For(context, Realistic));
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("margin.pdf"));
        service.setPdfOutput(pdf);
        QVERIFY(service.bp_imprimer({page, int(Realistic.size()), &chart, map, "MMMM\r\nMMMM"}));
        const QImage paper = renderPage(pdf); // 60 dots per inch
        const QRect ink = boxOf(paper, notWhite);
        QVERIFY(ink.isValid());
        const double margin = 9.5 * 60 / 25.4;
        QVERIFY2(ink.left() >= margin && ink.top() >= margin &&
                     paper.width() - 1 - ink.right() >= margin &&
                     paper.height() - 1 - ink.bottom() >= margin,
                 qPrintable(QString("ink from %1, %2 to %3, %4 on %5 x %6 dots")
                                .arg(ink.left())
                                .arg(ink.top())
                                .arg(ink.right())
                                .arg(ink.bottom())
                                .arg(paper.width())
                                .arg(paper.height())));
    }

    // The PDF file choice opens on a named file where the user keeps documents.
    void pdfChoiceStartsWithANameInTheDocuments()
    {
        const QFileInfo start(PrintService::DefaultPdfPath());
        QCOMPARE(start.absolutePath() + '/', DataPaths::UserDocumentsDirectory());
        QCOMPARE(start.suffix(), QString("pdf"));
        QVERIFY(!start.completeBaseName().isEmpty());
    }

    void noPrinterOffersPdf()
    {
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("offered.pdf"));
        service.setPdfChooser([pdf] { return pdf; });
        QVERIFY(
            service.bp_imprimer({PrintLayout::Terminal, 0, nullptr, {}, QStringLiteral("hello")}));
        QCOMPARE(m_asked, QStringList{VEK_LANGUAGE::GetLanguageText("PrintNoPrinter")});
        QVERIFY(QFileInfo(pdf).size() > 0);

        // Declined: nothing printed, nothing written.
        m_answer = false;
        QFile::remove(pdf);
        QVERIFY(
            !service.bp_imprimer({PrintLayout::Terminal, 0, nullptr, {}, QStringLiteral("hello")}));
        QVERIFY(!QFile::exists(pdf));
    }

    // Printed to a PDF file, the information label names the file written
    // rather than saying that printing goes on.
    void pdfFileWrittenIsNamed_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("says");
        TestSupport::row("French", QString("francais.ini"), QString("Fichier PDF enregistré : "));
        TestSupport::row("Spanish", QString("spanish.ini"), QString("Archivo PDF guardado: "));
    }

    void pdfFileWrittenIsNamed()
    {
        QFETCH(QString, language);
        QFETCH(QString, says);
        TestSupport::useTexts(language);
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("offered map.pdf"));
        service.setPdfChooser([pdf] { return pdf; });
        VekContext context;
        const MapScene scene = AdvanceMap3D::BuildScene(MapPageInputs::For(context, Realistic));
        const bool printed = service.bp_imprimer({PrintLayout::Map3D, 3, nullptr, scene, {}});
        TestSupport::useFrenchTexts();
        QVERIFY(printed);
        QCOMPARE(m_status, QStringList{says + pdf});
    }

    // A PDF the disk refuses, whether it was offered for want of a printer or
    // given: the older file stays, the failure is the file's, said with its
    // reason, no other PDF is offered, and no success is said.
    void pdfTheDiskRefusesIsAFileFailure_data()
    {
        QTest::addColumn<bool>("offered");
        TestSupport::row("offered, no printer", true);
        TestSupport::row("given", false);
    }

    void pdfTheDiskRefusesIsAFileFailure()
    {
        QFETCH(bool, offered);
        PrintService service;
        hook(service);
        const QString pdf = m_dir.filePath(QStringLiteral("full.pdf"));
        QVERIFY(TestSupport::writeFile(pdf, "older pdf"));
        if (offered)
            service.setPdfChooser([pdf] { return pdf; });
        else
            service.setPdfOutput(pdf);
        VekContext context;
        const MapScene scene = AdvanceMap3D::BuildScene(MapPageInputs::For(context, Realistic));
        bool printed = true;
        {
            const FailingWrites full(1024);
            printed = service.bp_imprimer({PrintLayout::Map3D, 3, nullptr, scene, {}});
        }
        QVERIFY(!printed);
        QCOMPARE(TestSupport::readFile(pdf), QByteArray("older pdf"));
        QVERIFY(m_status.isEmpty());
        QCOMPARE(m_asked, offered ? QStringList{VEK_LANGUAGE::GetLanguageText("PrintNoPrinter")}
                                  : QStringList());
        QCOMPARE(m_informed,
                 QStringList{"Le fichier PDF " + pdf + " n'a pas été enregistré : disque plein"});
    }

    // A PDF file that cannot be made is refused with its name and the reason,
    // and nothing more is offered; one that can is written whole.
    void pdfFileFailureNamesTheFile_data()
    {
        QTest::addColumn<QString>("file");    // the PDF file, in the test's folder
        QTest::addColumn<QString>("refusal"); // what the user is told; empty: written
        TestSupport::row("PDF written", QString("written.pdf"), QString());
        TestSupport::row("PDF under a file", QString("plain/out.pdf"),
                         QString("Le fichier PDF %1 n'a pas été enregistré : un élément du chemin "
                                 "n'est pas un dossier"));
        TestSupport::row("PDF in a missing folder", QString("missing/out.pdf"),
                         QString("Le fichier PDF %1 n'a pas été enregistré : fichier ou dossier "
                                 "introuvable"));
    }

    void pdfFileFailureNamesTheFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, refusal);
        PrintService service;
        hook(service);
        // A file, so "plain/out.pdf" cannot be made.
        QVERIFY(TestSupport::writeFile(m_dir.filePath(QStringLiteral("plain")), {}));
        const QString pdf = m_dir.filePath(file);
        service.setPdfOutput(pdf);
        VekContext context;
        const MapScene scene = AdvanceMap3D::BuildScene(MapPageInputs::For(context, Realistic));
        QCOMPARE(service.bp_imprimer({PrintLayout::Map3D, 3, nullptr, scene, {}}),
                 refusal.isEmpty());
        QVERIFY(m_asked.isEmpty());
        if (refusal.isEmpty()) {
            QVERIFY(QFileInfo(pdf).size() > 0);
            return;
        }
        QCOMPARE(m_informed, QStringList{refusal.arg(pdf)});
        QVERIFY(m_status.isEmpty());
    }
};

QTEST_MAIN(TestPrint)
#include "tst_ui_print.moc"
