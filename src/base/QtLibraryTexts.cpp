#include "base/QtLibraryTexts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace QtLibraryTexts {

namespace {
struct State {
    QString code; // language in force, empty for Qt's English
    std::unique_ptr<QTranslator> translator;
};

State &state()
{
    static State s;
    return s;
}
} // namespace

QString LanguageCode(const QString &languageFile)
{
    static const struct {
        const char *file;
        const char *code;
    } languages[] = {{"francais.ini", "fr"},
                     {"english.ini", "en"},
                     {"deutch.ini", "de"},
                     {"spanish.ini", "es"},
                     {"slovak.ini", "sk"}};
    const QString name = QFileInfo(languageFile).fileName().toLower();
    for (const auto &l : languages)
        if (name == QLatin1String(l.file))
            return QString::fromLatin1(l.code);
    return {};
}

bool Apply(const QString &languageFile)
{
    State &s = state();
    QString code = LanguageCode(languageFile);
    if (code == QLatin1String("en"))
        code.clear(); // Qt speaks English by itself
    if (code == s.code || !QCoreApplication::instance())
        return s.translator != nullptr;
    if (s.translator) {
        QCoreApplication::removeTranslator(s.translator.get());
        s.translator.reset();
    }
    s.code = code;
    if (code.isEmpty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + code,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    s.translator = std::move(translator);
    return true;
}

} // namespace QtLibraryTexts
