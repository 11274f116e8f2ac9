#include "TestSupport.h"
#include "base/VEK_LANGUAGE.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace VEK_LANGUAGE;

class TestLanguage : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString folder;

    void writeLang(const QString &name, const QByteArray &body)
    {
        QVERIFY(TestSupport::writeFile(folder + name, body));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        folder = dir.path() + "/Languages/";
        SetRepertoireLangue(folder);
        SetFichierLangueDefaut("francais.ini");
        writeLang("francais.ini",
                  "junk=before\r\n[GLOBAL]\r\nMBAbout=  A propos \r\n"
                  "MBQuit =wrong\r\nMBQuit=Quitter\r\nOnlyFr=Seulement\r\n"
                  "MBQuit=second\r\nEq=a=b=c\r\nTpl=%1-%1\r\n[OTHER]\r\nAfter=no\r\n");
        writeLang("english.ini", "[global]\r\nmbabout=About\r\nMBQuit=Quit");
        writeLang("blanksection.ini", " [GLOBAL]\r\nMBAbout=never\r\n");
        writeLang("latin.ini", "[GLOBAL]\r\nAccent=Param\xe9trage \x80\r\n");
    }

    void init()
    {
        SetFichierLangue("francais.ini");
        InitLanguage();
    }

    void textsOfTheGlobalSection_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        // "MBQuit =wrong" does not match; of the two lines left the first wins.
        for (auto [row, key, text] :
             {std::tuple{"key in any case, text as is", "mbabout", "  A propos "},
              {"text with equals signs", "Eq", "a=b=c"},
              {"blank before equals, first match", "MBQuit", "Quitter"},
              {"section ends at the next", "After", ""}})
            QTest::newRow(row) << QString(key) << QString(text);
    }

    void textsOfTheGlobalSection()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QCOMPARE(GetLanguageText(key), text);
    }

    void sectionLineWithLeadingBlankYieldsNothing()
    {
        SetFichierLangueDefaut("blanksection.ini");
        SetFichierLangue("blanksection.ini");
        InitLanguage();
        QCOMPARE(GetLanguageText("MBAbout"), QString());
        SetFichierLangueDefaut("francais.ini");
    }

    void frenchFallbackAndLanguageChange()
    {
        QCOMPARE(GetLanguageText("MBAbout"), QString("  A propos "));
        SetFichierLangue("english.ini");
        InitLanguage();
        QCOMPARE(GetLanguageText("MBAbout"), QString("About"));
        QCOMPARE(GetLanguageText("MBQuit"), QString("Quit")); // last line without CR LF
        QCOMPARE(GetLanguageText("OnlyFr"), QString("Seulement"));
    }

    void missingKeyIsCachedAndReadOnce()
    {
        QCOMPARE(GetLanguageText("NoSuchKey"), QString());
        const int reads = FileReadCount();
        QCOMPARE(GetLanguageText("nosuchkey"), QString());
        QCOMPARE(FileReadCount(), reads);
    }

    void cacheServesTextEvenIfFileChanges()
    {
        QCOMPARE(GetLanguageText("OnlyFr"), QString("Seulement"));
        writeLang("english.ini", "[GLOBAL]\r\nOnlyFr=Changed\r\n");
        QCOMPARE(GetLanguageText("OnlyFr"), QString("Seulement"));
        writeLang("english.ini", "[global]\r\nmbabout=About\r\nMBQuit=Quit");
    }

    void placeholders()
    {
        QCOMPARE(GetLanguageText("Tpl", {"%1", "abc"}), QString("abc-abc"));
        QCOMPARE(GetLanguageText("Tpl", {"%1", "%1%1"}), QString("%1%1-%1%1"));
        QCOMPARE(GetLanguageText("Tpl", {"%1"}), QString("%1-%1")); // odd list: ignored
    }

    void windows1252AndUtf8()
    {
        SetFichierLangue("latin.ini");
        InitLanguage();
        QCOMPARE(GetLanguageText("Accent"), QString::fromUtf8("Paramétrage €"));
        writeLang("utf8.ini", "[GLOBAL]\nAccent=Param\xc3\xa9trage\n");
        SetFichierLangue("utf8.ini");
        InitLanguage();
        QCOMPARE(GetLanguageText("Accent"), QString::fromUtf8("Paramétrage"));
    }

    void readIniValueNormalisesSectionAndKey()
    {
        const QString path = folder + "francais.ini";
        QCOMPARE(ReadIniValue(path, "[GLOBAL]", "OnlyFr="), QString("Seulement"));
        QCOMPARE(ReadIniValue(path, "global", "onlyfr"), QString("Seulement"));
        QCOMPARE(ReadIniValue(path, "OTHER", "After"), QString("no"));
        QCOMPARE(ReadIniValue(path, "MISSING", "After"), QString());
        QCOMPARE(ReadIniValue(folder + "absent.ini", "GLOBAL", "x"), QString());
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
