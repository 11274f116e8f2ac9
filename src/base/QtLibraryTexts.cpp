#include "base/QtLibraryTexts.h"

#include "base/VEK_LANGUAGE.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace QtLibraryTexts {

namespace {

// Answers Qt's standard button texts from the program's language file. The
// texts are read once when it is made: Qt may translate from any thread.
class StandardButtonTexts : public QTranslator
{
public:
    StandardButtonTexts()
    {
        using VEK_LANGUAGE::GetLanguageText;
        add(QStringLiteral("OK"), GetLanguageText(QStringLiteral("MOK")));
        add(QStringLiteral("Cancel"), GetLanguageText(QStringLiteral("MAnnuler")));
        add(QStringLiteral("&Yes"), withMnemonic(GetLanguageText(QStringLiteral("MOui"))));
        add(QStringLiteral("&No"), withMnemonic(GetLanguageText(QStringLiteral("MNon"))));
    }

    bool isEmpty() const override { return m_texts.isEmpty(); }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QPlatformTheme") != 0)
            return {};
        return m_texts.value(QString::fromUtf8(sourceText));
    }

private:
    static QString withMnemonic(const QString &text)
    {
        return text.isEmpty() || text.contains('&') ? text : QLatin1Char('&') + text;
    }

    void add(const QString &qtText, const QString &text)
    {
        if (!text.isEmpty())
            m_texts.insert(qtText, text);
    }

    QHash<QString, QString> m_texts;
};

struct State {
    QString file;                           // language file in force, empty for none yet
    std::unique_ptr<QTranslator> catalogue; // the translation Qt ships
    std::unique_ptr<QTranslator> buttons;   // searched first, being installed last
};

State &state()
{
    static State s;
    return s;
}

void removeTranslators(State &s)
{
    for (auto *t : {&s.catalogue, &s.buttons}) {
        if (*t)
            QCoreApplication::removeTranslator(t->get());
        t->reset();
    }
}

std::unique_ptr<QTranslator> qtCatalogue(const QString &code)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + code,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return translator;
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
    const QString file = QFileInfo(languageFile).fileName().toLower();
    if (file == s.file || !QCoreApplication::instance())
        return s.catalogue != nullptr;
    removeTranslators(s);
    s.file = file;
    const QString code = LanguageCode(file);
    if (code == QLatin1String("en"))
        return false; // Qt speaks English by itself
    if (!code.isEmpty())
        s.catalogue = qtCatalogue(code);
    if (s.catalogue)
        QCoreApplication::installTranslator(s.catalogue.get());
    s.buttons = std::make_unique<StandardButtonTexts>();
    QCoreApplication::installTranslator(s.buttons.get());
    return s.catalogue != nullptr;
}

} // namespace QtLibraryTexts
