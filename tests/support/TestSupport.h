#pragma once

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// Shared helpers of the test programs.
namespace TestSupport {

// Writes `bytes` to `path`, creating its folder; fails the caller's QVERIFY on error.
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Folder of the shipped data (data/ of the source tree).
QString dataDirectory();
// Folder of the test sources (fixtures kept with the tests).
QString testSourceDirectory();
// Folder of the built test tools (simulated module, ...).
QString toolsDirectory();

// The program's texts from the language file `file` ("english.ini").
void useTexts(const QString &file);
// The program's texts from the French language file, as at a first start.
void useFrenchTexts();

// The control `name` inside `window`; a missing one ends the test program, as
// every later step would fail on it.
template <typename T> T *child(const QObject &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// How a transfer window's status panel gives a several-line outcome on its
// one line: "first — second — ...", blank lines left out.
QString statusLine(const QString &outcome);

// Qt Test data: a "file" column with one row per shipped language file.
void addLanguageFileRows();

// Qt Test data: the row `name` with its columns' values in order, so that a
// table of short rows reads one row a line.
template <typename... Values> void row(const char *name, const Values &...values)
{
    (QTest::newRow(name) << ... << values);
}

// Whether the data row `row` (counted from 0) is this run's: a long table
// test is run as several CTest tests side by side (VEK_TEST_SHARD="k/n", set
// from VEK_TEST_SHARDS in tests/CMakeLists.txt), each taking every n-th row.
// Without the variable every row is the run's.
bool inShard(int row);

// Lets the shown windows take what changed in them (a new text, a new size):
// the layout requests, the resizes they ask for and the window system's
// answers, each round handling what the one before posted. It counts rounds,
// not time, so a slow or loaded machine settles as far as a fast one.
void settle();

// Before the application starts: windows shown offscreen go to one screen of
// `size`, framed as by a window manager, rather than to the default 800x600
// unframed one. Does nothing on another platform (a real display).
void useOffscreenScreen(QSize size);

} // namespace TestSupport

// QTEST_MAIN for a window test whose windows are shown on a screen of the
// given size (1024, 768: the smallest screen the program is made for).
#define VEK_TEST_MAIN_ON_SCREEN(TestObject, width, height)                                         \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestSupport::useOffscreenScreen(QSize(width, height));                                     \
        QTEST_MAIN_SETUP()                                                                         \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
