#include "base/VEK_LANGUAGE.h"

#include "base/BoundedFile.h"
#include "base/QtLibraryTexts.h"
#include "base/TextEncoding.h"
#include "platform/DataPaths.h"

#include <QFileInfo>
#include <QHash>

namespace VEK_LANGUAGE {

namespace {
struct State {
    QString repertoire;
    QString fichier;
    QString fichierDefaut = QStringLiteral("francais.ini");
    QHash<QString, QString> cache; // lower-case key -> raw text
    int fileReads = 0;
};

State &state()
{
    static State s;
    return s;
}
} // namespace

QString RepertoireLangue()
{
    return state().repertoire;
}
QString FichierLangue()
{
    return state().fichier;
}
QString FichierLangueDefaut()
{
    return state().fichierDefaut;
}
void SetRepertoireLangue(const QString &folder)
{
    state().repertoire = folder;
}
void SetFichierLangue(const QString &fileName)
{
    state().fichier = fileName;
}
void SetFichierLangueDefaut(const QString &fileName)
{
    state().fichierDefaut = fileName;
}
int FileReadCount()
{
    return state().fileReads;
}

void InitLanguage()
{
    State &s = state();
    if (s.repertoire.isEmpty())
        s.repertoire = DataPaths::DataDirectory() + QStringLiteral("Languages/");
    if (s.fichier.isEmpty())
        s.fichier = s.fichierDefaut;
    s.cache.clear();
    QtLibraryTexts::Apply(s.fichier); // Qt's buttons and dialogs follow the language
}

QString GetLanguageText(const QString &key, const QStringList &pairs)
{
    State &s = state();
    const QString cacheKey = key.toLower();
    auto it = s.cache.constFind(cacheKey);
    if (it == s.cache.constEnd())
        it = s.cache.insert(cacheKey, ReadLanguageKey(key));
    return ReplacePlaceholders(it.value(), pairs);
}

QString ReplacePlaceholders(QString text, const QStringList &pairs)
{
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        const QString &placeholder = pairs.at(i);
        const QString &value = pairs.at(i + 1);
        if (placeholder.isEmpty())
            continue;
        // Replace left to right without searching the inserted text again.
        qsizetype from = 0;
        while ((from = text.indexOf(placeholder, from, Qt::CaseSensitive)) >= 0) {
            text.replace(from, placeholder.size(), value);
            from += value.size();
        }
    }
    return text;
}

QString ReadLanguageKey(const QString &key)
{
    const State &s = state();
    QString text = ReadIniValue(s.repertoire + s.fichier, QStringLiteral("GLOBAL"), key);
    if (text.isEmpty())
        text = ReadIniValue(s.repertoire + s.fichierDefaut, QStringLiteral("GLOBAL"), key);
    return text;
}

QString ReadIniValue(const QString &path, const QString &section, const QString &key)
{
    if (!QFileInfo(path).isFile())
        return {};
    ++state().fileReads;
    const BoundedFile::Read read = BoundedFile::readAll(path, BoundedFile::MaxIniFileBytes);
    if (!read.ok)
        return {};
    return IniValueInText(TextEncoding::decodeText(read.bytes), section, key);
}

QString IniValueInText(const QString &text, const QString &section, const QString &key)
{
    QString sectionLine = section;
    if (!sectionLine.startsWith('['))
        sectionLine.prepend('[');
    if (!sectionLine.endsWith(']'))
        sectionLine.append(']');
    QString keyEq = key;
    if (!keyEq.endsWith('='))
        keyEq.append('=');

    // Every look-up reads the file, so its lines are walked in place, never copied.
    bool inSection = false;
    for (qsizetype start = 0, end = 0; start < text.size(); start = end) {
        end = start;
        while (end < text.size() && text.at(end) != '\r' && text.at(end) != '\n')
            ++end;
        const QStringView line = QStringView(text).mid(start, end - start);
        if (end < text.size() && text.at(end) == '\r' && end + 1 < text.size() &&
            text.at(end + 1) == '\n')
            ++end;
        ++end;
        if (!inSection) {
            inSection = line.compare(sectionLine, Qt::CaseInsensitive) == 0;
        } else if (line.startsWith('[')) {
            return {};
        } else if (line.size() >= keyEq.size() &&
                   line.left(keyEq.size()).compare(keyEq, Qt::CaseInsensitive) == 0) {
            return line.mid(keyEq.size()).toString();
        }
    }
    return {};
}

} // namespace VEK_LANGUAGE
