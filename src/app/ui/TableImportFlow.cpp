#include "app/ui/TableImportFlow.h"

#include "base/BoundedFile.h"
#include "base/FileRefusal.h"
#include "base/NumberHelpers.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "platform/DataPaths.h"

#include "base/ui/WindowPrompts.h"

using TableImport::TableKind;
using VEK_LANGUAGE::GetLanguageText;
using VEK_LANGUAGE::LangKey;

TableImportFlow::TableImportFlow(QWidget *parent) : m_parent(parent)
{
    m_choose = [this](const QString &title, const QString &filter) {
        return WindowPrompts::system().chooseFile(m_parent, title,
                                                  DataPaths::UserDocumentsDirectory(), filter);
    };
    m_warn = [this](const QString &text) {
        WindowPrompts::system().message(m_parent, QMessageBox::Warning,
                                        GetLanguageText(QStringLiteral("MessWARNING")), text,
                                        QMessageBox::Ok);
    };
    m_ask = [this](const QString &text) {
        return WindowPrompts::system().message(
                   m_parent, QMessageBox::Question, GetLanguageText(QStringLiteral("MessWARNING")),
                   text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    m_status = [](const QString &) {};
}

std::optional<QList<TableImport::ImportedPoint>>
TableImportFlow::BP_import(bool courbeModifie, const QString &staticAdvanceText)
{
    if (courbeModifie && !m_ask(GetLanguageText(QStringLiteral("BPimportModifiedQuestion"))))
        return std::nullopt;
    const double staticAdvance = NombreEnTete(staticAdvanceText);
    const auto high = readTable(TableKind::High, staticAdvance);
    if (!high)
        return std::nullopt;
    const auto low = readTable(TableKind::Low, staticAdvance);
    if (!low)
        return std::nullopt;
    return TableImport::MergeTables(*high, *low);
}

std::optional<QList<TableImport::ImportedPoint>> TableImportFlow::readTable(TableKind kind,
                                                                            double staticAdvance)
{
    const bool high = kind == TableKind::High;
    m_status(GetLanguageText(high ? QStringLiteral("BPimportTreateCurrentHTAB")
                                  : QStringLiteral("BPimportTreateCurrentLTAB")));
    // Table files are written in upper case ("HTAB0.TXT"): offer both cases.
    const QString filter =
        GetLanguageText(QStringLiteral("BPimportDialogFilter")) + QStringLiteral(" (*.txt *.TXT)");
    const QString path = m_choose(
        GetLanguageText(high ? QStringLiteral("LoadHighTable") : QStringLiteral("LoadLowTable")),
        filter);
    if (path.isEmpty())
        return std::nullopt;

    const BoundedFile::Read read = BoundedFile::readAll(path, BoundedFile::MaxTextFileBytes);
    if (!read.ok) {
        m_warn(read.tooLarge ? FileRefusal::OfFile(
                                   LangKey("MessFichierTropGrand"), path,
                                   {"{OCTETS}", QString::number(BoundedFile::MaxTextFileBytes)})
                             : FileRefusal::OfFile(LangKey("BPimportReadError"), path,
                                                   {"%RAISON%", BoundedFile::userReason(read)}));
        return std::nullopt;
    }
    const TableImport::Result result =
        TableImport::ParseTableFile(TextEncoding::decodeText(read.bytes), kind, staticAdvance);
    switch (result.status) {
    case TableImport::Status::Ok:
        return result.points;
    case TableImport::Status::DamagedItem:
        m_warn(FileRefusal::AtLine(LangKey("BPimportMotInvalide"), path, result.damagedLine,
                                   {"{ELEMENT}", result.damagedItem}));
        break;
    case TableImport::Status::TooManyItems:
        m_warn(FileRefusal::OfFile(LangKey("BPimportTooManyItems"), path,
                                   {"%2", QString::number(TableImport::MaxItems)}));
        break;
    case TableImport::Status::TooFewItems:
        m_warn(FileRefusal::OfFile(LangKey("BPimportTooFewItems"), path,
                                   {"%1", QString::number(result.itemCount), "%2",
                                    QString::number(TableImport::MaxItems)}));
        break;
    case TableImport::Status::PointOutOfRange:
        m_warn(FileRefusal::OfFile(LangKey("BPimportPointOutOfRange"), path,
                                   {"%2", QString::number(result.badRpm), "%3",
                                    TableImport::AdvanceText(result.badAdvance), "%4",
                                    QString::number(result.refusedPoints)}));
        break;
    }
    return std::nullopt;
}

QList<QStringList> TableImportFlow::RowsOf(const QList<TableImport::ImportedPoint> &points,
                                           int columns)
{
    QList<QStringList> rows;
    rows.reserve(points.size());
    for (const TableImport::ImportedPoint &p : points) {
        QStringList row{QString::number(p.rpm), TableImport::AdvanceText(p.atmo)};
        while (row.size() < columns)
            row << QString();
        rows << row;
    }
    return rows;
}
