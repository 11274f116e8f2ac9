#include "TestSupport.h"

#include "base/VEK_LANGUAGE.h"
#include "platform/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTest>

#include <memory>

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

bool inShard(int row)
{
    const QStringList shard = qEnvironmentVariable("VEK_TEST_SHARD").split('/');
    if (shard.size() != 2)
        return true;
    const int k = shard[0].toInt();
    const int n = shard[1].toInt();
    return n <= 1 || row % n == k - 1;
}

void settle()
{
    for (int round = 0; round < 10; ++round)
        QCoreApplication::processEvents();
}

void useOffscreenScreen(QSize size)
{
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return;
    // The offscreen platform reads its screens from a file named in its options,
    // once, when the application starts: the file lives as long as the program.
    static std::unique_ptr<QTemporaryFile> file;
    file = std::make_unique<QTemporaryFile>(QDir::temp().filePath("vek_screen_XXXXXX.json"));
    if (!file->open())
        qFatal("cannot write the offscreen screen's description");
    file->write(QStringLiteral(R"({"windowFrameMargins": true, "screens": [{"name": "small",)"
                               R"( "x": 0, "y": 0, "width": %1, "height": %2, "logicalDpi": 96,)"
                               R"( "logicalBaseDpi": 96, "dpr": 1}]})")
                    .arg(size.width())
                    .arg(size.height())
                    .toLatin1());
    file->close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file->fileName().toLocal8Bit());
}

void useTexts(const QString &file)
{
    VEK_LANGUAGE::SetFichierLangue(file);
    VEK_LANGUAGE::InitLanguage();
}

void useFrenchTexts()
{
    VEK_LANGUAGE::SetFichierLangueDefaut("francais.ini");
    useTexts("francais.ini");
}

QString statusLine(const QString &outcome)
{
    QStringList lines;
    for (const QString &line : outcome.split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines.join(QString::fromUtf8(" \u2014 "));
}

} // namespace TestSupport
