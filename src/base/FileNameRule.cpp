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

// A refusal is never empty, even without language texts: empty means taken.
QString reason(const char *key, const QStringList &pairs = {})
{
    const QString text = VEK_LANGUAGE::GetLanguageText(key, pairs);
    return text.isEmpty() ? QLatin1String(key) : text;
}

} // namespace

QString Refusal(const QString &name)
{
    if (name.trimmed().isEmpty())
        return reason(VEK_LANGUAGE::LangKey("NomFichierVide"));
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return reason(VEK_LANGUAGE::LangKey("NomFichierControle"));
        if (Forbidden.contains(c))
            return reason(VEK_LANGUAGE::LangKey("NomFichierCaractere"), {"%CAR%", QString(c)});
    }
    if (name.size() > MaxLength)
        return reason(VEK_LANGUAGE::LangKey("NomFichierLong"),
                      {"%MAX%", QString::number(MaxLength)});
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')) ||
        name.startsWith(QLatin1Char(' ')))
        return reason(VEK_LANGUAGE::LangKey("NomFichierBord"));
    if (isDeviceName(name))
        return reason(VEK_LANGUAGE::LangKey("NomFichierPeripherique"));
    return {};
}

} // namespace FileNameRule
