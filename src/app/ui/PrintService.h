#pragma once

#include "app/AdvanceMap3D.h"

#include <QPrinterInfo>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

// The print button: prints what the current page shows (the curve chart, the
// 3D map or the terminal text) on the system's default printer. Without a
// printer, or when the printer fails, it offers to save a PDF file instead;
// a PDF file that cannot be written is a file's failure, told as such.
class PrintService
{
public:
    struct Request {
        int page = 0;             // current page of the main window's tabs
        int curvePointCount = 0;  // points of the curve grid
        QWidget *chart = nullptr; // the curve chart
        MapScene map;             // the 3D map as drawn
        QString terminalText;     // the terminal's received text
    };

    explicit PrintService(QWidget *parent = nullptr);

    // Where the system's printer is found (the default printer by default).
    void setPrinterLookup(std::function<QPrinterInfo()> lookup) { m_lookup = std::move(lookup); }
    // Sends the print to this PDF file instead of a printer.
    void setPdfOutput(const QString &path) { m_pdfOutput = path; }
    // Asks for the PDF file to write; an empty answer gives up.
    void setPdfChooser(std::function<QString()> chooser) { m_choosePdf = std::move(chooser); }
    // Message boxes: information (OK) and question (Yes/No, true for Yes).
    void setMessageSinks(std::function<void(const QString &)> inform,
                         std::function<bool(const QString &)> ask);
    // The main window's information label.
    void setStatusSink(std::function<void(const QString &)> status)
    {
        m_status = std::move(status);
    }

    // bp_imprimer: true when a document was printed or saved.
    bool bp_imprimer(const Request &request);

    // Where the PDF file choice starts: a named file in the documents folder.
    static QString DefaultPdfPath();

private:
    std::unique_ptr<QPrinter> printerFor(const QString &pdfPath);
    bool printOnce(QPrinter &printer, const QString &target, const Request &request,
                   QString &error);
    bool printPdf(const QString &pdfPath, const Request &request);
    bool placePdf(const QString &pdfPath, bool whole, QString &reason);
    QString offerPdf(const QString &question);

    QWidget *m_parent;
    std::function<QPrinterInfo()> m_lookup;
    QString m_pdfOutput;
    std::function<QString()> m_choosePdf;
    std::function<void(const QString &)> m_inform;
    std::function<bool(const QString &)> m_ask;
    std::function<void(const QString &)> m_status;
    // The PDF is drawn here first, then written whole to the user's file.
    std::unique_ptr<QTemporaryDir> m_scratch;
};
