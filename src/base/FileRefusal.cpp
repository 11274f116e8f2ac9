#include "base/FileRefusal.h"

#include "base/VEK_LANGUAGE.h"

namespace FileRefusal {

QString OfFile(const QString &key, const QString &file, const QStringList &more)
{
    return AtLine(key, file, 0, more);
}

QString AtLine(const QString &key, const QString &file, int line, const QStringList &more)
{
    QStringList pairs{QStringLiteral("{FICHIER}"), file};
    if (line > 0)
        pairs << QStringLiteral("{LIGNE}") << QString::number(line);
    return VEK_LANGUAGE::GetLanguageText(key, pairs + more);
}

} // namespace FileRefusal
