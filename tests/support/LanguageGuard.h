#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class FakePrompts;
class QWidget;

// Tells whether a text shown on the screen reads in one language: what is left
// of it once every piece of the language file's texts is taken out must be
// names and numbers (a module, a chip, a file, a port, a value). A word left
// over is a text the file does not hold: a literal of the program, or a text
// of another language.
class LanguageGuard
{
public:
    // Reads the five shipped language files.
    LanguageGuard();

    // The language file the texts are checked against ("english.ini").
    void setLanguage(const QString &file);
    // Words that are names wherever they stand (module, chip or file names).
    void addNames(const QStringList &words);
    // Each word of `text` becomes a name (a system's own text quoted as a name:
    // the processor's model, a package's author).
    void addNamesIn(const QString &text);

    // The words of `text` that neither the current file's texts nor the names account for.
    QStringList strayWords(const QString &text) const;
    // "text  <- words" for each of `texts` with stray words.
    QStringList offences(const QStringList &texts) const;

    // Keys of `file` (lower case), for the comparison of the files.
    QSet<QString> keys(const QString &file) const;
    static QStringList files();

private:
    struct Language {
        QHash<QString, QString> values; // key (lower case) -> text
        QStringList pieces;             // the texts' fixed pieces, longest first
    };
    QHash<QString, Language> m_languages;
    QString m_current;
    QSet<QString> m_names;
};

// The texts a window shows: captions, titles, tooltips, menus, list and table
// entries, status panels, message boxes; Qt's own dialog buttons aside.
namespace ShownTexts {
QStringList of(const QWidget *root);
// Every top-level widget of the application, shown or not.
QStringList ofApplication();
} // namespace ShownTexts

// What a test saw the windows show in one language, checked at its end.
class ShownLog
{
public:
    // The file every text should come from; the log starts empty.
    explicit ShownLog(const QString &file);
    void look(const QWidget &window) { m_shown << ShownTexts::of(&window); }
    // The boxes, titles and filters the prompts were asked to show.
    void look(const FakePrompts &prompts);
    void add(const QStringList &texts) { m_shown << texts; }
    // Values the test gives (a word typed, a file's text): names wherever they stand.
    void addNames(const QStringList &words) { m_guard.addNames(words); }
    // Whether a text shown holds the fixed start of `key`'s text: the
    // operation that says it was reached.
    bool saw(const char *key) const;
    // The texts that are not the file's, each with its stray words (every one
    // also printed in full: a failure's own text is cut short).
    QStringList offences() const;

private:
    LanguageGuard m_guard;
    QString m_file;
    QStringList m_shown;
};

// Fails the running test on a text of `log` not in its language, and on a
// key the drive did not reach.
#define VERIFY_ONE_LANGUAGE(log, ...)                                                              \
    do {                                                                                           \
        const QStringList offences = (log).offences();                                             \
        QVERIFY2(offences.isEmpty(), qPrintable(offences.join('\n')));                             \
        for (const char *key : {__VA_ARGS__})                                                      \
            QVERIFY2((log).saw(key), key);                                                         \
    } while (false)
