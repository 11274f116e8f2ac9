#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class CurveDocument;

// The three kinds of curve files the main window opens and saves, told apart
// by their extension (case aside), and whole-file reading and writing.
namespace CurveFiles {

enum class Kind {
    Unknown,
    Project,     // ".xsc": the curve with the firmware package in use
    Curve,       // ".vek"
    SingleCurve, // ".mrt"
};

// Kind named by the file's extension, whatever its case.
Kind KindOf(const QString &fileName);
// Extension of a kind, with its dot (".xsc", ".vek", ".mrt").
QString Extension(Kind kind);
// The name to save under: kept when its extension names a kind, else with the
// extension of `wanted` added (a name with no extension, or an unknown one).
QString WithExtension(const QString &fileName, Kind wanted);

// How messages name the curve text read from `path`: the file itself, or for
// a project the member that holds its curve ("p.xsc (COURBE.VEK)"), whose
// lines they count.
QString CurveTextName(const QString &path);
// A message about the curve text of `path`: the text of `key` naming it (see
// FileRefusal) and, when `line` > 0, its line; then the pairs of `more`.
QString CurveTextMessage(const QString &key, const QString &path, int line = 0,
                         const QStringList &more = {});

// Whole file, or false with the reason (without the file's name: the messages
// name it).
bool ReadAll(const QString &path, QByteArray &bytes, QString *error = nullptr);
// Writes `curve` as a file of `kind` (Curve or SingleCurve) through the one
// writer, read back by the reader that opens that kind before it takes its
// name: a failed write, or a file that would read otherwise, leaves the old
// file whole. False with the reason, in the user's words.
bool WriteCurve(const QString &path, const CurveDocument &curve, Kind kind,
                QString *error = nullptr);

} // namespace CurveFiles
