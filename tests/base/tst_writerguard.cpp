#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

// Every file the program writes goes through the one writer of src/base, which
// keeps the old file until the new one is whole. A second way of writing files
// would bring back lost files and success texts for failed writes, so the
// sources are scanned for any other way of opening a file for writing.
class TestWriterGuard : public QObject
{
    Q_OBJECT
private slots:
    void everyWayOfWritingIsSeen_data();
    void everyWayOfWritingIsSeen();
    void onlyTheWriterWritesFiles();
};

namespace {

struct Way {
    const char *name;
    const char *pattern;
};

const Way ways[] = {
    {"QSaveFile", R"(\bQSaveFile\b)"},
    {"QTemporaryFile", R"(\bQTemporaryFile\b)"},
    {"open mode", R"(::\s*(WriteOnly|Append|ReadWrite|Truncate|NewOnly)\b)"},
    {"stream", R"(\b(std\s*::\s*)?(o?fstream|basic_ofstream|basic_fstream)\b)"},
    {"fopen", R"(\b(fopen|freopen|fdopen|popen)\s*\([^;]*"[^"]*[wa+])"},
    {"copy", R"(\bQFile\s*::\s*copy\b|\.\s*copy\s*\([^)])"},
    {"system open",
     R"(\b(open|openat)\s*\([^;]*\b(O_WRONLY|O_RDWR|O_CREAT|O_APPEND|O_TRUNC)\b|\bcreat\s*\()"},
    {"zip file", R"(\bzip_open\s*\([^;]*\bZIP_(CREATE|TRUNCATE)\b)"},
    {"printer file", R"(\bsetOutputFileName\b)"},
};

// The one writer, and the places that open something other than a file.
const QString writerFile = QStringLiteral("base/FileWriter.cpp");
struct Allowed {
    const char *file;
    const char *way;
};
const Allowed allowed[] = {
    // Devices, not files: serial ports, terminals and the parallel port.
    {"platform/SerialPortOpening.cpp", "open mode"},
    {"platform/RawTty.cpp", "system open"},
    {"platform/ParallelPort.cpp", "system open"},
    {"platform/PortAccessService.cpp", "system open"},
    // The printer draws into a private scratch file; the writer then puts the
    // finished document in the user's file.
    {"app/ui/PrintService.cpp", "printer file"},
};

QString withoutComments(QString text)
{
    static const QRegularExpression block(R"(/\*.*?\*/)",
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression line(R"(//[^\n]*)");
    return text.remove(block).remove(line);
}

// The ways of writing `text` uses.
QStringList waysIn(const QString &text)
{
    const QString code = withoutComments(text);
    QStringList found;
    for (const Way &way : ways)
        if (QRegularExpression(QString::fromLatin1(way.pattern)).match(code).hasMatch())
            found << QString::fromLatin1(way.name);
    return found;
}

} // namespace

void TestWriterGuard::everyWayOfWritingIsSeen_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("way");
    using TestSupport::row;
    row("save file", QString("QSaveFile file(path);"), QString("QSaveFile"));
    row("temporary file", QString("QTemporaryFile scratch;"), QString("QTemporaryFile"));
    row("write only", "file.open(QIODevice::WriteOnly)", "open mode");
    row("append", "f.open(QFile::Append | QFile::Text)", "open mode");
    row("read write", QString("f.open(QIODeviceBase::ReadWrite);"), QString("open mode"));
    row("ofstream", QString("std::ofstream out(name);"), QString("stream"));
    row("fstream", QString("std::fstream io(name, mode);"), QString("stream"));
    row("fopen w", QString("FILE *f = fopen(name, \"wb\");"), QString("fopen"));
    row("fopen a", "std::fopen(p.constData(), \"a\")", "fopen");
    row("qfile copy", QString("QFile::copy(from, to);"), QString("copy"));
    row("member copy", "source.copy(to)", "copy");
    row("posix open", "::open(p, O_WRONLY | O_CREAT, 0644)", "system open");
    row("creat", QString("int fd = creat(p, 0644);"), QString("system open"));
    row("zip create",
        QString("zip_t *a = zip_open(nativePath(m_name).constData(), ZIP_CREATE, &error);"),
        QString("zip file"));
    row("pdf file", QString("printer->setOutputFileName(pdfPath);"), QString("printer file"));
}

void TestWriterGuard::everyWayOfWritingIsSeen()
{
    QFETCH(QString, code);
    QFETCH(QString, way);
    QCOMPARE(waysIn(code), QStringList{way});
    // The same words inside a comment write nothing.
    QCOMPARE(waysIn("// " + code + "\n/* " + code + " */"), QStringList());
}

void TestWriterGuard::onlyTheWriterWritesFiles()
{
    const QDir src(TestSupport::testSourceDirectory() + "/../src");
    QVERIFY(src.exists());
    QStringList problems;
    bool writerSeen = false;
    QDirIterator it(src.path(), {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString file = src.relativeFilePath(path);
        QFile source(path);
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QStringList found = waysIn(QString::fromUtf8(source.readAll()));
        if (file == writerFile) {
            writerSeen = !found.isEmpty();
            continue;
        }
        for (const QString &way : found) {
            bool excused = false;
            for (const Allowed &a : allowed)
                excused = excused || (file == QLatin1String(a.file) && way == QLatin1String(a.way));
            if (!excused)
                problems << file + ": writes a file by " + way + ", not through FileWriter";
        }
    }
    QVERIFY2(writerSeen, "the writer itself was not found where the scan expects it");
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

QTEST_GUILESS_MAIN(TestWriterGuard)
#include "tst_writerguard.moc"
