#pragma once

#include "firmware/CurveGridSnapshot.h"
#include "firmware/TableHeaderSnapshot.h"
#include "firmware/TableIncludeFiles.h"
#include "icsp/ProgrammerOperations.h"

#include <QList>

#include <cstdint>
#include <functional>

class TableGenerationPrompts;
struct CurveDownloadRequest;
struct VekContext;

// The firmware tables of the curve in use: what the generators read of the shared
// curve, engine parameters and option board, and the set of four tables of an export.
namespace CurveTables {

CurveGridSnapshot Grille(const VekContext &context);
TableHeaderSnapshot EnTete(const VekContext &context);

// High then low table of the atmospheric column, then of the boost column, for
// the compilation type 8 or 88 (the generators with "16" in their names). Stops
// at the first generator that returns -1 and returns -1; any other type gives -1
// without a table.
int16_t GenererTablesExport(int type, const VekContext &context, TableGenerationPrompts &prompts,
                            TableIncludeFiles::TablesExport &tables);

// The tables of curve set 1 or 2 for the programmer: built from the curve,
// blended and placed as the bootloader's curve download places them (low
// tables of every line, then high tables), each with its address. Empty tables
// and a refusal text (and its title, when not the default) when a check fails.
struct IcspTables {
    QList<CurveTableArea> tables;
    QString title;
    QString refusal;
};
using AskTruncation = std::function<bool(const QString &title, const QString &text)>;
using ShowError = std::function<void(const QString &title, const QString &text)>;
IcspTables TablesPourProgrammateur(const VekContext &context, AskTruncation ask, ShowError error,
                                   int curveSet);

// What the bootloader's curve download of curve set 1 or 2 needs of the
// program, read now; its table generation asks through `ask` and `error`,
// titled for the download (the table programming's are titled for it).
CurveDownloadRequest DemandeTelechargement(const VekContext &context, AskTruncation ask,
                                           ShowError error, int curveSet);

} // namespace CurveTables
