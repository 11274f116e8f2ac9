// Language files and package descriptions: the INI-like reader, checked against
// a plain reading of the same rules over the file's list of lines.
#include "FuzzSupport.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"

#include <cstdlib>

namespace {

QString reference(const QString &path, const QString &sectionLine, const QString &keyEq)
{
    QStringList lines;
    if (!TextEncoding::readTextLines(path, lines))
        return {};
    qsizetype i = 0;
    while (i < lines.size() && lines.at(i).compare(sectionLine, Qt::CaseInsensitive) != 0)
        ++i;
    for (++i; i < lines.size(); ++i) {
        if (lines.at(i).startsWith('['))
            return {};
        if (lines.at(i).startsWith(keyEq, Qt::CaseInsensitive))
            return lines.at(i).mid(keyEq.size());
    }
    return {};
}

// Section and key taken from the input's first line when it has one, so that
// the fuzzer can aim at names it made up.
void check(const QString &path, const QString &section, const QString &key)
{
    const QString found = VEK_LANGUAGE::ReadIniValue(path, section, key);
    QString sectionLine = section;
    if (!sectionLine.startsWith('['))
        sectionLine.prepend('[');
    if (!sectionLine.endsWith(']'))
        sectionLine.append(']');
    const QString keyEq = key.endsWith('=') ? key : key + '=';
    if (found != reference(path, sectionLine, keyEq))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzScratchFile file(data, size);
    check(file.path(), QStringLiteral("GLOBAL"), QStringLiteral("MBAbout"));
    check(file.path(), QStringLiteral("[REGLAGE]"), QStringLiteral("HEX_ADD="));
    const QByteArray first = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))
                                 .left(64)
                                 .split('\n')
                                 .first();
    const QList<QByteArray> names = first.split('|');
    if (names.size() == 2)
        check(file.path(), QString::fromLatin1(names.at(0)), QString::fromLatin1(names.at(1)));
    return 0;
}
