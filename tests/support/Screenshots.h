#pragma once

#include <QString>
#include <QStringList>

class QObject;

// Pictures of the windows for a look by eye are taken apart from the suite,
// by the `screenshots` build target, which sets VEK_SCREENSHOT_DIR to the
// folder they go to (build/screenshots).
namespace TestSupport {

QString screenshotFolder();
QString screenshotPath(const QString &name);

// Keeps `picture` (an image or a pixmap) under `name` in that folder; does
// nothing in the suite.
template <typename Picture> void keepScreenshot(const Picture &picture, const QString &name)
{
    if (!screenshotFolder().isEmpty())
        picture.save(screenshotPath(name));
}

// The functions a window test runs: what the command line gives, or else the
// test functions but the screenshot... ones in the suite, and only those under
// the `screenshots` target.
QStringList suiteOrScreenshots(const QObject &test, int argc, char **argv);

} // namespace TestSupport

// QTEST_MAIN for a window test with screenshot... functions.
#define VEK_TEST_MAIN_WITH_SCREENSHOTS(TestObject)                                                 \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QTEST_MAIN_SETUP()                                                                         \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, TestSupport::suiteOrScreenshots(tc, argc, argv));                 \
    }
