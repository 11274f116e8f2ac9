#include "base/TextEncoding.h"

#include "base/BoundedFile.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace TextEncoding {

// Code points of bytes 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves undefined
// (they are kept as the C1 control of the same value).
static const char16_t kHigh1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString decodeWindows1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0 && kHigh1252[b - 0x80] != 0)
            text.append(QChar(kHigh1252[b - 0x80]));
        else
            text.append(QChar(static_cast<char16_t>(b)));
    }
    return text;
}

QByteArray encodeWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(static_cast<char>(u));
            continue;
        }
        char out = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHigh1252[i] == u || (kHigh1252[i] == 0 && u == 0x80 + i)) {
                out = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes.append(out);
    }
    return bytes;
}

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

bool readTextLines(const QString &path, QStringList &lines, QString *error)
{
    const BoundedFile::Read read = BoundedFile::readAll(path, BoundedFile::MaxTextFileBytes);
    if (!read.ok) {
        if (error)
            *error = read.error;
        return false;
    }
    const QString text = decodeText(read.bytes);
    lines.clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == '\r' || c == '\n') {
            lines.append(text.mid(start, i - start));
            if (c == '\r' && i + 1 < n && text.at(i + 1) == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return true;
}

bool hasControlCharacters(QStringView text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString visibleControls(QString text)
{
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control)
            c = QChar(0x00B7);
    return text;
}

QString shownInMessage(const QString &text, qsizetype length)
{
    const QString shown = visibleControls(text.left(length));
    return text.size() > length ? shown + QStringLiteral("...") : shown;
}

} // namespace TextEncoding
