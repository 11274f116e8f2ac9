#pragma once

#include "app/TableImport.h"

#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

// The import button: asks for the high table file, then the low table file,
// and rebuilds the curve points from both. Nothing of the curve changes until
// both files were read and accepted; the caller then replaces the grid, sorts
// and smooths it and redraws the chart.
class TableImportFlow
{
public:
    explicit TableImportFlow(QWidget *parent = nullptr);

    // Asks for a file to open (title, filter); an empty answer cancels.
    void setFileChooser(std::function<QString(const QString &, const QString &)> chooser)
    {
        m_choose = std::move(chooser);
    }
    // Warning box, and Yes/No question (true for Yes).
    void setMessageSinks(std::function<void(const QString &)> warn,
                         std::function<bool(const QString &)> ask)
    {
        m_warn = std::move(warn);
        m_ask = std::move(ask);
    }
    // The main window's information label.
    void setStatusSink(std::function<void(const QString &)> status)
    {
        m_status = std::move(status);
    }

    // BP_import. `courbeModifie`: the curve has unsaved edits (asked about
    // first); `staticAdvanceText`: the static-advance box. The points in
    // ascending rpm, or none when the import ended without a result.
    std::optional<QList<TableImport::ImportedPoint>> BP_import(bool courbeModifie,
                                                               const QString &staticAdvanceText);

    // Grid rows of text cells for the points: rpm, Atmo, then empty cells up to `columns`.
    static QList<QStringList> RowsOf(const QList<TableImport::ImportedPoint> &points,
                                     int columns = 3);

private:
    std::optional<QList<TableImport::ImportedPoint>> readTable(TableImport::TableKind kind,
                                                               double staticAdvance);

    QWidget *m_parent;
    std::function<QString(const QString &, const QString &)> m_choose;
    std::function<void(const QString &)> m_warn;
    std::function<bool(const QString &)> m_ask;
    std::function<void(const QString &)> m_status;
};
