#include "TestSupport.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

static QSet<QString> keysAskedByCode()
{
    // GetLanguageText("Key" or LangKey("Key", also with QStringLiteral around the key.
    static const QRegularExpression call(QStringLiteral(
        "(?:GetLanguageText|LangKey)\\(\\s*(?:QStringLiteral\\(\\s*)?u?\"([^\"]+)\""));
    QSet<QString> keys;
    QDirIterator it(TestSupport::testSourceDirectory() + "/../src", {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString text = QString::fromUtf8(TestSupport::readFile(it.next()));
        auto matches = call.globalMatch(text);
        while (matches.hasNext())
            keys.insert(matches.next().captured(1));
    }
    return keys;
}

// The keys of a shipped language file, in their order.
static QStringList keysOf(const QString &file)
{
    QStringList lines;
    TextEncoding::readTextLines(TestSupport::dataDirectory() + "Languages/" + file, lines);
    QStringList keys;
    for (const QString &line : std::as_const(lines)) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && !line.startsWith('[') && !line.startsWith(';'))
            keys << line.left(eq);
    }
    return keys;
}

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

// Every key the program looks up must be present, with a text, in each shipped
// language; each file holds the same keys, and none the program no longer asks.
class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void everyFileHoldsTheSameKeys_data() { TestSupport::addLanguageFileRows(); }

    void everyFileHoldsTheSameKeys()
    {
        QFETCH(QString, file);
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
    }

    void noKeyTheProgramNoLongerAsks()
    {
        const QString sources = sourceText();
        QStringList unused;
        for (const QString &key : keysOf("francais.ini"))
            if (!sources.contains('"' + key + '"'))
                unused << key;
        QVERIFY2(unused.isEmpty(), qPrintable("asked nowhere: " + unused.join(", ")));
    }

    void everyKeyInEveryLanguage_data() { TestSupport::addLanguageFileRows(); }

    void everyKeyInEveryLanguage()
    {
        QFETCH(QString, file);
        const QString path = TestSupport::dataDirectory() + "Languages/" + file;
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        const QSet<QString> keys = keysAskedByCode();
        QVERIFY(!keys.isEmpty());
        QStringList missing;
        for (const QString &key : keys)
            if (VEK_LANGUAGE::ReadIniValue(path, "GLOBAL", key).isEmpty())
                missing << key;
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(file + " lacks: " + missing.join(", ")));
    }

    // The first line of a key wins, so a second one is dead text that misleads translators.
    void noKeyTwice_data() { everyKeyInEveryLanguage_data(); }

    void noKeyTwice()
    {
        QFETCH(QString, file);
        QStringList lines;
        QVERIFY(
            TextEncoding::readTextLines(TestSupport::dataDirectory() + "Languages/" + file, lines));
        QSet<QString> seen;
        QStringList twice;
        for (const QString &line : lines) {
            const qsizetype eq = line.indexOf('=');
            if (eq <= 0 || line.startsWith('[') || line.startsWith(';'))
                continue;
            const QString key = line.left(eq).toLower();
            if (seen.contains(key))
                twice << key;
            seen.insert(key);
        }
        QVERIFY2(twice.isEmpty(), qPrintable(file + " repeats: " + twice.join(", ")));
    }

    // Texts typed without the language's own letters ("geoeffnet", "alimentacion",
    // "nie je mozne"): each row lists stand-ins that are never right in that language.
    void ownLettersNotSpelledOut_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("standIns");
        QTest::newRow("deutch.ini")
            << "deutch.ini"
            << "geraet|oeffn|loesch|pruef|waehl|\\bfuer\\b|ueber|koenn|moegl|aender|zurueck|"
               "fuehr|gueltig|verfueg|groess|schliess";
        QTest::newRow("spanish.ini")
            << "spanish.ini"
            << "\\w(cion|sion)\\b|\\bningun\\b|\\bnumero|\\bmodulo|\\bcodigo|"
               "\\bfabrica\\b|\\bpagina|\\bvalido|\\blinea";
        QTest::newRow("slovak.ini") << "slovak.ini"
                                    << "\\bprogramator|\\bziadn|\\bmozn|\\bsubor|\\bcisl|"
                                       "\\bkabel|\\bprazdn|\\bkalibracia|\\bodpoveda\\b|\\bznamy";
        QTest::newRow("francais.ini") << "francais.ini"
                                      << "\\b(etre|reglage|donnees|deja|memoire|echec|echoue|acces|"
                                         "reponse|probleme|systeme|precedent|premiere|a ete)\\b";
    }

    void ownLettersNotSpelledOut()
    {
        QFETCH(QString, file);
        QFETCH(QString, standIns);
        const QRegularExpression spelledOut(standIns,
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::UseUnicodePropertiesOption);
        QVERIFY(spelledOut.isValid());
        QStringList lines;
        QVERIFY(
            TextEncoding::readTextLines(TestSupport::dataDirectory() + "Languages/" + file, lines));
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

    // "modprobe parport_pc ppdev" hands ppdev to parport_pc as a parameter and loads only
    // parport_pc; several modules need -a.
    void modprobeLoadsEveryModuleNamed_data() { everyKeyInEveryLanguage_data(); }

    void modprobeLoadsEveryModuleNamed()
    {
        QFETCH(QString, file);
        static const QRegularExpression oneModuleOnly(
            QStringLiteral("modprobe\\s+(?!-a\\s)[\\w-]+\\s+\\w"));
        QStringList lines;
        QVERIFY(
            TextEncoding::readTextLines(TestSupport::dataDirectory() + "Languages/" + file, lines));
        QStringList wrong;
        for (const QString &line : lines)
            if (oneModuleOnly.match(line).hasMatch())
                wrong << line.left(line.indexOf('='));
        QVERIFY2(wrong.isEmpty(), qPrintable(file + ": " + wrong.join(", ")));
    }
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
