#include "Screenshots.h"

#include <QMetaMethod>
#include <QObject>

namespace TestSupport {

namespace {

bool isTestFunction(const QMetaMethod &method)
{
    static const QStringList fixtures{"initTestCase", "cleanupTestCase", "init", "cleanup"};
    const QString name = QString::fromLatin1(method.name());
    return method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Private &&
           method.parameterCount() == 0 && !fixtures.contains(name) && !name.endsWith("_data");
}

} // namespace

QString screenshotFolder()
{
    return qEnvironmentVariable("VEK_SCREENSHOT_DIR");
}

QString screenshotPath(const QString &name)
{
    const QString folder = screenshotFolder();
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

QStringList suiteOrScreenshots(const QObject &test, int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (argc > 1)
        return arguments;
    const bool pictures = !screenshotFolder().isEmpty();
    const QMetaObject *meta = test.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (isTestFunction(method) &&
            QString::fromLatin1(method.name()).startsWith("screenshot") == pictures)
            arguments << QString::fromLatin1(method.name());
    }
    return arguments;
}

} // namespace TestSupport
