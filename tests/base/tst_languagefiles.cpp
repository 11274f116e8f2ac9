#include "TestSupport.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

// The program's sources as one text: a key it looks up stands in them in quotes,
// whether asked at once or through a table.
static QString sourceText()
{
    QString text;
    QDirIterator it(TestSupport::testSourceDirectory() + "/../src", {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        text += QString::fromUtf8(TestSupport::readFile(it.next()));
    return text;
}

// The keys asked at once: GetLanguageText("Key" or LangKey("Key", also with
// QStringLiteral around the key.
static QSet<QString> keysAskedByCode()
{
    static const QRegularExpression call(QStringLiteral(
        "(?:GetLanguageText|LangKey)\\(\\s*(?:QStringLiteral\\(\\s*)?u?\"([^\"]+)\""));
    QSet<QString> keys;
    auto matches = call.globalMatch(sourceText());
    while (matches.hasNext())
        keys.insert(matches.next().captured(1));
    return keys;
}

// The lines of the shipped language file `file`.
static QStringList linesOf(const QString &file)
{
    QStringList lines;
    if (!TextEncoding::readTextLines(TestSupport::dataDirectory() + "Languages/" + file, lines))
        qFatal("cannot read %s", qPrintable(file));
    return lines;
}

// The keys of a shipped language file, in their order.
static QStringList keysOf(const QString &file)
{
    QStringList keys;
    for (const QString &line : linesOf(file)) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && !line.startsWith('[') && !line.startsWith(';'))
            keys << line.left(eq);
    }
    return keys;
}

// Texts typed without the language's own letters ("geoeffnet", "alimentacion",
// "nie je mozne"): stand-ins that are never right in that language (none
// for English).
static QString standInsOf(const QString &file)
{
    static const QHash<QString, QString> standIns{
        {"deutch.ini", "geraet|oeffn|loesch|pruef|waehl|\\bfuer\\b|ueber|koenn|moegl|aender|"
                       "zurueck|fuehr|gueltig|verfueg|groess|schliess"},
        {"spanish.ini", "\\w(cion|sion)\\b|\\bningun\\b|\\bnumero|\\bmodulo|\\bcodigo|"
                        "\\bfabrica\\b|\\bpagina|\\bvalido|\\blinea"},
        {"slovak.ini", "\\bprogramator|\\bziadn|\\bmozn|\\bsubor|\\bcisl|\\bkabel|\\bprazdn|"
                       "\\bkalibracia|\\bodpoveda\\b|\\bznamy"},
        {"francais.ini", "\\b(etre|reglage|donnees|deja|memoire|echec|echoue|acces|reponse|"
                         "probleme|systeme|precedent|premiere|a ete)\\b"}};
    return standIns.value(file);
}

// Every key the program looks up must be present, with a text, in each shipped
// language; each file holds the same keys, and none the program no longer asks.
class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void noKeyTheProgramNoLongerAsks()
    {
        const QString sources = sourceText();
        QStringList unused;
        for (const QString &key : keysOf("francais.ini"))
            if (!sources.contains('"' + key + '"'))
                unused << key;
        QVERIFY2(unused.isEmpty(), qPrintable("asked nowhere: " + unused.join(", ")));
    }

    void eachFileIsWhole_data() { TestSupport::addLanguageFileRows(); }

    void eachFileIsWhole()
    {
        QFETCH(QString, file);
        const QString path = TestSupport::dataDirectory() + "Languages/" + file;
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        const QStringList lines = linesOf(file);

        // The same keys as the French file.
        const QStringList french = keysOf("francais.ini");
        const QStringList keys = keysOf(file);
        QStringList onlyHere, missing;
        for (const QString &key : keys)
            if (!french.contains(key))
                onlyHere << key;
        for (const QString &key : french)
            if (!keys.contains(key))
                missing << key;
        QVERIFY2(onlyHere.isEmpty() && missing.isEmpty(),
                 qPrintable(file + " alone has: " + onlyHere.join(", ") +
                            "; lacks: " + missing.join(", ")));

        // A text for every key the program asks.
        const QSet<QString> asked = keysAskedByCode();
        QVERIFY(!asked.isEmpty());
        QStringList untold;
        for (const QString &key : asked)
            if (VEK_LANGUAGE::ReadIniValue(path, "GLOBAL", key).isEmpty())
                untold << key;
        untold.sort();
        QVERIFY2(untold.isEmpty(), qPrintable(file + " lacks: " + untold.join(", ")));

        // The first line of a key wins, so a second one is dead text that
        // misleads translators.
        QSet<QString> seen;
        QStringList twice;
        for (const QString &key : keys) {
            if (seen.contains(key.toLower()))
                twice << key.toLower();
            seen.insert(key.toLower());
        }
        QVERIFY2(twice.isEmpty(), qPrintable(file + " repeats: " + twice.join(", ")));

        // "modprobe parport_pc ppdev" hands ppdev to parport_pc as a parameter
        // and loads only parport_pc; several modules need -a.
        static const QRegularExpression oneModuleOnly(
            QStringLiteral("modprobe\\s+(?!-a\\s)[\\w-]+\\s+\\w"));
        QStringList wrong;
        for (const QString &line : lines)
            if (oneModuleOnly.match(line).hasMatch())
                wrong << line.left(line.indexOf('='));
        QVERIFY2(wrong.isEmpty(), qPrintable(file + ": " + wrong.join(", ")));

        // No text typed without the language's own letters.
        const QString standIns = standInsOf(file);
        if (standIns.isEmpty())
            return;
        const QRegularExpression spelledOut(standIns,
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::UseUnicodePropertiesOption);
        QVERIFY(spelledOut.isValid());
        static const QRegularExpression placeholders(QStringLiteral("\\{\\w+\\}|%\\w+%"));
        QStringList found;
        for (const QString &line : lines) {
            if (line.startsWith(';') || line.indexOf('=') <= 0)
                continue;
            const QString text = line.mid(line.indexOf('=') + 1).remove(placeholders);
            if (spelledOut.match(text).hasMatch())
                found << line.left(line.indexOf('='));
        }
        QVERIFY2(found.isEmpty(), qPrintable(file + " spells out: " + found.join(", ")));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
