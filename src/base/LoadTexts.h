#pragma once

#include "base/VEK_LANGUAGE.h"

#include <QString>

#include <initializer_list>
#include <utility>

namespace VEK_LANGUAGE {

// Fills each field of a struct of texts from its key (a table of
// {&Texts::field, LangKey(<key>)}), so a set of texts is one list, not one
// look-up line per field. GUI thread only, like every look-up.
template <typename Texts>
void LoadTexts(Texts &texts, std::initializer_list<std::pair<QString Texts::*, const char *>> keys)
{
    for (const auto &[field, key] : keys)
        texts.*field = GetLanguageText(QString::fromLatin1(key));
}

} // namespace VEK_LANGUAGE
