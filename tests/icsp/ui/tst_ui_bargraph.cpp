#include "base/ui/ElidedLabel.h"
#include "icsp/ui/StatusPanel.h"
#include "icsp/ui/VEK_BarGraph.h"

#include "TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QtTest>

#include <optional>

using TestSupport::row;

// The bar graph draws into an off-screen picture that its panel shows.
class TestBarGraph : public QObject
{
    Q_OBJECT

    static constexpr QRgb White = 0xFFFFFFFF;
    static constexpr QRgb Blue = 0xFF0000FF; // colour value 0xFF0000 (red in the low byte)

    static int countColour(const QImage &image, QRgb colour, int x0, int x1)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = x0; x < x1; ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    // Columns from x0 to x1 holding any pixel other than `colour`.
    static bool onlyColour(const QImage &image, QRgb colour, int x0, int x1)
    {
        return countColour(image, colour, x0, x1) == image.height() * (x1 - x0);
    }

    // First and last columns from x0 to x1 holding any pixel other than
    // `colour` (frame rows excluded), or -1, -1.
    static std::pair<int, int> inkColumns(const QImage &image, QRgb colour, int x0, int x1)
    {
        int first = -1, last = -1;
        for (int x = x0; x < x1; ++x)
            for (int y = 1; y + 1 < image.height(); ++y)
                if (image.pixel(x, y) != colour) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }
    static int darkest(const QImage &image, int x0, int x1)
    {
        int gray = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = x0; x <= x1; ++x)
                gray = std::min(gray, qGray(image.pixel(x, y)));
        return gray;
    }

    // A bar drawing into a panel `width` pixels wide; `text`: the text colour,
    // none for the bar's own.
    struct Bound {
        StatusPanel panel;
        VEK_BarGraph bar;
        explicit Bound(int width = 300, uint32_t progress = 0xFF0000,
                       std::optional<uint32_t> text = 0)
            : panel(width)
        {
            bar.Initialize(&panel);
            if (text)
                bar.setTextColor(*text);
            bar.setProgressColor(progress);
        }
    };

private slots:
    void colourValues()
    {
        const QPalette palette = QApplication::palette();
        QCOMPARE(VEK_BarGraph::colorOf(0xFF0000, palette), QColor(0, 0, 255));
        QCOMPARE(VEK_BarGraph::colorOf(255, palette), QColor(255, 0, 0));
        QCOMPARE(VEK_BarGraph::colorOf(0x8000000D, palette), palette.color(QPalette::Highlight));
        VEK_BarGraph fresh;
        QCOMPARE(fresh.TextColor(), 0x80000007u);
        QCOMPARE(fresh.ProgressColor(), 0x8000000Du);
    }

    // A bar unbound from its panel, or whose panel is gone, leaves on screen
    // what was drawn last.
    void unboundDrawsNothing()
    {
        Bound b;
        b.bar.DrawPanel("", 50);
        const QImage half = b.panel.grab().toImage();
        const QImage inside = half.copy(0, 1, half.width(), half.height() - 2); // within the frame
        QVERIFY(onlyColour(inside, Blue, 100, 149));
        QVERIFY(onlyColour(inside, White, 151, 299));
        b.bar.Initialize(nullptr);
        QVERIFY(!b.bar.isBound());
        b.bar.DrawPanel("", 100);
        b.bar.DrawFond("COM1");
        QCOMPARE(b.panel.grab().toImage(), half);

        VEK_BarGraph orphan;
        auto *gone = new StatusPanel(100);
        orphan.Initialize(gone);
        delete gone;
        QVERIFY(!orphan.isBound());
        orphan.DrawPanel("", 50); // must not reach the deleted panel
        orphan.DrawFond("COM1");
        VEK_BarGraph never;
        never.DrawPanel("", 50);
        QVERIFY(!never.isBound());
    }

    void barFollowsThePercentage_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("filled"); // columns of the 300-pixel panel
        QTest::newRow("150 is full") << 150 << 300;
        QTest::newRow("100") << 100 << 300;
        QTest::newRow("half") << 50 << 150;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("negative") << -20 << 0;
    }

    void barFollowsThePercentage()
    {
        QFETCH(int, value);
        QFETCH(int, filled);
        Bound b;
        b.bar.DrawPanel("", int16_t(value));
        const QImage image = b.panel.picture();
        QCOMPARE(image.width(), 300);
        QCOMPARE(image.height(), b.panel.height());
        // Past the text: the bar in blue, then the white background.
        const int textEnd = b.panel.fontMetrics().horizontalAdvance("-100 %") + 2;
        if (filled > textEnd) {
            QVERIFY(onlyColour(image, Blue, textEnd, filled));
            QVERIFY(countColour(image, Blue, filled, 300) == 0);
        }
        if (filled < 300)
            QVERIFY(onlyColour(image, White, std::max(filled, textEnd), 300));
    }

    // Bar lengths are rounded to the nearest pixel, halves to even.
    void lengthRoundsHalfToEven()
    {
        Bound b(5050, 0xFF0000, std::nullopt);
        b.bar.DrawPanel("", 1); // 50.5 pixels
        QVERIFY(onlyColour(b.panel.picture(), Blue, 49, 50));
        QVERIFY(onlyColour(b.panel.picture(), White, 50, 51));
        b.bar.DrawPanel("", 3); // 151.5 pixels
        QVERIFY(onlyColour(b.panel.picture(), Blue, 151, 152));
        QVERIFY(onlyColour(b.panel.picture(), White, 152, 153));
    }

    // The text is blue on the empty part and white on the bar, so it reads on both.
    void textReadsOverBarAndBackground()
    {
        Bound b;
        b.bar.DrawPanel("Lecture ", 0);
        const QImage empty = b.panel.picture();
        // The columns of "Lecture", the same in both texts.
        const int textWidth = b.panel.fontMetrics().horizontalAdvance("Lecture") - 1;
        const int ink = textWidth * empty.height() - countColour(empty, White, 0, textWidth);
        QVERIFY(ink > 20);
        // Every text pixel is bluish on white.
        for (int y = 0; y < empty.height(); ++y)
            for (int x = 0; x < textWidth; ++x)
                QVERIFY(qBlue(empty.pixel(x, y)) == 255);
        b.bar.DrawPanel("Lecture ", 100);
        const QImage full = b.panel.picture();
        // On the bar the same pixels are inverted: whitish on blue.
        QCOMPARE(textWidth * full.height() - countColour(full, Blue, 0, textWidth), ink);
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < textWidth; ++x)
                QVERIFY(qBlue(full.pixel(x, y)) == 255 &&
                        qRed(full.pixel(x, y)) == qGreen(full.pixel(x, y)));
    }

    // With no leading text the number starts at the left edge; a leading
    // text pushes it right by its own width.
    void emptyLeadingTextShowsTheNumberOnly()
    {
        Bound a, b;
        a.bar.DrawPanel("", 42);
        b.bar.DrawPanel("x", 42);
        const QFontMetrics metrics = a.panel.fontMetrics();
        const int numberEnd = metrics.horizontalAdvance("42 %");
        const int withLeadEnd = metrics.horizontalAdvance("x42 %");
        QVERIFY(withLeadEnd > numberEnd + 3);
        // The text lies on the bar (126 of 300 columns): white-ish on blue.
        const auto [aFirst, aLast] = inkColumns(a.panel.picture(), Blue, 0, 126);
        QVERIFY2(aFirst <= 2, qPrintable(QString::number(aFirst)));
        QVERIFY2(aLast >= numberEnd - 4 && aLast <= numberEnd + 1,
                 qPrintable(QStringLiteral("%1 / %2").arg(aLast).arg(numberEnd)));
        const auto [bFirst, bLast] = inkColumns(b.panel.picture(), Blue, 0, 126);
        QVERIFY(bFirst <= 2);
        QVERIFY2(bLast >= withLeadEnd - 4 && bLast <= withLeadEnd + 1,
                 qPrintable(QStringLiteral("%1 / %2").arg(bLast).arg(withLeadEnd)));
        // Past the text both show the same bar and background.
        const QRect rest(withLeadEnd + 2, 0, 300 - withLeadEnd - 2, a.panel.height());
        QCOMPARE(a.panel.picture().copy(rest), b.panel.picture().copy(rest));
    }

    void backgroundWithCentredText()
    {
        Bound b(200, 255, std::nullopt);
        b.bar.DrawFond("COM1");
        const QImage image = b.panel.picture();
        const QRgb red = 0xFFFF0000;
        const int width = b.panel.fontMetrics().horizontalAdvance("COM1");
        const int left = (200 - width) / 2;
        // Red everywhere but the text, which is white and centred.
        QVERIFY(onlyColour(image, red, 0, left - 1));
        QVERIFY(onlyColour(image, red, left + width + 1, 200));
        QVERIFY(countColour(image, White, left, left + width) > 10);
    }

    // A device path longer than the panel keeps the panel's width (its window
    // never grows for it) and both its ends around "…"; the tooltip gives it
    // whole. A path that fits needs no tooltip.
    void longPortKeepsBothEndsAndThePanelItsWidth()
    {
        Bound b(94, 255, std::nullopt);
        const QString path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        b.bar.DrawFond(path);
        QCOMPARE(b.panel.width(), 94);
        QCOMPARE(b.panel.sizeHint().width(), 94);
        QCOMPARE(b.panel.minimumWidth(), 47);
        QCOMPARE(b.panel.picture().width(), 94);
        QCOMPARE(b.panel.toolTip(), path);
        QCOMPARE(QAccessible::queryAccessibleInterface(&b.panel)->text(QAccessible::Name), path);
        // Red margins on both sides: the text is cut inside the panel, not at its edges.
        const QRgb red = 0xFFFF0000;
        QVERIFY(onlyColour(b.panel.picture(), red, 0, 2));
        QVERIFY(onlyColour(b.panel.picture(), red, 92, 94));
        b.bar.DrawFond("COM1");
        QCOMPARE(b.panel.toolTip(), QString());
        QCOMPARE(b.panel.width(), 94);
    }

    // A failure of several lines shows its first; its tooltip gives it whole
    // at any width. A one-line text gets its tooltip when the panel narrows
    // and cuts it, and loses it when the panel is wide again. Screen readers
    // get the whole text throughout.
    void tooltipFollowsTextAndWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("whole");
        QTest::addColumn<QString>("wideTip");
        const QString failure = "Pas de réponse du module par le VEKP V 3.9\n"
                                "Le périphérique /dev/ttyUSB0 a disparu.";
        row("two-line failure", QString("Pas de réponse du module par le VEKP V 3.9"), failure,
            failure);
        row("one line", QString("Réponse incomplète du module au bloc [0x00A0]"), QString(),
            QString());
    }

    void tooltipFollowsTextAndWidth()
    {
        QFETCH(QString, text);
        QFETCH(QString, whole);
        QFETCH(QString, wideTip);
        const QString all = whole.isEmpty() ? text : whole;
        QWidget bar;
        auto *panel = new StatusPanel(400, &bar);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        panel->setText(text, whole);
        QCOMPARE(panel->shownText(), text);
        QCOMPARE(panel->toolTip(), wideTip);
        panel->resize(200, panel->height());
        QVERIFY2(panel->shownText().endsWith("…"), qPrintable(panel->shownText()));
        QCOMPARE(panel->toolTip(), all);
        panel->resize(400, panel->height());
        QCOMPARE(panel->shownText(), text);
        QCOMPARE(panel->toolTip(), wideTip);
        QCOMPARE(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name), all);
        QCOMPARE(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Description), all);
    }

    // A path keeps its folder and its name; any other text keeps its start.
    void elidingKeepsWhatTells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("path") << "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"
                              << "/dev/"
                              << "port0";
        QTest::newRow("failure")
            << "Réponse incomplète du module au bloc [0x00A0] (reçu : 3 octets sur 4)"
            << "Réponse "
            << "…";
    }

    void elidingKeepsWhatTells()
    {
        QFETCH(QString, text);
        QFETCH(QString, start);
        QFETCH(QString, end);
        const QFontMetrics metrics(QApplication::font());
        const int width = metrics.horizontalAdvance("/dev/serial…if00-port0");
        const QString shown = ElidedToWidth(text, metrics, width);
        QVERIFY2(shown.startsWith(start) && shown.endsWith(end) && shown.contains("…"),
                 qPrintable(shown));
        QVERIFY(metrics.horizontalAdvance(shown) <= width);
        QCOMPARE(ElidedToWidth("/dev/ttyUSB0", metrics, width), QString("/dev/ttyUSB0"));
    }

    // On a yellow bar (the compatible-family upload) the text is dark, not white.
    void lightBarHoldsDarkText()
    {
        Bound b(300, 0xFFFF); // yellow
        b.bar.DrawPanel("Lecture ", 100);
        const QImage full = b.panel.picture();
        const int textWidth = b.panel.fontMetrics().horizontalAdvance("Lecture") - 1;
        int dark = 0, white = 0;
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < textWidth; ++x) {
                dark += qGray(full.pixel(x, y)) < 100;
                white += full.pixel(x, y) == White;
            }
        QVERIFY2(dark > 20, qPrintable(QString::number(dark)));
        QCOMPARE(white, 0);
        b.bar.DrawPanel("Lecture ", 0); // and readable on the empty part
        const QImage empty = b.panel.picture();
        int ink = 0;
        for (int y = 0; y < empty.height(); ++y)
            for (int x = 0; x < textWidth; ++x)
                ink += qGray(empty.pixel(x, y)) < 100;
        QVERIFY(ink > 20);
    }

    // Without a picture the panel shows its text from the left, in the window
    // text colour, and no further than its frame; a picture pushes the text
    // past it.
    void panelKeepsItsText()
    {
        StatusPanel panel(300);
        const QImage blank = panel.grab().toImage();
        QCOMPARE(inkColumns(blank, blank.pixel(10, 10), 1, 299).first, -1);
        panel.setText("Transfert PRET... ");
        QCOMPARE(panel.text(), QString("Transfert PRET... "));
        const QImage shown = panel.grab().toImage();
        const QRgb background = blank.pixel(10, 10);
        const auto [first, last] = inkColumns(shown, background, 1, 299);
        const int textEnd = 3 + panel.fontMetrics().horizontalAdvance("Transfert PRET...");
        QVERIFY2(first >= 2 && first <= 5, qPrintable(QString::number(first)));
        QVERIFY2(last >= textEnd - 4 && last <= textEnd + 1,
                 qPrintable(QStringLiteral("%1 / %2").arg(last).arg(textEnd)));
        QVERIFY(darkest(shown, first, last) < 100); // black on the light window

        QImage picture(100, panel.height(), QImage::Format_RGB32);
        picture.fill(Qt::red);
        panel.setPicture(picture);
        const QImage behind = panel.grab().toImage();
        QCOMPARE(QColor(behind.pixel(50, 10)), QColor(Qt::red));
        QCOMPARE(inkColumns(behind, background, 100, 299).first, first + 100);

        StatusPanel narrow(60);
        narrow.setText("Transfert PRET... ");
        const int cutEnd = inkColumns(narrow.grab().toImage(), background, 1, 59).second;
        QVERIFY2(cutEnd >= 40 && cutEnd <= 58, qPrintable(QString::number(cutEnd)));
    }
};

QTEST_MAIN(TestBarGraph)
#include "tst_ui_bargraph.moc"
