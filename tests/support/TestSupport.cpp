#include "TestSupport.h"

#include "base/VEK_LANGUAGE.h"
#include "platform/DataPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

} // namespace TestSupport
