#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

// The source folders are floors: plain code includes only its own floor and the
// ones below it; windows (ui/ folders) stand on all plain code of their floor and
// below, and reach the program's shared state through the one context.
class TestIncludeFloors : public QObject
{
    Q_OBJECT
private slots:
    void floorsInOrder();
};

namespace {

const QStringList floors = {"platform", "base", "icsp", "firmware", "live", "bootloader", "app"};

// What a window below the top floor may take from it: the shared context and
// the table view of it.
const QStringList contextHeaders = {"app/VekContext.h", "app/CurveTables.h"};

QString violation(const QString &file, const QString &included)
{
    const QStringList fileParts = file.split('/');
    const QString fileFloor = fileParts.first();
    const bool fileIsWindow = fileParts.contains("ui");
    const QStringList incParts = included.split('/');
    const QString incFloor = incParts.first();
    const bool incIsWindow = incParts.contains("ui");
    const qsizetype from = floors.indexOf(fileFloor);
    const qsizetype to = floors.indexOf(incFloor);
    if (from < 0 || to < 0)
        return {};
    if (incIsWindow && !fileIsWindow)
        return file + " (plain code) includes the window header " + included;
    if (to <= from)
        return {};
    if (fileIsWindow && contextHeaders.contains(included))
        return {};
    return file + " includes " + included + " from a floor above it";
}

} // namespace

void TestIncludeFloors::floorsInOrder()
{
    const QDir src(TestSupport::testSourceDirectory() + "/../src");
    QVERIFY(src.exists());
    static const QRegularExpression include(R"(^\s*#\s*include\s+"([^"]+)\")",
                                            QRegularExpression::MultilineOption);
    QStringList problems;
    int files = 0;
    QDirIterator it(src.path(), {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        const QString rel = src.relativeFilePath(path);
        ++files;
        for (auto m = include.globalMatch(text); m.hasNext();) {
            const QString problem = violation(rel, m.next().captured(1));
            if (!problem.isEmpty())
                problems << problem;
        }
    }
    QVERIFY(files > 50);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

QTEST_GUILESS_MAIN(TestIncludeFloors)
#include "tst_includefloors.moc"
