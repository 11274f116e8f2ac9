#include "app/ui/PrintService.h"

#include "app/PrintLayout.h"
#include "app/ui/MapScenePainter.h"
#include "base/FileFailureReason.h"
#include "base/FileWriter.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "platform/DataPaths.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <cerrno>

using VEK_LANGUAGE::GetLanguageText;

namespace {

constexpr double TwipsPerInch = 1440;

QString applicationTitle()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("VEK_Courbe") : name;
}

// Device units per twip of the printer.
double deviceScale(const QPrinter &printer)
{
    return printer.resolution() / TwipsPerInch;
}

QSizeF pageTwips(const QPrinter &printer)
{
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    return QSizeF(paint.size()) / deviceScale(printer);
}

QRectF toDevice(const QRectF &twips, double scale)
{
    return {twips.topLeft() * scale, twips.size() * scale};
}

// The page's margins: PrintLayout's, and never less than the printer's own
// unprintable border.
void setPageMargins(QPrinter &printer)
{
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Millimeter); // converts the minimum margins too
    const QMarginsF least = layout.minimumMargins();
    const auto side = [](double minimum) { return std::max(PrintLayout::PageMarginMm, minimum); };
    printer.setPageMargins(
        QMarginsF(side(least.left()), side(least.top()), side(least.right()), side(least.bottom())),
        QPageLayout::Millimeter);
}

// The text in a fixed font, line by line, within the printer's page rectangle; lines longer than
// the page are continued on the next line rather than cut at the page's edge.
void paintText(QPrinter &printer, QPainter &painter, const QString &text)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(9);
    painter.setFont(QFont(font, &printer));
    const QFontMetricsF metrics(painter.font(), &printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int perLine =
        std::max(1, int(page.width() / metrics.horizontalAdvance(QLatin1Char('M'))));
    double y = 0;
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")))) {
        for (qsizetype start = 0; start == 0 || start < line.size(); start += perLine) {
            if (y + metrics.height() > page.height()) {
                printer.newPage();
                y = 0;
            }
            painter.drawText(QPointF(0, y + metrics.ascent()), line.mid(start, perLine));
            y += metrics.lineSpacing();
        }
    }
}

} // namespace

QString PrintService::DefaultPdfPath()
{
    return DataPaths::UserDocumentsDirectory() + applicationTitle() + QStringLiteral(".pdf");
}

PrintService::PrintService(QWidget *parent) : m_parent(parent)
{
    m_lookup = [] { return QPrinterInfo::defaultPrinter(); };
    m_choosePdf = [this] {
        return WindowPrompts::AskSaveFileName(
            m_parent, GetLanguageText(QStringLiteral("PrintPdfTitle")), DefaultPdfPath(),
            GetLanguageText(QStringLiteral("PrintFiltrePdf")));
    };
    m_inform = [this](const QString &text) {
        WindowPrompts::system().message(m_parent, QMessageBox::Information, applicationTitle(),
                                        text, QMessageBox::Ok);
    };
    m_ask = [this](const QString &text) {
        return WindowPrompts::system().message(
                   m_parent, QMessageBox::Question, GetLanguageText(QStringLiteral("MessWARNING")),
                   text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    m_status = [](const QString &) {};
}

void PrintService::setMessageSinks(std::function<void(const QString &)> inform,
                                   std::function<bool(const QString &)> ask)
{
    m_inform = std::move(inform);
    m_ask = std::move(ask);
}

std::unique_ptr<QPrinter> PrintService::printerFor(const QString &pdfPath)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfPath.isEmpty()) {
        if (!m_scratch)
            m_scratch = std::make_unique<QTemporaryDir>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_scratch->filePath(QStringLiteral("print.pdf")));
    }
    printer->setDocName(applicationTitle());
    return printer;
}

QString PrintService::offerPdf(const QString &question)
{
    if (!m_ask(question))
        return {};
    return m_choosePdf();
}

bool PrintService::bp_imprimer(const Request &request)
{
    const PrintLayout::Content content =
        PrintLayout::ContentFor(request.page, request.curvePointCount, request.terminalText);
    if (content == PrintLayout::Content::Nothing ||
        (content == PrintLayout::Content::Chart && !request.chart)) {
        m_inform(GetLanguageText(QStringLiteral("PrintRienAImprimer")));
        return false;
    }

    QString pdf = m_pdfOutput;
    if (pdf.isEmpty()) {
        const QPrinterInfo info = m_lookup();
        if (info.isNull()) {
            pdf = offerPdf(GetLanguageText(QStringLiteral("PrintNoPrinter")));
            if (pdf.isEmpty())
                return false;
        } else {
            QPrinter printer(info, QPrinter::HighResolution);
            printer.setDocName(applicationTitle());
            QString error;
            if (printOnce(printer, printer.printerName(), request, error)) {
                if (content != PrintLayout::Content::Text)
                    m_status(GetLanguageText(QStringLiteral("BPimprimerCurrent")));
                return true;
            }
            // Once to a PDF file when the printer failed.
            pdf = offerPdf(GetLanguageText(QStringLiteral("PrintPrinterError"),
                                           {QStringLiteral("%1"), error}));
            if (pdf.isEmpty())
                return false;
        }
    }
    return printPdf(pdf, request);
}

// A PDF file is complete once written: nothing goes on printing. A failure is
// the file's, told with its reason; no other file is offered.
bool PrintService::printPdf(const QString &pdf, const Request &request)
{
    const std::unique_ptr<QPrinter> printer = printerFor(pdf);
    QString unused, reason;
    const bool printed = printOnce(*printer, QDir::toNativeSeparators(pdf), request, unused);
    if (!placePdf(pdf, printed, reason)) {
        m_inform(GetLanguageText(QStringLiteral("PrintPdfNonEcrit"),
                                 {QStringLiteral("{FICHIER}"), QDir::toNativeSeparators(pdf),
                                  QStringLiteral("{RAISON}"), reason}));
        return false;
    }
    m_status(GetLanguageText(QStringLiteral("PrintPdfEcrit"),
                             {QStringLiteral("{FICHIER}"), QDir::toNativeSeparators(pdf)}));
    return true;
}

// Puts the drawn PDF in the user's file when it was drawn whole (`whole`);
// `reason` says why when it cannot.
bool PrintService::placePdf(const QString &pdfPath, bool whole, QString &reason)
{
    const QString scratch = m_scratch->filePath(QStringLiteral("print.pdf"));
    QFile drawn(scratch);
    QByteArray bytes;
    if (drawn.open(QIODevice::ReadOnly))
        bytes = drawn.readAll();
    drawn.close();
    QFile::remove(scratch);
    // A document cut short (its own disk full) has no end-of-file mark.
    FileWriter::Result written;
    if (!whole || !bytes.trimmed().endsWith("%%EOF"))
        written.reason = FileFailureReason::wording(ENOSPC, QString());
    else
        written = FileWriter::WriteWhole(pdfPath, bytes);
    reason = written.reason;
    return written.ok;
}

bool PrintService::printOnce(QPrinter &printer, const QString &target, const Request &request,
                             QString &error)
{
    const PrintLayout::Content content =
        PrintLayout::ContentFor(request.page, request.curvePointCount, request.terminalText);
    setPageMargins(printer);
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = target;
        return false;
    }
    const double scale = deviceScale(printer);
    switch (content) {
    case PrintLayout::Content::Chart: {
        const QPixmap picture = request.chart->grab();
        if (QClipboard *clipboard = QGuiApplication::clipboard())
            clipboard->setPixmap(picture); // the chart's copy, as its copy command leaves it
        const QSizeF twips = QSizeF(request.chart->size()) * 15;
        painter.drawPixmap(toDevice(PrintLayout::PlacePicture(twips, pageTwips(printer)), scale),
                           picture, QRectF(picture.rect()));
        break;
    }
    case PrintLayout::Content::Map: {
        const QRectF place =
            toDevice(PrintLayout::PlacePicture(QSizeF(request.map.width, request.map.height),
                                               pageTwips(printer)),
                     scale);
        painter.translate(place.topLeft());
        painter.scale(place.width() / request.map.width, place.height() / request.map.height);
        MapScenePainter::Paint(painter, request.map);
        break;
    }
    case PrintLayout::Content::Text:
        paintText(printer, painter, request.terminalText);
        m_inform(GetLanguageText(
            QStringLiteral("PrintTexteEnCours"))); // the page leaves when the box is closed
        break;
    case PrintLayout::Content::Nothing:
        break;
    }
    const bool ok = painter.end() && printer.printerState() != QPrinter::Error;
    if (!ok)
        error = target;
    return ok;
}
