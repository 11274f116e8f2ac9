#include "TestSupport.h"

#include "base/VEK_LANGUAGE.h"
#include "platform/DataPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTest>

namespace TestSupport {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString dataDirectory()
{
    return DataPaths::DataDirectory();
}
QString testSourceDirectory()
{
    return QStringLiteral(VEK_TEST_SOURCE_DIR);
}
QString toolsDirectory()
{
    return QStringLiteral(VEK_TOOLS_DIR);
}

void addLanguageFileRows()
{
    QTest::addColumn<QString>("file");
    for (const char *f : {"francais.ini", "english.ini", "deutch.ini", "spanish.ini", "slovak.ini"})
        QTest::newRow(f) << QString::fromLatin1(f);
}

void useFrenchTexts()
{
    VEK_LANGUAGE::SetFichierLangueDefaut("francais.ini");
    VEK_LANGUAGE::SetFichierLangue("francais.ini");
    VEK_LANGUAGE::InitLanguage();
}

void useSmallOffscreenScreen()
{
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return;
    // The plugin reads its screens from a file named in its options; the file
    // stays until the program ends.
    static QTemporaryFile config(QDir::tempPath() + QStringLiteral("/vek-screen-XXXXXX.json"));
    if (!config.open())
        return;
    config.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1024, "height": 768,
                     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

} // namespace TestSupport
