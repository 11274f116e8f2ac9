#pragma once

#include <QString>
#include <QStringList>

// Language texts: every caption, tool tip, help text and most messages are looked
// up by key in the current language file, falling back to the French file.
// Used on the GUI thread only.
namespace VEK_LANGUAGE {

// Marks a language key that is looked up later (tables of captions and help
// texts), so that the key check of the tests finds it like a direct look-up.
constexpr const char *LangKey(const char *key)
{
    return key;
}

// Module state. The folder is set by the first InitLanguage and then kept.
QString RepertoireLangue();
QString FichierLangue();
QString FichierLangueDefaut();
void SetRepertoireLangue(const QString &folder); // tests and special set-ups
void SetFichierLangue(const QString &fileName);
void SetFichierLangueDefaut(const QString &fileName);

// Sets the folder (first call only) and the current file, and empties the cache;
// Qt's own texts follow the language of that file.
void InitLanguage();

// Text of a key (cached, also when empty), then each (placeholder, value) pair
// of `pairs` replaced in turn; an odd last placeholder is ignored.
QString GetLanguageText(const QString &key, const QStringList &pairs = {});

// Each (placeholder, value) pair of `pairs` replaced in turn, left to right, exact
// case; inserted text is not searched again; an odd last placeholder is ignored.
QString ReplacePlaceholders(QString text, const QStringList &pairs);

// Text of the key in the current file, else in the French file.
QString ReadLanguageKey(const QString &key);

// Text of `key` in `section` of the INI-like file at `path`; empty when absent.
// The section line must match exactly (case aside); the key must be followed
// directly by "="; the first match wins and the text is kept as it stands.
QString ReadIniValue(const QString &path, const QString &section, const QString &key);
// The same look-up in the text of such a file.
QString IniValueInText(const QString &text, const QString &section, const QString &key);

// Number of file reads made by look-ups since start (cache checks in tests).
int FileReadCount();

} // namespace VEK_LANGUAGE
