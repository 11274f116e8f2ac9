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
#include <QScopeGuard>
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

// A map of the realistic curve, as the map page draws it.
MapScene realisticMap()
{
    VekContext context;
    return AdvanceMap3D::BuildScene(MapPageInputs::For(context, Realistic));
}

} // namespace

using TestSupport::row;

class TestPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_informed;
    QStringList m_asked;
    QStringList m_status;
    bool m_answer = true;
    std::optional<PrintService> m_print; // never a real printer, no PDF chosen

    // The print service, printing to the PDF file `name` of the test's folder.
    PrintService &printingTo(const QString &name)
    {
        m_print->setPdfOutput(m_dir.filePath(name));
        return *m_print;
    }

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void init()
    {
        m_informed.clear();
        m_asked.clear();
        m_status.clear();
        m_answer = true;
        m_print.emplace();
        m_print->setMessageSinks([this](const QString &t) { m_informed << t; },
                                 [this](const QString &t) {
                                     m_asked << t;
                                     return m_answer;
                                 });
        m_print->setStatusSink([this](const QString &t) { m_status << t; });
        m_print->setPrinterLookup([] { return QPrinterInfo(); });
        m_print->setPdfChooser([] { return QString(); });
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
        QLabel chart(QStringLiteral("chart"));
        QVERIFY(!printingTo("nothing.pdf").bp_imprimer({page, points, &chart, {}, text}));
        QCOMPARE(m_informed, QStringList{VEK_LANGUAGE::GetLanguageText("PrintRienAImprimer")});
        QVERIFY(!QFile::exists(m_dir.filePath("nothing.pdf")));
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
        QVERIFY(printingTo("wide.pdf").bp_imprimer({PrintLayout::Curves, 3, &chart, {}, {}}));
        const QString pdf = m_dir.filePath("wide.pdf");
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
        QVERIFY(printingTo("chart.pdf")
                    .bp_imprimer({PrintLayout::RealTime, int(Realistic.size()), &view, {}, {}}));
        const QImage page = renderPage(m_dir.filePath("chart.pdf"));
        const QRect ink = boxOf(page, notWhite);
        QVERIFY(ink.isValid());
        QVERIFY(ink.top() < page.height() / 3);
    }

    void mapPage()
    {
        QVERIFY(printingTo("map.pdf").bp_imprimer(
            {PrintLayout::Map3D, int(Realistic.size()), nullptr, realisticMap(), {}}));
        const QImage page = renderPage(m_dir.filePath("map.pdf"));
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
        const QString pdf = m_dir.filePath(QStringLiteral("text.pdf"));
        QStringList lines;
        for (int i = 1; i <= 150; ++i)
            lines << QStringLiteral("#VEK line %1: 1500 rpm 12.5 deg").arg(i);
        lines << QStringLiteral("long:") + QString(300, QLatin1Char('x')) + QStringLiteral(":end");
        QVERIFY(printingTo("text.pdf")
                    .bp_imprimer({PrintLayout::Terminal, 0, nullptr, {}, lines.join("\r\n")}));
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
        QVERIFY(printingTo("margin.pdf")
                    .bp_imprimer(
                        {page, int(Realistic.size()), &chart, realisticMap(), "MMMM\r\nMMMM"}));
        const QImage paper = renderPage(m_dir.filePath("margin.pdf")); // 60 dots per inch
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
        const QString pdf = m_dir.filePath(QStringLiteral("offered.pdf"));
        m_print->setPdfChooser([pdf] { return pdf; });
        QVERIFY(
            m_print->bp_imprimer({PrintLayout::Terminal, 0, nullptr, {}, QStringLiteral("hello")}));
        QCOMPARE(m_asked, QStringList{VEK_LANGUAGE::GetLanguageText("PrintNoPrinter")});
        QVERIFY(QFileInfo(pdf).size() > 0);

        // Declined: nothing printed, nothing written.
        m_answer = false;
        QFile::remove(pdf);
        QVERIFY(!m_print->bp_imprimer(
            {PrintLayout::Terminal, 0, nullptr, {}, QStringLiteral("hello")}));
        QVERIFY(!QFile::exists(pdf));
    }

    // A PDF file, offered for want of a printer or given, is written whole and
    // named in the information label, in the user's language; one the disk or
    // its path refuses is the file's failure, said with its reason: the older
    // file stays, no other PDF is offered, and no success is said.
    void pdfFileIsWrittenOrItsFailureNamed_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("file"); // in the test's folder
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("full"); // the disk fills, over an older file
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("said"); // %1: the file; the label's text, or the refusal
        const QString french = "francais.ini";
        const QString saved = "Fichier PDF enregistré : %1";
        const QString notSaved = "Le fichier PDF %1 n'a pas été enregistré : ";
        row("offered, French", french, QString("offered map.pdf"), true, false, true, saved);
        row("offered, Spanish", QString("spanish.ini"), QString("offered map.pdf"), true, false,
            true, QString("Archivo PDF guardado: %1"));
        row("given", french, QString("written.pdf"), false, false, true, saved);
        row("offered, the disk full", french, QString("full.pdf"), true, true, false,
            notSaved + "disque plein");
        row("given, the disk full", french, QString("full.pdf"), false, true, false,
            notSaved + "disque plein");
        row("given under a file", french, QString("plain/out.pdf"), false, false, false,
            notSaved + "un élément du chemin n'est pas un dossier");
        row("given in a missing folder", french, QString("missing/out.pdf"), false, false, false,
            notSaved + "fichier ou dossier introuvable");
    }

    void pdfFileIsWrittenOrItsFailureNamed()
    {
        QFETCH(QString, language);
        QFETCH(QString, file);
        QFETCH(bool, offered);
        QFETCH(bool, full);
        QFETCH(bool, written);
        QFETCH(QString, said);
        // A file, so "plain/out.pdf" cannot be made.
        QVERIFY(TestSupport::writeFile(m_dir.filePath(QStringLiteral("plain")), {}));
        const QString pdf = m_dir.filePath(file);
        QFile::remove(pdf);
        if (full)
            QVERIFY(TestSupport::writeFile(pdf, "older pdf"));
        if (offered)
            m_print->setPdfChooser([pdf] { return pdf; });
        else
            m_print->setPdfOutput(pdf);
        bool printed = false;
        QString noPrinter;
        {
            TestSupport::useTexts(language);
            const auto french = qScopeGuard([] { TestSupport::useFrenchTexts(); });
            noPrinter = VEK_LANGUAGE::GetLanguageText("PrintNoPrinter");
            std::optional<FailingWrites> limit;
            if (full)
                limit.emplace(1024);
            printed = m_print->bp_imprimer({PrintLayout::Map3D, 3, nullptr, realisticMap(), {}});
        }
        QCOMPARE(printed, written);
        QCOMPARE(m_asked, offered ? QStringList{noPrinter} : QStringList());
        QCOMPARE((written ? m_status : m_informed), QStringList{said.arg(pdf)});
        QVERIFY((written ? m_informed : m_status).isEmpty());
        if (written)
            QVERIFY(QFileInfo(pdf).size() > 0);
        else
            QCOMPARE(TestSupport::readFile(pdf), QByteArray(full ? "older pdf" : ""));
    }
};

QTEST_MAIN(TestPrint)
#include "tst_ui_print.moc"
