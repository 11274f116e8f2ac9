#pragma once

#include <QString>

// Qt's own texts (Yes/No/Cancel, file dialogs, "Show Details...") in the
// language the user chose for the program, from the translations Qt ships.
// The standard buttons the program's dialogs show (OK, Cancel, Yes, No) come
// from the program's language file, so that they follow the language even
// where the system's Qt catalogue lacks them (Slovak) or is not installed.
namespace QtLibraryTexts {

// Qt's language code for a language file ("francais.ini" gives "fr"); empty
// for a file the program does not know.
QString LanguageCode(const QString &languageFile);

// Puts Qt's texts in the language of `languageFile`, whose texts must already
// be the ones GetLanguageText reads. English leaves Qt's English; a language
// file Qt has no catalogue for still gets the standard buttons from its own
// texts. Loads only when the language changes. True when Qt's catalogue for
// the language is in force.
bool Apply(const QString &languageFile);

} // namespace QtLibraryTexts
