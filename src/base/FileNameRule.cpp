#include "base/FileNameRule.h"

#include "base/VEK_LANGUAGE.h"

#include <QRegularExpression>

namespace FileNameRule {

namespace {

// The characters other systems refuse in a file name, the folder separators among them.
const QString Forbidden = QStringLiteral("/\\:*?\"<>|");

bool isDeviceName(const QString &name)
{
    // Taken by a device whatever follows its first dot ("CON.TXT" too).
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name.section(QLatin1Char('.'), 0, 0).trimmed()).hasMatch();
}

} // namespace

QString Refusal(const QString &name)
{
    using VEK_LANGUAGE::GetLanguageText;
    if (name.trimmed().isEmpty())
        return GetLanguageText("NomFichierVide");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return GetLanguageText("NomFichierControle");
        if (Forbidden.contains(c))
            return GetLanguageText("NomFichierCaractere", {"%CAR%", QString(c)});
    }
    if (name.size() > MaxLength)
        return GetLanguageText("NomFichierLong", {"%MAX%", QString::number(MaxLength)});
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')) ||
        name.startsWith(QLatin1Char(' ')))
        return GetLanguageText("NomFichierBord");
    if (isDeviceName(name))
        return GetLanguageText("NomFichierPeripherique");
    return {};
}

} // namespace FileNameRule
