#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The files an assembler run leaves (listing, symbol file, HEX). The assembler
// writes them in a scratch folder and checks no write of its own; each is
// checked whole there, and only then goes beside the project through the one
// writer, so that a full disk never leaves a listing cut short or an empty
// symbol file in the project's folder. Messages are language texts (GUI thread).
namespace AssemblerOutputs {

// The extensions of the outputs, in the order they are put in place: the HEX
// file, which the packages take, comes last.
inline const QStringList Extensions{QStringLiteral("lst"), QStringLiteral("cod"),
                                    QStringLiteral("hex")};

// Why each output is not whole, naming it as `shown`; empty when it is whole.
// A listing ends with the assembler's count of messages; a symbol file is
// 512-byte blocks of which its directories name none that is missing; a HEX
// file is read whole by the program's own HEX reader.
QString ListingProblem(const QByteArray &bytes, const QString &shown);
QString SymbolFileProblem(const QByteArray &bytes, const QString &shown);
QString HexProblem(const QString &file, const QString &shown);

struct Delivery {
    QStringList written; // the project's files replaced, in order
    QString problem;     // what stopped it, naming the file; empty when all went
};

// Checks the outputs `base`.lst, .cod and .hex that the run left in `scratch`,
// then writes each over its namesake in `projectFolder`. `built`: the run
// succeeded, so every output must be there; a failed run leaves no HEX file
// and brings over what it made. Nothing is written unless every output made
// is whole; a write that fails stops there, and the project's file keeps its
// old content.
Delivery Deliver(const QString &scratch, const QString &projectFolder, const QString &base,
                 bool built);

} // namespace AssemblerOutputs
