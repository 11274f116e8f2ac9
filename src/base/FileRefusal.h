#pragma once

#include <QString>
#include <QStringList>

// How a message about a file read from outside says where the fault lies: the
// file as the user chose it goes into "{FICHIER}" and the line of that file,
// counted from 1 as an editor counts them, into "{LIGNE}". The refusals of HEX
// files, curve files and table include files are all worded through it.
namespace FileRefusal {

// Text of the language key `key` naming `file`, then the pairs of `more`
// replaced in turn (see VEK_LANGUAGE::GetLanguageText).
QString OfFile(const QString &key, const QString &file, const QStringList &more = {});
// The same naming line `line` of the file as well.
QString AtLine(const QString &key, const QString &file, int line, const QStringList &more = {});

} // namespace FileRefusal
