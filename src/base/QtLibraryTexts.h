#pragma once

#include <QString>

// Qt's own texts (Yes/No/Cancel, file dialogs, "Show Details...") in the
// language the user chose for the program, from the translations Qt ships.
namespace QtLibraryTexts {

// Qt's language code for a language file ("francais.ini" gives "fr"); empty
// for a file the program does not know.
QString LanguageCode(const QString &languageFile);

// Puts Qt's texts in the language of `languageFile`; English, an unknown file
// or a missing translation leave Qt's English. Loads only when the language
// changes. True when a translation is in force.
bool Apply(const QString &languageFile);

} // namespace QtLibraryTexts
