#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

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

// Qt Test data: a "file" column with one row per shipped language file.
void addLanguageFileRows();

// From a test's initMain(), before the application is made: an offscreen run
// gets one 1024x768 screen, the smallest the windows are made for (the
// plugin's own is 800x800).
void useSmallOffscreenScreen();

} // namespace TestSupport
