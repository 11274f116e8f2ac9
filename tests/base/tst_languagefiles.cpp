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

// Every key the program looks up must be present, with a text, in each shipped language.
class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void everyKeyInEveryLanguage_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *f :
             {"francais.ini", "english.ini", "deutch.ini", "spanish.ini", "slovak.ini"})
            QTest::newRow(f) << QString(f);
    }

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
};

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
