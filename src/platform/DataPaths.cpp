#include "platform/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace DataPaths {

static QString withSlash(QString path)
{
    if (!path.endsWith('/'))
        path += '/';
    return path;
}

QString DataDirectory()
{
    const QString fromEnv = qEnvironmentVariable("VEK_DATA_DIR");
    if (!fromEnv.isEmpty())
        return withSlash(fromEnv);
    if (QCoreApplication::instance()) {
        const QString installed = QCoreApplication::applicationDirPath() + "/../share/VEK_Courbe";
        if (QFileInfo(installed + "/Languages").isDir())
            return withSlash(QDir::cleanPath(installed));
    }
    return withSlash(QStringLiteral(VEK_SOURCE_DATA_DIR));
}

static QString ensured(QString path)
{
    QDir().mkpath(path);
    return withSlash(path);
}

QString UserProgramDirectory()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + "/.local/share/VEK_Courbe";
    return ensured(base);
}

QString UserDocumentsDirectory()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    return ensured(base);
}

} // namespace DataPaths
