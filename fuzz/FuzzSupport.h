#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>

// The readers under test take files: each input is written to one scratch file
// (a name may hold folders) in a private folder kept for the whole run.
class FuzzScratchFile
{
public:
    FuzzScratchFile(const uint8_t *data, size_t size, const QString &name = QStringLiteral("input"))
        : m_path(folder().filePath(name))
    {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    ~FuzzScratchFile() { QFile::remove(m_path); }
    const QString &path() const { return m_path; }

private:
    static QTemporaryDir &folder()
    {
        static QTemporaryDir dir;
        return dir;
    }
    QString m_path;
};

// Small inputs that stand for large ones. A zip archive whose central directory
// is repeated: every entry again and again, pointing at the same data, under its
// own name, its name in another case, and other names. Empty when the bytes hold
// no central directory that can be repeated.
inline QByteArray withSharedData(const QByteArray &zip, int copies = 40)
{
    auto u16 = [&zip](qsizetype at) {
        return quint32(quint8(zip[at])) | quint32(quint8(zip[at + 1])) << 8;
    };
    auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    auto put16 = [](QByteArray &out, qsizetype at, quint32 v) {
        out[at] = char(v & 0xFF);
        out[at + 1] = char((v >> 8) & 0xFF);
    };
    const qsizetype end = zip.lastIndexOf(QByteArrayLiteral("PK\x05\x06"));
    if (end < 0 || end + 22 > zip.size())
        return {};
    const quint32 count = u16(end + 10);
    const quint32 size = u32(end + 12);
    const quint32 offset = u32(end + 16);
    if (count == 0 || qsizetype(offset) + qsizetype(size) > end)
        return {};
    const QByteArray directory = zip.mid(offset, size);
    const int repeats = int(std::min<quint32>(quint32(copies), 65535 / count));
    QByteArray repeated;
    for (int r = 0; r < repeats; ++r) {
        QByteArray copy = directory;
        for (qsizetype at = 0; at + 46 <= copy.size();) {
            const quint32 nameLength = quint32(quint8(copy[at + 28])) | quint8(copy[at + 29]) << 8;
            const quint32 rest = (quint32(quint8(copy[at + 30])) | quint8(copy[at + 31]) << 8) +
                                 (quint32(quint8(copy[at + 32])) | quint8(copy[at + 33]) << 8);
            if (nameLength > 0 && at + 46 + qsizetype(nameLength) <= copy.size()) {
                char &first = copy[at + 46];
                if (r % 3 == 1 && std::isalpha(quint8(first)))
                    first = char(first ^ 0x20); // the same name in another case
                else if (r % 3 == 2)
                    first = char('a' + r % 26); // another name, the same data
            }
            at += 46 + nameLength + rest;
        }
        repeated += copy;
    }
    QByteArray out = zip.left(offset) + repeated + zip.mid(end, 22);
    const qsizetype eocd = out.size() - 22;
    const quint32 entries = count * quint32(repeats);
    put16(out, eocd + 8, entries);
    put16(out, eocd + 10, entries);
    put16(out, eocd + 12, quint32(repeated.size()) & 0xFFFF);
    put16(out, eocd + 14, quint32(repeated.size()) >> 16);
    put16(out, eocd + 20, 0); // no comment
    return out;
}

// A document of about `target` bytes from a short input: the bytes after the
// first NUL up to the next are repeated in its place (XML holds no NUL). The
// input as it is when it holds no NUL.
inline QByteArray expanded(const QByteArray &input, qsizetype target)
{
    const qsizetype first = input.indexOf('\0');
    const qsizetype second = first < 0 ? -1 : input.indexOf('\0', first + 1);
    if (second < 0)
        return input;
    const QByteArray piece = input.mid(first + 1, second - first - 1);
    const QByteArray head = input.left(first);
    const QByteArray tail = input.mid(second + 1);
    const qsizetype room = target - head.size() - tail.size();
    if (piece.isEmpty() || room <= 0)
        return head + tail;
    return head + piece.repeated(room / piece.size()) + tail;
}
