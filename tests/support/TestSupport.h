#pragma once

#include <QByteArray>
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

// Qt Test data: a "file" column with one row per shipped language file.
void addLanguageFileRows();

} // namespace TestSupport
